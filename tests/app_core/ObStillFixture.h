// The headless main window with the real archive, the OB/GY panel and windows faked: stills
// stored one second apart, and OB/GY items measured with the mouse on the main view at image
// pixels (the view scale is 1).
#pragma once

#include "ArchiveFixture.h"
#include "MeasureFakes.h"
#include "app/core/VirtualKeys.h"

namespace coretest {

class ObStillTest : public ArchiveCoreTest {
protected:
    void MorePorts(MainDlgPorts& p) override {
        p.obPanel = &panel;
        p.measureWindows = &windows;
    }
    // Live, the depth slider set to this depth (470 / depth pixels per millimetre).
    void Depth(int depth) {
        side.right.SetSliderPos(maindlg::IDC_R_DEPTH, depth);
        int code = maindlg::SB_THUMBPOSITION;
        dlg->ExecCommand(maindlg::kCmdApplyDepth, &code);
    }
    void StoreStill() {
        NextSecond();
        Key(vk::kI);
    }
    void Mouse(int message, draw::Point p) {
        const draw::Rect r = dlg->ViewRect(maindlg::kViewMain);
        dlg->PreTranslateMouse(MouseMessage{message, {r.left + p.x, r.top + p.y}});
    }
    void Click(draw::Point p) {
        Mouse(maindlg::WM_LBUTTONDOWN, p);
        Mouse(maindlg::WM_LBUTTONUP, p);
    }
    // An item's key, then its pair: a click, a move to the second point, a click there.
    void Pair(int key, draw::Point a, draw::Point b) {
        Key(key);
        Click(a);
        Mouse(maindlg::WM_MOUSEMOVE, b);
        Click(b);
    }

    FakeObPanel panel;
    FakeMeasureWindows windows;
};

}  // namespace coretest
