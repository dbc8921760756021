// OB/GY on the headless main window with the real archive, as a user works: stills stored
// with I, O, the items measured with the mouse on the still each belongs to, the LMP picked,
// G-Age. Each still measures at the depth it was taken at, never at the live one; a still
// without a depth gives dashes and no value; deleting stills moves the items along.
#include "ArchiveFixture.h"
#include "MeasureFakes.h"
#include "ScreenSnapshot.h"
#include "app/core/MeasureTools.h"
#include "app/core/VirtualKeys.h"
#include "common/BitmapInfo.h"
#include "common/EventHub.h"
#include "common/User.h"
#include "measure/ResultLabels.h"
#include "platform/BmpCodec.h"
#include "platform/FileSystem.h"

namespace coretest {
namespace {

using namespace maindlg;

class ObWalkthroughTest : public ArchiveCoreTest {
protected:
    void MorePorts(MainDlgPorts& p) override {
        p.obPanel = &panel;
        p.measureWindows = &windows;
    }
    // Live on the convex probe at this depth for a few frames (470 / depth pixels per millimetre,
    // as RAW2BITMAP is 1).
    void LiveAt(int depth, int frames) {
        Unfreeze();
        side.right.SetSliderPos(IDC_R_DEPTH, depth);
        int code = SB_THUMBPOSITION;
        dlg->ExecCommand(kCmdApplyDepth, &code);
        ASSERT_TRUE(Step(frames));
        Freeze();
        ASSERT_EQ(Proc().GetFrameRecord(Proc().Cine().GetCurrentIndex())->depth, depth);
    }
    void StoreStill() {
        NextSecond();
        Key(vk::kI);
    }
    // Mouse events on the main view, at image pixels (the view scale is 1).
    void Mouse(int message, int x, int y) {
        const draw::Rect r = dlg->ViewRect(kViewMain);
        dlg->PreTranslateMouse(MouseMessage{message, {r.left + x, r.top + y}});
    }
    void Click(int x, int y) {
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_LBUTTONUP, x, y);
    }
    void Pair(int key, draw::Point a, draw::Point b) {
        Key(key);
        Click(a.x, a.y);
        Mouse(WM_MOUSEMOVE, b.x, b.y);
        Click(b.x, b.y);
    }
    void PanelButton(int id) {
        CommandEventArgs args{kObPanel, id};
        CEventHub::GetInstance().Publish(EventKindCommand, &args);
    }
    CMeasureTools& M() { return dlg->Measure(); }
    const std::string& Label(int k) { return M().ResultLabelText(k); }
    // The sidecar of a stored still, rewritten with another depth.
    void SetSidecarDepth(int row, int depth) {
        const std::string path = archive.List().Items()[static_cast<size_t>(row)].sidecarPath;
        CBitmapInfo info;
        ASSERT_TRUE(info.LoadXml(path));
        info.depth = depth;
        ASSERT_TRUE(platform::WriteFileAtomic(path, info.PrintXml()));
    }
    int SelectedStill() const { return dlg->m_nObSelectedImage; }

    FakeObPanel panel;
    FakeMeasureWindows windows;
};

}  // namespace

