#include "app/RestrictionDlg.h"

#include <wx/artprov.h>

#include "app/DialogLook.h"
#include "app/core/NoticeParagraphs.h"
#include "common/AppFolders.h"

namespace {

// Client pixels.
const wxSize kClient{464, 264};
constexpr DialogItem kIcon{14, 14, 32, 32};
constexpr DialogItem kWarning{50, 14, 404, 213};
constexpr DialogItem kOk{378, 233, 75, 24};

constexpr int kResultClosed = 2;

}  // namespace

CRestrictionDlg::CRestrictionDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    SetFont(DialogFont());
    SetProgramIcon(this);
    SetTitle(wxString::FromUTF8(GetProductName()));
    SetClientSize(kClient);

    m_ctlIcon = new wxStaticBitmap(this, IDC_ICON,
                                   wxArtProvider::GetBitmap(wxART_WARNING, wxART_MESSAGE_BOX, kIcon.Size()),
                                   kIcon.Pos(), kIcon.Size());
    m_edtWarning =
        new wxTextCtrl(this, IDC_WARNING, "", kWarning.Pos(), kWarning.Size(),
                       wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_WORDWRAP | wxBORDER_SUNKEN);
    m_edtWarning->SetFont(DialogFont(true));
    const wxTextAttr japanese(wxNullColour, wxNullColour, JapaneseDialogFont(true));
    for (const NoticeParagraph& p : NoticeParagraphs(resources::Notice::PowerCable)) {
        const long start = m_edtWarning->GetLastPosition();
        m_edtWarning->AppendText((start > 0 ? "\n\n" : "") + wxString::FromUTF8(p.text));
        if (p.japanese)
            m_edtWarning->SetStyle(start, m_edtWarning->GetLastPosition(), japanese);
    }
    m_edtWarning->SetInsertionPoint(0);
    // The notice only shows: no key or click reaches its text, but Tab still moves on, so the
    // keyboard can always reach OK.
    for (const auto type : {wxEVT_KEY_DOWN, wxEVT_KEY_UP, wxEVT_CHAR})
        m_edtWarning->Bind(type, [](wxKeyEvent& event) { event.Skip(event.GetKeyCode() == WXK_TAB); });
    for (const auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN,
                            wxEVT_RIGHT_UP, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP, wxEVT_MOTION})
        m_edtWarning->Bind(type, [](wxMouseEvent&) {});
    m_edtWarning->Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});

    m_btnOk = new wxButton(this, IDC_OK, "OK", kOk.Pos(), kOk.Size());
    m_btnOk->SetDefault();
    m_btnOk->SetFocus();
    SetEscapeId(wxID_NONE);
    m_btnOk->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(kResultClosed); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(kResultClosed); });
    CentreOnParent();
}

int CRestrictionDlg::DoModal() {
    if (!m_semShow.BeginShow())
        return 0;
    const int result = ShowModal();
    // However it ended, it may show again.
    m_semShow.EndShow();
    return result;
}
