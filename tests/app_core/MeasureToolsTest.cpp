// The main window's measuring through its interfaces, headless: the click sequence and each
// tool's placements, texts and edge cases; the depth each view measures with; the OB/GY items
// with their guard and the committed value of an abandoned re-measure.
#include "CoreFixture.h"
#include "MeasureFakes.h"
#include "ScreenSnapshot.h"
#include "app/core/MeasureTools.h"
#include "measure/ResultLabels.h"
#include "platform/StringUtil.h"
#include "tests/draw/PixelTestUtil.h"

using namespace coretest;
using namespace maindlg;

namespace {

class FakeThumbnails : public IThumbnailList {
public:
    int GetItemCount() const override { return count; }
    bool HasStoredImage() const override { return count > 0; }
    int count = 2;
};

class FakeStills : public IObStills {
public:
    std::string StillPath(int index) const override { return "still" + std::to_string(index); }
    int StillDepth(int index) const override { return depths.count(index) ? depths.at(index) : -1; }
    void SetTag(const std::string& path, const std::string& tag) override { tags[path] = tag; }
    std::string StillStamp(int index) const override { return platform::Format("2024041012000%d", index); }
    void PreviewStill(int index) override { previewed.push_back(index); }
    bool RenderReportImage(const std::string& path) override {
        reports.push_back(path);
        return reportsWritten;
    }
    bool reportsWritten = true;
    std::vector<int> previewed;
    std::vector<std::string> reports;
    std::map<int, int> depths;
    std::map<std::string, std::string> tags;
};

class MeasureTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        MainDlgPorts p = side.Ports();
        p.thumbnails = &thumbs;
        p.obPanel = &panel;
        p.obStills = &stills;
        p.measureWindows = &windows;
        InitWith(p);
        // A linear probe: 470 / depth pixels per millimetre.
        Proc().SetProbeGeometry(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 38.0, 38.0, 120.0));
        FrozenFrame(100);
        initBoxes = boxes.shown().size();  // "probe not found": no probe is attached
    }
    std::vector<platform::MessageBoxRequest> Boxes() const {
        return {boxes.shown().begin() + static_cast<std::ptrdiff_t>(initBoxes), boxes.shown().end()};
    }
    void FrozenFrame(int depth) {
        FrameRecord r;
        r.depth = depth;
        const int slot = Proc().Cine().Commit(Image8(480, 480, 40), r, MLineSample{}, 0.0, depth);
        dlg->m_nRunState = kFrozen;
        Proc().Cine().SetCurrentIndex(slot);
    }
    CMeasureTools& M() { return *dlg->m_pMeasureTools; }
    void Down(int view, int x, int y) { M().OnMeasureLButton(view, {kMsgLButtonDown, {x, y}}); }
    void Up(int view, int x, int y) { M().OnMeasureLButton(view, {kMsgLButtonUp, {x, y}}); }
    void Click(int view, int x, int y) {
        Down(view, x, y);
        Up(view, x, y);
    }
    void Move(int view, int x, int y) { M().OnMeasureMouseMove(view, {kMsgMouseMove, {x, y}}); }
    void Right(int view, int x, int y) { M().OnMeasureRButtonUp(view, {kMsgRButtonUp, {x, y}}); }
    const std::string& Label(int k) { return M().ResultLabelText(k); }
    void Tool(int tool) {
        dlg->m_nTool = tool;
        dlg->m_nDisplayMode = kDisplayB;
    }

    FakeThumbnails thumbs;
    FakeObPanel panel;
    FakeStills stills;
    FakeMeasureWindows windows;
    size_t initBoxes = 0;
};

}  // namespace

TEST_F(MeasureTest, DistancePairsReadTheirLengthAtTheFramesDepthAndTheFifthOverwritesTheFirst) {
    Tool(kToolDistance);
    Click(kViewMain, 100, 100);
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 1);
    Move(kViewMain, 147, 100);  // the free end follows the mouse
    EXPECT_EQ(Label(0), "10.0 mm");
    Click(kViewMain, 147, 100);
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 2);
    EXPECT_EQ(Label(0), "10.0 mm");
    EXPECT_TRUE(dlg->Controls().IsShown(1024));
    // Press, drag, release: the first point lands where the button comes up.
    Down(kViewMain, 10, 10);
    Move(kViewMain, 20, 20);
    Up(kViewMain, 20, 20);
    EXPECT_EQ(dlg->m_viewMain.m_aptDistance[2], (draw::Point{20, 20}));
    Click(kViewMain, 20, 67);
    EXPECT_EQ(Label(1), "10.0 mm");
    for (int k = 2; k < 4; ++k) {
        Click(kViewMain, 0, 0);
        Click(kViewMain, 94, 0);
        EXPECT_EQ(Label(k), "20.0 mm");
    }
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 0);  // wrapped from 8
    Click(kViewMain, 0, 0);
    Click(kViewMain, 0, 47 * 3);
    EXPECT_EQ(Label(0), "30.0 mm");
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 2);
}

