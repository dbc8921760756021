// Drives nested modal dialogs: each step waits until the innermost shown modal dialog is of
// its kind, on screen with the focus inside, and then acts, from a timer that runs inside every
// modal loop. Also real clicks and typing, and screenshots grabbed from the X display (the
// dialogs hold native controls).
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dialogtest {

// The innermost shown modal dialog, or null.
wxDialog* InnermostModal();

class DialogScript {
public:
    DialogScript();
    ~DialogScript();

    // Acts on the next dialog of type T.
    template <typename T>
    void Then(std::function<void(T&)> act) {
        steps_.push_back({[](wxDialog* d) { return dynamic_cast<T*>(d) != nullptr; },
                          [act](wxDialog* d) { act(*dynamic_cast<T*>(d)); }});
    }
    bool Done() const { return steps_.empty(); }
    // Ends every open modal dialog with -99 once the script stalls for `seconds`.
    int timeoutSeconds = 120;
    bool timedOut = false;

private:
    struct Step {
        std::function<bool(wxDialog*)> matches;
        std::function<void(wxDialog*)> act;
    };
    void OnTimer(wxTimerEvent&);

    wxTimer timer_;
    std::vector<std::unique_ptr<wxTimer>> shots_;
    std::deque<Step> steps_;
    wxDialog* seen_ = nullptr;
    int readyTicks_ = 0;
    int idleTicks_ = 0;
};

void ClickOn(wxWindow* window, int button = 1);
void TypeText(wxWindow* edit, const std::string& text);
// A key press with the pointer over `over`: without a window manager the keyboard follows the
// pointer.
void Key(int key, wxWindow* over);
// Lets the display catch up (also from inside a handler).
void Catch(int milliseconds);
// The window's frame as the display shows it, written as artifacts/<name>.png.
void ScreenArtifact(wxWindow* window, const std::string& name);
// A rectangle of the display, written as artifacts/<name>.png.
void ScreenArtifact(const wxRect& rect, const std::string& name);

}  // namespace dialogtest
