// The dispatcher's tables: state and command in, state, layout, calls and messages out.
// Most cases need no probe: the state is set directly and the live processor exists anyway.
#include <cmath>
#include <numbers>

#include "CoreFixture.h"
#include "common/EventHub.h"

using namespace coretest;
using namespace maindlg;

namespace {

class CommandTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        Create();
        boxes.SetAnswer(platform::MsgAnswer::Ok);
        shownAtStart = boxes.shown().size();  // the missing probe's message
        // Without a probe the exam start opens the viewer; these cases work on the exam.
        dlg->m_bExamList = true;
    }
    // The live screen without a probe: what the unfreeze leaves, minus the stream.
    void GoLive(int layout = 1) {
        dlg->m_nRunState = kLive;
        dlg->m_nScreenLayout = layout;
        dlg->SetScreenLayout(layout, 0, true);
    }
    void GoFrozen(int layout = 5) {
        dlg->m_nRunState = kFrozen;
        dlg->m_nScreenLayout = layout;
        dlg->SetScreenLayout(layout, 0, true);
    }
    // A frozen cine of n black frames with records at `depth`.
    void FillCine(int n, int depth = 150) {
        Image8 black(480, 480);
        for (int i = 0; i < n; ++i) {
            FrameRecord r;
            r.depth = depth;
            Proc().Cine().Commit(black, r, MLineSample{}, 0.0, depth);
        }
    }
    size_t NewBoxes() const { return boxes.shown().size() - shownAtStart; }
    size_t shownAtStart = 0;
};

struct DisplayCase {
    const char* name;
    int runState;
    int displayMode;
    int tool;
    int command;
    int wantDisplay;
    int wantTool;
    int wantLayout;
};

}  // namespace

TEST_F(CommandTest, DisplayAndToolCommands) {
    const DisplayCase cases[] = {
        {"live B -> BB", kLive, kDisplayB, 0, 4, kDisplayBB, 0, 2},
        {"live BB -> B", kLive, kDisplayBB, 0, 3, kDisplayB, 0, 1},
        {"live B, BM on", kLive, kDisplayB, 0, 5, kDisplayBM, 0, 3},
        {"F2 live B", kLive, kDisplayB, 0, 28, kDisplayBB, 0, 2},
        {"F3 live B", kLive, kDisplayB, 0, 29, kDisplayBM, 0, 3},
        {"distance frozen B", kFrozen, kDisplayB, 0, 7, kDisplayB, 1, 8},
        {"distance off frozen B", kFrozen, kDisplayB, 1, 7, kDisplayB, 0, 5},
        {"distance frozen BB", kFrozen, kDisplayBB, 0, 7, kDisplayBB, 1, 9},
        {"distance frozen BM", kFrozen, kDisplayBM, 0, 7, kDisplayBM, 1, 10},
        {"area frozen B", kFrozen, kDisplayB, 0, 8, kDisplayB, 2, 11},
        {"area off frozen BM", kFrozen, kDisplayBM, 2, 8, kDisplayBM, 0, 7},
        {"zoom frozen B", kFrozen, kDisplayB, 0, 13, kDisplayB, 5, 17},
        {"zoom refused in BB", kFrozen, kDisplayBB, 0, 13, kDisplayBB, 0, 6},
        {"D frozen B", kFrozen, kDisplayB, 0, 82, kDisplayB, 1, 8},
        {"D live does nothing", kLive, kDisplayB, 0, 82, kDisplayB, 0, 1},
        {"F2 frozen does nothing", kFrozen, kDisplayB, 0, 28, kDisplayB, 0, 5},
        {"F3 frozen does nothing", kFrozen, kDisplayB, 0, 29, kDisplayB, 0, 5},
        {"F11 does nothing", kFrozen, kDisplayB, 0, 85, kDisplayB, 0, 5},
        {"BACKSPACE does nothing", kLive, kDisplayB, 0, 44, kDisplayB, 0, 1},
        {"0 does nothing", kLive, kDisplayB, 0, 0, kDisplayB, 0, 1},
        {"90 does nothing", kLive, kDisplayB, 0, 90, kDisplayB, 0, 1},
    };
    for (const DisplayCase& c : cases) {
        dlg->m_nDisplayMode = c.displayMode;
        Proc().m_bMMode = c.displayMode == kDisplayBM;
        const int base = c.runState == kLive ? (c.displayMode == kDisplayB    ? 1
                                                : c.displayMode == kDisplayBB ? 2
                                                                              : 3)
                                             : 4 + c.displayMode;
        c.runState == kLive ? GoLive(base) : GoFrozen(base);
        dlg->m_nTool = c.tool;
        dlg->ExecCommand(c.command);
        EXPECT_EQ(dlg->m_nDisplayMode, c.wantDisplay) << c.name;
        EXPECT_EQ(dlg->m_nTool, c.wantTool) << c.name;
        EXPECT_EQ(dlg->m_nScreenLayout, c.wantLayout) << c.name;
    }
}