TEST_F(MeasureTest, MaximisingAndRestoringKeepTheValuesAndTheirCalipers) {
    dlg->m_nScreenLayout = 8;  // distance in frozen B
    dlg->SetScreenLayout(8, 0, true);
    Tool(kToolDistance);
    Click(kViewMain, 100, 100);
    Click(kViewMain, 147, 100);
    Click(kViewMain, 20, 20);  // a second pair under way
    ASSERT_EQ(Label(0), "10.0 mm");
    const ScreenSnapshot before = TakeScreen(*dlg);
    dlg->OnSize(true, 1600, 860);
    ExpectSameScreen(before, TakeScreen(*dlg), "maximised");
    dlg->OnSize(false, 900, 680);
    ExpectSameScreen(before, TakeScreen(*dlg), "restored");
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 3);
    EXPECT_EQ(dlg->m_nPressedToolButton, 1);
    Click(kViewMain, 20, 67);  // and the pair under way ends as it would have
    EXPECT_EQ(Label(1), "10.0 mm");
}

TEST_F(MeasureTest, TheRightButtonPicksUpTheOtherEndAndPutsTheCursorOnIt) {
    Tool(kToolDistance);
    dlg->m_viewMain.m_dViewScale = 2.0;  // image pixels per client pixel
    Click(kViewMain, 50, 50);            // image (100, 100)
    Move(kViewMain, 60, 50);
    Right(kViewMain, 70, 70);  // the fixed end jumps to (140, 140); the free end is the old first
    EXPECT_EQ(dlg->m_viewMain.m_aptDistance[0], (draw::Point{140, 140}));
    ASSERT_EQ(windows.warps.size(), 1u);
    EXPECT_EQ(windows.warps[0].second, (draw::Point{50, 50}));
    Move(kViewMain, 30, 50);  // moving now moves that end
    EXPECT_EQ(dlg->m_viewMain.m_aptDistance[1], (draw::Point{60, 100}));
}

TEST_F(MeasureTest, WithoutADepthEveryTextIsADashAndNoValueIsStored) {
    for (int depth : {0, -1}) {
        FrozenFrame(depth);
        M().ClearMeasurements();
        dlg->MeasureClickState = 0;  // the ellipse of the last round waits for a handle
        Tool(kToolDistance);
        Click(kViewMain, 0, 0);
        Click(kViewMain, 47, 0);
        EXPECT_EQ(Label(0), "Dist:-----") << depth;
        Tool(kToolArea);
        dlg->m_viewMain.m_nTraceSlot = 0;
        for (auto p : {draw::Point{0, 0}, draw::Point{100, 0}, draw::Point{100, 100}, draw::Point{0, 100},
                       draw::Point{3, 3}})
            Click(kViewMain, p.x, p.y);
        EXPECT_EQ(Label(0), "Circum:----") << depth;
        EXPECT_EQ(Label(4), "Area:-----") << depth;
        Tool(kToolEllipse);
        Down(kViewMain, 100, 240);
        Up(kViewMain, 300, 240);
        EXPECT_EQ(Label(0), "Circum:----") << depth;
        EXPECT_EQ(Label(4), "Area:-----") << depth;
    }
}

TEST_F(MeasureTest, MModeTextFromTheStripsSweepDepthAndRate) {
    dlg->m_nDisplayMode = kDisplayBM;
    auto& strip = dlg->m_viewRight;
    strip.m_aptDistance[0] = {10, 10};
    strip.m_aptDistance[1] = {110, 57};
    struct Case {
        int rate;
        int stripDepth;
        const char* text;
    };
    for (const Case c : {Case{40, 100, "10.0 mm/2.50 s"}, Case{0, 100, "------"}, Case{-1, 100, "------"},
                         Case{40, -1, "------"}}) {
        dlg->m_nMColumnsPerSecond = c.rate;
        dlg->m_nMStripDepth = c.stripDepth;
        M().ShowMModeMeasureText(0, 1);
        EXPECT_EQ(Label(7), c.text) << c.rate << " " << c.stripDepth;
    }
}

