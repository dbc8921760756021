// The real main window's mouse, menu and resize with the simulated probe in stepped mode:
// pointer clicks through the window system reach the core's routing, a press released on
// another view abandons, the BB indicator, the M-line and the depth-scale focus follow
// clicks, the tool buttons switch the screen, a forced maximised size enlarges the views,
// and the header's menu opens the version box. Screenshots of the layouts go to artifacts/.
#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainGlobals.h"
#include "common/AppFolders.h"
#include "platform/StringUtil.h"
#include "tests/app/MainFrameFixture.h"
#include "tests/app/WxTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using wxtest::Flush;
using namespace maindlg;

class MainInputTest : public wxtest::MainFrameFixture {
protected:
    wxPoint OnScreen(wxWindow* w, int x, int y) { return w->ClientToScreen(wxPoint(x, y)); }
    void Click(const wxPoint& screen) {
        // Apart from the last click by more than the double-click time: each is a press.
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        wxUIActionSimulator sim;
        sim.MouseMove(screen);
        Settle(4);
        sim.MouseDown();
        Settle(4);
        sim.MouseUp();
        Settle();
    }
    void ClickControl(int id) {
        wxWindow* w = frame_->Controls().Find(id);
        ASSERT_NE(w, nullptr);
        Click(OnScreen(w, w->GetSize().x / 2, w->GetSize().y / 2));
    }
    void Live() {
        ClickControl(IDC_FREEZE);
        ASSERT_EQ(Core().m_nRunState, kLive);
        Frames(3);
    }
    void Freeze() {
        Key(WXK_SPACE);
        ASSERT_EQ(Core().m_nRunState, kFrozen);
    }
};

}  // namespace

TEST_F(MainInputTest, APressOnTheLeftViewReleasedOnTheRightAbandons) {
    Live();
    Key(WXK_F3);
    Frames(3);
    Freeze();
    ASSERT_EQ(Core().m_nScreenLayout, 7);
    wxWindow* left = frame_->ViewWindow(kViewLeft);
    wxWindow* right = frame_->ViewWindow(kViewRight);
    wxUIActionSimulator sim;
    sim.MouseMove(OnScreen(left, 120, 200));
    Settle(4);
    sim.MouseDown();
    Settle(4);
    ASSERT_EQ(Core().MeasureClickState, 1);
    ASSERT_EQ(Core().m_nPressView, kViewLeft);
    Core().m_viewLeft.m_nDistanceCount = 1;  // the open point the press placed
    Core().m_viewLeft.m_anDistanceFlag[0] = 1;
    sim.MouseMove(OnScreen(right, 120, 200));
    Settle(4);
    sim.MouseUp();
    Settle();
    EXPECT_EQ(Core().MeasureClickState, 0);
    EXPECT_EQ(Core().m_viewLeft.m_nDistanceCount, 0);
    EXPECT_EQ(Core().m_viewLeft.m_anDistanceFlag[0], 0);
}

TEST_F(MainInputTest, TheInactiveBbIndicatorSwitchesSidesOutsidePcMode) {
    Live();
    Key(WXK_F2);
    Frames(3);
    ASSERT_EQ(Core().m_nDisplayMode, kDisplayBB);
    ASSERT_EQ(Core().m_nBbSide, 2);
    wxWindow* left = frame_->ViewWindow(kViewLeft);
    // PC mode (the default): the indicators are pictures only.
    Click(OnScreen(left, 15, 15));
    Frames(2);
    EXPECT_EQ(Core().m_nBbSide, 2);
    // Outside PC mode the indicators are drawn from the entry into BB on.
    Key(WXK_F2);
    ASSERT_EQ(Core().m_nDisplayMode, kDisplayB);
    Core().m_bPcMode = false;
    Key(WXK_F2);
    Frames(3);
    ASSERT_EQ(Core().m_nBbSide, 2);
    Click(OnScreen(left, 15, 15));
    Frames(2);
    EXPECT_EQ(Core().m_nBbSide, 1);
    Shot("live_bb_left_active");
}

TEST_F(MainInputTest, AClickInLiveBmAimsTheMLine) {
    Live();
    Key(WXK_F3);
    Frames(2);
    ASSERT_EQ(Core().m_nDisplayMode, kDisplayBM);
    const double pi = std::numbers::pi;
    EXPECT_DOUBLE_EQ(Core().m_pLiveProc->GetParams().mLineAngle, 3 * pi / 2);
    Click(OnScreen(frame_->ViewWindow(kViewLeft), 80, 300));
    const double angle = Core().m_pLiveProc->GetParams().mLineAngle;
    EXPECT_GT(angle, pi);
    EXPECT_LT(angle, 3 * pi / 2);
    Frames(12);
    Shot("live_bm_mline_aimed");
}

