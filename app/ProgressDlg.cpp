#include "app/ProgressDlg.h"

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <chrono>
#include <memory>

#include "app/DialogLook.h"
#include "app/core/ProgressCancel.h"

namespace {

// Client pixels.
const wxSize kClient{261, 80};
constexpr DialogItem kCaption{27, 10, 209, 16};
constexpr DialogItem kProgress{24, 27, 212, 18};
constexpr DialogItem kCancel{153, 50, 81, 24};

}  // namespace

bool CProgressDlg::Create(wxWindow* parent) {
    m_pCreateParent = parent;
    // No caption bar; the raised border sets it off from the window below.
    if (!wxDialog::Create(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxBORDER_RAISED))
        return false;
    SetFont(DialogFont());
    SetClientSize(kClient);
    m_ctlCaption =
        new wxStaticText(this, IDC_CAPTION, "", kCaption.Pos(), kCaption.Size(), wxST_NO_AUTORESIZE);
    m_ctlProgress = new wxGauge(this, IDC_PROGRESS, 100, kProgress.Pos(), kProgress.Size(), wxGA_HORIZONTAL);
    m_btnCancel = new wxButton(this, IDC_CANCEL, wxString::FromUTF8(ProgressCancelCaption()), kCancel.Pos(),
                               kCancel.Size());
    m_btnCancel->Show(ProgressShowsCancelButton());
    m_btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { m_bCancel = true; });
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, &CProgressDlg::OnCharHook, this);
    // Without the Cancel button nothing in it takes the focus: the window itself takes it, so
    // that Esc reaches it.
    SetCanFocus(!m_btnCancel->IsShown());
    Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
        m_bPainted = true;
        event.Skip();
    });
    return true;
}

void CProgressDlg::ShowDrawn(int timeoutMs) {
    Show();
    DrawNow(timeoutMs);
}

void CProgressDlg::DrawNow(int timeoutMs) {
    m_bPainted = false;
    if (!IsShown())
        return;  // no paint would come
    Refresh();
    // Outside any running loop (start-up, tests) a loop of its own does the yielding.
    std::unique_ptr<wxEventLoopBase> own;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop) {
        own.reset(wxTheApp->GetTraits()->CreateEventLoop());
        loop = own.get();
    }
    // A monotonic clock: a change of the wall clock neither stretches nor skips the wait.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_bPainted && std::chrono::steady_clock::now() < until) {
        // Map, expose and paint only: no input and nothing posted, so nothing re-enters the
        // caller that is about to block.
        loop->YieldFor(wxEVT_CATEGORY_UI);
        if (!m_bPainted)
            wxMilliSleep(2);
    }
    // What was drawn goes out to the display now, not when the blocked loop next runs.
    Update();
}

void CProgressDlg::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) {
        m_bCancel = true;
        return;
    }
    event.Skip();
}
