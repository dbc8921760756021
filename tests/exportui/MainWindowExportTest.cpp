// The exports from the real main window with the simulated probe: buttons 1164 and 1166 reach
// the exports port through the core, the save dialog opens, and the JPEG holds the main view.
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <unistd.h>

#include <filesystem>

#include "app/CoreExportSource.h"
#include "app/ThumbnailListBox.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainArchive.h"
#include "archive/StoreItemList.h"
#include "archive/export/VideoResampler.h"
#include "archive/export/ui/SaveJpegAvi.h"
#include "common/CommonUtil.h"
#include "common/SettingsStore.h"
#include "common/User.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#include "tests/app/MainFrameFixture.h"
#include "tests/exportui/ExportUiTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace exportuitest;

namespace {

class MainWindowExport : public wxtest::MainFrameFixture {
protected:
    MainWindowExport() {
        patientId_ = "0001";
        patientName_ = "Test";
    }
    void BeforeOpen() override {
        out_ = dir_ / "out/";
        ASSERT_TRUE(platform::CreateDirectories(out_));
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, out_));
    }

    // The patient on record, a live run of `frames` frames, then frozen.
    void FreezeAfter(int frames) {
        CUser user;
        user.m_strId = "0001";
        user.m_strName = "Test";
        ASSERT_TRUE(user.Save());
        CKALVEXDlg& core = *frame_->Core();
        core.ExecCommand(maindlg::kCmdFreeze);  // live
        Frames(frames);
        core.ExecCommand(maindlg::kCmdFreeze);  // frozen
        ASSERT_EQ(core.m_nRunState, 2);
    }

    testsupport::ScopedEnv dataIn_{"ProgramData", dir_ / "data"};
    std::string out_;
};

}  // namespace

TEST_F(MainWindowExport, ButtonsReachTheExportsThroughTheCore) {
    testsupport::MessageBoxRecorder boxes;
    frame_->Core()->OnButtonClicked(maindlg::IDC_EXP_JPEG);
    frame_->Core()->OnButtonClicked(maindlg::IDC_EXP_VIDEO);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "No data");
    EXPECT_EQ(boxes.shown()[1].text, "No data") << "a still selected, or no cine loaded for review";

    // A stored still selected in the list: the JPEG holds the main view below its caption.
    archive::StoreItemRecord still;
    still.stamp = 20200820123456;
    still.imagePath = dir_ / "data/20200820123456.bmp";
    testsupport::WriteAll(still.imagePath, "BM");
    frame_->ExportSource()->selectedItem = [&] { return std::optional{still}; };
    RunInsideModal([&] {
        CSaveJpegAvi* d = FindShown<CSaveJpegAvi>();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->m_edtId->GetValue(), "20200820123456");
        EXPECT_EQ(d->m_edtName->GetValue(), "Test");
        SaveDisplayArtifact(d, "main_window_jpeg_dialog");
        Click(d->m_btnOk);
    });
    frame_->Core()->OnButtonClicked(maindlg::IDC_EXP_JPEG);
    const std::string path = out_ + "0001_20200820123456_.jpg";
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[2].text, "saved\n" + path);
    const std::string jpeg = testsupport::ReadAll(path);
    tjhandle h = tjInitDecompress();
    int w = 0, hgt = 0, sub = 0, cs = 0;
    ASSERT_EQ(tjDecompressHeader3(h, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(), &w,
                                  &hgt, &sub, &cs),
              0);
    tjDestroy(h);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(hgt, 500);
    std::filesystem::create_directories("artifacts");
    std::filesystem::copy_file(path, "artifacts/main_window_export.jpg",
                               std::filesystem::copy_options::overwrite_existing);
}