TEST_F(CommandTest, ZoomStepsAndInvert) {
    GoFrozen();
    const double steps[] = {1.4, 1.7, 2.0, 0.7, 1.0};
    for (double want : steps) {
        dlg->ExecCommand(kCmdZoom);
        EXPECT_DOUBLE_EQ(dlg->m_viewMain.m_dZoom, want);
    }
    dlg->m_viewMain.m_dZoom = 1.2;
    dlg->ExecCommand(kCmdZoom);
    EXPECT_DOUBLE_EQ(dlg->m_viewMain.m_dZoom, 0.7);

    GoLive();
    dlg->ExecCommand(kCmdInvert);
    EXPECT_TRUE(Proc().GetParams().invert);
    EXPECT_EQ(dlg->m_nScreenLayout, 1);
    dlg->ExecCommand(30);  // F4 while live
    EXPECT_FALSE(Proc().GetParams().invert);
}

TEST_F(CommandTest, StoreKeysWithoutDataAndWhileLive) {
    GoLive();
    for (int command : {39, 40, 41}) {
        dlg->ExecCommand(command);
        EXPECT_EQ(NewBoxes(), 0u) << command;
    }
    GoFrozen();
    dlg->ExecCommand(39);
    ASSERT_EQ(NewBoxes(), 1u);
    EXPECT_EQ(boxes.shown().back().text, "No data");
    EXPECT_EQ(boxes.shown().back().icon, platform::MsgIcon::Exclamation);
    dlg->ExecCommand(40);
    EXPECT_EQ(NewBoxes(), 2u);
    // In the viewer the stores refuse without a word.
    dlg->m_bExamList = false;
    dlg->ExecCommand(kCmdStoreStill);
    dlg->ExecCommand(kCmdStoreCine);
    EXPECT_EQ(NewBoxes(), 2u);
}

TEST_F(CommandTest, CineStepsStopAtTheEndsOrWrap) {
    FillCine(5);
    GoFrozen();
    CCineRing& cine = Proc().Cine();
    ASSERT_TRUE(dlg->CanPlayCine());
    EXPECT_EQ(cine.GetCinePosition(), 5);
    dlg->ExecCommand(kCmdCineNext);  // at the newest: stays
    EXPECT_EQ(cine.GetCinePosition(), 5);
    for (int i = 0; i < 6; ++i)
        dlg->ExecCommand(kCmdCinePrev);
    EXPECT_EQ(cine.GetCinePosition(), 1);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 /   5");
    // With an OB/GY image selected the cine cannot play, and the index wraps.
    dlg->m_nObSelectedImage = 0;
    ASSERT_FALSE(dlg->CanPlayCine());
    dlg->ExecCommand(kCmdCinePrev);
    EXPECT_EQ(cine.GetCurrentIndex(), 4);
    dlg->ExecCommand(kCmdCineNext);
    EXPECT_EQ(cine.GetCurrentIndex(), 0);
    dlg->m_nObSelectedImage = -1;
    // A preview on screen stops the steps.
    dlg->m_bExamList = true;
    const int before = cine.GetCurrentIndex();
    dlg->SetScreenLayout(5, 0, false);
    // Not frozen-idle: an OB/GY item chosen.
    dlg->m_nObSelItem = 3;
    dlg->ExecCommand(kCmdCineNext);
    EXPECT_EQ(cine.GetCurrentIndex(), before);
}

