// The main window's archive on the headless core: I and C store numbered items, a selection
// previews one, a double click opens a cine for review and playback, Del moves items to the
// trash, and the faults of the archive's window side stay mended.
#include <gtest/gtest.h>

#include <thread>

#include "ArchiveFixture.h"
#include "ScreenSnapshot.h"
#include "app/core/ImageAreaRender.h"
#include "app/core/MainArchive.h"
#include "archive/ArchiveMessages.h"
#include "common/User.h"
#include "platform/BmpCodec.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace coretest {
namespace {

using namespace maindlg;

using ArchiveUiTest = ArchiveCoreTest;

TEST_F(ArchiveUiTest, StillAndCineAreListedNumberedAndPreviewed) {
    Image(12);
    dlg->ExecCommand(kCmdStoreStill);
    NextSecond();
    dlg->ExecCommand(kCmdStoreCine);
    EXPECT_TRUE(Texts().empty());
    ASSERT_EQ(archive.GetItemCount(), 2);
    ASSERT_EQ(view.count, 2);
    const auto& items = archive.List().Items();
    EXPECT_EQ(items[0].typeText, "Image");
    EXPECT_EQ(items[1].typeText, "Cine");
    EXPECT_EQ(items[0].number, 1);
    EXPECT_EQ(items[1].number, 2);
    EXPECT_EQ(view.top, 1);  // the item just stored scrolled into view
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_THUMB_CAPTION));
    EXPECT_EQ(archive.Exam().stills.size(), 1u);
    EXPECT_EQ(dlg->m_strExamStamp, archive.Exam().examStamp);
    // The cine store's progress: string 335, every frame, ended.
    EXPECT_EQ(progress.caption, "Cine Store                    (ESC:Cancel)");
    EXPECT_EQ(progress.total, 12);
    EXPECT_EQ(progress.done, 12);
    EXPECT_FALSE(progress.up);
    EXPECT_FALSE(dlg->m_bCineStoreRunning);

    // The stored still is the image area as rendered.
    Image32 stored;
    ASSERT_TRUE(platform::ReadBmpFile(items[0].imagePath, stored));
    EXPECT_EQ(stored, archive.Exam().stills[0].bitmap);

    Select(0);
    EXPECT_TRUE(dlg->IsPreviewShown());
    EXPECT_EQ(dlg->Controls().Text(IDC_PREVIEW), "Preview 001");
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 /   1");
    EXPECT_EQ(dlg->m_strSelTypeText, "Image");
    EXPECT_EQ(dlg->m_nObSelectedImage, 0);
    EXPECT_EQ(dlg->m_viewMain.BackBuffer(), stored);
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_DELETE));
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_EXP_VIDEO));
    EXPECT_FALSE(dlg->Controls().Text(IDC_REVIEW_TIME).empty());
    // A preview refuses the stores.
    const uint64_t before = archive.List().Items().size();
    dlg->ExecCommand(kCmdStoreStill);
    EXPECT_EQ(archive.List().Items().size(), before);

    // OB/GY measures on the exam still by its own path, at its own depth.
    EXPECT_EQ(archive.StillPath(0), items[0].imagePath);
    EXPECT_EQ(archive.StillStamp(0), std::to_string(items[0].stamp));
    EXPECT_EQ(archive.StillDepth(0), Proc().GetFrameRecord(Proc().Cine().GetCurrentIndex())->depth);
    EXPECT_EQ(archive.StillPath(1), "");
    EXPECT_EQ(archive.StillDepth(1), -1);

    // A cine preview selects no OB/GY image.
    Select(1);
    EXPECT_EQ(dlg->m_nObSelectedImage, -1);
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_EXP_VIDEO));
    EXPECT_EQ(dlg->Controls().Text(IDC_PREVIEW), "Preview 002");
    EXPECT_TRUE(Texts().empty());

    // A refill (a new date format) keeps the selection and the preview.
    const Image32 previewed = dlg->m_viewMain.BackBuffer();
    archive.RefillKeepingSelection();
    EXPECT_EQ(view.selection, std::vector<int>{1});
    EXPECT_EQ(dlg->Controls().Text(IDC_PREVIEW), "Preview 002");
    EXPECT_EQ(dlg->m_viewMain.BackBuffer(), previewed);
    EXPECT_EQ(archive.GetItemCount(), 2);

    // Back to the exam list: stores work again.
    archive.ShowThumbnailList();
    EXPECT_FALSE(dlg->IsPreviewShown());
    EXPECT_EQ(dlg->m_nPressedToolButton, -1);
}

