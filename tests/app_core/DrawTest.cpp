// Frame drawing and the cine position: the BB halves and their frame, the merged frozen BB,
// the counter, the status text, the M-line, the strip's redraw and a cine step onto another
// depth while measuring.
#include <numbers>

#include "CoreFixture.h"

using namespace coretest;
using namespace maindlg;

namespace {

constexpr uint32_t kGreen = MakePixel(0, 255, 0);

class DrawTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        Create();
        dlg->m_bExamList = true;
    }
    int Commit(uint8_t grey, int depth = 150) {
        FrameRecord r;
        r.depth = depth;
        r.temperature = 31.5f;
        return Proc().Cine().Commit(Image8(480, 480, grey), r, MLineSample{}, 0.0, depth);
    }
    void NewFrame(uint8_t grey, int depth = 150) {
        int slot = Commit(grey, depth);
        dlg->ExecCommand(kCmdNewFrame, &slot);
    }
    void Layout(int runState, int layout) {
        dlg->m_nRunState = runState;
        dlg->m_nScreenLayout = layout;
        dlg->SetScreenLayout(layout, 0, true);
    }
    // Frozen BB with both halves at one depth (grey 10 left, 20 right), drawn merged.
    void FrozenMergedBb() {
        Layout(kLive, 1);
        dlg->ExecCommand(kCmdDisplayBB);
        NewFrame(10, 150);
        NewFrame(20, 150);
        Layout(kFrozen, 6);
        dlg->RedrawImages();
    }
};

}  // namespace

TEST_F(DrawTest, LiveBbFillsTheLeftHalfFirstThenTheRightWithTheGreenFrame) {
    Layout(kLive, 1);
    dlg->ExecCommand(kCmdDisplayBB);
    NewFrame(10);
    EXPECT_EQ(dlg->m_nBbSide, 2);
    EXPECT_EQ(dlg->m_viewLeft.BackBuffer().At(120, 240), GreyPixel(10));
    EXPECT_NE(dlg->m_viewLeft.BackBuffer().At(0, 0), kGreen);
    NewFrame(20);
    NewFrame(30);
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(120, 240), GreyPixel(30));
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(0, 0), kGreen);
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(239, 479), kGreen);
    EXPECT_EQ(dlg->m_viewLeft.BackBuffer().At(120, 240), GreyPixel(10));  // the left half keeps its frame
}

TEST_F(DrawTest, FrozenBbMergesHalvesOfOneDepthIntoTheMainView) {
    FrozenMergedBb();
    EXPECT_TRUE(side.views.shown[kViewMain]);
    EXPECT_FALSE(side.views.shown[kViewLeft]);
    EXPECT_EQ(dlg->m_viewMain.BackBuffer().At(120, 240), GreyPixel(10));
    EXPECT_EQ(dlg->m_viewMain.BackBuffer().At(360, 240), GreyPixel(20));

    Layout(kLive, 2);
    NewFrame(30, 90);  // the right half now at another depth
    Layout(kFrozen, 6);
    dlg->RedrawImages();
    EXPECT_FALSE(side.views.shown[kViewMain]);
    EXPECT_TRUE(side.views.shown[kViewLeft]);
    EXPECT_TRUE(side.views.shown[kViewRight]);
}

TEST_F(DrawTest, TheCounterShowsTheNewestTotalLiveAndThePositionFrozen) {
    Layout(kLive, 1);
    for (int i = 0; i < 700; ++i)
        Commit(static_cast<uint8_t>(i));
    NewFrame(1);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "512 / 512");
    Layout(kFrozen, 5);
    Proc().Cine().SetCurrentIndex((Proc().Cine().GetNewestIndex() + 1) % 512);  // the oldest
    dlg->SelectCineFrame();
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 / 512");
}

