// The safety notice about the computer's power cable: bilingual, bold, with the warning icon
// and an OK button. It is shown at most once at a time.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "app/core/RestrictionGuard.h"

class CRestrictionDlg : public wxDialog {
public:
    enum : int { IDC_WARNING = 1235, IDC_ICON = 1236, IDC_OK = 2 };

    explicit CRestrictionDlg(wxWindow* parent);
    // Shows the notice modally and returns 2 when it ends; returns 0 at once, showing
    // nothing, when it is already showing.
    int DoModal();

    wxTextCtrl* m_edtWarning = nullptr;
    CRestrictionGuard m_semShow;
    wxStaticBitmap* m_ctlIcon = nullptr;
    wxButton* m_btnOk = nullptr;
};