TEST_F(ArchiveUiTest, ACineAsTheFirstItemShowsTheListsCaption) {
    Image(5);
    ASSERT_FALSE(dlg->Controls().IsShown(IDC_THUMB_CAPTION));
    dlg->ExecCommand(kCmdStoreCine);
    ASSERT_EQ(archive.GetItemCount(), 1);
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_THUMB_CAPTION));
    EXPECT_EQ(dlg->Controls().Text(IDC_THUMB_CAPTION), "Thumbnail List");
}

TEST_F(ArchiveUiTest, DoubleClickedCinePlaysAtItsPaceAndWraps) {
    Image(5);
    dlg->ExecCommand(kCmdStoreCine);
    ASSERT_EQ(archive.GetItemCount(), 1);
    view.SetSelection({0});
    archive.OnItemDoubleClicked();
    EXPECT_TRUE(dlg->m_bStoredItemShown);
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_REVIEW_PLAY));
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_REVIEW_STOP));
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 /   5");
    EXPECT_TRUE(view.listFocused);
    EXPECT_EQ(progress.caption, "now loading");
    EXPECT_FALSE(progress.up);

    archive.OnBnClickedPrev();
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  5 /   5");
    archive.OnBnClickedNext();
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 /   5");

    dlg->OnButtonClicked(IDC_REVIEW_PLAY);
    EXPECT_TRUE(dlg->m_bPlaying);
    EXPECT_EQ(side.timers.timers.count(kTimerPlayback), 1u);
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_REVIEW_STOP));
    // The frames came from the stepped probe: whatever their intervals, each lies in 1..1000 ms.
    int shown = 0;
    for (int tick = 0; tick < 1000 && shown < 6; ++tick) {
        s_now += 10;
        const std::string before = dlg->Controls().Text(IDC_COUNTER);
        dlg->OnTimer(kTimerPlayback);
        if (dlg->Controls().Text(IDC_COUNTER) != before)
            ++shown;
    }
    EXPECT_EQ(shown, 6);  // five steps and the wrap
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  2 /   5");

    dlg->OnButtonClicked(IDC_REVIEW_STOP);
    EXPECT_FALSE(dlg->m_bPlaying);
    EXPECT_EQ(side.timers.timers.count(kTimerPlayback), 0u);
    const std::string stopped = dlg->Controls().Text(IDC_COUNTER);
    s_now += 5000;
    dlg->OnTimer(kTimerPlayback);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), stopped);
}

TEST_F(ArchiveUiTest, MaximisingAndRestoringKeepAPreviewAndAPlayingCine) {
    Image(6);
    dlg->ExecCommand(kCmdStoreStill);
    NextSecond();
    dlg->ExecCommand(kCmdStoreCine);
    ASSERT_EQ(archive.GetItemCount(), 2);
    // Each size change leaves the screen and the main view's picture as they were.
    auto resizeKeeps = [&](const char* what) {
        const ScreenSnapshot before = TakeScreen(*dlg);
        const Image32 picture = dlg->m_viewMain.BackBuffer();
        dlg->OnSize(true, 1600, 860);
        ExpectSameScreen(before, TakeScreen(*dlg), std::string(what) + ", maximised");
        EXPECT_TRUE(dlg->m_viewMain.BackBuffer() == picture) << what << ": another picture, maximised";
        dlg->OnSize(false, 900, 680);
        ExpectSameScreen(before, TakeScreen(*dlg), std::string(what) + ", restored");
        EXPECT_TRUE(dlg->m_viewMain.BackBuffer() == picture) << what << ": another picture, restored";
    };

    Select(0);
    ASSERT_TRUE(dlg->Controls().IsShown(IDC_DELETE));
    ASSERT_FALSE(dlg->Controls().IsShown(IDC_CLOCK));  // the item's time in the clock's place
    resizeKeeps("still preview");
    EXPECT_TRUE(dlg->IsPreviewShown());
    EXPECT_EQ(dlg->m_nPressedToolButton, -2);  // stores and tools stay off

    view.SetSelection({1});
    archive.OnItemDoubleClicked();
    dlg->OnButtonClicked(IDC_REVIEW_PLAY);
    ASSERT_TRUE(dlg->Controls().IsShown(IDC_REVIEW_STOP));
    resizeKeeps("playing cine");
    EXPECT_TRUE(dlg->m_bPlaying);
    // The loaded frames are still there to step through.
    dlg->OnButtonClicked(IDC_REVIEW_STOP);
    archive.OnBnClickedNext();
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  2 /   6");
}

