#include <gtest/gtest.h>

#include <algorithm>

#include "archive/export/ExportItem.h"
#include "archive/export/ExportSource.h"
#include "archive/export/SaveDialogSettings.h"
#include "archive/export/VideoExport.h"
#include "archive/export/VideoLeftovers.h"
#include "archive/export/VideoResampler.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

using namespace exportfile;

namespace {

// Settings in a private folder, and the Documents fallback at a private home.
struct SettingsFixture : ::testing::Test {
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir / "data"};
    testsupport::ScopedEnv home{"HOME", dir.path()};
    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
    void TearDown() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
};

}  // namespace

using SaveDialogSettings = SettingsFixture;

TEST_F(SaveDialogSettings, ReadBeforeAndWrittenAfterOkByCaller) {
    struct Case {
        ExportCaller caller;
        SettingKey qualityKey;
        const char* stored;  // nullptr: never written
        int initial;
        const char* afterOk;
    };
    const Case cases[] = {
        {ExportCaller::Jpeg, SettingKeyTable::jpeg_quality, nullptr, kQualityLow, "LOW"},
        {ExportCaller::Jpeg, SettingKeyTable::jpeg_quality, "HIGH", kQualityHigh, "HIGH"},
        {ExportCaller::Jpeg, SettingKeyTable::jpeg_quality, "SEL", kQualityNone, "SEL"},
        {ExportCaller::Video, SettingKeyTable::avi_quality, "SEL", kQualitySelect, "SEL"},
        {ExportCaller::Video, SettingKeyTable::avi_quality, "odd", kQualityNone, "odd"},
        {ExportCaller::Recorder, SettingKeyTable::camera_quality, "MID", kQualityMiddle, "MID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(none)");
        ResetSettingsForTesting();
        if (c.stored) {
            ASSERT_TRUE(SetSettingText(SettingSectionApp, c.qualityKey, c.stored));
        }
        const SaveDialogStart start = ReadSaveDialogSettings(c.caller);
        EXPECT_EQ(start.qualityIndex, c.initial);
        ASSERT_TRUE(WriteSaveDialogSettings(c.caller, start, start.folder, start.qualityIndex));
        ResetSettingsForTesting();  // read back from the file
        EXPECT_EQ(GetSettingText(SettingSectionApp, c.qualityKey, "?"), c.afterOk);
        ASSERT_TRUE(WriteSaveDialogSettings(c.caller, start, start.folder, kQualityLow));
        ResetSettingsForTesting();
        EXPECT_EQ(GetSettingText(SettingSectionApp, c.qualityKey, "?"), "LOW");
    }
}

TEST_F(SaveDialogSettings, FolderFallbackAndTheRecorderCamera) {
    testsupport::ScopedEnv noXdg{"XDG_CONFIG_HOME", dir / "noconfig"};
    const std::string documents = UserDocumentsFolder();
    ASSERT_FALSE(documents.empty());
    EXPECT_EQ(documents.back(), '/');

    ASSERT_TRUE(platform::CreateDirectories(dir / "out"));
    testsupport::WriteAll(dir / "file", "x");
    struct Case {
        std::string stored;
        std::string offered;
    };
    const Case cases[] = {
        {"", documents},
        {dir / "missing", documents},
        {dir / "file", documents},
        {dir / "out", dir / "out/"},
        {dir / "out/", dir / "out/"},
        {"/", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ResetSettingsForTesting();
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, c.stored));
        EXPECT_EQ(ReadSaveDialogSettings(ExportCaller::Video).folder, c.offered);
        // The fallback is written back only after OK; the recorder's folder is its own key.
        EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, "?"), c.stored);
    }

    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::camera, "Cam B"));
    const SaveDialogStart start = ReadSaveDialogSettings(ExportCaller::Recorder);
    EXPECT_EQ(start.cameraPrev, "Cam B");
    EXPECT_EQ(start.folder, documents);
    ASSERT_TRUE(WriteSaveDialogSettings(ExportCaller::Recorder, start, dir / "out/", kQualityHigh, "Cam A"));
    ResetSettingsForTesting();
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera_outputfolder, "?"), dir / "out/");
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera, "?"), "Cam A");
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::camera_quality, "?"), "HIGH");
    EXPECT_EQ(GetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, "?"), "/");
}