TEST_F(MeasureTest, EachViewMeasuresWithTheDepthOfWhatItShows) {
    // BM: the frame stepped to 60 mm, the strip swept at 100 mm.
    FrozenFrame(60);
    dlg->m_nDisplayMode = kDisplayBM;
    dlg->m_nMStripDepth = 100;
    Proc().SetDepth(150);  // whatever the processor is set to now
    EXPECT_EQ(M().DepthOfView(kViewLeft), 60);
    EXPECT_EQ(M().DepthOfView(kViewRight), 100);
    // BB: each half its special frame's depth.
    dlg->m_nDisplayMode = kDisplayBB;
    Proc().Cine().SetSpecialDepthFocus(0, 80, 40);
    Proc().Cine().SetSpecialDepthFocus(1, 120, 40);
    EXPECT_EQ(M().DepthOfView(kViewLeft), 80);
    EXPECT_EQ(M().DepthOfView(kViewRight), 120);
    // OB/GY: the still's sidecar, not the live depth; none without a sidecar depth.
    dlg->m_nDisplayMode = kDisplayB;
    dlg->m_nTool = kToolObgy;
    dlg->m_nObSelectedImage = 0;
    stills.depths[0] = 60;
    EXPECT_EQ(M().DepthOfView(kViewMain), 60);
    EXPECT_NEAR(M().ScaleOfView(kViewMain).MmPerPixel(), 60.0 / 470.0, 1e-12);
    dlg->m_nObSelectedImage = 1;
    EXPECT_FALSE(M().ScaleOfView(kViewMain).valid());
}

TEST_F(MeasureTest, TraceClosesNineButNotTenPixelsFromItsStartAndReadsTheSquare) {
    Tool(kToolArea);
    Click(kViewMain, 100, 100);
    Click(kViewMain, 200, 100);
    Move(kViewMain, 250, 150);  // the rubber band keeps no point
    EXPECT_EQ(dlg->m_viewMain.m_avecTrace[0].size(), 2u);
    Click(kViewMain, 200, 200);
    Click(kViewMain, 100, 200);
    Click(kViewMain, 110, 110);  // 10 away: a vertex
    EXPECT_EQ(dlg->m_viewMain.m_avecTrace[0].size(), 5u);
    Right(kViewMain, 0, 0);  // undo it
    EXPECT_EQ(dlg->m_viewMain.m_avecTrace[0].size(), 4u);
    Click(kViewMain, 109, 109);  // 9 away: closes
    EXPECT_EQ(dlg->m_viewMain.m_avecTrace[0].size(), 5u);
    EXPECT_EQ(Label(0), "85.1 mm");
    EXPECT_EQ(Label(4), "4.5 cm2");
    EXPECT_EQ(dlg->m_viewMain.m_nTraceSlot, 1);
    EXPECT_EQ(dlg->MeasureClickState, 0);
}

TEST_F(MeasureTest, TheRightButtonOnATraceOfOnePointCancelsIt) {
    Tool(kToolArea);
    Click(kViewMain, 100, 100);
    Right(kViewMain, 100, 100);
    EXPECT_TRUE(dlg->m_viewMain.m_avecTrace[0].empty());
    EXPECT_EQ(dlg->MeasureClickState, 0);
}

TEST_F(MeasureTest, UnfinishedTracesAreRemovedAndTheSlotPastTheLastStillAddressesItsOwnLabels) {
    Tool(kToolArea);
    dlg->m_viewMain.m_nTraceSlot = 4;  // after the fourth trace
    dlg->m_viewMain.m_avecTrace[2] = {{0, 0}, {5, 5}};
    dlg->m_viewMain.m_avecTrace[3] = {{0, 0}, {5, 5}, {9, 0}, {0, 0}};  // closed: stays
    EXPECT_TRUE(M().ClearUnfinishedMeasures(kViewMain));
    EXPECT_TRUE(dlg->m_viewMain.m_avecTrace[2].empty());
    EXPECT_EQ(dlg->m_viewMain.m_avecTrace[3].size(), 4u);
    EXPECT_EQ(Label(0), "Circum:----");
    EXPECT_EQ(Label(4), "Area:-----");
    EXPECT_FALSE(M().ClearUnfinishedMeasures(kViewMain));
}

