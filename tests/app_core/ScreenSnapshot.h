// What every control of the main dialog shows (visibility, enabled flag, text, state,
// toggle, pictures), to compare the screen before and after something that must leave it be.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/core/KALVEXDlg.h"

namespace coretest {

using ScreenSnapshot = std::map<int, CMainControlModel::State>;

inline ScreenSnapshot TakeScreen(const CKALVEXDlg& dlg) {
    ScreenSnapshot s;
    for (int id : maindlg::kControls)
        s[id] = dlg.Controls().Get(id);
    for (int id : maindlg::kResultLabels)
        s[id] = dlg.Controls().Get(id);
    return s;
}

// One failure per control that changed, naming what changed.
inline void ExpectSameScreen(const ScreenSnapshot& before, const ScreenSnapshot& after,
                             const std::string& when) {
    for (const auto& [id, b] : before) {
        const CMainControlModel::State& a = after.at(id);
        EXPECT_EQ(a.shown, b.shown) << when << ": shown of " << id;
        EXPECT_EQ(a.enabled, b.enabled) << when << ": enabled of " << id;
        EXPECT_EQ(a.text, b.text) << when << ": text of " << id;
        EXPECT_EQ(a.buttonState, b.buttonState) << when << ": state of " << id;
        EXPECT_EQ(a.checked, b.checked) << when << ": check of " << id;
        EXPECT_EQ(a.faces, b.faces) << when << ": pictures of " << id;
    }
}

}  // namespace coretest