TEST_F(CommandTest, LiveArrowsOnlyMoveTheMLine) {
    FillCine(3);
    GoLive();
    const int index = Proc().Cine().GetCurrentIndex();
    dlg->ExecCommand(kCmdCinePrev);
    EXPECT_EQ(Proc().Cine().GetCurrentIndex(), index);
    // BM on a convex geometry: one line step per key, kept inside the sector.
    Proc().SetProbeGeometry(ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 60.0, 40.0, 20, 240));
    dlg->m_nDisplayMode = kDisplayBM;
    const ScanGeometry g = Proc().GetGeometry();
    const double start = Proc().GetParams().mLineAngle;
    dlg->ExecCommand(kCmdCineNext);
    EXPECT_NEAR(Proc().GetParams().mLineAngle, start + g.lineStep, 1e-12);
    EXPECT_EQ(Proc().m_nMSettleCountdown.load(), 10);
    for (int i = 0; i < 200; ++i)
        dlg->ExecCommand(kCmdCinePrev);
    EXPECT_NEAR(Proc().GetParams().mLineAngle, g.sectorStart + g.lineStep, 1e-12);
    EXPECT_EQ(Proc().Cine().GetCurrentIndex(), index);
}

TEST_F(CommandTest, BbSideRequests) {
    FillCine(2);
    GoLive();
    dlg->ExecCommand(kCmdDisplayBB);
    ASSERT_EQ(dlg->m_nBbSide, 0);
    dlg->ExecCommand(kCmdBbLeft);  // no half chosen yet
    EXPECT_EQ(dlg->m_nBbSide, 0);
    int slot = 0;
    dlg->ExecCommand(kCmdNewFrame, &slot);  // the first frame fills the left half
    EXPECT_EQ(dlg->m_nBbSide, 2);
    dlg->ExecCommand(kCmdBbRight);  // already right
    EXPECT_EQ(dlg->m_nBbSide, 2);
    dlg->ExecCommand(kCmdBbLeft);
    EXPECT_EQ(dlg->m_nBbSide, -1);
    // A redraw while the switch waits keeps each half's own frame and the request.
    dlg->RedrawImages();
    EXPECT_EQ(dlg->m_nBbSide, -1);
    dlg->ExecCommand(kCmdNewFrame, &slot);
    EXPECT_EQ(dlg->m_nBbSide, 1);
    dlg->ExecCommand(52);  // double click on the left view: already left
    EXPECT_EQ(dlg->m_nBbSide, 1);
    dlg->ExecCommand(56);
    EXPECT_EQ(dlg->m_nBbSide, -2);
    dlg->ExecCommand(kCmdNewFrame, &slot);
    EXPECT_EQ(dlg->m_nBbSide, 2);
    // Frozen: the switch is immediate.
    GoFrozen(6);
    dlg->ExecCommand(kCmdBbLeft);
    EXPECT_EQ(dlg->m_nBbSide, 1);
    dlg->ExecCommand(kCmdBbRight);
    EXPECT_EQ(dlg->m_nBbSide, 2);
    // Not in BB: nothing.
    dlg->m_nDisplayMode = kDisplayB;
    dlg->ExecCommand(kCmdBbLeft);
    EXPECT_EQ(dlg->m_nBbSide, 2);
}

TEST_F(CommandTest, RedrawWithAPendingSideDrawsEachSpecialFrameIntoItsOwnHalf) {
    GoLive();
    dlg->ExecCommand(kCmdDisplayBB);
    Image8 dark(480, 480, 10);
    Image8 bright(480, 480, 200);
    FrameRecord r;
    r.depth = 150;
    Proc().Cine().Commit(dark, r, MLineSample{}, 0.0, 150);
    Proc().CopyFrameToSpecialSlot(0, 0);
    Proc().Cine().Commit(bright, r, MLineSample{}, 0.0, 150);
    Proc().CopyFrameToSpecialSlot(1, 1);
    dlg->m_nBbSide = -2;
    dlg->RedrawImages();
    EXPECT_EQ(dlg->m_nBbSide, -2);
    EXPECT_EQ(dlg->m_viewLeft.BackBuffer().At(120, 240), GreyPixel(10));
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(120, 240), GreyPixel(200));
}

