// The screen layouts as data: for each layout its base layout and, per control of the main
// dialog and of the live panel, what it does (shown or hidden, enabled or disabled, caption,
// state, pictures, or unchanged). The steps that depend on the moment (the STC panel, the
// recorder, OB/GY availability) stay in CKALVEXDlg::SetScreenLayout.
#pragma once

#include <cstdint>
#include <span>

#include "app/core/MainDialogIds.h"

struct ControlAction {
    enum : int8_t { kKeep = -1 };
    int id = 0;
    int8_t show = kKeep;           // 0 hide, 1 show
    int8_t enable = kKeep;         // 0 disable, 1 enable
    int8_t state = kKeep;          // button state 5 or 6
    int caption = kKeep;           // caption string id; 0 empty
    maindlg::ButtonFaces faces{};  // applied when faces.normal is not 0
};

struct LayoutRow {
    int layout = 0;
    int base = -1;  // applied first (redraw off); -1 none
    std::span<const ControlAction> main;
    std::span<const ControlAction> live;  // live-panel buttons
    int pressedTool = 0;                  // 1..3: that tool's button is pressed; 0 unchanged
};

// The row of a layout, or null for a layout without one.
const LayoutRow* FindLayoutRow(int layout);

// Action builders for the tables.
constexpr ControlAction Shown(int id) {
    return {id, 1};
}
constexpr ControlAction Hidden(int id) {
    return {id, 0};
}
constexpr ControlAction Enabled(int id) {
    return {id, ControlAction::kKeep, 1};
}
constexpr ControlAction Disabled(int id) {
    return {id, ControlAction::kKeep, 0};
}
constexpr ControlAction Act(int id, int8_t show, int8_t enable, int8_t state = ControlAction::kKeep,
                            int caption = ControlAction::kKeep) {
    return {id, show, enable, state, caption};
}
constexpr ControlAction Faces(int id, maindlg::ButtonFaces faces) {
    return {id,   ControlAction::kKeep, ControlAction::kKeep, ControlAction::kKeep, ControlAction::kKeep,
            faces};
}
