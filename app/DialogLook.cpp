#include "app/DialogLook.h"

#include <wx/iconbndl.h>
#include <wx/statbmp.h>
#include <wx/toplevel.h>

#include "app/IconLoader.h"
#include "app/WxImage.h"
#include "platform/draw/Fonts.h"

namespace {

constexpr int kProgramIconId = 90;
constexpr int kDialogFontPixels = 12;

wxFont MakeFont(const char* face, bool bold) {
    return wxFont(wxFontInfo(wxSize(0, kDialogFontPixels)).FaceName(face).Bold(bold));
}

wxBitmap ProgramIcon(int size) {
    const Image32 image = LoadIcon(kProgramIconId, size, size);
    if (image.width() == 0)
        return {};
    return wxBitmap(ToWxImage(image));
}

}  // namespace

wxFont DialogFont(bool bold) {
    return MakeFont(draw::kUiFace, bold);
}

wxFont JapaneseDialogFont(bool bold) {
    return MakeFont(draw::kJapaneseFace, bold);
}

void SetProgramIcon(wxTopLevelWindow* window) {
    wxIconBundle icons;
    for (int size : {16, 32, 48}) {
        const wxBitmap bitmap = ProgramIcon(size);
        if (bitmap.IsOk()) {
            wxIcon icon;
            icon.CopyFromBitmap(bitmap);
            icons.AddIcon(icon);
        }
    }
    if (!icons.IsEmpty())
        window->SetIcons(icons);
}

void AddProgramIconPicture(wxWindow* parent, const DialogItem& at) {
    const wxBitmap bitmap = ProgramIcon(at.w);
    if (bitmap.IsOk())
        new wxStaticBitmap(parent, wxID_ANY, bitmap, at.Pos(), at.Size());
}
