#include "app/WxMessageBox.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/dcscreen.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/textbuf.h>

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

// wx's generic box breaks lines at '\n' only: a long path made it as wide as the screen, its
// end cut off. A line wider than about sixty characters of the box's font breaks at a space,
// or, within a word too long for a line (a path), after its last '/' that fits, else where the
// line is full. A line's leading spaces stay (the delete question indents its list).
wxString BreakLongLines(const wxString& text) {
    wxScreenDC dc;
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    const int widest = std::max(1, std::min(dc.GetCharWidth() * 60, wxGetDisplaySize().x / 2));
    const auto fits = [&](const wxString& piece) { return dc.GetTextExtent(piece).x <= widest; };
    wxString out;
    const wxArrayString lines = wxSplit(text, '\n', '\0');
    for (size_t l = 0; l < lines.size(); ++l) {
        if (l > 0)
            out += '\n';
        wxString rest = lines[l];
        size_t indent = std::min(rest.find_first_not_of(' '), rest.length());
        while (!fits(rest)) {
            // The most characters that fit, at least one.
            size_t lo = 1, hi = rest.length() - 1;
            while (lo < hi) {
                const size_t mid = (lo + hi + 1) / 2;
                if (fits(rest.Left(mid)))
                    lo = mid;
                else
                    hi = mid - 1;
            }
            size_t cut = lo;
            size_t skip = 0;
            const size_t space = rest.Left(lo + 1).find_last_of(' ');
            const size_t slash = rest.Left(lo).find_last_of('/');
            if (space != wxString::npos && space > indent) {
                cut = space;
                skip = 1;
            } else if (slash != wxString::npos && slash > 0) {
                cut = slash + 1;
            }
            out += rest.Left(cut) + '\n';
            rest = rest.Mid(cut + skip);
            indent = 0;
        }
        out += rest;
    }
    return out;
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
        const wxString text = wxTextBuffer::Translate(wxString::FromUTF8(r.text), wxTextFileType_Unix);
        wxGenericMessageDialog dialog(parent, BreakLongLines(text), wxString::FromUTF8(caption), style);
        return AnswerFromDialogResult(dialog.ShowModal());
    });
}
