// The main window's mouse and touch routing, the half views' commands 50 and 54, the screen
// layouts 18 and 19 with the layout companions, the label colours and the resize geometry,
// headless: points are given in client coordinates with the views at their start-up place.
#include <cmath>
#include <numbers>

#include "CoreFixture.h"
#include "InputFakes.h"
#include "app/core/LabelColours.h"

using namespace coretest;
using namespace maindlg;

namespace {

class InputTest : public CoreTest {
protected:
    void SetUp() override { CoreTest::SetUp(); }

    CKALVEXDlg& Open() {
        MainDlgPorts ports = side.Ports();
        if (!useMeasuring)
            ports.measurement = &measure;
        ports.obPanel = &ob;
        ports.obgy = &obgy;
        ports.recorder = &recorder;
        ports.picker = &picker;
        ports.thumbnails = &thumbs;
        InitWith(ports);
        dlg->m_bExamList = true;
        return *dlg;
    }
    // A frozen cine of n frames at `depth`.
    void FillCine(int n, int depth = 150) {
        Image8 black(480, 480);
        for (int i = 0; i < n; ++i) {
            FrameRecord r;
            r.depth = depth;
            Proc().Cine().Commit(black, r, MLineSample{}, 0.0, depth);
        }
    }
    void SetScreen(int run, int display, int tool = kToolNone) {
        dlg->m_nRunState = run;
        dlg->m_nDisplayMode = display;
        dlg->m_nTool = tool;
    }
    // The two halves at different depths (or one).
    void HalfDepths(int left, int right) {
        Proc().Cine().SetSpecialDepthFocus(0, left, 0);
        Proc().Cine().SetSpecialDepthFocus(1, right, 0);
    }
    bool Mouse(int message, int x, int y) { return dlg->PreTranslateMouse(MouseMessage{message, {x, y}}); }
    void Click(int x, int y) {
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_LBUTTONUP, x, y);
    }
    bool useMeasuring = false;  // the real measuring instead of the recording fake
    RecordingMeasurement measure;
    FakeObPanel ob;
    FakeObgy obgy;
    FakeRecorder recorder;
    FakePicker picker;
    FakeThumbnails thumbs;
};

}  // namespace

TEST_F(InputTest, BodyMarkOnlyJustInsideItsInsetWhileTheCinePlays) {
    Open();
    FillCine(3);
    SetScreen(kFrozen, kDisplayB);
    ASSERT_TRUE(dlg->CanPlayCine());
    const draw::Rect mark = dlg->m_viewMain.m_rcBodyMark;  // 428, 416, 485, 477
    struct Case {
        int x, y;
        bool opens;
    } cases[] = {
        {mark.left + 11, mark.top + 11, true},   // just inside the inset
        {mark.left + 10, mark.top + 20, false},  // on the inset's edge
        {mark.right - 11, mark.bottom - 11, true},
        {mark.right - 10, mark.top + 20, false},
    };
    for (const Case& c : cases) {
        picker.opened = 0;
        measure.calls.clear();
        Click(c.x, c.y);
        EXPECT_EQ(picker.opened, c.opens ? 1 : 0) << c.x << "," << c.y;
        // A click that opened the picker places no point.
        EXPECT_EQ(measure.Named("lbutton").empty(), c.opens);
    }
    // Live: no cine to play, no picker.
    SetScreen(kLive, kDisplayB);
    picker.opened = 0;
    Click(mark.left + 20, mark.top + 20);
    EXPECT_EQ(picker.opened, 0);
}

