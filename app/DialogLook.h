// What the small dialogs share: their pixel tables (laid out from 1.5 px per dialog unit and
// adjusted by screenshot), their fonts and the program icon.
#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>

class wxTopLevelWindow;
class wxWindow;

struct DialogItem {
    int x, y, w, h;
    wxPoint Pos() const { return {x, y}; }
    wxSize Size() const { return {w, h}; }
};

// The dialogs' text: the UI face at 12 px, the size the dialog-unit grid was scaled for.
wxFont DialogFont(bool bold = false);
// Japanese paragraphs of the notices.
wxFont JapaneseDialogFont(bool bold = false);
// The program icon (bitmap 90) as the window's big and small icon; nothing when it is missing.
void SetProgramIcon(wxTopLevelWindow* window);
// The program icon as a 32 x 32 picture on `parent` at `at`; nothing when it is missing.
void AddProgramIconPicture(wxWindow* parent, const DialogItem& at);
