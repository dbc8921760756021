// A wx application for window tests (one per test process, on the Xvfb display), a shown
// frame to put controls on, event pumping without sleeps, and PNG artifacts of what the
// windows render.
#pragma once

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <string>

#include "platform/Image.h"

namespace wxtest {

// Runs waiting window-system and posted events until none are left (bounded).
void Flush();

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