TEST_F(MeasureTest, EllipsePlacementDropAndResults) {
    FrozenFrame(47);  // 0.1 mm per pixel
    Tool(kToolEllipse);
    auto& v = dlg->m_viewMain;
    Down(kViewMain, 100, 100);
    Up(kViewMain, 108, 100);  // 8 right: 64 < 65, dropped
    EXPECT_EQ(v.m_aEllipse[0].state, EllipseStateEmpty);
    Down(kViewMain, 100, 100);
    Up(kViewMain, 108, 101);  // 8 right, 1 down: placed
    EXPECT_EQ(v.m_aEllipse[0].state, EllipseStateSelected);
    // A first axis 200 pixels long: a = 100, b = 50.
    v.m_aEllipse[0] = {};
    v.m_nEllipseCount = 0;
    Down(kViewMain, 100, 240);
    Up(kViewMain, 300, 240);
    EXPECT_EQ(v.m_aEllipse[0].centre(), (draw::Point{200, 240}));
    EXPECT_EQ(Label(0), "48.4 mm");
    EXPECT_EQ(Label(4), "1.6 cm2");
    // Drag handle 2 (200, 290) out to (200, 340): b = 100, a circle.
    Down(kViewMain, 200, 290);
    EXPECT_TRUE(windows.sizing);
    Move(kViewMain, 200, 340);
    Up(kViewMain, 200, 340);
    EXPECT_FALSE(windows.sizing);
    EXPECT_DOUBLE_EQ(v.m_aEllipse[0].b, 100.0);
    EXPECT_EQ(Label(0), "62.8 mm");
    EXPECT_EQ(Label(4), "3.1 cm2");
    FrozenFrame(100);  // a = b = 100 at 4.7 pixels per millimetre
    M().UpdateEllipseResults(kViewMain);
    EXPECT_EQ(Label(0), "133.7 mm");
    EXPECT_EQ(Label(4), "14.2 cm2");
    // A press outside deselects; the next press outside starts the second ellipse.
    Click(kViewMain, 460, 20);
    EXPECT_EQ(v.m_aEllipse[0].state, EllipseStateDeselected);
    Down(kViewMain, 460, 20);
    EXPECT_EQ(v.m_nEllipseCurrent, 1);
    EXPECT_EQ(v.m_aEllipse[1].state, EllipseStatePlacing);
}

TEST_F(MeasureTest, AnAbandonedReMeasureKeepsTheCommittedBpdAndItsButtonText) {
    FrozenFrame(47);
    dlg->m_nTool = kToolObgy;
    panel.state = 1;
    dlg->m_nObSelectedImage = 0;
    stills.depths[0] = 47;
    M().SelectObItem(ObItemBpd);
    Click(kViewMain, 100, 100);
    EXPECT_EQ(panel.sub[IDC_OB_BPD], "---");
    Click(kViewMain, 100, 1000);
    EXPECT_DOUBLE_EQ(M().ObValue(ObItemBpd), 90.0);
    EXPECT_EQ(panel.sub[IDC_OB_BPD], "90.0 mm");
    EXPECT_EQ(stills.tags["still0"], "BPD");
    // Re-measure: the guard asks first; Cancel leaves everything.
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    Click(kViewMain, 10, 10);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "May I take off the guard for the existing OB/GY line for BPD?");
    EXPECT_DOUBLE_EQ(M().ObValue(ObItemBpd), 90.0);
    // OK, then a new first point whose free end wanders off, and the user picks another item.
    boxes.SetAnswer(platform::MsgAnswer::Ok);
    Click(kViewMain, 10, 10);
    Click(kViewMain, 10, 10);
    EXPECT_FALSE(dlg->Controls().IsShown(1024));  // the old result label is hidden
    Down(kViewMain, 10, 10);
    Move(kViewMain, 10, 300);
    EXPECT_DOUBLE_EQ(M().ObValue(ObItemBpd), 90.0);
    M().CancelMeasureSequence();
    EXPECT_DOUBLE_EQ(M().ObValue(ObItemBpd), 90.0);
    EXPECT_EQ(panel.sub[IDC_OB_BPD], "90.0 mm");
}

TEST_F(MeasureTest, TheResultLinesShowOnlyItemsOfTheShownImage) {
    FrozenFrame(47);
    dlg->m_nTool = kToolObgy;
    dlg->m_nObSelectedImage = 0;
    M().m_obValues.Commit(ObItemBpd, 90.0, 0);
    M().m_obValues.Commit(ObItemFl, 70.0, 1);
    Image32 a(480, 480);
    a.Fill(0);
    M().DrawObgyResults(a);
    auto count = [](const Image32& img, uint32_t px) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += img.At(x, y) == px;
        return n;
    };
    EXPECT_GT(count(a, MakePixel(0, 167, 227)), 5);  // the BPD line
    EXPECT_EQ(count(a, MakePixel(255, 165, 0)), 0);  // FL was measured on another image

    // The lines stay clear of the depth scale's labels ("0cm" at the top), whatever the depth.
    for (int depth : {47, 150}) {
        Image32 scale(480, 480, 0);
        dlg->m_viewMain.DrawDepthScale(scale, -1, 470.0 / depth);
        const draw::Rect lines = drawtest::InkBox(a, 0);
        const draw::Rect marks = drawtest::InkBoxIn(scale, 0, {0, lines.top, 480, lines.bottom});
        EXPECT_LE(marks.right, lines.left) << depth;
    }
}

TEST_F(MeasureTest, LeavingTheModeAsksOnlyWhenAllFiveButtonsShowValues) {
    dlg->m_nTool = kToolObgy;
    panel.state = 1;
    dlg->m_bStillStored = false;
    dlg->m_nObSelectedImage = 0;
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    for (int item : {ObItemBpd, ObItemFl, ObItemCrl, ObItemAc, ObItemGs})
        M().m_obValues.Commit(item, 10.0, 0);
    // Only some buttons show values: no question.
    M().SelectObItem(ObItemBpd);
    M().ToggleObMode();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(panel.state, 0);
}