TEST_F(CommandTest, DeveloperKeys) {
    GoLive();
    ImagingParams p = Proc().GetParams();
    p.smooth = 0.2;
    p.bicubicA = -1.0;
    Proc().SetParams(p);
    dlg->ExecCommand(73);  // not a developer: nothing
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.2);
    dlg->m_bDeveloper = true;
    for (double want : {0.45, 0.7, 0.95, 0.0}) {
        dlg->ExecCommand(73);
        EXPECT_NEAR(Proc().GetParams().smooth, want, 1e-12);
    }
    for (double want : {-0.75, -0.5, -0.25, 0.0, -2.0}) {
        dlg->ExecCommand(78);
        EXPECT_DOUBLE_EQ(Proc().GetParams().bicubicA, want);
    }
    side.keyboard.keys = {true, false, true};  // Shift
    dlg->ExecCommand(78);
    EXPECT_DOUBLE_EQ(Proc().GetParams().bicubicA, 0.0);  // -2.25 wraps to 0
    side.keyboard.keys = {false, false, false};          // unreadable: unchanged
    dlg->ExecCommand(78);
    EXPECT_DOUBLE_EQ(Proc().GetParams().bicubicA, 0.0);
    const int mode = Proc().GetParams().aveMode;
    dlg->ExecCommand(77);
    EXPECT_NE(Proc().GetParams().aveMode, mode);
    dlg->ExecCommand(79);
    EXPECT_TRUE(Proc().GetParams().rawDisp);
    // G needs Ctrl.
    side.keyboard.keys = {true, false, false};
    dlg->ExecCommand(80);
    EXPECT_EQ(dlg->m_nRunState, kLive);
}

TEST_F(CommandTest, DeveloperGSavesTheGainMaximumOfTheCurrentGain) {
    Attach();
    Destroy();
    side.keyboard.keys = {true, true, true};  // Ctrl and Shift at start: developer mode
    Create();
    ASSERT_TRUE(dlg->m_bDeveloper);
    ImagingParams p = Proc().GetParams();
    p.gainMin = -100.0;
    p.gainMax = 100.0;
    p.gain = 60;
    Proc().SetParams(p);
    side.keyboard.keys = {true, true, false};
    const size_t before = boxes.shown().size();
    dlg->ExecCommand(80);
    EXPECT_EQ(dlg->m_nRunState, kLive);  // it ran command 1
    ASSERT_EQ(boxes.shown().size(), before + 1);
    EXPECT_EQ(boxes.shown().back().text, "Please restart.");
    ResetSettingsForTesting();
    EXPECT_DOUBLE_EQ(GetSettingDouble(SettingSectionProbeConvex, SettingKeyTable::GAIN_MAX, 0.0), 20.0);
}

TEST_F(CommandTest, GainAndContrastFromTheSlidersWithTheEndOfScrollCode) {
    GoLive();
    side.right.values.clear();
    side.right.SetSliderPos(IDC_R_GAIN, 30);
    int end = SB_ENDSCROLL;
    dlg->ExecCommand(kCmdGain, &end);
    EXPECT_EQ(Proc().GetParams().gain, 70);
    EXPECT_EQ(side.right.values.count(IDC_R_GAIN), 0u);
    int track = SB_THUMBTRACK;
    dlg->ExecCommand(kCmdGain, &track);
    EXPECT_EQ(side.right.values[IDC_R_GAIN], "70");
    side.right.SetSliderPos(IDC_R_CONTRAST, 20);
    dlg->ExecCommand(kCmdContrast, &end);
    EXPECT_EQ(Proc().GetParams().contrast, 180);
    EXPECT_EQ(side.right.values.count(IDC_R_CONTRAST), 0u);
    dlg->ExecCommand(kCmdContrast, &track);
    EXPECT_EQ(side.right.values[IDC_R_CONTRAST], "180");
}

