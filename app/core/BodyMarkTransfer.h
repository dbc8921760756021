// Command 81: the body-mark picker opened over the main view's body mark, and the choice
// copied back into the main and left views.
//
// The preview (303 x 272) and a view's body-mark rectangle (57 x 61) differ by a factor of
// about 5.3 across and 4.5 down, so the marker's centre is carried over by the ratio of the
// two pictures, per axis, and kept inside the rectangle. A coordinate the user did not change
// keeps the view's own value, so opening and closing the picker never moves the marker.
#pragma once

#include <functional>

#include "app/core/BodyMarkPicker.h"

class CCstmPictureCtrl;
class CKALVEXDlg;

// The picker's marker position for a view's body-mark position.
draw::Point PickerMarkFromView(const CCstmPictureCtrl& view);
// The view's body-mark position for the picker's marker position.
draw::Point ViewMarkFromPicker(const CCstmPictureCtrl& view, draw::Point mark);

// The picker's start values from the main view.
CBodyMarkPicker PickerFromView(const CCstmPictureCtrl& view);
// On OK: the view takes the picture and angle; each coordinate that differs from the one
// the picker started with is carried back, the other keeps the view's value.
void ApplyPickerToView(CCstmPictureCtrl& view, const CBodyMarkPicker& opened, const CBodyMarkPicker& chosen);

// Runs the modal picker on the values; returns 1 (taken over) or 2 (closed by the window).
using BodyMarkPickerRun = std::function<int(CBodyMarkPicker& picker)>;

// Whether command 81 may open the picker now: none open, frozen, the exam's list, no
// stored-item preview and no measurement active.
bool CanOpenBodyMarkPicker(CKALVEXDlg& dlg, bool measuring);
// Command 81 (CKALVEXDlg::OpenSaveDialog): false when refused. While the picker runs the
// main window's key router passes only Esc (m_bCineStoreRunning).
bool OpenSaveDialog(CKALVEXDlg& dlg, bool measuring, const BodyMarkPickerRun& run);
// True while a picker is open.
bool IsBodyMarkPickerOpen();
