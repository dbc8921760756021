#include "app/WxMessageBox.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

long MessageDialogStyle(MsgIcon icon, MsgButtons buttons) {
    long style = 0;
    switch (buttons) {
        case MsgButtons::Ok:
            style = wxOK;
            break;
        case MsgButtons::OkCancel:
            style = wxOK | wxCANCEL;
            break;
        case MsgButtons::YesNo:
            style = wxYES_NO;
            break;
        case MsgButtons::YesNoCancel:
            style = wxYES_NO | wxCANCEL;
            break;
    }
    switch (icon) {
        case MsgIcon::None:
            return style | wxICON_NONE;
        case MsgIcon::Error:
            return style | wxICON_ERROR;
        case MsgIcon::Exclamation:
            return style | wxICON_WARNING;
        case MsgIcon::Information:
            return style | wxICON_INFORMATION;
        case MsgIcon::Question:
            return style | wxICON_QUESTION;
    }
    return style;
}

MsgAnswer AnswerFromDialogResult(int result) {
    switch (result) {
        case wxID_YES:
            return MsgAnswer::Yes;
        case wxID_NO:
            return MsgAnswer::No;
        case wxID_CANCEL:
            return MsgAnswer::Cancel;
        default:
            return MsgAnswer::Ok;
    }
}

void InstallWxMessageBoxHandler() {
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest& r) {
        wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
        wxMessageDialog dialog(parent, wxString::FromUTF8(r.text), wxString::FromUTF8(r.caption),
                               MessageDialogStyle(r.icon, r.buttons));
        return AnswerFromDialogResult(dialog.ShowModal());
    });
}