TEST_F(InputTest, IndicatorsFoldAt240AndStandAsideInPcMode) {
    Open();
    SetScreen(kLive, kDisplayBB);
    dlg->m_viewLeft.m_rcIndicator = {0, 0, 30, 30};
    dlg->m_viewRight.m_rcIndicator = {210, 0, 240, 30};
    struct Case {
        bool pcMode;
        int side;
        int x, y;
        int wantSide;
    } cases[] = {
        {false, 2, 15, 15, -1},   // the left indicator while the right half is live
        {false, 1, 465, 15, -2},  // the right one, folded from the right half
        {false, 1, 225, 15, -2},  // folding leaves 225: inside the right indicator's box
        {false, 1, 255, 15, 1},   // 15 after folding, but the left half is already live
        {false, 2, 15, 40, 2},    // below the indicator
        {true, 2, 15, 15, 2},     // PC mode: no indicators
    };
    for (const Case& c : cases) {
        dlg->m_bPcMode = c.pcMode;
        dlg->m_nBbSide = c.side;
        Mouse(WM_LBUTTONDOWN, c.x, c.y);
        EXPECT_EQ(dlg->m_nBbSide, c.wantSide) << c.x << "," << c.y << " pc " << c.pcMode;
        Mouse(WM_LBUTTONUP, c.x, c.y);
    }
}

TEST_F(InputTest, DepthScaleFocusIsSetOnReleaseInsideTheChosenView) {
    Attach();
    Open();
    ASSERT_NE(g_pProbe.load(), nullptr);
    ASSERT_TRUE(g_pProbe.load()->IsFeatureSupported(0));
    Unfreeze();
    const int before = Proc().GetParams().focus;
    for (CCstmPictureCtrl* v : {&dlg->m_viewMain, &dlg->m_viewLeft, &dlg->m_viewRight}) {
        v->m_vecTickBoundaries = {15, 35, 55, 75};
        v->m_nTickStep = 10;
    }
    // Pressing is swallowed and changes nothing; the release at the third row sets 20 mm.
    EXPECT_TRUE(Mouse(WM_LBUTTONDOWN, 10, 50));
    EXPECT_EQ(Proc().GetParams().focus, before);
    EXPECT_TRUE(Mouse(WM_LBUTTONUP, 10, 50));
    EXPECT_EQ(Proc().GetParams().focus, 20);
    EXPECT_EQ(bridge->State().focusMm, 20);
    EXPECT_TRUE(measure.Named("lbutton").empty());

    // Below the last tick row, or right of the scale: an ordinary click.
    EXPECT_FALSE(Mouse(WM_LBUTTONUP, 10, 90));
    EXPECT_FALSE(Mouse(WM_LBUTTONUP, 40, 50));
    EXPECT_EQ(measure.Named("lbutton").size(), 2u);

    // BB: the scale of the live half only; none while no half is live or a switch is pending.
    SetScreen(kLive, kDisplayBB);
    struct Case {
        int side;
        int x;
        bool swallowed;
    } cases[] = {{1, 10, true},  {2, 250, true},  {2, 10, false},  {1, 250, false},
                 {0, 10, false}, {-1, 10, false}, {-2, 250, false}};
    for (const Case& c : cases) {
        dlg->m_nBbSide = c.side;
        EXPECT_EQ(Mouse(WM_LBUTTONDOWN, c.x, 50), c.swallowed) << c.side << " at " << c.x;
        Mouse(WM_LBUTTONUP, 400, 400);
    }
}

TEST_F(InputTest, TheMeasurementViewFollowsDisplayToolAndDepths) {
    Open();
    FillCine(2);
    struct Case {
        const char* name;
        int display, tool, leftDepth, rightDepth;
        int x;
        int wantView;
    } cases[] = {
        {"B", kDisplayB, kToolDistance, 100, 150, 300, kViewMain},
        {"BB one depth", kDisplayBB, kToolDistance, 100, 100, 300, kViewMain},
        {"BB two depths, right", kDisplayBB, kToolDistance, 100, 150, 300, kViewRight},
        {"BB two depths, left", kDisplayBB, kToolDistance, 100, 150, 100, kViewLeft},
        {"BB OB/GY", kDisplayBB, kToolObgy, 100, 150, 300, kViewMain},
        {"BM image", kDisplayBM, kToolDistance, 100, 100, 100, kViewLeft},
    };
    for (const Case& c : cases) {
        SetScreen(kFrozen, c.display, c.tool);
        HalfDepths(c.leftDepth, c.rightDepth);
        measure.calls.clear();
        Click(c.x, 200);
        EXPECT_EQ(measure.InsideViews("lbutton"), (std::vector<int>{c.wantView, c.wantView})) << c.name;
    }
}