TEST_F(ObWalkthroughTest, ItemsOnStoredStillsToTheResultsTable) {
    Image(2);
    LiveAt(70, 2);
    StoreStill();  // still 0, taken at 70 mm
    LiveAt(150, 3);
    StoreStill();  // still 1, its depth lost below
    ASSERT_EQ(archive.GetItemCount(), 2);
    SetSidecarDepth(1, 0);
    ASSERT_EQ(Proc().GetDepth(), 150);

    Key(vk::kO);
    ASSERT_EQ(panel.state, 1);
    ASSERT_EQ(SelectedStill(), 0);
    // The still is the image, whatever the cine shows.
    dlg->RedrawImages();
    const Image32& still = archive.Exam().stills[0].bitmap;
    const Image32& shown = dlg->m_viewMain.BackBuffer();
    for (int y = 380; y < 400; ++y)
        ASSERT_TRUE(std::equal(still.Row(y), still.Row(y) + 480, shown.Row(y))) << y;

    // At 70 mm: 235 pixels are 35.0 mm, 188 pixels 28.0 mm; an ellipse of 200 by 100 pixels
    // runs 968.845 pixels round, 144.30 mm.
    Pair(vk::kF5, {100, 200}, {335, 200});
    EXPECT_EQ(Label(0), "35.0 mm");
    EXPECT_EQ(panel.sub[IDC_OB_BPD], "35.0 mm");
    Pair(vk::kF9, {100, 260}, {100, 448});
    EXPECT_EQ(panel.sub[IDC_OB_FL], "28.0 mm");
    Key(vk::kF10);
    Mouse(WM_LBUTTONDOWN, 40, 240);
    Mouse(WM_MOUSEMOVE, 440, 240);
    Mouse(WM_LBUTTONUP, 440, 240);
    EXPECT_EQ(panel.sub[IDC_OB_AC], "144.3 mm");
    EXPECT_NEAR(M().ObValue(ObItemAc), 144.296, 1e-3);

    // The still without a depth: dashes, nothing stored, never "nan". The AC ellipse left
    // its click sequence open; choosing CRL ends it, so two clicks make the pair.
    Select(1);
    ASSERT_EQ(SelectedStill(), 1);
    // The items of still 0 are not drawn on still 1.
    EXPECT_EQ(dlg->m_viewMain.m_abObgyFlag[0], 2);
    EXPECT_EQ(dlg->m_viewMain.m_nObgyEllipseShown, 0);
    Pair(vk::kF6, {100, 100}, {100, 300});
    EXPECT_EQ(Label(4), "Dist:-----");
    EXPECT_EQ(panel.sub[IDC_OB_CRL], "");
    EXPECT_EQ(M().ObValue(ObItemCrl), 0.0);

    windows.pick = platform::SystemTime{2024, 1, 1, 1, 0, 0, 0, 0};
    PanelButton(IDC_OB_LMP);
    EXPECT_EQ(panel.lmp, "01-01-2024");
    const size_t boxesBefore = boxes.shown().size();
    {
        testsupport::FakeClock today;
        int64_t noon = 0;
        ASSERT_TRUE(platform::UtcToMicros({2024, 4, 3, 10, 12, 0, 0, 0}, noon));
        today.SetUtcMicros(noon);
        PanelButton(IDC_OB_GAGE);
    }
    ASSERT_EQ(windows.results.size(), 1u);
    const ObEvaluationResult& r = windows.results[0];
    const std::vector<std::pair<ObResultElement, const char*>> expected = {
        {ObResIdName, "ID: TEST  Name: Test"},
        {ObResLmp1, "01-01-2024"},
        {ObResLmp2, "07-10-2024"},
        {ObResLmp3, "14 W 2 D"},
        {ObResBbt1, "15-01-2024"},
        {ObResBbt2, "07-10-2024"},
        {ObResBbt3, "12 W 2 D"},
        {ObResBbtMode, "(auto)"},
        {ObResBpd1, "35.0 mm"},
        {ObResBpd3, "16 W 5 D"},  // the USA tables by default
        {ObResFl1, "28.0 mm"},
        {ObResFl3, "18 W 4 D"},
        {ObResAc1, "144.3 mm"},
        {ObResAc3, "-"},   // no AC table in the USA set, and no file opened for it
        {ObResCrl1, "-"},  // measured without a depth
        {ObResGs1, "-"},
        // 1.07 × 3.5³ + 0.30 × 14.4² × 2.8
        {ObResWeight, "220.06 g"},
    };
    for (const auto& [element, text] : expected)
        EXPECT_EQ(r.Text(element), text) << kObResultElementIds[element];
    // Every table the USA set has for these items is found.
    EXPECT_EQ(Texts(boxesBefore), std::vector<std::string>{});
    // BPD and FL set their report images: the still they were measured on, with its stamp.
    const std::string stamp = archive.StillStamp(0);
    for (const char* name : {"BPD", "FL"}) {
        Image32 report;
        EXPECT_TRUE(platform::ReadBmpFile(dlg->m_strPatientFolder + name + stamp + ".bmp", report)) << name;
        EXPECT_EQ(report.width(), 480);
    }
    EXPECT_EQ(SelectedStill(), 0);
}