TEST_F(MeasureTest, CtrlWithAnItemsCommandForgetsItAndShiftDoesNot) {
    dlg->m_nTool = kToolObgy;
    M().m_obValues.Commit(ObItemFl, 70.0, 0);
    side.keyboard.keys = {true, false, true};
    M().SelectObItem(ObItemFl);
    EXPECT_DOUBLE_EQ(M().ObValue(ObItemFl), 70.0);
    side.keyboard.keys = {true, true, false};
    M().SelectObItem(ObItemFl);
    EXPECT_DOUBLE_EQ(M().ObValue(ObItemFl), 0.0);
}

TEST_F(MeasureTest, WithHalvesOfDifferentDepthsAReleaseInTheOtherHalfIsIgnored) {
    dlg->m_nDisplayMode = kDisplayBB;
    dlg->m_nTool = kToolDistance;
    Proc().Cine().SetSpecialDepthFocus(0, 100, 40);
    Proc().Cine().SetSpecialDepthFocus(1, 200, 40);
    Click(kViewLeft, 10, 10);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 1);
    EXPECT_EQ(dlg->m_viewRight.m_nDistanceCount, 1);  // in step
    Click(kViewRight, 50, 50);                        // the other half: ignored
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 1);
    Click(kViewLeft, 10, 57);
    EXPECT_EQ(dlg->m_viewLeft.m_nDistanceCount, 2);
    EXPECT_EQ(dlg->m_viewMain.m_nDistanceCount, 2);
    EXPECT_EQ(Label(0), "10.0 mm");  // the left half's own depth
}

TEST_F(MeasureTest, AcOnAnotherImageAsksBeforeResettingAndCancelIgnoresTheClick) {
    FrozenFrame(47);
    dlg->m_nTool = kToolObgy;
    dlg->m_nObSelectedImage = 0;
    stills.depths = {{0, 47}, {1, 47}};
    M().SelectObItem(ObItemAc);
    Down(kViewMain, 100, 240);
    Move(kViewMain, 300, 240);
    Up(kViewMain, 300, 240);
    EXPECT_NEAR(M().ObValue(ObItemAc), 48.442, 1e-3);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemAc), 0);
    EXPECT_EQ(panel.sub[IDC_OB_AC], "48.4 mm");
    dlg->m_nObSelectedImage = 1;
    M().SetOverlayFlags(kViewMain);
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    Down(kViewMain, 10, 10);
    Up(kViewMain, 10, 10);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "May I reset the existing AC ellipsoid?");
    EXPECT_EQ(dlg->m_viewMain.m_ellipseObgy.state, EllipseStateSelected);
    EXPECT_NEAR(M().ObValue(ObItemAc), 48.442, 1e-3);
    boxes.SetAnswer(platform::MsgAnswer::Ok);
    Down(kViewMain, 10, 10);
    EXPECT_EQ(dlg->m_viewMain.m_ellipseObgy.state, EllipseStatePlacing);
    Move(kViewMain, 10, 210);
    Up(kViewMain, 10, 210);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemAc), 1);  // taken when the ellipse completes
}

TEST_F(MeasureTest, HcStoresTheClosedTracesPerimeter) {
    dlg->m_nTool = kToolObgy;
    dlg->m_nObSelectedImage = 0;
    stills.depths[0] = 100;
    M().SelectObItem(ObItemHc);
    for (auto p : {draw::Point{100, 100}, draw::Point{200, 100}, draw::Point{200, 200}, draw::Point{100, 200},
                   draw::Point{101, 101}})
        Click(kViewMain, p.x, p.y);
    EXPECT_NEAR(M().ObValue(ObItemHc), 400 / 4.7, 1e-9);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemHc), 0);
}

TEST_F(MeasureTest, EnteringTheModeAndCancelAtTheFinishQuestionKeepsItOn) {
    M().ToggleObMode();
    EXPECT_EQ(panel.state, 1);
    EXPECT_EQ(dlg->m_nTool, kToolObgy);
    EXPECT_EQ(dlg->m_nScreenLayout, 18);
    EXPECT_EQ(dlg->m_nObSelectedImage, 0);
    for (int item : {ObItemBpd, ObItemFl, ObItemCrl, ObItemAc, ObItemGs}) {
        M().m_obValues.Commit(item, 10.0, 0);
        M().SetItemButton(item);
    }
    dlg->m_bStillStored = false;
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    M().ToggleObMode();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "May I finish OB/GY mode?");
    EXPECT_EQ(panel.state, 1);
    EXPECT_EQ(dlg->m_nTool, kToolObgy);
    boxes.SetAnswer(platform::MsgAnswer::Ok);
    M().ToggleObMode();
    EXPECT_EQ(panel.state, 0);
    EXPECT_EQ(dlg->m_nTool, kToolNone);
    EXPECT_EQ(dlg->m_nObSelectedImage, -1);
}