TEST_F(InputTest, ReleaseOnAnotherViewAbandonsAndRemovesTheOpenPoint) {
    useMeasuring = true;
    Open();
    FillCine(2);
    SetScreen(kFrozen, kDisplayBM, kToolDistance);
    // A first click on the B image opens a pair; the second press there, released on the strip.
    Click(100, 200);
    ASSERT_EQ(dlg->m_viewLeft.m_nDistanceCount, 1);
    Mouse(WM_LBUTTONDOWN, 120, 220);
    ASSERT_EQ(dlg->MeasureClickState, 3);
    ASSERT_EQ(dlg->m_nPressView, kViewLeft);
    Mouse(WM_LBUTTONUP, 300, 200);
    EXPECT_EQ(dlg->m_nLastClickView, kViewRight);
    EXPECT_EQ(dlg->MeasureClickState, 0);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 0);
    EXPECT_EQ(dlg->m_viewLeft.m_anDistanceFlag[0], 0);
    EXPECT_EQ(dlg->m_viewLeft.m_anDistanceFlag[1], 0);
    EXPECT_EQ(dlg->Controls().Text(kResultLabels[0]), "Dist:-----");

    // A release in the view of the press goes on as usual.
    Click(100, 200);
    Mouse(WM_LBUTTONDOWN, 120, 220);
    Mouse(WM_LBUTTONUP, 130, 230);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 2);
    EXPECT_EQ(dlg->MeasureClickState, 0);
}

TEST_F(InputTest, RightButtonMovesAndBusy) {
    Open();
    FillCine(2);
    HalfDepths(100, 150);
    struct Case {
        const char* name;
        int run, display, tool;
        std::vector<RecordingMeasurement::Call> want;
    } cases[] = {
        {"frozen B", kFrozen, kDisplayB, 0, {{"rup", 1}, {"move", 1}}},
        {"frozen BB",
         kFrozen,
         kDisplayBB,
         0,
         {{"rup", 11}, {"rup", 12, false}, {"move", 11}, {"move", 12, false}}},
        {"frozen BM",
         kFrozen,
         kDisplayBM,
         0,
         {{"rup", 11}, {"rup", 12, false}, {"move", 11}, {"move", 12, false}}},
        {"frozen BB in OB/GY", kFrozen, kDisplayBB, kToolObgy, {{"rup", 1}, {"move", 1}}},
        {"live BM: no moves", kLive, kDisplayBM, 0, {{"rup", 11}, {"rup", 12, false}}},
    };
    for (const Case& c : cases) {
        SetScreen(c.run, c.display, c.tool);
        measure.calls.clear();
        Mouse(WM_RBUTTONDOWN, 50, 50);
        EXPECT_EQ(dlg->m_nMouseButtons, 2) << c.name;
        Mouse(WM_RBUTTONUP, 50, 50);
        EXPECT_EQ(dlg->m_nMouseButtons, 0) << c.name;
        Mouse(WM_MOUSEMOVE, 50, 50);
        EXPECT_EQ(measure.calls, c.want) << c.name;
    }
    // While a modal dialog runs nothing is routed, not even the button bits.
    dlg->m_bBusy = true;
    measure.calls.clear();
    Mouse(WM_LBUTTONDOWN, 50, 50);
    Mouse(WM_RBUTTONUP, 50, 50);
    EXPECT_TRUE(measure.calls.empty());
    EXPECT_EQ(dlg->m_nMouseButtons, 0);
}