TEST_F(CommandTest, StcKnotsAndTheGammaStep) {
    GoLive();
    g_anStcOffset[2] = 10;
    side.stc.SetSliderRange(0, 64);
    side.stc.SetSliderPos(2, 40);
    int index = 2;
    dlg->m_nStcMode = kStcManual;
    dlg->ExecCommand(kCmdStcKnot, &index);
    EXPECT_EQ(g_anStcValue[2], 30);
    dlg->m_nStcMode = kStcAuto;
    dlg->ExecCommand(kCmdStcKnot, &index);
    EXPECT_EQ(g_anStcValue[2], 30);
    EXPECT_EQ(dlg->m_nStcMode, kStcManual);  // moving a knot ends the automatic mode
    dlg->m_nStcMode = kStcAbsolute;
    side.stc.SetSliderRange(-32, 32);
    side.stc.SetSliderPos(2, -5);
    dlg->ExecCommand(kCmdStcKnot, &index);
    EXPECT_EQ(g_anStcValue[2], -5);
    int bad = 10;
    dlg->ExecCommand(kCmdStcKnot, &bad);  // no such slider

    side.right.SetSliderPos(IDC_R_GAMMA, 80);  // gamma 1.00
    dlg->ExecCommand(kCmdGammaStep);
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_GAMMA), 81);
    EXPECT_DOUBLE_EQ(Proc().GetGamma(), 0.99);
    EXPECT_EQ(side.right.values[IDC_R_GAMMA], "0.99");
    EXPECT_DOUBLE_EQ(side.live.gamma, 0.99);
    side.right.SetSliderPos(IDC_R_GAMMA, 120);
    dlg->ExecCommand(kCmdGammaStep);
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_GAMMA), 120);
    GoFrozen();
    side.right.SetSliderPos(IDC_R_GAMMA, 100);
    dlg->ExecCommand(kCmdGammaStep);
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_GAMMA), 100);
}

TEST_F(CommandTest, MeasureSlotCommandsTakeTheDataOrTheirOwnNumber) {
    GoFrozen();
    dlg->m_nTool = kToolDistance;
    int three = 3;
    dlg->ExecCommand(kCmdMeasureSlot, &three);
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 6);
    dlg->ExecCommand(63);  // no data: nothing
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 6);
    for (int command = 64; command <= 70; ++command) {
        dlg->ExecCommand(command);
        EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 2 * (command - 63)) << command;
    }
}

TEST_F(CommandTest, PanelEventsReachTheirCommands) {
    GoLive();
    CommandEventArgs stc{kLivePanel, IDC_LIVE_STC};
    CEventHub::GetInstance().Publish(EventKindCommand, &stc);
    EXPECT_TRUE(Proc().m_bStcPanelShown.load());
    EXPECT_TRUE(side.stc.shown);
    EXPECT_FALSE(side.live.shown);
    // The STC panel: the dialog's client height, as wide as its anchor's right edge + 1.
    EXPECT_EQ(side.stc.rect, draw::RectOfSize(0, 0, 159, 680));
    CommandEventArgs back{kStcPanel, IDC_STC_BACK};
    CEventHub::GetInstance().Publish(EventKindCommand, &back);
    EXPECT_FALSE(Proc().m_bStcPanelShown.load());
    EXPECT_TRUE(side.live.shown);
    EXPECT_EQ(side.live.rect, draw::RectOfSize(0, 0, 180, 680));
    EXPECT_EQ(side.live.focused, IDC_LIVE_FREEZE);
    // Ids the tables do not hold do nothing.
    for (CommandEventArgs other : {CommandEventArgs{224, 1001}, CommandEventArgs{kLivePanel, 4242}}) {
        CEventHub::GetInstance().Publish(EventKindCommand, &other);
        EXPECT_EQ(dlg->m_nRunState, kLive);
    }
    // The Auto button of an absolute STC resets the user values.
    dlg->m_nStcMode = kStcAbsolute;
    g_anStcValue[4] = 9;
    CommandEventArgs autoButton{kStcPanel, IDC_STC_AUTO};
    CEventHub::GetInstance().Publish(EventKindCommand, &autoButton);
    EXPECT_EQ(g_anStcValue[4], 0);
    EXPECT_EQ(dlg->m_nStcMode, kStcAbsolute);
    // A slider-focus event repaints the right panel's texts.
    int slider = 0;
    CEventHub::GetInstance().Publish(EventKindSliderFocus, &slider);
    EXPECT_EQ(side.right.sliderRedraws, 1);
    // The full width without an anchor.
    dlg->ShowPanel(true, &side.live, -1);
    EXPECT_EQ(side.live.rect, draw::RectOfSize(0, 0, 900, 680));
}