TEST_F(MeasureTest, TaggingASecondImageTakesTheTagFromTheFirst) {
    dlg->m_nObSelectedImage = 0;
    M().TagSelectedImage("BPD");
    dlg->m_nObSelectedImage = 1;
    M().TagSelectedImage("BPD");
    EXPECT_EQ(stills.tags["still0"], "");
    EXPECT_EQ(stills.tags["still1"], "BPD");
    EXPECT_EQ(M().m_mapObImageTags.size(), 1u);
}

TEST_F(MeasureTest, AFailedDateLoadLeavesNoTextOfThePreviousPatient) {
    M().m_dates.lmpText = "01-01-2024";
    M().m_dates.bbtText = "15-01-2024";
    dlg->m_strPatientId = "NOBODY";
    EXPECT_FALSE(M().LoadPatientDatesResult());
    EXPECT_EQ(M().m_dates.lmpText, "");
    EXPECT_EQ(panel.lmp, "");
    EXPECT_EQ(panel.bbt, "");
    EXPECT_FALSE(M().SavePatientDates());
}

TEST_F(MeasureTest, GAgeEvaluatesTheCommittedValuesAndWritesTheFlaggedReportImage) {
    dlg->m_nTool = kToolObgy;
    dlg->m_strPatientFolder = "/data/0042/";
    dlg->m_strPatientHeader = "ID: 0042  Name: <&>";
    dlg->m_nEfwEquation = 0;
    M().m_obValues.Commit(ObItemBpd, 90.0, 1);
    M().m_obValues.Commit(ObItemFl, 70.0, 1);
    M().m_obValues.Commit(ObItemAc, 300.0, 1);
    M().m_abObSaveImage[ObEvalBpd] = true;
    M().ShowObResults();
    ASSERT_EQ(windows.results.size(), 1u);
    const ObEvaluationResult& r = windows.results[0];
    EXPECT_EQ(r.Text(ObResWeight), "2670.03 g");
    EXPECT_EQ(r.Text(ObResBpd1), "90.0 mm");
    EXPECT_EQ(r.Text(ObResBpd3), "36 W 3 D");  // the USA table beside the program
    EXPECT_EQ(r.Text(ObResIdName), "ID: 0042  Name: <&>");
    EXPECT_EQ(stills.previewed, (std::vector<int>{1}));
    EXPECT_EQ(stills.reports, (std::vector<std::string>{"/data/0042/BPD20240410120001.bmp"}));
    EXPECT_FALSE(M().m_abObSaveImage[ObEvalBpd]);
    EXPECT_EQ(dlg->m_nObSelectedImage, 1);
    auto writeErrors = [&] {
        std::vector<platform::MessageBoxRequest> found;
        for (const auto& b : Boxes()) {
            if (b.text == "File write error!")
                found.push_back(b);
        }
        return found;
    };
    EXPECT_TRUE(writeErrors().empty());
    // Report images that do not reach the disk are said once, and the results still show.
    stills.reportsWritten = false;
    M().m_abObSaveImage[ObEvalBpd] = true;
    M().m_abObSaveImage[ObEvalFl] = true;
    M().ShowObResults();
    EXPECT_EQ(stills.reports.size(), 3u);
    ASSERT_EQ(writeErrors().size(), 1u);
    EXPECT_EQ(writeErrors()[0].caption, "ImageStore");
    EXPECT_EQ(windows.results.size(), 2u);
}

TEST_F(MeasureTest, ACineStepAcrossADepthChangeMeasuresEachViewAtItsOwnDepth) {
    // B: a pair 94 pixels long reads 20 mm on the 100 mm frame and 40 mm on the 200 mm frame.
    FrameRecord deep;
    deep.depth = 200;
    const int first = Proc().Cine().GetCurrentIndex();
    const int second = Proc().Cine().Commit(Image8(480, 480, 60), deep, MLineSample{}, 0.0, 200);
    Tool(kToolDistance);
    Proc().Cine().SetCurrentIndex(first);
    Click(kViewMain, 0, 0);
    Click(kViewMain, 94, 0);
    EXPECT_EQ(Label(0), "20.0 mm");
    Proc().Cine().SetCurrentIndex(second);
    Click(kViewMain, 0, 0);
    Click(kViewMain, 94, 0);
    EXPECT_EQ(Label(1), "40.0 mm");
    // BM: stepping the B image to the 200 mm frame leaves the strip at the depth it was swept at.
    dlg->m_nDisplayMode = kDisplayBM;
    dlg->m_nMStripDepth = 100;
    dlg->m_nMColumnsPerSecond = 40;
    for (auto* v : {&dlg->m_viewMain, &dlg->m_viewLeft, &dlg->m_viewRight})
        v->m_nDistanceCount = 0;
    // The strip's own clicks come through the input routing's handler of command 54 in BM;
    // here the click sequence is run by hand around the measuring call that handler makes.
    auto stripEvent = [&](int state, int x, int y) {
        dlg->MeasureClickState = state;
        dlg->m_nPressView = kViewRight;
        M().m_ptMouse = {x, y};
        M().OnMeasureMouse(kViewRight, kViewLeft, -1, state % 2 ? kMsgLButtonDown : kMsgLButtonUp);
    };
    stripEvent(1, 10, 10);
    stripEvent(2, 10, 10);
    stripEvent(3, 110, 57);
    stripEvent(4, 110, 57);
    EXPECT_EQ(Label(4), "10.0 mm/2.50 s");
    EXPECT_EQ(M().DepthOfView(kViewLeft), 200);
}

