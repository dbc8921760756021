// The main window's JPEG, video and print flows through its exports port, with the real save
// dialog and progress window on the display and a source filled by hand.
#include <cairo.h>
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <wx/dcmemory.h>
#include <wx/uiaction.h>

#include <filesystem>

#include "app/ExportPort.h"
#include "app/ProgressDlg.h"
#include "archive/export/PrintPage.h"
#include "archive/export/ui/SaveJpegAvi.h"
#include "archive/export/ui/WxPrinter.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/FileSystem.h"
#include "tests/export/DecodeBack.h"
#include "tests/exportui/ExportUiTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace exportfile;
using namespace exportuitest;

namespace {

constexpr uint8_t kQuadrants[4] = {0, 255, 96, 176};

FrameRecord At(uint16_t s, uint16_t ms) {
    FrameRecord r;
    r.time = {2020, 8, 4, 20, 12, 34, s, ms};
    return r;
}

struct FakeSource : IExportSource {
    std::optional<archive::StoreItemRecord> selected;
    Image32 render;
    std::vector<Image8> frames;
    std::vector<std::optional<FrameRecord>> records;
    int missingPicture = -1;
    bool storedShown = true;
    bool selectPrinter = true;
    std::optional<archive::StoreItemRecord> SelectedItem() const override { return selected; }
    Image32 RenderImageArea() override { return render; }
    std::string PatientId() const override { return "0001"; }
    std::string PatientName() const override { return "Test"; }
    int ReviewFrameCount() const override { return static_cast<int>(frames.size()); }
    bool ReviewFrame(int i, Image8& out) const override {
        out = frames.at(static_cast<size_t>(i));
        return true;
    }
    bool ReviewFrameLoaded(int i) const override { return i != missingPicture; }
    std::optional<FrameRecord> ReviewFrameRecord(int i) const override {
        return records.at(static_cast<size_t>(i));
    }
    std::optional<FrameRecord> ShownReviewRecord() const override {
        return records.empty() ? std::nullopt : records[0];
    }
    bool StoredItemShown() const override { return storedShown; }
    std::optional<FrameRecord> LiveFrameRecord() const override { return At(59, 0); }
    bool SelectPrinter() const override { return selectPrinter; }
    DateFormatter Dates() const override { return DateFormatter(DateFormatModeYearFirst); }
};

Image32 QuadrantRender() {
    Image32 img(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            img.At(x, y) = GreyPixel(kQuadrants[(y >= 240) * 2 + (x >= 240)]);
    return img;
}

// Top band dark, bottom band light: the orientation shows in the decoded video.
Image8 BandFrame(int i) {
    Image8 img(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            img.At(x, y) = static_cast<uint8_t>(y < 240 ? 30 : 220 - (i % 3));
    return img;
}

archive::StoreItemRecord Record(const std::string& folder, int64_t stamp, bool cine) {
    archive::StoreItemRecord r;
    r.stamp = stamp;
    r.isCine = cine;
    if (cine) {
        r.cineFolder = folder + "/" + std::to_string(stamp) + ".cine/";
        r.imagePath = r.cineFolder + "001.bmp";
    } else {
        r.imagePath = folder + "/" + std::to_string(stamp) + ".bmp";
    }
    return r;
}

struct ExportFlowWindow : ::testing::Test {
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir / "data"};
    testsupport::ScopedEnv home{"HOME", dir.path()};
    std::string out;
    FakeSource source;
    struct RecordingPrinter : IPrinter {
        PrintStatus answer = PrintStatus::Printed;
        bool dialog = false;
        std::string title;
        Image32 page;
        PrintStatus PrintOnePage(bool showDialog, const std::string& t, const PageDrawer& draw) override {
            dialog = showDialog;
            title = t;
            page = Image32(496, 702);
            cairo_surface_t* surface = cairo_image_surface_create_for_data(
                reinterpret_cast<unsigned char*>(page.data()), CAIRO_FORMAT_RGB24, 496, 702, 496 * 4);
            cairo_t* cr = cairo_create(surface);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            draw(cr, 496, 702, 60.0);
            cairo_destroy(cr);
            cairo_surface_finish(surface);
            cairo_surface_destroy(surface);
            return answer;
        }
    } printer;
    std::unique_ptr<wxFrame> owner;
    std::unique_ptr<CExportPort> port;

    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        out = dir / "out/";
        ASSERT_TRUE(platform::CreateDirectories(out));
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, out));
        owner = std::make_unique<wxFrame>(nullptr, wxID_ANY, "owner");
        port = std::make_unique<CExportPort>(source, owner.get(), printer);
    }
    void TearDown() override {
        port.reset();
        owner.release()->Destroy();
        wxtest::Flush();
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }

    // The next save dialog gets `name` typed, optionally a quality, and OK.
    void AnswerSaveDialog(const std::string& name, int quality = -2, const std::string& artifact = {}) {
        RunInsideModal([=] {
            CSaveJpegAvi* d = FindShown<CSaveJpegAvi>();
            ASSERT_NE(d, nullptr);
            d->m_edtFileName->ChangeValue(wxString::FromUTF8(name));
            if (quality >= 0)
                d->m_rdoQuality[quality]->SetValue(true);
            if (!artifact.empty())
                SaveDisplayArtifact(d, artifact);
            Click(d->m_btnOk);
        });
    }

    void LoadCine(int frames, int stepMs) {
        source.selected = Record(dir / "data/0001", 20200820123457, true);
        source.frames.clear();
        source.records.clear();
        for (int i = 0; i < frames; ++i) {
            source.frames.push_back(BandFrame(i));
            const int ms = i * stepMs;
            source.records.push_back(At(static_cast<uint16_t>(ms / 1000), static_cast<uint16_t>(ms % 1000)));
        }
    }
};

}  // namespace