TEST_F(MainWindowExport, StoredStillAndCineFromTheThumbnailList) {
    testsupport::MessageBoxRecorder boxes;
    ASSERT_NO_FATAL_FAILURE(FreezeAfter(16));
    CKALVEXDlg& core = *frame_->Core();
    // The print caption of the frozen live image gives the time of the frame on screen.
    core.ExecCommand(maindlg::kCmdCinePrev);
    const CCineRing& live = core.m_pLiveProc->Cine();
    const std::optional<FrameRecord> onScreen = live.GetFrameRecord(live.GetCurrentIndex());
    ASSERT_TRUE(onScreen && onScreen->time.wYear != 0);
    const std::string liveTime = CCommonUtil::GetDateFormatter().FormatDateTime(onScreen->time, true);
    EXPECT_EQ(exportfile::MakePrintCaptions(*frame_->ExportSource()).caption2,
              "Measurement Time:" + liveTime);
    frame_->Archive()->pumpDuringStore = false;
    core.ExecCommand(maindlg::kCmdStoreStill);
    const int64_t second = platform::Clock().UtcMicros() / 1'000'000;
    while (platform::Clock().UtcMicros() / 1'000'000 == second)
        Settle(2);
    core.ExecCommand(maindlg::kCmdStoreCine);
    ASSERT_EQ(frame_->Archive()->GetItemCount(), 2) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    const auto& items = frame_->Archive()->List().Items();
    const int stillRow = items[0].isCine ? 1 : 0;

    // A later live run: the frozen live frame is no longer the one the still was made of.
    core.ExecCommand(maindlg::kCmdFreeze);
    Frames(4);
    core.ExecCommand(maindlg::kCmdFreeze);
    ASSERT_EQ(frame_->Archive()->GetItemCount(), 2);
    frame_->ThumbnailList()->SetSelection({stillRow});
    frame_->Archive()->OnSelectionChanged();
    // The previewed still prints its own capture time, not the frozen live frame's.
    FrameRecord stillRecord;
    ASSERT_TRUE(archive::ReadStoreInfo(items[stillRow].sidecarPath, stillRecord));
    EXPECT_EQ(exportfile::MakePrintCaptions(*frame_->ExportSource()).caption2,
              "Measurement Time:" + CCommonUtil::GetDateFormatter().FormatDateTime(stillRecord.time, true));
    RunInsideModal([&] {
        CSaveJpegAvi* d = FindShown<CSaveJpegAvi>();
        ASSERT_NE(d, nullptr);
        Click(d->m_btnOk);
    });
    core.OnButtonClicked(maindlg::IDC_EXP_JPEG);
    const std::string jpeg =
        out_ + "0001_" + platform::Format("%014lld", static_cast<long long>(items[stillRow].stamp)) + "_.jpg";
    ASSERT_FALSE(boxes.shown().empty());
    EXPECT_EQ(boxes.shown().back().text, "saved\n" + jpeg);

    frame_->ThumbnailList()->SetSelection({1 - stillRow});
    frame_->Archive()->OnSelectionChanged();
    frame_->Archive()->OnItemDoubleClicked();
    // The loaded cine shows its first frame: the caption takes that frame's time.
    const std::optional<FrameRecord> first = frame_->ExportSource()->ReviewFrameRecord(0);
    ASSERT_TRUE(first && first->time.wYear != 0);
    EXPECT_EQ(exportfile::MakePrintCaptions(*frame_->ExportSource()).caption2,
              "Measurement Time:" + CCommonUtil::GetDateFormatter().FormatDateTime(first->time, true));
    RunInsideModal([&] {
        CSaveJpegAvi* d = FindShown<CSaveJpegAvi>();
        ASSERT_NE(d, nullptr);
        Click(d->m_btnOk);
    });
    core.OnButtonClicked(maindlg::IDC_EXP_VIDEO);
    const std::string mp4 = out_ + "0001_" +
                            platform::Format("%014lld", static_cast<long long>(items[1 - stillRow].stamp)) +
                            "_.mp4";
    EXPECT_EQ(boxes.shown().back().text, "saved\n\n" + mp4);
    EXPECT_TRUE(platform::IsRegularFile(mp4));
}

// A stored cine with a lost picture and a lost sidecar, loaded for review: the export counts
// the picture that did not load and refuses; the frame without a sidecar alone is exported at
// its place in time.
TEST_F(MainWindowExport, DamagedCineIsCountedAndALostSidecarKeepsTheLength) {
    testsupport::MessageBoxRecorder boxes;
    ASSERT_NO_FATAL_FAILURE(FreezeAfter(12));
    CKALVEXDlg& core = *frame_->Core();
    frame_->Archive()->pumpDuringStore = false;
    core.ExecCommand(maindlg::kCmdStoreCine);
    ASSERT_EQ(frame_->Archive()->GetItemCount(), 1) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    const archive::StoreItemRecord cine = frame_->Archive()->List().Items()[0];
    ASSERT_TRUE(cine.isCine);

    const auto open = [&] {
        frame_->ThumbnailList()->SetSelection({0});
        frame_->Archive()->OnSelectionChanged();
        frame_->Archive()->OnItemDoubleClicked();
    };
    open();
    const exportfile::ReviewTimes whole = exportfile::CollectReviewTimes(*frame_->ExportSource());
    ASSERT_GE(whole.times.size(), 4u);
    EXPECT_EQ(whole.missing, 0);

    ASSERT_EQ(::unlink((cine.cineFolder + "003.info").c_str()), 0);
    open();
    exportfile::ReviewTimes times = exportfile::CollectReviewTimes(*frame_->ExportSource());
    EXPECT_EQ(times.missing, 0);
    EXPECT_EQ(times.times.size(), whole.times.size());
    EXPECT_EQ(exportfile::RepairFrameTimes(times.times).back(),
              exportfile::RepairFrameTimes(whole.times).back())
        << "the video keeps its length";

    ASSERT_EQ(::unlink((cine.cineFolder + "002.bmp").c_str()), 0);
    open();
    times = exportfile::CollectReviewTimes(*frame_->ExportSource());
    EXPECT_EQ(times.missing, 1);
    const size_t before = boxes.shown().size();
    core.OnButtonClicked(maindlg::IDC_EXP_VIDEO);
    ASSERT_EQ(boxes.shown().size(), before + 1) << "refused before the save dialog";
    EXPECT_NE(boxes.shown().back().text.find("could not be loaded"), std::string::npos)
        << boxes.shown().back().text;
}