TEST_F(MeasureTest, ACompletedItemKeepsItsFrameInItsSlotAndOneWithoutAnImageBringsItBack) {
    FrozenFrame(47);  // grey 40 at 47 mm
    dlg->m_nTool = kToolObgy;
    dlg->m_nObSelectedImage = 0;
    stills.depths[0] = 47;
    M().SelectObItem(ObItemFl);
    Click(kViewMain, 100, 100);
    EXPECT_NE(Proc().Cine().GetSlotRecord(1, ObItemFl - 1)->depth, 47);  // not before it completes
    Click(kViewMain, 100, 200);
    ASSERT_EQ(Proc().Cine().GetSlotRecord(1, ObItemFl - 1)->depth, 47);
    // Later frames fill the cine.
    FrameRecord deep;
    deep.depth = 120;
    for (int i = 0; i < 5; ++i)
        Proc().Cine().Commit(Image8(480, 480, 200), deep, MLineSample{}, 0.0, 120);
    const int frames = Proc().Cine().GetCount();
    // Measured on a still: choosing it again leaves the cine alone.
    M().SelectObItem(ObItemFl);
    EXPECT_EQ(Proc().Cine().GetCount(), frames);
    // Without an image, its frame comes back as the cine's only frame, with its depth.
    M().m_obValues.Commit(ObItemFl, 10.0, -1);
    M().SelectObItem(ObItemFl);
    EXPECT_EQ(Proc().Cine().GetCount(), 1);
    EXPECT_EQ(Proc().Cine().GetCurrentIndex(), 0);
    uint8_t grey = 0;
    Proc().Cine().VisitFrame(0, [&](const Image8& f, const FrameRecord& r) {
        grey = f.At(240, 240);
        EXPECT_EQ(r.depth, 47);
    });
    EXPECT_EQ(grey, 40);
    EXPECT_EQ(Proc().GetDepth(), 47);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 /   1");

    // BB: both halves go into their sides of the slot, the clicked half last.
    Proc().Cine().Commit(Image8(480, 480, 10), deep, MLineSample{}, 0.0, 120);
    FrameRecord left;
    left.depth = 80;
    const int l = Proc().Cine().Commit(Image8(480, 480, 20), left, MLineSample{}, 0.0, 80);
    Proc().Cine().CopyFrameToSpecialSlot(l, 0);
    Proc().Cine().CopyFrameToSpecialSlot(l - 1, 1);
    dlg->m_nDisplayMode = kDisplayBB;
    M().SelectObItem(ObItemGs);
    Click(kViewMain, 10, 10);
    Click(kViewMain, 10, 57);
    EXPECT_EQ(Proc().Cine().GetSlotRecord(1, ObItemGs - 1)->depth, 80);
    EXPECT_EQ(Proc().Cine().GetSlotRecord(2, ObItemGs - 1)->depth, 120);
}