TEST_F(ArchiveUiTest, DeleteMovesTheSelectionToTheTrashAndKeepsExamStillsInStep) {
    Image(3);
    dlg->ExecCommand(kCmdStoreStill);
    NextSecond();
    dlg->ExecCommand(kCmdStoreStill);
    NextSecond();
    dlg->ExecCommand(kCmdStoreStill);
    ASSERT_EQ(archive.GetItemCount(), 3);
    const std::string third = archive.List().Items()[2].imagePath;
    const std::string second = archive.List().Items()[1].imagePath;
    Select(1);
    dlg->OnButtonClicked(IDC_DELETE);
    EXPECT_EQ(Texts(), std::vector<std::string>{archive::kMsgMayDelete});
    ASSERT_EQ(archive.GetItemCount(), 2);
    EXPECT_FALSE(platform::IsRegularFile(second));
    // The exam still of the deleted item went; the third's picture stays under its own path.
    ASSERT_EQ(archive.Exam().stills.size(), 2u);
    EXPECT_EQ(archive.Exam().stills[1].imagePath, third);
    EXPECT_FALSE(dlg->Controls().IsShown(IDC_DELETE));
    EXPECT_EQ(dlg->Controls().Text(IDC_PREVIEW), "Preview");
    EXPECT_EQ(dlg->m_nObSelectedImage, -1);
    // A full refill numbers what is left.
    EXPECT_EQ(archive.List().Items()[1].number, 2);
    std::vector<platform::DirEntry> trashed;
    platform::ListDirectory(dir / "xdg/Trash/files", trashed);
    EXPECT_GE(trashed.size(), 2u);  // the still's image and sidecar, at least
}

TEST_F(ArchiveUiTest, EachStoredCineFrameCarriesTheDepthScaleOfItsOwnDepth) {
    Attach();
    CreateWithArchive();
    Unfreeze();
    ASSERT_TRUE(Step(3));
    for (int i = 0; i < 100; ++i)  // far enough for other ticks
        dlg->DecreaseDepth();
    ASSERT_TRUE(Step(4));
    Freeze();
    const int frames = Proc().GetFrameCount();
    int change = 1;  // the first frame of the new depth
    while (change < frames && Proc().GetFrameRecord(change)->depth == Proc().GetFrameRecord(0)->depth)
        ++change;
    ASSERT_LT(change, frames);
    dlg->ExecCommand(kCmdStoreCine);
    ASSERT_EQ(archive.GetItemCount(), 1);
    const std::string folder = archive.List().Items()[0].cineFolder;
    // The strip of the scale's marks, left of the sector, holds only the depth scale.
    auto scale = [&](int frame) {
        Image8 picture;
        EXPECT_TRUE(platform::ReadBmpFileGrey(folder + platform::Format("%03d.bmp", frame + 1), picture));
        std::vector<uint8_t> strip;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 14; ++x)
                strip.push_back(picture.At(x, y));
        return strip;
    };
    EXPECT_EQ(scale(0), scale(change - 1));
    EXPECT_NE(scale(change - 1), scale(change));
    EXPECT_EQ(scale(change), scale(frames - 1));
}

TEST_F(ArchiveUiTest, CineStoreCancelledLeavesNoFolderAndCloseWaitsForIt) {
    Image(20);
    progress.cancelAt = 0;
    dlg->ExecCommand(kCmdStoreCine);
    EXPECT_EQ(archive.GetItemCount(), 0);
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(GetDataFolder() + "TEST", entries);
    for (const auto& e : entries)
        EXPECT_FALSE(e.isDirectory) << e.name;
    EXPECT_FALSE(dlg->m_bCineStoreRunning);

    // While a store runs the window's close is refused, and Esc only asks it to stop.
    dlg->m_bCineStoreRunning = true;
    dlg->OnSysCommandClose();
    EXPECT_FALSE(dlg->m_bClosing);
    dlg->PreTranslateKey({vk::kEscape, false});
    EXPECT_TRUE(dlg->m_bCancelRequested);
    dlg->m_bCineStoreRunning = false;
}

TEST_F(ArchiveUiTest, ThumbnailPaintNeverShowsAMessageAndOwesOnePerFill) {
    Image(2);
    dlg->ExecCommand(kCmdStoreStill);
    NextSecond();
    dlg->ExecCommand(kCmdStoreStill);
    ASSERT_EQ(archive.GetItemCount(), 2);
    // Both pictures are damaged after they were listed.
    for (const auto& item : archive.List().Items())
        ASSERT_TRUE(platform::WriteFileAtomic(item.imagePath, "BMxx"));
    const size_t before = boxes.shown().size();
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_EQ(archive.ThumbnailFor(0), nullptr);
        EXPECT_EQ(archive.ThumbnailFor(1), nullptr);
    }
    EXPECT_EQ(boxes.shown().size(), before);  // nothing from the paint path
    archive.ShowPendingPaintMessage();
    archive.ShowPendingPaintMessage();
    EXPECT_EQ(Texts(before), std::vector<std::string>{archive::kMsgBitmapLoadError});
}