namespace {

archive::StoreItemRecord Still(const std::string& folder, int64_t stamp) {
    archive::StoreItemRecord r;
    r.stamp = stamp;
    r.imagePath = folder + "/" + std::to_string(stamp) + ".bmp";
    r.timeText = "garbage that is not a time";
    return r;
}

FrameRecord At(uint16_t h, uint16_t m, uint16_t s, uint16_t ms) {
    FrameRecord r;
    r.time = {2020, 8, 4, 20, h, m, s, ms};
    return r;
}

}  // namespace

TEST(ExportItem, NamesComeFromTheSelectedRecord) {
    const DateFormatter dates(DateFormatModeYearFirst);
    struct Case {
        std::string id, name;
        const char* nameLine;
        const char* prefix;
    };
    const Case cases[] = {
        {"0001", "Test", "Test", "0001_20200820123456_"},
        {"00012", "Test", "2 Test", "0001_20200820123456_"},
        {"12", "", "", "12 _20200820123456_"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const ExportItem item =
            MakeExportItem(Still("/data/" + c.id, 20200820123456), c.id, c.name, At(12, 34, 56, 7), dates);
        EXPECT_EQ(item.itemPath, "/data/" + c.id + "/20200820123456");
        EXPECT_FALSE(item.isCine);
        const ExportNames names = MakeExportNames(item.itemPath, item.idAndName, item.stampText);
        EXPECT_EQ(names.idText, "20200820123456");
        EXPECT_EQ(names.nameText, c.nameLine);
        EXPECT_EQ(names.filePrefix, c.prefix);
        EXPECT_EQ(item.caption, "Measurement Time:" + dates.FormatDateTime(At(12, 34, 56, 7).time, true));
    }
    archive::StoreItemRecord cine;
    cine.stamp = 20200820123457;
    cine.isCine = 1;
    cine.cineFolder = "/data/0001/20200820123457.cine/";
    cine.imagePath = cine.cineFolder + "001.bmp";
    const ExportItem item = MakeExportItem(cine, "0001", "Test", std::nullopt, dates);
    EXPECT_EQ(item.itemPath, "/data/0001/20200820123457");
    EXPECT_TRUE(item.isCine);
    EXPECT_EQ(item.caption, "Measurement Time:");
    EXPECT_EQ(MeasurementCaption(FrameRecord{}, dates), "Measurement Time:") << "a cleared record";
}

namespace {

struct FakeSource : IExportSource {
    std::vector<std::optional<FrameRecord>> review;
    std::vector<int> pictureFailed;
    int position = 0;
    bool storedShown = false;
    std::optional<FrameRecord> live;
    std::optional<archive::StoreItemRecord> SelectedItem() const override { return std::nullopt; }
    Image32 RenderImageArea() override { return {}; }
    std::string PatientId() const override { return "0001"; }
    std::string PatientName() const override { return "Test"; }
    int ReviewFrameCount() const override { return static_cast<int>(review.size()); }
    bool ReviewFrame(int, Image8&) const override { return false; }
    bool ReviewFrameLoaded(int i) const override {
        return std::find(pictureFailed.begin(), pictureFailed.end(), i) == pictureFailed.end();
    }
    std::optional<FrameRecord> ReviewFrameRecord(int i) const override {
        return review[static_cast<size_t>(i)];
    }
    std::optional<FrameRecord> ShownReviewRecord() const override {
        return review.at(static_cast<size_t>(position));
    }
    bool StoredItemShown() const override { return storedShown; }
    std::optional<FrameRecord> LiveFrameRecord() const override { return live; }
    bool SelectPrinter() const override { return false; }
    DateFormatter Dates() const override { return DateFormatter(DateFormatModeYearFirst); }
};

}  // namespace

TEST(ExportSource, ReviewTimesAndPrintCaptions) {
    struct Case {
        std::vector<std::optional<FrameRecord>> review;
        std::vector<int> pictureFailed;
        std::vector<int64_t> times;
        int missing;
    };
    const std::optional<FrameRecord> none;
    const Case cases[] = {
        // A lost sidecar takes the time between its neighbours.
        {{At(10, 0, 0, 0), At(10, 0, 0, 100), none, At(10, 0, 1, 5)}, {}, {0, 100, 552, 1005}, 0},
        {{At(10, 0, 0, 0), none, none, At(10, 0, 0, 300)}, {}, {0, 100, 200, 300}, 0},
        // Before the first and after the last record a step is unknown (0, repaired later).
        {{none, At(10, 0, 0, 50), At(10, 0, 0, 100), none}, {}, {0, 0, 50, 50}, 0},
        {{none, none}, {}, {0, 0}, 0},
        // A picture that did not load is counted, and refuses the export.
        {{At(10, 0, 0, 0), At(10, 0, 0, 100), At(10, 0, 0, 200)}, {1}, {0, 100, 200}, 1},
    };
    for (const Case& c : cases) {
        FakeSource source;
        source.review = c.review;
        source.pictureFailed = c.pictureFailed;
        const ReviewTimes times = CollectReviewTimes(source);
        EXPECT_EQ(times.times, c.times);
        EXPECT_EQ(times.missing, c.missing);
        EXPECT_EQ(VideoExportRefusal(static_cast<int>(times.times.size()), times.missing).has_value(),
                  c.missing > 0);
    }

    // A steady cine of 60 frames at 50 ms with a lost sidecar keeps the length of all 60.
    FakeSource steady;
    for (int i = 0; i < 60; ++i)
        steady.review.push_back(
            At(10, 0, static_cast<uint16_t>(i * 50 / 1000), static_cast<uint16_t>(i * 50 % 1000)));
    for (int lost : {30, 58}) {
        FakeSource damaged = steady;
        damaged.review[static_cast<size_t>(lost)].reset();
        const std::vector<int64_t> repaired = RepairFrameTimes(CollectReviewTimes(damaged).times);
        EXPECT_EQ(repaired.back(), 59 * 50) << "sidecar " << lost + 1 << " lost";
        EXPECT_EQ(ResampleFrames(repaired), ResampleFrames(CollectReviewTimes(steady).times));
    }

    FakeSource source;
    source.review = {At(10, 0, 0, 0), At(10, 0, 0, 100)};
    source.live = At(11, 22, 33, 0);
    source.position = 1;
    const DateFormatter dates = source.Dates();
    // A frozen live image prints its own time, not the record of the last reviewed item.
    PrintCaptions captions = MakePrintCaptions(source);
    EXPECT_EQ(captions.caption1, "0001 Test");
    EXPECT_EQ(captions.caption2, "Measurement Time:" + dates.FormatDateTime(At(11, 22, 33, 0).time, true));
    source.storedShown = true;
    captions = MakePrintCaptions(source);
    EXPECT_EQ(captions.caption2, "Measurement Time:" + dates.FormatDateTime(At(10, 0, 0, 100).time, true));
}

// At start-up the folders of the video export and of the recorder lose what killed exports
// and recordings left there.
TEST_F(SaveDialogSettings, StartSweepsTheVideoAndRecordingFolders) {
    const std::string videos = dir / "videos/";
    const std::string recordings = dir / "recordings/";
    ASSERT_TRUE(platform::CreateDirectories(videos));
    ASSERT_TRUE(platform::CreateDirectories(recordings));
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, videos));
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::camera_outputfolder, recordings));
    testsupport::WriteAll(videos + "0001_20200820123456_x_temp.avi.tmp.Ab12Cd", "frames");
    testsupport::WriteAll(recordings + "0001_20200820_123456_r_temp.avi", "");
    testsupport::WriteAll(recordings + "0001_20200820_123456_r_temp.avi.tmp.abcdef", "frames");
    testsupport::WriteAll(recordings + "0001_20200820_123456_k_temp.avi", "a kept recording");
    EXPECT_EQ(SweepVideoLeftoversAtStart(), 3);
    EXPECT_FALSE(platform::PathExists(videos + "0001_20200820123456_x_temp.avi.tmp.Ab12Cd"));
    EXPECT_TRUE(platform::PathExists(recordings + "0001_20200820_123456_k_temp.avi"));
}