// What a click places shows at once: after the press and after the release, each view's
// picture is what the next full redraw draws, and the view was asked to repaint; at the
// start-up size and maximised alike.
TEST_F(MeasureTest, AClickedPointIsDrawnAndRepaintedWithoutWaitingForTheNextRedraw) {
    struct Case {
        const char* what;
        int display, tool, item, view;
        draw::Point release;  // where the button comes up, relative to the press, with no move seen
        bool pressTransient;  // the press draws a rubber band the model does not keep
    } cases[] = {
        {"distance, B", kDisplayB, kToolDistance, 0, kViewMain, {0, 20}, false},
        {"distance, BB at two depths", kDisplayBB, kToolDistance, 0, kViewLeft, {0, 20}, false},
        {"distance, B image of BM", kDisplayBM, kToolDistance, 0, kViewLeft, {0, 20}, false},
        {"M-mode strip", kDisplayBM, kToolDistance, 0, kViewRight, {0, 20}, false},
        {"area trace", kDisplayB, kToolArea, 0, kViewMain, {0, 20}, true},
        {"ellipse", kDisplayB, kToolEllipse, 0, kViewMain, {40, 0}, false},
        {"OB/GY BPD", kDisplayB, kToolObgy, ObItemBpd, kViewMain, {0, 20}, false},
        {"OB/GY FL", kDisplayB, kToolObgy, ObItemFl, kViewMain, {0, 20}, false},
        {"OB/GY AC", kDisplayB, kToolObgy, ObItemAc, kViewMain, {40, 0}, false},
        {"OB/GY HC", kDisplayB, kToolObgy, ObItemHc, kViewMain, {0, 20}, true},
    };
    dlg->m_bActive = true;
    for (double scale : {1.0, 0.8}) {
        for (const Case& c : cases) {
            for (bool atPress : {true, false}) {
                if (atPress && c.pressTransient)
                    continue;
                std::string what = std::string(c.what) + (scale == 1.0 ? "" : ", maximised");
                what += atPress ? ", after the press" : ", after the release";
                M().ClearMeasurements();
                for (auto* v : {&dlg->m_viewMain, &dlg->m_viewLeft, &dlg->m_viewRight}) {
                    v->ClearTraceMarks();
                    v->m_anObgyStep.fill(0);
                    v->m_dViewScale = scale;
                }
                dlg->MeasureClickState = 0;
                dlg->m_nPressView = 0;
                dlg->m_nDisplayMode = c.display;
                dlg->m_nTool = c.tool;
                dlg->m_nObItem = c.item;
                dlg->m_nObSelectedImage = c.tool == kToolObgy ? 0 : -1;
                // BB halves at two depths (a BM draw gives both the B image's).
                Proc().Cine().SetSpecialDepthFocus(0, 100, 40);
                Proc().Cine().SetSpecialDepthFocus(1, 200, 40);
                dlg->RedrawImages();
                CCstmPictureCtrl& view = dlg->View(c.view);
                const Image32 clean = view.BackBuffer();
                const draw::Rect r = dlg->ViewRect(c.view);
                // Client pixels are image pixels divided by the view's scale.
                auto mouse = [&](int message, draw::Point image) {
                    const draw::Point client{static_cast<int>(image.x / scale + 0.5),
                                             static_cast<int>(image.y / scale + 0.5)};
                    dlg->PreTranslateMouse(MouseMessage{message, {r.left + client.x, r.top + client.y}});
                };
                const int repaints = side.views.repaints[c.view];
                mouse(WM_LBUTTONDOWN, {100, 100});
                if (!atPress)
                    mouse(WM_LBUTTONUP, {100 + c.release.x, 100 + c.release.y});
                EXPECT_GT(side.views.repaints[c.view], repaints) << what << ": no repaint";
                const Image32 shown = view.BackBuffer();
                dlg->RedrawImages();
                EXPECT_TRUE(shown == view.BackBuffer()) << what << ": not drawn until the next redraw";
                EXPECT_FALSE(view.BackBuffer() == clean) << what << ": nothing placed";
            }
        }
    }
}

// A click that ends in another view cancels the open pair: it goes from the picture too.
TEST_F(MeasureTest, APairDroppedByAClickInAnotherViewLeavesThePicture) {
    dlg->m_bActive = true;
    struct Case {
        const char* what;
        int display, pressView, otherView;
    } cases[] = {
        {"B", kDisplayB, kViewMain, 0},
        {"M-mode strip, then the B image", kDisplayBM, kViewRight, kViewLeft},
        {"B image of BM, then the strip", kDisplayBM, kViewLeft, kViewRight},
    };
    for (const Case& c : cases) {
        M().ClearMeasurements();
        dlg->MeasureClickState = 0;
        dlg->m_nPressView = 0;
        dlg->m_nDisplayMode = c.display;
        dlg->m_nTool = kToolDistance;
        dlg->RedrawImages();
        const Image32 clean = dlg->View(c.pressView).BackBuffer();
        auto click = [&](int view) {
            // No view: far outside all of them.
            const draw::Rect r = view ? dlg->ViewRect(view) : draw::Rect{-1000, -1000, -900, -900};
            for (int message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
                dlg->PreTranslateMouse(MouseMessage{message, {r.left + 100, r.top + 100}});
        };
        click(c.pressView);
        ASSERT_EQ(dlg->View(c.pressView).m_nDistanceCount, 1) << c.what;
        click(c.otherView);
        EXPECT_EQ(dlg->View(c.pressView).m_nDistanceCount, 0) << c.what;
        EXPECT_TRUE(dlg->View(c.pressView).BackBuffer() == clean)
            << c.what << ": the dropped point still shows";
    }
}
