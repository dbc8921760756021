#include "app/WxMessageBox.h"

#include <dlfcn.h>

#include <type_traits>  // wx/weakref.h needs it first

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/weakref.h>

#include <wx/generic/msgdlgg.h>  // after wx/msgdlg.h, which it builds on

#include "common/AppFolders.h"

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

namespace {

// GTK's message dialog can open with the keyboard focus on its selectable text, where Enter does
// not answer it. Once it is up, the focus goes to its default button. GTK is in the process (wx's
// port loaded it); these two calls need no GTK headers.
void FocusDefaultButton(void* gtkDialog) {
    using GetDefault = void* (*)(void*);
    using GrabFocus = void (*)(void*);
    static const auto getDefault =
        reinterpret_cast<GetDefault>(dlsym(RTLD_DEFAULT, "gtk_window_get_default_widget"));
    static const auto grabFocus = reinterpret_cast<GrabFocus>(dlsym(RTLD_DEFAULT, "gtk_widget_grab_focus"));
    if (!gtkDialog || !getDefault || !grabFocus)
        return;
    if (void* button = getDefault(gtkDialog))
        grabFocus(button);
}

}  // namespace

void InstallWxMessageBoxHandler() {
    platform::SetMessageBoxHandler([](const platform::MessageBoxRequest& r) {
        wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
        // GTK 3's own message dialog shows no icon for any kind of message; wx's generic one
        // shows the desktop theme's icon of the kind (and none for a box without an icon).
        const long style = MessageDialogStyle(r.icon, r.buttons) & ~static_cast<long>(wxICON_NONE);
        // A box without a caption of its own carries the program's name.
        const std::string& caption = r.caption.empty() ? GetProductName() : r.caption;
        // Texts end their lines Windows' way ("\r\n"): the box breaks lines at '\n' only.
        std::string text;
        text.reserve(r.text.size());
        for (size_t i = 0; i < r.text.size(); ++i) {
            if (r.text[i] != '\r')
                text += r.text[i];
            else if (i + 1 == r.text.size() || r.text[i + 1] != '\n')
                text += '\n';
        }
        wxGenericMessageDialog dialog(parent, wxString::FromUTF8(text), wxString::FromUTF8(caption), style);
        // Runs inside the dialog's own loop, once it exists; a weak reference keeps a late call
        // from reaching a dialog that has already gone.
        wxWeakRef<wxGenericMessageDialog> alive(&dialog);
        if (wxTheApp)
            wxTheApp->CallAfter([alive] {
                if (alive)
                    FocusDefaultButton(alive->GetHandle());
            });
        return AnswerFromDialogResult(dialog.ShowModal());
    });
}