TEST_F(MainInputTest, ReleasingOnTheDepthScaleSetsTheProbesFocus) {
    Live();
    const std::vector<int> rows = Core().m_viewMain.m_vecTickBoundaries;
    ASSERT_GE(rows.size(), 5u);
    const int step = Core().m_viewMain.m_nTickStep;
    const int k = 4;
    Click(OnScreen(frame_->ViewWindow(kViewMain), 10, rows[k] - 1));
    EXPECT_EQ(Core().m_pLiveProc->GetParams().focus, k * step);
    EXPECT_EQ(sim_->State().focusMm, k * step);
}

TEST_F(MainInputTest, ToolButtonsSwitchTheFrozenScreen) {
    Shot("layout00_frozen_empty");
    Live();
    Freeze();
    EXPECT_EQ(Core().m_nScreenLayout, 5);
    Shot("layout05_frozen_b");
    struct Step {
        int button;
        int layout;
        const char* shot;
    } steps[] = {
        {IDC_DIST, 8, "layout08_distance"},
        {IDC_AREA, 11, "layout11_area"},
        {IDC_ELLIPSE, 14, "layout14_ellipse"},
        {IDC_ELLIPSE, 5, nullptr},
    };
    for (const Step& s : steps) {
        ClickControl(s.button);
        EXPECT_EQ(Core().m_nScreenLayout, s.layout) << s.button;
        if (s.shot)
            Shot(s.shot);
    }
    Core().ExecCommand(kCmdZoom);
    EXPECT_EQ(Core().m_nScreenLayout, 17);
    Shot("layout17_zoom");
}

TEST_F(MainInputTest, FrozenHalfScreensMergedAndNot) {
    Live();
    Key(WXK_F2);
    Frames(3);
    Freeze();
    EXPECT_EQ(Core().m_nScreenLayout, 6);
    Shot("layout06_frozen_bb_merged");
    // The live half shallower: the two halves now hold frames of two depths.
    Key(WXK_SPACE);
    ASSERT_EQ(Core().m_nRunState, kLive);
    Key(WXK_UP);
    Key(WXK_UP);
    Frames(4);
    Freeze();
    CCineRing& cine = Core().m_pLiveProc->Cine();
    EXPECT_NE(cine.GetSpecialDepth(0), cine.GetSpecialDepth(1));
    Shot("layout06_frozen_bb_two_depths");
    Key(WXK_SPACE);  // live again
    Key(WXK_F2);     // B
    Key(WXK_F3);
    Frames(20);
    Freeze();
    EXPECT_EQ(Core().m_nScreenLayout, 7);
    Shot("layout07_frozen_bm");
}

TEST_F(MainInputTest, AForcedMaximisedSizeEnlargesTheViewsAndRestoringBringsThemBack) {
    Live();
    wxWindow* main = frame_->ViewWindow(kViewMain);
    const wxRect before = main->GetRect();
    frame_->ForceMaximised(true);
    Frames(2);
    EXPECT_EQ(Core().m_nEnlargement, 260);
    EXPECT_EQ(main->GetSize(), wxSize(740, 740));
    EXPECT_DOUBLE_EQ(Core().m_viewMain.m_dViewScale, 480.0 / 740.0);
    Shot("maximised_live_b");
    Freeze();
    Key(WXK_SPACE);
    Key(WXK_F3);
    Frames(20);
    Freeze();
    EXPECT_EQ(frame_->ViewWindow(kViewLeft)->GetSize(), wxSize(370, 740));
    Shot("maximised_frozen_bm");
    frame_->ForceMaximised(false);
    Settle();
    EXPECT_EQ(Core().m_nEnlargement, 0);
    Key(WXK_SPACE);
    Key(WXK_F3);  // back to B
    Frames(2);
    EXPECT_EQ(main->GetRect(), before);
    EXPECT_DOUBLE_EQ(Core().m_viewMain.m_dViewScale, 1.0);
}

TEST_F(MainInputTest, TheHeadersMenuOpensTheVersionBox) {
    std::string hardware;
    std::string caption;
    frame_->popupMenuHook = [&](wxMenu& menu) {
        wxMenuItem* item = menu.FindItem(CMainFrame::ID_VERSION_INFORMATION);
        EXPECT_NE(item, nullptr);
        if (item)
            caption = item->GetItemLabelText().utf8_string();
        frame_->CallAfter([&] {
            for (wxWindow* w : wxTopLevelWindows) {
                if (auto* about = dynamic_cast<CAboutDlg*>(w); about && about->IsModal()) {
                    hardware = about->m_ctlHardware->GetLabelText().utf8_string();
                    about->EndModal(wxID_OK);
                }
            }
        });
        return static_cast<int>(CMainFrame::ID_VERSION_INFORMATION);
    };
    wxWindow* header = frame_->Controls().Find(IDC_HEADER);
    wxUIActionSimulator sim;
    sim.MouseMove(OnScreen(header, 20, 10));
    Settle(4);
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    Settle();
    EXPECT_EQ(caption, "Version Information " + GetProductName());
    IProbeData* probe = g_pProbe.load();
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(hardware, "H/W: " + platform::Format("%08X-%08X-%08X", probe->GetHardwareId(),
                                                   probe->GetVersionB(), probe->GetVersionA()));
    EXPECT_FALSE(Core().m_bBusy);
}
