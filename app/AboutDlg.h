// The version box: the program's title and version, the connected probe's identity and a
// fixed two-line text. Opened from the header's context menu "Version Information".
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>

class CAboutDlg : public wxDialog {
public:
    enum : int { IDC_VERSION = 1109, IDC_HARDWARE = 1110 };

    explicit CAboutDlg(wxWindow* parent);
    // Runs the box modally; OK (Enter presses it) and the close box end it.
    int DoModal() { return ShowModal(); }

    wxStaticText* m_ctlVersion = nullptr;
    wxStaticText* m_ctlHardware = nullptr;
    wxButton* m_btnOk = nullptr;
};
