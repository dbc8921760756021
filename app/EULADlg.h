// The terms-of-use notice shown at every start: the bilingual notice in a read-only text,
// accept and refuse. Accepting gives kEulaAccepted; refusing (the default button), Esc,
// Enter in the text and the close box give kEulaRefused, and the program ends.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

class CEULADlg : public wxDialog {
public:
    enum : int { IDC_NOTICE = 1234, IDC_ACCEPT = 1, IDC_REFUSE = 2 };

    explicit CEULADlg(wxWindow* parent);
    int DoModal() { return ShowModal(); }

    wxTextCtrl* m_edtNotice = nullptr;
    wxButton* m_btnAccept = nullptr;
    wxButton* m_btnRefuse = nullptr;

private:
    void FillNotice();
    void OnCharHook(wxKeyEvent& event);
};
