#include "app/EULADlg.h"

#include "app/DialogLook.h"
#include "app/core/EulaNotice.h"

namespace {

// Client pixels.
const wxSize kClient{464, 309};
constexpr DialogItem kNotice{11, 11, 443, 257};
constexpr DialogItem kAccept{207, 277, 120, 24};
constexpr DialogItem kRefuse{333, 277, 120, 24};

}  // namespace

CEULADlg::CEULADlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    SetFont(DialogFont());
    SetProgramIcon(this);
    SetTitle(wxString::FromUTF8(EulaCaption()));
    SetClientSize(kClient);

    // A scroll bar appears only if the notice ever outgrows the box, so none of it is hidden.
    m_edtNotice =
        new wxTextCtrl(this, IDC_NOTICE, "", kNotice.Pos(), kNotice.Size(),
                       wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_WORDWRAP | wxBORDER_SUNKEN);
    m_btnAccept =
        new wxButton(this, IDC_ACCEPT, wxString::FromUTF8(kEulaAcceptCaption), kAccept.Pos(), kAccept.Size());
    m_btnRefuse =
        new wxButton(this, IDC_REFUSE, wxString::FromUTF8(kEulaRefuseCaption), kRefuse.Pos(), kRefuse.Size());
    m_btnRefuse->SetDefault();
    FillNotice();

    m_btnAccept->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kEulaAccepted); });
    m_btnRefuse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kEulaRefused); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(kEulaRefused); });
    Bind(wxEVT_CHAR_HOOK, &CEULADlg::OnCharHook, this);
    // No context menu on the notice: neither the press nor the menu event goes on to the text.
    m_edtNotice->Bind(wxEVT_RIGHT_DOWN, [](wxMouseEvent&) {});
    m_edtNotice->Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});

    m_edtNotice->SetFocus();
    CentreOnParent();
}

void CEULADlg::FillNotice() {
    // The notice's paragraphs end with "\r\n\r\n"; the text control takes "\n" line ends.
    const wxTextAttr japanese(wxNullColour, wxNullColour, JapaneseDialogFont());
    for (const NoticeParagraph& p : EulaParagraphs()) {
        const long start = m_edtNotice->GetLastPosition();
        m_edtNotice->AppendText(wxString::FromUTF8(p.text) + "\n\n");
        if (p.japanese)
            m_edtNotice->SetStyle(start, m_edtNotice->GetLastPosition(), japanese);
    }
    m_edtNotice->SetInsertionPoint(0);
    m_edtNotice->ShowPosition(0);
}

void CEULADlg::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        EndModal(kEulaRefused);
        return;
    }
    // GTK's read-only text may keep Enter to itself; in the notice Enter presses the default
    // button, which refuses.
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && FindFocus() == m_edtNotice) {
        EndModal(kEulaRefused);
        return;
    }
    event.Skip();
}
