// Measurements never read at a scale that does not hold for their points. The M-mode strip
// holds only columns of the depth it is measured at: a depth change starts it again. OB/GY
// measures a stored still of two halves side by side each half at its own depth (BB), the B
// image of a BM still at its depth, and gives dashes across halves of different depths and on
// the M-mode strip; a still of one image keeps its sidecar's depth.
#include "ObStillFixture.h"
#include "app/core/MeasureTools.h"

namespace coretest {
namespace {

using namespace maindlg;

class MeasureScaleTest : public ObStillTest {
protected:
    void SetUp() override {
        ObStillTest::SetUp();
        Attach();
        CreateWithArchive();
    }
    // Live frames with a tick after each, which sweeps one M-mode column in BM.
    void Sweep(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            ASSERT_TRUE(Step(1));
            dlg->OnTickTimer();
        }
    }
    // An item's pair on the shown still; its result label's text.
    std::string PairText(int key, draw::Point a, draw::Point b) {
        Pair(key, a, b);
        const int label = key == vk::kF5 ? 0 : key == vk::kF6 ? 4 : key == vk::kF7 ? 1 : 2;
        return dlg->Measure().ResultLabelText(label);
    }
};

}  // namespace

TEST_F(MeasureScaleTest, EachHalfOfAStillMeasuresAtItsOwnDepthAndAcrossThemNothingReads) {
    // BM at 70 mm: the B image and the M-mode strip.
    Unfreeze();
    Depth(70);
    dlg->ExecCommand(kCmdDisplayBM);
    ASSERT_EQ(dlg->m_nDisplayMode, kDisplayBM);
    ASSERT_NO_FATAL_FAILURE(Sweep(20));
    Freeze();
    StoreStill();
    // BB: the left half taken at 70 mm, the right one at 150 mm.
    Unfreeze();
    dlg->ExecCommand(kCmdDisplayBM);  // back to B
    ASSERT_EQ(dlg->m_nDisplayMode, kDisplayB);
    dlg->ExecCommand(kCmdDisplayBB);
    ASSERT_TRUE(Step(1));
    Depth(150);
    ASSERT_TRUE(Step(2));
    Freeze();
    ASSERT_EQ(Proc().Cine().GetSpecialDepth(0), 70);
    ASSERT_EQ(Proc().Cine().GetSpecialDepth(1), 150);
    ASSERT_FALSE(dlg->Controls().IsShown(IDC_VIEW_MAIN));
    StoreStill();
    ASSERT_EQ(archive.Exam().stills.size(), 2u);

    Key(vk::kO);
    ASSERT_EQ(panel.state, 1);
    // 235 pixels: 35.0 mm at 70 mm, 75.0 mm at 150 mm. One item per measurement (measuring an
    // item again asks first).
    Select(1);
    EXPECT_EQ(PairText(vk::kF6, {100, 100}, {100, 335}), "35.0 mm");     // CRL, left half
    EXPECT_EQ(PairText(vk::kF7, {340, 100}, {340, 335}), "75.0 mm");     // GS, right half
    EXPECT_EQ(PairText(vk::kF9, {100, 200}, {340, 200}), "Dist:-----");  // FL across the halves
    EXPECT_EQ(dlg->Measure().ObValue(ObItemFl), 0.0);
    Select(0);
    EXPECT_EQ(PairText(vk::kF5, {340, 100}, {340, 335}), "Dist:-----");  // BPD on the strip: time across
    dlg->ExecCommand(20);  // SL on the B image of the BM still: 35.0 mm at 70 mm
    Click({100, 100});
    Mouse(WM_MOUSEMOVE, {100, 335});
    Click({100, 335});
    EXPECT_NEAR(dlg->Measure().ObValue(ObItemSl), 235.0 * 70.0 / 470.0, 1e-9);
    // The AC ellipse of a half reads at that half's depth: half axes of 100 pixels upright and
    // 50 across (x 130..230, its upright axis alone would reach past the halves' meeting) run
    // 484.42 pixels round, 72.15 mm at 70 mm (154.60 mm at the sidecar's 150 mm).
    Select(1);
    Key(vk::kF10);
    Mouse(WM_LBUTTONDOWN, {180, 140});
    Mouse(WM_MOUSEMOVE, {180, 340});
    Mouse(WM_LBUTTONUP, {180, 340});
    EXPECT_NEAR(dlg->Measure().ObValue(ObItemAc), 484.4226 * 70.0 / 470.0, 1e-3);
    // So does the HC trace: a 100 by 200 pixel box in the right half runs 600 pixels round.
    dlg->ExecCommand(84);
    for (const draw::Point p : {draw::Point{300, 100}, {400, 100}, {400, 300}, {300, 300}, {300, 100}})
        Click(p);
    EXPECT_NEAR(dlg->Measure().ObValue(ObItemHc), 600.0 * 150.0 / 470.0, 1e-9);
}

TEST_F(MeasureScaleTest, AStillOfTwoHalvesAtOneDepthMeasuresAcrossThem) {
    // Live BB shows both halves side by side even when they share their depth.
    Unfreeze();
    Depth(70);
    dlg->ExecCommand(kCmdDisplayBB);
    ASSERT_TRUE(Step(1));
    ASSERT_TRUE(Step(2));
    ASSERT_EQ(Proc().Cine().GetSpecialDepth(0), 70);
    ASSERT_EQ(Proc().Cine().GetSpecialDepth(1), 70);
    ASSERT_FALSE(dlg->Controls().IsShown(IDC_VIEW_MAIN));
    NextSecond();
    dlg->ExecCommand(kCmdStoreStill);  // the store command while live
    ASSERT_EQ(archive.Exam().stills.size(), 1u);
    ASSERT_GT(archive.Exam().stills[0].splitColumn, 0);
    Freeze();

    Key(vk::kO);
    ASSERT_EQ(panel.state, 1);
    Select(0);
    // 240 pixels at 70 mm, across where the halves meet.
    EXPECT_EQ(PairText(vk::kF9, {100, 200}, {340, 200}), "35.7 mm");
    EXPECT_NEAR(dlg->Measure().ObValue(ObItemFl), 240.0 * 70.0 / 470.0, 1e-9);
}

TEST_F(MeasureScaleTest, TheStripHoldsOnlyColumnsOfTheDepthItIsMeasuredAt) {
    Unfreeze();
    auto columnIsBlack = [&](int x) {
        const Image32& strip = dlg->m_viewRight.BackBuffer();
        for (int y = 0; y < strip.height(); ++y)
            if (strip.At(x, y) != 0)
                return false;
        return true;
    };
    Depth(70);
    dlg->ExecCommand(kCmdDisplayBM);
    ASSERT_NO_FATAL_FAILURE(Sweep(40));
    const int sweptAt70 = dlg->m_nMSweepColumn;
    ASSERT_GT(sweptAt70, 20);
    ASSERT_EQ(dlg->Measure().DepthOfView(kViewRight), 70);

    Depth(150);  // nothing swept at 70 mm stays, and an empty strip has no scale
    EXPECT_EQ(dlg->Measure().DepthOfView(kViewRight), -1);
    ASSERT_NO_FATAL_FAILURE(Sweep(15));
    const int sweptAt150 = dlg->m_nMSweepColumn;
    ASSERT_GT(sweptAt150, 0);
    ASSERT_LT(sweptAt150 + 4, sweptAt70);
    Freeze();
    EXPECT_EQ(dlg->Measure().DepthOfView(kViewRight), 150);
    for (int x = sweptAt150 + 4; x < sweptAt70; ++x)
        EXPECT_TRUE(columnIsBlack(x)) << x;
}

}  // namespace coretest