TEST_F(ExportFlowWindow, JpegOfTheSelectedStill) {
    testsupport::MessageBoxRecorder boxes;
    source.selected = Record(dir / "data/0001", 20200820123456, false);
    ASSERT_TRUE(platform::CreateDirectories(dir / "data/0001"));
    testsupport::WriteAll(source.selected->imagePath, "BM");
    source.render = QuadrantRender();
    source.records = {At(56, 0)};
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::jpeg_quality, "LOW"));
    AnswerSaveDialog("case", 0, "jpeg_flow_dialog");
    port->ExportJpeg();
    const std::string path = out + "0001_20200820123456_case.jpg";
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "saved\n" + path);
    ASSERT_TRUE(platform::IsRegularFile(path));
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::jpeg_quality, "?"), "HIGH");
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, "?"), out);

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
    std::filesystem::copy_file(path, "artifacts/export.jpg",
                               std::filesystem::copy_options::overwrite_existing);

    // The same name again: one message, the file as it was.
    AnswerSaveDialog("case");
    port->ExportJpeg();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].icon, platform::MsgIcon::Error);
    EXPECT_NE(boxes.shown()[1].text.find("already exists"), std::string::npos);
    EXPECT_EQ(testsupport::ReadAll(path), jpeg);
}

TEST_F(ExportFlowWindow, NothingToExportIsRefusedBeforeTheDialog) {
    testsupport::MessageBoxRecorder boxes;
    port->ExportJpeg();
    port->ExportVideo();
    source.selected = Record(dir / "data/0001", 20200820123456, false);
    source.render = QuadrantRender();
    port->ExportJpeg();  // the still's bitmap file is missing
    LoadCine(1, 100);
    port->ExportVideo();
    LoadCine(5, 100);
    source.missingPicture = 2;
    port->ExportVideo();
    ASSERT_EQ(boxes.shown().size(), 5u);
    EXPECT_EQ(boxes.shown()[0].text, "No data");
    EXPECT_EQ(boxes.shown()[1].text, "No data");
    EXPECT_EQ(boxes.shown()[2].text, "Bitmap Load Error.");
    EXPECT_EQ(boxes.shown()[3].text, "No data");
    EXPECT_NE(boxes.shown()[4].text.find("1 frame"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(ExportFlowWindow, VideoBecomesAnMp4AtTheRecordedPace) {
    testsupport::MessageBoxRecorder boxes;
    LoadCine(31, 100);  // 3 s
    AnswerSaveDialog("clip", -2, "video_flow_dialog");
    // The bar runs over the planned output frames from the start, 0 to 3000 ms x 12 / 1000 =
    // 36; the writing stops before the last stored frame, after 36 frames (0 to 35).
    std::vector<int> ranges;
    port->hooks.onAviFrame = [&](CProgressDlg& progress, int64_t) {
        ranges.push_back(progress.m_ctlProgress->GetRange());
    };
    port->ExportVideo();
    port->hooks.onAviFrame = nullptr;
    EXPECT_EQ(ranges, std::vector<int>(36, 36));
    const std::string mp4 = out + "0001_20200820123457_clip.mp4";
    ASSERT_EQ(boxes.shown().size(), 1u) << (boxes.shown().empty() ? "" : boxes.shown()[0].text);
    EXPECT_EQ(boxes.shown()[0].text, "saved\n\n" + mp4);
    EXPECT_FALSE(platform::PathExists(out + "0001_20200820123457_clip_temp.avi"));
    const exporttest::DecodedVideo v = exporttest::DecodeVideo(mp4, true);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(v.profile & 0xFF, 66);  // Baseline (x264 flags it constrained)
    EXPECT_EQ(v.otherStreams, 0);
    EXPECT_NEAR(v.durationSeconds, 3.0, 0.2);
    ASSERT_FALSE(v.greyFrames.empty());
    EXPECT_LT(exporttest::MeanGrey(v.greyFrames[0], 20, 220), 60);
    EXPECT_GT(exporttest::MeanGrey(v.greyFrames[0], 260, 460), 190);
    Image32 shown(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            shown.At(x, y) = GreyPixel(v.greyFrames[0].At(x, y));
    wxtest::SaveArtifact(shown, "mp4_first_frame");
    EXPECT_TRUE(owner->IsEnabled()) << "the owner is enabled again";
}

TEST_F(ExportFlowWindow, EscOrTheCancelButtonKeepsAPlayablePartialAvi) {
    for (bool button : {false, true}) {
        SCOPED_TRACE(button ? "Cancel button" : "Esc");
        ResetSettingsForTesting();
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, out));
        ASSERT_TRUE(SetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, button ? 0 : 1));
        testsupport::MessageBoxRecorder boxes;
        LoadCine(31, 100);
        const std::string name = button ? "button" : "esc";
        AnswerSaveDialog(name);
        port->hooks.onAviFrame = [&](CProgressDlg& progress, int64_t k) {
            if (k != 4)
                return;
            if (button) {
                ASSERT_TRUE(progress.m_btnCancel->IsShown());
                SaveDisplayArtifact(&progress, "progress_with_cancel");
                Click(progress.m_btnCancel);
            } else {
                wxKeyEvent esc(wxEVT_CHAR_HOOK);
                esc.m_keyCode = WXK_ESCAPE;
                esc.SetEventObject(&progress);
                progress.ProcessWindowEvent(esc);
            }
        };
        port->ExportVideo();
        port->hooks.onAviFrame = nullptr;
        const std::string avi = out + "0001_20200820123457_" + name + "_temp.avi";
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, "error or saved\n\n " + avi);
        const exporttest::DecodedVideo v = exporttest::DecodeVideo(avi);
        EXPECT_EQ(v.status, 0);
        EXPECT_EQ(v.frames, 4);
        EXPECT_FALSE(platform::PathExists(out + "0001_20200820123457_" + name + ".mp4"));
    }
}