// A cine whose first sidecar or picture is damaged: the message comes once per fill (from
// the fill for a sidecar, at the first click for a picture) and neither the other clicks of
// the double click nor the opening say it again (a modal box would swallow the double
// click); the cine opens with what loads.
struct DamagedFirstFile {
    const char* name;
    std::string archive::StoreItemRecord::*path;
    const char* message;
    bool saidByTheFill;
};

class DamagedCineTest : public ArchiveCoreTest, public testing::WithParamInterface<DamagedFirstFile> {};

TEST_P(DamagedCineTest, OpensAfterOneMessagePerFill) {
    const DamagedFirstFile& c = GetParam();
    Image(4);
    dlg->ExecCommand(kCmdStoreCine);
    ASSERT_EQ(archive.GetItemCount(), 1);
    const archive::StoreItemRecord item = archive.List().Items()[0];
    ASSERT_TRUE(platform::WriteFileAtomic(item.*c.path, "BMxx"));
    const size_t before = boxes.shown().size();
    archive.FillThumbnailList(0, 1, 1);
    ASSERT_EQ(archive.GetItemCount(), 1);
    EXPECT_EQ(Texts(before).size(), c.saidByTheFill ? 1u : 0u);

    for (int click = 0; click < 3; ++click)
        Select(0);
    archive.OnItemDoubleClicked();
    EXPECT_EQ(Texts(before), std::vector<std::string>{c.message});
    EXPECT_TRUE(dlg->m_bStoredItemShown);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  1 /   4");
    archive.OnBnClickedNext();
    EXPECT_FALSE(dlg->Controls().Text(IDC_REVIEW_TIME).empty()) << "frame 2 has its record";

    // The next fill tells again, once.
    archive.FillThumbnailList(0, 1, 1);
    Select(0);
    Select(0);
    EXPECT_EQ(Texts(before).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(FirstFile, DamagedCineTest,
                         testing::Values(DamagedFirstFile{"Sidecar", &archive::StoreItemRecord::sidecarPath,
                                                          archive::kMsgInfoReadError, true},
                                         DamagedFirstFile{"Picture", &archive::StoreItemRecord::imagePath,
                                                          archive::kMsgBitmapLoadError, false}),
                         [](const testing::TestParamInfo<DamagedFirstFile>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ArchiveUiTest, ReportImageIsTheImageAreaAndSaysWhetherItWasWritten) {
    Image(2);
    const std::string path = dir / "report.bmp";
    EXPECT_TRUE(archive.RenderReportImage(path));
    Image32 written;
    ASSERT_TRUE(platform::ReadBmpFile(path, written));
    EXPECT_EQ(written, mainarchive::RenderReport(*dlg));
    EXPECT_FALSE(archive.RenderReportImage(dir / "no-such-folder/report.bmp"));
}

TEST_F(ArchiveUiTest, ExamStartEmptiesTheExamListAndItsStills) {
    Image(2);
    dlg->ExecCommand(kCmdStoreStill);
    ASSERT_EQ(archive.GetItemCount(), 1);
    NextSecond();
    dlg->StartExam("TEST", "Test");
    EXPECT_EQ(archive.GetItemCount(), 0);
    EXPECT_TRUE(archive.Exam().stills.empty());
    EXPECT_TRUE(archive.Exam().storedNames.empty());
    // The viewer still shows the earlier exam's item.
    dlg->ExecCommand(kCmdViewer);
    EXPECT_EQ(archive.GetItemCount(), 1);
}

TEST(OverlayTextTest, DrawsOnlyInsideItsRectangle) {
    Image32 image(200, 60, 0);
    mainarchive::DrawOverlayText(image, {10, 10, 40, 30}, "WWWWWWWWWW 123", MakePixel(255, 255, 255));
    int inside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.At(x, y) == 0)
                continue;
            ++inside;
            EXPECT_TRUE(x >= 10 && x < 40 && y >= 10 && y < 30) << x << "," << y;
        }
    }
    EXPECT_GT(inside, 0);
    Image32 untouched(20, 20, 7);
    mainarchive::DrawOverlayText(untouched, {0, 0, 20, 20}, "", MakePixel(255, 255, 255));
    EXPECT_EQ(untouched, Image32(20, 20, 7));
}

}  // namespace
}  // namespace coretest
