// The main dialog's controls as windows, addressed by their ids (maindlg::ControlId and the
// 16 result labels). The core keeps what each control shows in CMainControlModel and hands
// every change on through this interface; the frame applies it to the real control. Reading
// back goes to the model, except the keyboard focus, which the user moves. The image views
// (1011, 1012, 1014) are shown and hidden through IMainViews only, never through this interface.
#pragma once

#include <string>

#include "app/core/MainDialogIds.h"
#include "platform/draw/Geometry.h"

class IMainControls {
public:
    virtual ~IMainControls() = default;
    virtual void ShowControl(int id, bool show) = 0;
    // The window's enabled state and, for buttons of the control kit, their own enabled flag.
    virtual void EnableControl(int id, bool enable) = 0;
    // Button caption (1001, 1007, 1032) or static text (1018, 1019, 1021, 1057, 1165,
    // 1194..1196, 1220 and the result labels).
    virtual void SetControlText(int id, const std::string& text) = 0;
    // Control-kit button state (maindlg::ButtonState).
    virtual void SetButtonState(int id, int state) = 0;
    // The Freeze/UnFreeze toggle 1001.
    virtual void SetChecked(int id, bool checked) = 0;
    // Pictures of a bitmap button (ids of resources/icons); sized to its picture.
    virtual void SetFaces(int id, const maindlg::ButtonFaces& faces) = 0;
    // Repaints the control now (erase: repaint its background too).
    virtual void RepaintControl(int id, bool erase) = 0;
    virtual void SetFocusTo(int id) = 0;
    // The main-dialog control that has the keyboard focus, 0 when none of them has it.
    virtual int GetFocusedControl() const = 0;
    // Moves a control to a rectangle of the client area (the resize handling), repainting it.
    virtual void MoveControl(int /*id*/, const draw::Rect& /*rect*/) {}
    // A result label's font: ResultLabel12 (large) or ResultLabel10.
    virtual void SetResultLabelFont(int /*id*/, bool /*large*/) {}
};