TEST_F(ExportFlowWindow, SelKeepsOnlyTheAviOfTheChosenCompressor) {
    testsupport::MessageBoxRecorder boxes;
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::avi_quality, "SEL"));
    LoadCine(13, 100);
    int asked = 0;
    port->hooks.chooseCompressor = [&]() -> std::optional<VideoCodecChoice> {
        ++asked;
        if (asked == 1)
            return std::nullopt;  // cancelled: nothing written
        VideoCodecChoice c;
        c.encoder = "mjpeg";
        return c;
    };
    AnswerSaveDialog("sel");
    port->ExportVideo();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(std::filesystem::is_empty(out));
    AnswerSaveDialog("sel");
    port->ExportVideo();
    const std::string avi = out + "0001_20200820123457_sel.avi";
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "saved\n\n" + avi);
    EXPECT_EQ(exporttest::DecodeVideo(avi).codec, "mjpeg");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), std::filesystem::directory_iterator{}),
              1);
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::avi_quality, "?"), "SEL");
}

TEST_F(ExportFlowWindow, PrintTakesTheShownImageAndTheRightTime) {
    testsupport::MessageBoxRecorder boxes;
    source.render = QuadrantRender();
    source.records = {At(56, 0)};
    source.selectPrinter = false;
    source.storedShown = false;
    port->Print();
    EXPECT_FALSE(printer.dialog) << "SELPRINTER 0: straight to the default printer";
    EXPECT_EQ(printer.title, "0001 Test");
    EXPECT_TRUE(boxes.shown().empty());
    wxtest::SaveArtifact(printer.page, "printed_page");
    const PrintLayout layout = ComputePrintLayout(496, 702);
    EXPECT_EQ(printer.page.At(layout.frame.left, layout.frame.top + 40) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(printer.page.At(layout.image.left + 5, layout.image.top + 5) & 0xFF, kQuadrants[0]);
    EXPECT_EQ(printer.page.At(layout.image.right - 5, layout.image.bottom - 5) & 0xFF, kQuadrants[3]);

    source.selectPrinter = true;
    printer.answer = PrintStatus::Error;
    port->Print();
    EXPECT_TRUE(printer.dialog);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Error);
}

TEST_F(ExportFlowWindow, PrintoutDrawsThePageOnTheDcsCairoContext) {
    const Image32 image = QuadrantRender();
    CImagePrintout printout("0001 Test", [&](cairo_t* cr, int width, int height, double dpi) {
        DrawPrintPage(cr, ComputePrintLayout(width, height), image, "0001 Test", "Measurement Time:x", dpi);
    });
    EXPECT_EQ(printout.GetTitle(), "0001 Test");
    EXPECT_TRUE(printout.HasPage(1));
    EXPECT_FALSE(printout.HasPage(2));
    wxBitmap bitmap(496, 702, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        printout.SetDC(&dc);
        EXPECT_TRUE(printout.OnPrintPage(1));
        printout.SetDC(nullptr);
    }
    const Image32 page = FromWxImage(bitmap.ConvertToImage());
    const PrintLayout layout = ComputePrintLayout(496, 702);
    EXPECT_EQ(page.At(layout.frame.left, layout.frame.top + 40) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(page.At(layout.frame.left + 3, layout.frame.top + 3) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(page.At(layout.image.left + 5, layout.image.top + 5) & 0xFF, kQuadrants[0]);
    EXPECT_EQ(page.At(layout.image.right - 5, layout.image.top + 5) & 0xFF, kQuadrants[1]);
    wxtest::SaveArtifact(page, "printout_on_dc");
}
