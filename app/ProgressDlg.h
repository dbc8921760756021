// The modeless progress window of long operations: a caption line, a progress bar and a
// cancel flag. The caller creates, centres and shows it, sets the caption and the bar,
// reads m_bCancel between steps and destroys it at the end. Esc anywhere in it and the
// Cancel button (hidden in the PC layout) set the flag.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

class CProgressDlg : public wxDialog {
public:
    enum : int { IDC_PROGRESS = 1085, IDC_CAPTION = 1086, IDC_CANCEL = 1146 };

    CProgressDlg() = default;
    // Makes the window, without a caption bar; `parent` may be null.
    virtual bool Create(wxWindow* parent = nullptr);
    // Shows the window and lets the window system map and paint it, caption and bar, before a
    // step that dispatches nothing (an encode): never an empty frame on the display. Only
    // drawing and layout events are handled meanwhile, for at most `timeoutMs`.
    void ShowDrawn(int timeoutMs = kDrawTimeoutMs);
    // The same for a changed caption or bar while the window is up.
    void DrawNow(int timeoutMs = kDrawTimeoutMs);
    // True once the window was painted since it was shown or last asked to draw.
    bool Painted() const { return m_bPainted; }
    static constexpr int kDrawTimeoutMs = 3000;

    wxWindow* m_pCreateParent = nullptr;
    unsigned m_nTemplateId = 165;
    wxGauge* m_ctlProgress = nullptr;
    wxStaticText* m_ctlCaption = nullptr;
    bool m_bCancel = false;
    wxButton* m_btnCancel = nullptr;

private:
    void OnCharHook(wxKeyEvent& event);
    bool m_bPainted = false;
};