TEST_F(ObWalkthroughTest, ReviewDepthZeroOrMinusOneHasNoScaleForAnyItem) {
    Image(2);
    LiveAt(70, 1);
    StoreStill();
    for (int depth : {0, -1}) {
        SetSidecarDepth(0, depth);
        if (panel.state != 1)
            Key(vk::kO);
        Select(0);
        Pair(vk::kF5, {100, 200}, {335, 200});
        EXPECT_EQ(Label(0), "Dist:-----") << depth;
        Key(vk::kF10);
        Mouse(WM_LBUTTONDOWN, 40, 240);
        Mouse(WM_MOUSEMOVE, 440, 240);
        Mouse(WM_LBUTTONUP, 440, 240);
        dlg->ExecCommand(84);  // HC
        for (draw::Point p :
             {draw::Point{100, 100}, draw::Point{300, 100}, draw::Point{300, 300}, draw::Point{101, 101}})
            Click(p.x, p.y);
        for (int item : {ObItemBpd, ObItemAc, ObItemHc})
            EXPECT_EQ(M().ObValue(item), 0.0) << depth << " " << item;
        EXPECT_EQ(panel.sub[IDC_OB_BPD], "") << depth;
        EXPECT_EQ(panel.sub[IDC_OB_AC], "") << depth;
        PanelButton(IDC_OB_GAGE);
        const ObEvaluationResult& r = windows.results.back();
        EXPECT_EQ(r.Text(ObResBpd1), "-");
        EXPECT_EQ(r.Text(ObResAc1), "-");
        EXPECT_EQ(r.Text(ObResWeight), "(not calculated yet)");
    }
}

TEST_F(ObWalkthroughTest, DeletingStillsMovesItemsDownAndForgetsTheOnesMeasuredOnThem) {
    Image(2);
    LiveAt(70, 1);
    for (int i = 0; i < 3; ++i)
        StoreStill();
    Key(vk::kO);
    Select(2);
    Pair(vk::kF5, {100, 200}, {335, 200});  // BPD on still 2
    Select(1);
    Pair(vk::kF9, {100, 200}, {100, 388});  // FL on still 1
    ASSERT_EQ(M().m_obValues.ImageIndex(ObItemBpd), 2);
    ASSERT_EQ(M().m_obValues.ImageIndex(ObItemFl), 1);

    // A still before both: they follow their stills down.
    Select(0);
    dlg->OnButtonClicked(IDC_DELETE);
    ASSERT_EQ(archive.Exam().stills.size(), 2u);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemBpd), 1);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemFl), 0);
    EXPECT_NEAR(M().ObValue(ObItemFl), 28.0, 1e-9);
    Select(1);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemBpd), SelectedStill());

    // The still FL was measured on: FL is forgotten, with its calipers and button text.
    Select(0);
    dlg->OnButtonClicked(IDC_DELETE);
    ASSERT_EQ(archive.Exam().stills.size(), 1u);
    EXPECT_EQ(M().ObValue(ObItemFl), 0.0);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemFl), -1);
    EXPECT_EQ(panel.sub[IDC_OB_FL], "");
    const size_t fl = 2 * (ObItemFl - 1);
    EXPECT_EQ(dlg->m_viewMain.m_abObgyFlag[fl], 0);
    EXPECT_EQ(M().m_obValues.ImageIndex(ObItemBpd), 0);
    EXPECT_NEAR(M().ObValue(ObItemBpd), 35.0, 1e-9);
}

