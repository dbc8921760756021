#include "tests/archive_ui/DialogScript.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/uiaction.h>

#include "platform/FileSystem.h"
#include "tests/app/WxTestSupport.h"

namespace dialogtest {

namespace {

bool FocusInside(wxWindow* window) {
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) {
        if (w == window)
            return true;
    }
    return false;
}

}  // namespace

wxDialog* InnermostModal() {
    wxDialog* found = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (dialog && dialog->IsModal() && dialog->IsShown())
            found = dialog;
    }
    return found;
}

DialogScript::DialogScript() {
    timer_.Bind(wxEVT_TIMER, &DialogScript::OnTimer, this);
    timer_.Start(20);
}

DialogScript::~DialogScript() {
    timer_.Stop();
}

void DialogScript::OnTimer(wxTimerEvent&) {
    wxDialog* dialog = InnermostModal();
    // A dialog that nothing ends (a step that never matches, or a key that went astray) is
    // ended, so a failing test does not hang.
    if (!dialog || ++idleTicks_ > timeoutSeconds * 50) {
        if (dialog) {
            timedOut = true;
            steps_.clear();
            dialog->EndModal(-99);  // the next tick ends the one below it
        }
        idleTicks_ = 0;
        return;
    }
    if (steps_.empty() || !steps_.front().matches(dialog) || !dialog->IsShownOnScreen()) {
        readyTicks_ = 0;
        return;
    }
    if (dialog != seen_) {
        seen_ = dialog;
        readyTicks_ = 0;
    }
    // Let native widgets draw; a dialog a nested one returned to may wait in vain for the focus.
    ++readyTicks_;
    if (readyTicks_ < 10 || (readyTicks_ < 30 && !FocusInside(dialog)))
        return;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    readyTicks_ = 0;
    idleTicks_ = 0;
    seen_ = nullptr;
    // The act runs from a timer of its own: a dialog it opens runs a modal loop in which this
    // polling timer, no longer dispatching, keeps ticking for the next step.
    auto shot = std::make_unique<wxTimer>();
    shot->Bind(wxEVT_TIMER, [act = std::move(step.act), dialog](wxTimerEvent&) { act(dialog); });
    shot->StartOnce(1);
    shots_.push_back(std::move(shot));
}

void ClickOn(wxWindow* window, int button) {
    wxUIActionSimulator sim;
    sim.MouseMove(window->GetScreenPosition() + window->GetSize() / 2);
    Catch(40);
    sim.MouseClick(button == 1 ? wxMOUSE_BTN_LEFT : wxMOUSE_BTN_RIGHT);
    Catch(40);
}

void TypeText(wxWindow* edit, const std::string& text) {
    wxUIActionSimulator sim;
    sim.MouseMove(edit->GetScreenPosition() + edit->GetSize() / 2);
    edit->SetFocus();
    Catch(40);
    sim.Text(text.c_str());
    Catch(40);
}

void Key(int key, wxWindow* over) {
    wxUIActionSimulator sim;
    sim.MouseMove(over->GetScreenPosition() + over->GetSize() / 2);
    Catch(40);
    sim.Char(key);
    Catch(60);
}

void Catch(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        wxtest::Flush();
        wxMilliSleep(20);
    }
}

void ScreenArtifact(wxWindow* window, const std::string& name) {
    ScreenArtifact(window->GetScreenRect(), name);
}

void ScreenArtifact(const wxRect& rect, const std::string& name) {
    wxBitmap bitmap(rect.GetSize());
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    platform::CreateDirectories("artifacts");
    bitmap.ConvertToImage().SaveFile(wxString::FromUTF8("artifacts/" + name + ".png"), wxBITMAP_TYPE_PNG);
}

}  // namespace dialogtest