TEST_F(CommandTest, LayoutEdgeCases) {
    FillCine(2);
    dlg->m_bPcMode = false;
    GoFrozen();
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_CINE_PREV));
    dlg->m_bPcMode = true;
    GoFrozen();
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_CINE_NEXT));
    dlg->m_bPcMode = false;
    Proc().Cine().Reset(0);
    GoFrozen();
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_CINE_PREV));

    // Every layout but 0 clears the measurements (the measuring's ClearMeasurements), layout 3
    // the half views' distance marks too, whatever the sub-item.
    dlg->m_viewLeft.m_nDistanceCount = 2;
    dlg->m_nRunState = kLive;
    dlg->SetScreenLayout(2, 1, true);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 0);
    dlg->m_viewLeft.m_nDistanceCount = 2;
    dlg->SetScreenLayout(3, 1, true);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 0);

    // Layout 10: both half views, no bm button.
    dlg->m_nRunState = kFrozen;
    dlg->SetScreenLayout(10, 0, true);
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_VIEW_MAIN));
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_VIEW_LEFT));
    EXPECT_FALSE(side.views.shown[kViewMain]);
    EXPECT_TRUE(side.views.shown[kViewRight]);
    EXPECT_FALSE(side.live.IsButtonEnabled(IDC_LIVE_BM));
    EXPECT_EQ(dlg->Controls().Get(IDC_DIST).faces, (ButtonFaces{kBmpDistPressed, kBmpDist}));
    EXPECT_EQ(dlg->m_nPressedToolButton, 1);
    // Leaving the tool: the frozen base restores its pictures.
    dlg->SetScreenLayout(7, 0, true);
    EXPECT_EQ(dlg->Controls().Get(IDC_DIST).faces, (ButtonFaces{kBmpDist, kBmpDistPressed}));
    EXPECT_EQ(dlg->m_nPressedToolButton, -1);

    // Layout 4 in BM behaves as live BB with bb and bm off.
    dlg->m_nRunState = kLive;
    dlg->m_nDisplayMode = kDisplayBM;
    dlg->SetScreenLayout(4, 1, true);
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_VIEW_LEFT));
    EXPECT_FALSE(side.live.IsButtonEnabled(IDC_LIVE_BB));
    EXPECT_FALSE(side.live.IsButtonEnabled(IDC_LIVE_BM));

    // The 16 result labels are emptied and hidden by every base layout.
    dlg->SetScreenLayout(5, 0, true);
    for (int id : kResultLabels) {
        EXPECT_FALSE(dlg->Controls().IsShown(id));
        EXPECT_EQ(dlg->Controls().Text(id), "");
    }
}

