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

    wxWindow* m_pCreateParent = nullptr;
    unsigned m_nTemplateId = 165;
    wxGauge* m_ctlProgress = nullptr;
    wxStaticText* m_ctlCaption = nullptr;
    bool m_bCancel = false;
    wxButton* m_btnCancel = nullptr;

private:
    void OnCharHook(wxKeyEvent& event);
};
