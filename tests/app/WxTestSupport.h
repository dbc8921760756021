// A wx application for window tests (one per test process, on the Xvfb display), a shown
// frame to put controls on, event pumping without sleeps, and PNG artifacts of what the
// windows render.
#pragma once

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/frame.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/Image.h"
#include "tests/support/TestSupport.h"

namespace wxtest {

// Runs waiting window-system and posted events until none are left (bounded), after a round
// trip to the display so that what the X server sent before it is among them.
void Flush();

// Runs events until `done` holds; fails naming `what` after `timeout`. What the window system
// does (a move, a maximise, the focus) arrives when it arrives, later with a window manager.
::testing::AssertionResult PumpUntil(const std::function<bool()>& done, const std::string& what,
                                     std::chrono::milliseconds timeout = testsupport::kPatience);

// Whether a window manager runs on the display: it places, decorates and focuses the windows.
bool WindowManagerRuns();

// Waits until a shown top-level window is on the display where it will stay: mapped and, with
// a window manager, placed by it and given the focus.
::testing::AssertionResult WaitUntilPlaced(wxTopLevelWindow* window);

// The innermost shown modal dialog, placed as above before a script clicks or types into it;
// null when none is shown.
wxDialog* PlacedModal();

// Everything the window shows, composed from the renders of our own drawn controls and
// views over the windows' background colours.
Image32 ComposeWindow(wxWindow* window);

// Writes the image as artifacts/<name>.png in the test's build folder; returns the path.
std::string SaveArtifact(const Image32& image, const std::string& name);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    wxFrame* frame = nullptr;
};

}  // namespace wxtest