TEST_F(InputTest, GesturesTapAsARightReleaseByTheRightButtonsRule) {
    Open();
    FillCine(2);
    SetScreen(kFrozen, kDisplayB);
    EXPECT_FALSE(dlg->OnGesture(GID_BEGIN, {60, 70}));
    EXPECT_FALSE(dlg->OnGesture(GID_TWOFINGERTAP, {60, 70}));
    EXPECT_TRUE(dlg->OnGesture(GID_END, {60, 70}));
    ASSERT_EQ(measure.Named("rup").size(), 1u);
    EXPECT_EQ(measure.Named("rup")[0].view, kViewMain);
    EXPECT_EQ(dlg->m_nPendingGesture, 0);

    // A pan is not a tap; an end without a pending tap does nothing.
    measure.calls.clear();
    dlg->OnGesture(GID_BEGIN, {60, 70});
    dlg->OnGesture(GID_PAN, {60, 70});
    EXPECT_FALSE(dlg->OnGesture(GID_END, {60, 70}));
    EXPECT_TRUE(measure.calls.empty());

    // OB/GY on a BB screen measures on the main view, as the right button does.
    SetScreen(kFrozen, kDisplayBB, kToolObgy);
    HalfDepths(100, 150);
    dlg->OnGesture(GID_BEGIN, {60, 70});
    dlg->OnGesture(GID_PRESSANDTAP, {60, 70});
    EXPECT_TRUE(dlg->OnGesture(GID_END, {60, 70}));
    ASSERT_EQ(measure.Named("rup").size(), 1u);
    EXPECT_EQ(measure.Named("rup")[0].view, kViewMain);
}

TEST_F(InputTest, AClickInLiveBmAimsTheMLineInsideTheSector) {
    useMeasuring = true;  // its click sequence runs command 50
    Attach();
    Open();
    Unfreeze();
    ASSERT_TRUE(Step(1));
    dlg->ExecCommand(kCmdDisplayBM);
    ASSERT_EQ(dlg->m_nDisplayMode, kDisplayBM);
    const ScanGeometry g = Proc().GetGeometry();
    const double pi = std::numbers::pi;
    struct Case {
        int x, y;
        double low, high;  // open range, or low == high for an exact angle
    } cases[] = {
        {80, 300, pi, 3 * pi / 2},
        {160, 300, 3 * pi / 2, 2 * pi},
        {120, 300, 3 * pi / 2, 3 * pi / 2},
    };
    for (const Case& c : cases) {
        Click(c.x, c.y);
        const double angle = Proc().GetParams().mLineAngle;
        if (c.low == c.high) {
            EXPECT_DOUBLE_EQ(angle, c.low);
        } else {
            EXPECT_GT(angle, c.low) << c.x;
            EXPECT_LT(angle, c.high) << c.x;
        }
        EXPECT_GE(angle, g.sectorStart);
        EXPECT_LE(angle, g.sectorEnd);
    }
    // Far to the side near the top lies outside the sector: the M-line stays.
    const double before = Proc().GetParams().mLineAngle;
    Click(236, 0);
    EXPECT_DOUBLE_EQ(Proc().GetParams().mLineAngle, before);
}