// A date that does not reach the patient file is said once, and the panel keeps showing the
// date the file holds.
TEST_F(ObWalkthroughTest, ALmpOrBbtNotWrittenIsSaidOnceAndThePanelKeepsTheStoredDate) {
    Image(2);
    const std::string patientFile = CUser::GetXmlPath("TEST");
    const auto storedLmpBbt = [&] {
        CUser user;
        EXPECT_TRUE(user.Load("TEST"));
        return std::pair{user.m_strLmp, user.m_strBbt};
    };
    windows.pick = platform::SystemTime{2024, 1, 1, 1, 0, 0, 0, 0};
    PanelButton(IDC_OB_LMP);
    ASSERT_EQ(panel.lmp, "01-01-2024");
    const size_t before = boxes.shown().size();

    platform::SetWriteFaultHook([&](const std::string& path) { return path == patientFile; });
    for (const int button : {IDC_OB_LMP, IDC_OB_BBT}) {
        const size_t from = boxes.shown().size();
        windows.pick = platform::SystemTime{2024, 2, 5, 9, 0, 0, 0, 0};  // Friday 9 February
        PanelButton(button);
        ASSERT_EQ(boxes.shown().size(), from + 1) << button;
        EXPECT_EQ(boxes.shown().back().text, "File write error!");
        EXPECT_EQ(boxes.shown().back().icon, platform::MsgIcon::Error);
    }
    EXPECT_EQ(panel.lmp, "01-01-2024");
    EXPECT_EQ(panel.bbt, "");
    EXPECT_EQ(storedLmpBbt(), (std::pair<std::string, std::string>{"2024-01-01", ""}));

    // Written again: the new date, silently; an exam start reads what was written.
    platform::SetWriteFaultHook(nullptr);
    PanelButton(IDC_OB_BBT);
    EXPECT_EQ(panel.bbt, "09-02-2024");
    EXPECT_EQ(boxes.shown().size(), before + 2);
    EXPECT_EQ(storedLmpBbt(), (std::pair<std::string, std::string>{"2024-01-01", "2024-02-09"}));

    // A patient file that does not load leaves the dates unsaved, silently: the picked date shows.
    ASSERT_EQ(::unlink(patientFile.c_str()), 0);
    PanelButton(IDC_OB_LMP);
    EXPECT_EQ(panel.lmp, "09-02-2024");
    EXPECT_EQ(boxes.shown().size(), before + 2);
}

// O while a stored item is previewed, or a stored cine reviewed and played: the screen becomes
// that of the still OB/GY measures on, selected in the list as a click on its row would show
// it: its number, time and picture, playback stopped and the review buttons gone.
TEST_F(ObWalkthroughTest, EnteringWhileAnItemIsPreviewedShowsTheSelectedStillAlone) {
    Image(5);
    dlg->ExecCommand(kCmdStoreStill);  // 001, still 0
    NextSecond();
    dlg->ExecCommand(kCmdStoreCine);  // 002
    StoreStill();                     // 003, still 1
    ASSERT_EQ(archive.GetItemCount(), 3);
    struct Case {
        const char* what;
        int row;
        bool play;
        int wantRow, wantStill;
        const char* wantPreview;
    } cases[] = {
        {"a cine under review and playing", 1, true, 0, 0, "Preview 001"},
        {"a cine previewed", 1, false, 0, 0, "Preview 001"},
        {"the second still previewed", 2, false, 1, 1, "Preview 003"},
    };
    for (const Case& c : cases) {
        Select(c.row);
        if (c.play) {
            archive.OnItemDoubleClicked();
            dlg->OnButtonClicked(IDC_REVIEW_PLAY);
            ASSERT_TRUE(dlg->m_bPlaying) << c.what;
        }
        Key(vk::kO);
        ASSERT_EQ(panel.state, 1) << c.what;
        EXPECT_EQ(SelectedStill(), c.wantStill) << c.what;
        EXPECT_EQ(view.selection, std::vector<int>{c.wantRow}) << c.what;
        EXPECT_EQ(dlg->Controls().Text(IDC_PREVIEW), c.wantPreview) << c.what;
        for (int id : {IDC_REVIEW_PREV, IDC_REVIEW_PLAY, IDC_REVIEW_NEXT, IDC_REVIEW_STOP})
            EXPECT_FALSE(dlg->Controls().IsShown(id)) << c.what << ": review button " << id;
        EXPECT_FALSE(dlg->m_bStoredItemShown) << c.what;
        EXPECT_FALSE(dlg->m_bPlaying) << c.what;
        EXPECT_EQ(side.timers.timers.count(kTimerPlayback), 0u) << c.what;
        EXPECT_TRUE(dlg->m_viewMain.BackBuffer() ==
                    archive.Exam().stills[static_cast<size_t>(c.wantStill)].bitmap)
            << c.what;
        // Just what a click on the still's row shows in the mode.
        const ScreenSnapshot entered = TakeScreen(*dlg);
        Select(c.wantRow);
        ExpectSameScreen(entered, TakeScreen(*dlg), c.what);
        Key(vk::kO);  // and out again, without a question: no item is measured
        ASSERT_EQ(panel.state, 0) << c.what;
    }
}

}  // namespace coretest
