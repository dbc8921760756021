#include "app/AboutDlg.h"

#include "app/DialogLook.h"
#include "app/core/AboutContent.h"

namespace {

// Client pixels.
const wxSize kClient{285, 124};
constexpr DialogItem kIcon{21, 24, 32, 32};
constexpr DialogItem kVersion{66, 16, 210, 16};
constexpr DialogItem kHardware{66, 34, 210, 16};
constexpr DialogItem kFixed{66, 56, 210, 32};
constexpr DialogItem kOk{200, 94, 75, 24};

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    const AboutContent content = MakeAboutContent();
    SetFont(DialogFont());
    SetTitle(wxString::FromUTF8(content.caption));
    SetClientSize(kClient);

    AddProgramIconPicture(this, kIcon);
    // Texts shown as they are: no mnemonic prefix.
    m_ctlVersion =
        new wxStaticText(this, IDC_VERSION, "", kVersion.Pos(), kVersion.Size(), wxST_NO_AUTORESIZE);
    m_ctlVersion->SetLabelText(wxString::FromUTF8(content.title));
    m_ctlHardware =
        new wxStaticText(this, IDC_HARDWARE, "", kHardware.Pos(), kHardware.Size(), wxST_NO_AUTORESIZE);
    m_ctlHardware->SetLabelText(wxString::FromUTF8(content.hardware));
    auto* fixed = new wxStaticText(this, wxID_ANY, "", kFixed.Pos(), kFixed.Size(), wxST_NO_AUTORESIZE);
    fixed->SetLabelText(wxString::FromUTF8(content.fixedText));
    m_btnOk = new wxButton(this, wxID_OK, "OK", kOk.Pos(), kOk.Size());
    m_btnOk->SetDefault();
    SetEscapeId(wxID_NONE);
    m_btnOk->SetFocus();
    CentreOnParent();
}