TEST_F(InputTest, StripCalipersByClickStateAndCount) {
    Open();
    FillCine(2);
    struct Case {
        const char* name;
        int state;
        int pressView;
        int count;
        int wantCount;
        std::vector<int> wantDrawn;  // drawn flags of points 0..7 afterwards
        int wantLabel;               // the result label written, -1 none
    } cases[] = {
        {"first press", 1, 12, 0, 0, {1, 0, 0, 0, 0, 0, 0, 0}, 4},
        {"first press on the last point", 1, 12, 7, 7, {1, 1, 1, 1, 1, 1, 1, 1}, -1},
        {"second press", 3, 12, 1, 1, {1, 1, 0, 0, 0, 0, 0, 0}, 4},
        {"release opens a pair", 2, 12, 0, 1, {1, 1, 0, 0, 0, 0, 0, 0}, -1},
        {"release ends a pair", 4, 12, 1, 2, {1, 1, 0, 0, 0, 0, 0, 0}, 4},
        {"the fourth pair wraps", 0, 0, 7, 0, {1, 1, 1, 1, 1, 1, 1, 1}, 13},
    };
    for (const Case& c : cases) {
        SetScreen(kFrozen, kDisplayBM, kToolDistance);
        CCstmPictureCtrl& strip = dlg->m_viewRight;
        strip.m_nDistanceCount = c.count;
        strip.m_anDistanceFlag = {};
        for (int i = 0; i < c.count; ++i)
            strip.m_anDistanceFlag[static_cast<size_t>(i)] = 1;
        if (c.count == 7)
            strip.m_anDistanceFlag[7] = 1;
        dlg->MeasureClickState = c.state;
        dlg->m_nPressView = c.pressView;
        auto& controls = const_cast<CMainControlModel&>(dlg->Controls());
        for (int id : kResultLabels)
            controls.Show(id, false);
        int up = WM_LBUTTONUP;
        dlg->m_ptLastMouse = {240 + 100, 77};
        dlg->ExecCommand(54, &up);
        EXPECT_EQ(strip.m_nDistanceCount, c.wantCount) << c.name;
        std::vector<int> drawn(strip.m_anDistanceFlag.begin(), strip.m_anDistanceFlag.end());
        EXPECT_EQ(drawn, c.wantDrawn) << c.name;
        for (int k = 4; k < 16; ++k)
            EXPECT_EQ(dlg->Controls().IsShown(kResultLabels[static_cast<size_t>(k)]), k == c.wantLabel)
                << c.name << " label " << k;
    }
    // The point lands where the click was, in the strip's pixels.
    EXPECT_EQ(dlg->m_viewRight.m_aptDistance[7], (draw::Point{100, 77}));

    // A second release on the strip of a pair begun on the B image fixes the B image's point.
    SetScreen(kFrozen, kDisplayBM, kToolDistance);
    dlg->m_viewLeft.m_nDistanceCount = 7;
    dlg->m_viewLeft.m_anDistanceFlag = {};
    dlg->MeasureClickState = 4;
    dlg->m_nPressView = kViewLeft;
    int up = WM_LBUTTONUP;
    dlg->m_ptLastMouse = {300, 77};
    dlg->ExecCommand(54, &up);
    EXPECT_EQ(dlg->m_viewLeft.m_anDistanceFlag[7], 1);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 0);
    EXPECT_EQ(dlg->MeasureClickState, 0);

    // Zoom: the click is the strip's zoom centre.
    SetScreen(kFrozen, kDisplayBM, kToolZoom);
    dlg->ExecCommand(54, &up);
    EXPECT_EQ(dlg->m_viewRight.m_nMagnifierX, 60);
    EXPECT_EQ(dlg->m_viewRight.m_nMagnifierY, 77);
}

TEST_F(InputTest, OnlyAVisibleEnabledReviewButtonIsHeld) {
    Open();
    StartupRects s = DefaultStartupRects();
    s.reviewNext = {600, 500, 640, 532};
    dlg->SetStartupGeometry(s, GeometryConstants{});
    auto& controls = const_cast<CMainControlModel&>(dlg->Controls());
    struct Case {
        bool shown, enabled;
        int wantHeld;
    } cases[] = {{false, true, 0}, {true, false, 0}, {true, true, 2}};
    for (const Case& c : cases) {
        controls.Show(IDC_REVIEW_NEXT, c.shown);
        controls.Enable(IDC_REVIEW_NEXT, c.enabled);
        Mouse(WM_LBUTTONDOWN, 610, 510);
        EXPECT_EQ(dlg->m_nHeldPicButton, c.wantHeld) << c.shown << c.enabled;
        Mouse(WM_LBUTTONUP, 610, 510);
        EXPECT_EQ(dlg->m_nHeldPicButton, 0);
    }
    // The release of a held button restores its look through window timer 2.
    EXPECT_EQ(dlg->m_nPicButtonToRestore, 2);
    EXPECT_EQ(side.timers.timers[kTimerRestoreButton], 1);
}