TEST_F(CommandTest, ButtonsAndTheArchiveButton) {
    GoLive();
    dlg->OnButtonClicked(IDC_BTN4);  // live: invert
    EXPECT_TRUE(Proc().GetParams().invert);
    GoFrozen();
    dlg->OnButtonClicked(IDC_BTN4);  // frozen: store still, empty cine
    EXPECT_EQ(boxes.shown().back().text, "No data");
    // Archive: the viewer, then locked.
    dlg->OnButtonClicked(IDC_BTN7);
    EXPECT_FALSE(dlg->m_bExamList);
    EXPECT_EQ(dlg->Controls().Text(IDC_THUMB_CAPTION), "Viewer");
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_BTN4));
    dlg->SetBtn7Locked(true);
    EXPECT_FALSE(dlg->Controls().IsEnabled(IDC_BTN7));
    dlg->m_bExamList = true;
    dlg->OnButtonClicked(IDC_BTN7);  // locked: nothing
    EXPECT_TRUE(dlg->m_bExamList);
    dlg->SetBtn7Locked(false);
    EXPECT_TRUE(dlg->Controls().IsEnabled(IDC_BTN7));
    // Live panel bb and bm.
    GoLive();
    dlg->OnBnClickedBb();
    EXPECT_EQ(dlg->m_nScreenLayout, 2);
    dlg->OnBnClickedBb();
    EXPECT_EQ(dlg->m_nScreenLayout, 1);
    dlg->OnBnClickedBm();
    EXPECT_EQ(dlg->m_nScreenLayout, 3);
    // ENTER presses the focused main-window button.
    GoLive(1);
    side.controls.focused = IDC_BTN4;
    const bool invert = Proc().GetParams().invert;
    dlg->ExecCommand(kCmdEnter);
    EXPECT_NE(Proc().GetParams().invert, invert);
}

TEST(KeyTable, EveryKeyWithAndWithoutAltAndAltF4) {
    const std::pair<int, int> table[] = {
        {vk::kBack, 44},  {vk::kReturn, 86}, {vk::kSpace, 26}, {vk::kLeft, 37}, {vk::kUp, 71},
        {vk::kRight, 38}, {vk::kDown, 72},   {'9', 77},        {'A', 78},       {'B', 76},
        {'C', 40},        {'D', 82},         {'H', 75},        {'M', 81},       {'P', 41},
        {'S', 73},        {'X', 43},         {vk::kF1, 27},    {vk::kF2, 28},   {vk::kF3, 29},
        {vk::kF4, 30},    {vk::kF5, 31},     {vk::kF6, 32},    {vk::kF7, 33},   {vk::kF8, 34},
        {vk::kF9, 35},    {vk::kF10, 36},    {vk::kF11, 85},   {'G', 80},       {'I', 39},
        {'O', 83},        {'R', 79},         {'W', 74},        {'Z', 42},
    };
    static_assert(std::size(table) == 34);
    for (const auto& [key, command] : table) {
        EXPECT_EQ(KeyCommandOf({key, false}), command) << key;
        EXPECT_EQ(KeyCommandOf({key, true}), key == vk::kF4 ? 0 : command) << key;
    }
    for (int other : {int{'Q'}, int{'1'}, int{vk::kEscape}, int{vk::kTab}, int{vk::kShift}, 0x7B})
        EXPECT_EQ(KeyCommandOf({other, false}), 0) << other;
}

TEST_F(CommandTest, KeyRoutingSwallowsAllButTabAndShiftAndLetsAltF4Through) {
    GoFrozen();
    EXPECT_FALSE(dlg->PreTranslateKey({vk::kTab, false}));
    EXPECT_FALSE(dlg->PreTranslateKey({vk::kShift, false}));
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kEscape, false}));
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kReturn, false}));
    EXPECT_TRUE(dlg->PreTranslateKey({'Q', false}));
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kF2, false}));
    EXPECT_FALSE(dlg->PreTranslateKey({vk::kF4, true}));  // the window manager closes the window
    EXPECT_TRUE(side.window.endResults.empty());
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
    // Busy: Esc asks to cancel, and every key goes to the focused control.
    dlg->m_bBusy = true;
    EXPECT_FALSE(dlg->PreTranslateKey({vk::kEscape, false}));
    EXPECT_TRUE(dlg->m_bCancelRequested);
    EXPECT_FALSE(dlg->PreTranslateKey({'D', false}));
    EXPECT_EQ(dlg->m_nTool, kToolNone);
    dlg->m_bBusy = false;
    EXPECT_TRUE(dlg->PreTranslateKey({'D', false}));
    EXPECT_EQ(dlg->m_nTool, kToolDistance);
}