TEST_F(DrawTest, TheFrameRateAloneHasNoTabAndStartsAtZero) {
    testsupport::FakeClock clock;
    dlg->m_bShowFps = true;
    dlg->m_timingWindow.Reset();
    Layout(kLive, 1);
    NewFrame(1);
    EXPECT_EQ(dlg->Controls().Text(IDC_STATUS), "0.0 FPS");
    clock.Advance(40'000);
    NewFrame(2);
    EXPECT_EQ(dlg->Controls().Text(IDC_STATUS), "25.0 FPS");
    dlg->m_bShowTemperature = true;
    clock.Advance(40'000);
    NewFrame(3);
    EXPECT_EQ(dlg->Controls().Text(IDC_STATUS),
              "25.0 FPS\t31.5 \xC2\xB0"
              "C");
}

TEST_F(DrawTest, AStraightDownMLineOnALinearProbeRunsThroughColumn120) {
    Proc().SetProbeGeometry(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 38.0, 38.0, 120.0));
    Proc().SetDepth(60);
    Layout(kLive, 1);
    dlg->ExecCommand(kCmdDisplayBM);
    ASSERT_EQ(dlg->m_nDisplayMode, kDisplayBM);
    ASSERT_DOUBLE_EQ(Proc().GetParams().mLineAngle, 3 * std::numbers::pi / 2);
    NewFrame(0, 60);
    const Image32& left = dlg->m_viewLeft.BackBuffer();
    int red = 0;
    for (int y = 0; y < 480; ++y) {
        red += left.At(120, y) == MakePixel(128, 0, 0);
        EXPECT_NE(left.At(119, y), MakePixel(128, 0, 0));
        EXPECT_NE(left.At(121, y), MakePixel(128, 0, 0));
    }
    EXPECT_GT(red, 200);
}

TEST_F(DrawTest, TheStripRedrawLeavesTheLiveStripAndRedrawsTheBHalfOnce) {
    Layout(kLive, 1);
    dlg->ExecCommand(kCmdDisplayBM);
    NewFrame(50);
    dlg->m_aMModeStrip->Fill(0x123456);            // kept at some earlier freeze
    dlg->m_viewRight.BackBuffer().Fill(0x000040);  // what the tick drew while live
    dlg->DrawFrame(-3, true);
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(10, 10), 0x000040u);
    // Frozen with distance marks: the half is drawn from its frame each time, so the marks
    // do not pile up.
    Layout(kFrozen, 7);
    dlg->m_nTool = kToolDistance;
    dlg->m_viewLeft.m_aptDistance[0] = {60, 100};
    dlg->m_viewLeft.m_aptDistance[1] = {180, 300};
    dlg->m_viewLeft.m_anDistanceFlag[0] = dlg->m_viewLeft.m_anDistanceFlag[1] = 1;
    dlg->m_viewLeft.m_nDistanceCount = 2;
    dlg->DrawFrame(-3, true);
    const Image32 once = dlg->m_viewLeft.BackBuffer();
    dlg->DrawFrame(-3, true);
    EXPECT_EQ(dlg->m_viewLeft.BackBuffer(), once);
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(10, 10), 0x123456u);  // frozen: the kept strip
}

TEST_F(DrawTest, ACineStepOntoAnotherDepthClearsTheMeasurements) {
    Commit(10, 150);
    Commit(20, 90);
    Layout(kFrozen, 5);
    Proc().Cine().SetCurrentIndex(0);
    dlg->SelectCineFrame();
    dlg->ExecCommand(kCmdDistance);
    dlg->m_viewMain.m_nDistanceCount = 2;
    dlg->m_viewMain.m_anDistanceFlag[0] = 1;
    dlg->ExecCommand(kCmdCineNext);
    EXPECT_EQ(Proc().GetDepth(), 90);
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 0);
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_DEPTH), 90);
    EXPECT_EQ(side.right.values[IDC_R_DEPTH], "90");
}

TEST_F(DrawTest, FrozenMergedBbDrawsEachHalfsDepthScaleOnce) {
    FrozenMergedBb();
    ASSERT_TRUE(side.views.shown[kViewMain]);

    // The scale strip of each half as one draw of the scale over the frame gives it; a second
    // draw would blend the anti-aliased labels darker.
    for (int half = 0; half < 2; ++half) {
        Image32 once(240, 480);
        once.Fill(GreyPixel(half == 0 ? 10 : 20));
        CCstmPictureCtrl scale;
        scale.m_nTickStep = dlg->m_viewLeft.m_nTickStep;
        scale.m_nLabelInterval = dlg->m_viewLeft.m_nLabelInterval;
        scale.DrawDepthScale(once, -1, Proc().GetPixelScale(150));
        const Image32& main = dlg->m_viewMain.BackBuffer();
        for (int y = 32; y < 470; ++y) {
            for (int x = 1; x < 60; ++x)
                ASSERT_EQ(main.At(x + 240 * half, y), once.At(x, y)) << half << " " << x << "," << y;
        }
    }
    // Cine steps redraw only the active half; the other one keeps its single scale.
    const Image32 before = dlg->m_viewMain.BackBuffer();
    for (int i = 0; i < 3; ++i)
        dlg->SelectCineFrame();
    EXPECT_EQ(dlg->m_viewMain.BackBuffer(), before);
}

TEST_F(DrawTest, FrozenBmRedrawDrawsTheBHalfOnceBesideTheKeptStrip) {
    Layout(kLive, 1);
    dlg->ExecCommand(kCmdDisplayBM);
    NewFrame(50);
    Layout(kFrozen, 7);
    dlg->m_aMModeStrip->Fill(0x123456);
    const int leftBefore = side.views.repaints[kViewLeft];
    dlg->RedrawImages();
    EXPECT_EQ(side.views.repaints[kViewLeft], leftBefore + 1);
    EXPECT_EQ(dlg->m_viewLeft.BackBuffer().At(200, 240), GreyPixel(50));
    EXPECT_EQ(dlg->m_viewRight.BackBuffer().At(10, 10), 0x123456u);
    const Image32 left = dlg->m_viewLeft.BackBuffer();
    dlg->DrawFrame(Proc().Cine().GetCurrentIndex(), true);
    EXPECT_EQ(dlg->m_viewLeft.BackBuffer(), left);  // as a draw of the current frame gives it
}

TEST_F(DrawTest, AFrameQueuedAtTheFreezeSetsTheCounterOnce) {
    Layout(kLive, 1);
    for (int i = 0; i < 5; ++i)
        Commit(static_cast<uint8_t>(i));
    Layout(kFrozen, 5);
    const int before = side.controls.repaints[IDC_COUNTER];
    NewFrame(9);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  6 /   6");
    EXPECT_EQ(side.controls.repaints[IDC_COUNTER], before + 1);
}
