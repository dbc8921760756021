#include "archive/ArchiveMessages.h"
#include "archive/CineFolderLoader.h"
#include "archive/FrameIntervals.h"
#include "archive/PlaybackPacer.h"
#include "archive/StillStore.h"
#include "archive/StoreDeletion.h"
#include "archive/StoreItemList.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/StoreInfo.h"
#include "platform/BmpCodec.h"
#include "platform/StringUtil.h"
#include "tests/archive/StoreFixture.h"

namespace archivetest {
namespace {

using archive::DiffMilliseconds;
using archive::PlaybackPacer;

// --- loading a cine folder

class CineLoaderTest : public StoreTest {
protected:
    std::string Dir() { return dir / "cine"; }
    void Frame(int n, uint8_t grey) {
        Image8 f(480, 480, grey);
        testsupport::WriteAll(platform::JoinPath(Dir(), platform::Format("%03d.bmp", n)),
                              platform::EncodeBmpGrey8(f));
        CBitmapInfo info(platform::JoinPath(Dir(), platform::Format("%03d.info", n)),
                         MakeTime(2023, 1, 1, 10, 0, 0, n * 40), 100 + n, 40, 0, 50, 50, 1.0);
        ASSERT_TRUE(info.Save());
    }
    archive::LoadedCine Load() {
        frames.clear();
        records.clear();
        progress.clear();
        archive::CineLoadSink sink;
        sink.frame = [&](int i, const Image8& f) {
            ASSERT_EQ(f.width(), 480);
            ASSERT_EQ(f.height(), 480);
            frames[i] = f.At(0, 0);
        };
        sink.record = [&](int i, const FrameRecord& r) { records[i] = r.depth; };
        sink.progress = [&](int done, int total) { progress.emplace_back(done, total); };
        return archive::LoadCineFolder(Dir(), sink);
    }
    void SetUp() override {
        StoreTest::SetUp();
        ASSERT_TRUE(platform::CreateDirectories(Dir()));
    }
    std::map<int, int> frames;   // index -> grey of its first pixel
    std::map<int, int> records;  // index -> depth
    std::vector<std::pair<int, int>> progress;
};

TEST_F(CineLoaderTest, LoadsNumberedFramesAndIgnoresOtherFiles) {
    for (int n = 1; n <= 10; ++n)
        Frame(n, static_cast<uint8_t>(n * 10));
    testsupport::WriteAll(Dir() + "/Body.bmp", platform::EncodeBmpGrey8(Image8(10, 10)));
    testsupport::WriteAll(Dir() + "/notes.txt", "text");
    const archive::LoadedCine cine = Load();
    EXPECT_EQ(cine.count, 10);
    EXPECT_EQ(cine.entries, 22);
    EXPECT_EQ(frames.size(), 10u);
    EXPECT_EQ(frames[9], 100);
    EXPECT_EQ(records[0], 101);
    ASSERT_TRUE(cine.records[9].has_value());
    EXPECT_EQ(cine.records[9]->time.wMilliseconds, 400);
    EXPECT_FALSE(cine.records[10].has_value());
    EXPECT_EQ(progress.back(), std::make_pair(22, 22));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(CineLoaderTest, GapsHighNumbersDamagedAndForeignPictures) {
    Frame(1, 10);
    Frame(3, 30);  // 002 is missing
    Frame(4, 40);
    Frame(5, 50);
    testsupport::WriteAll(Dir() + "/004.bmp", "BM damaged");
    testsupport::WriteAll(Dir() + "/005.bmp", "BM damaged too");
    testsupport::WriteAll(Dir() + "/600.bmp", platform::EncodeBmpGrey8(Image8(480, 480, 6)));
    // A picture of another size from another program: clipped, or padded with black.
    Image32 wide(500, 300, MakePixel(90, 90, 90));
    testsupport::WriteAll(Dir() + "/006.bmp", platform::EncodeBmp32(wide));

    const archive::LoadedCine cine = Load();
    EXPECT_EQ(cine.count, 600);
    EXPECT_EQ(frames.count(1), 0u);  // the gap: no frame, no record
    EXPECT_FALSE(cine.records[1].has_value());
    EXPECT_EQ(frames.count(3), 0u);  // damaged
    EXPECT_TRUE(cine.records[3].has_value());
    EXPECT_EQ(frames[5], 90);
    EXPECT_EQ(frames.size(), 3u);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgBitmapLoadError});
}

TEST_F(CineLoaderTest, UnreadableSidecarsAreReportedOnce) {
    Frame(1, 10);
    testsupport::WriteAll(Dir() + "/002.info", "<broken");
    testsupport::WriteAll(Dir() + "/003.info", "");
    const archive::LoadedCine cine = Load();
    EXPECT_EQ(cine.count, 3);
    EXPECT_FALSE(cine.records[1].has_value());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgInfoReadError});
}

TEST(SidecarDepth, OnlyAPlausibleDepthBecomesTheMeasurementScale) {
    for (const auto& [depth, ok] : {std::pair{19, false}, std::pair{20, true}, std::pair{240, true},
                                    std::pair{241, false}, std::pair{0, false}, std::pair{-5, false}})
        EXPECT_EQ(archive::IsMeasurableDepth(depth), ok) << depth;
}

// --- pacing

std::vector<std::optional<FrameRecord>> Steady(int count, int stepMs) {
    std::vector<std::optional<FrameRecord>> records(static_cast<size_t>(std::max(count, 512)));
    for (int i = 0; i < count; ++i) {
        FrameRecord r;
        const int ms = i * stepMs;
        r.time = MakeTime(2023, 5, 6, 7, 8 + ms / 60000, ms / 1000 % 60, ms % 1000);
        records[static_cast<size_t>(i)] = r;
    }
    return records;
}

TEST(DiffMilliseconds, AcrossYearEndLeapDayAndInvalidTimes) {
    struct Case {
        platform::SystemTime a, b;
        int64_t ms;
    };
    const Case cases[] = {
        {MakeTime(2023, 12, 31, 23, 59, 59, 950), MakeTime(2024, 1, 1, 0, 0, 0, 10), 60},
        {MakeTime(2024, 2, 28, 23, 59, 59, 999), MakeTime(2024, 2, 29, 0, 0, 0, 49), 50},
        {MakeTime(2024, 2, 29, 23, 59, 59, 999), MakeTime(2024, 3, 1, 0, 0, 0, 0), 1},
        {MakeTime(2023, 2, 28, 12, 0, 0, 0), MakeTime(2023, 3, 1, 12, 0, 0, 0), 86400000},
        {MakeTime(2023, 1, 1, 0, 0, 1, 0), MakeTime(2023, 1, 1, 0, 0, 0, 500), -500},
        {MakeTime(2023, 2, 29, 0, 0, 0, 0), MakeTime(2023, 3, 1, 0, 0, 0, 0), 0},  // no such day
        {platform::SystemTime{}, MakeTime(2023, 3, 1, 0, 0, 0, 0), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DiffMilliseconds(c.a, c.b), c.ms) << c.ms;
}

TEST(PlaybackPacer, SteadyFiftyMillisecondsAndTheWrap) {
    PlaybackPacer pacer;
    pacer.Load(Steady(120, 50), 120);
    int current = 0;
    pacer.Start(current, 1000);
    std::vector<int64_t> shownAt;
    for (int64_t now = 1000; now < 1000 + 50 * 125; now += 10) {
        if (const auto next = pacer.Step(current, now)) {
            current = *next;
            shownAt.push_back(now);
        }
    }
    ASSERT_GE(shownAt.size(), 124u);
    for (size_t i = 0; i < shownAt.size(); ++i)
        EXPECT_EQ(shownAt[i], 1050 + 50 * static_cast<int64_t>(i)) << i;
    // Frame 120 (index 119) is followed by frame 1 50 ms later.
    EXPECT_EQ(current, static_cast<int>(shownAt.size()) % 120);
}

TEST(PlaybackPacer, LastFrameLateTicksAndOneFrame) {
    PlaybackPacer pacer;
    pacer.Load(Steady(10, 50), 10);
    pacer.Start(9, 0);  // Play on the last frame: it stays 1000 ms
    EXPECT_FALSE(pacer.Step(9, 999));
    EXPECT_EQ(pacer.Step(9, 1000), 0);
    EXPECT_EQ(pacer.Deadline(), 1050);  // then the interval between the last two frames
    // A late tick does not delay the frames after it.
    EXPECT_EQ(pacer.Step(0, 1085), 1);
    EXPECT_EQ(pacer.Deadline(), 1100);
    EXPECT_EQ(pacer.Step(1, 1100), 2);

    PlaybackPacer single;
    single.Load(Steady(1, 50), 1);
    single.Start(0, 0);
    EXPECT_FALSE(single.Step(0, 5000));
}

TEST(PlaybackPacer, BadIntervalsTakeTheMedian) {
    auto records = Steady(8, 40);
    records[1]->time.wMilliseconds = 10;                  // 0 -> 1: 10, 1 -> 2: 70
    records[4].reset();                                   // 3 -> 4 and 4 -> 5: missing
    records[6]->time = MakeTime(2023, 5, 6, 9, 0, 0, 0);  // 5 -> 6 hours, 6 -> 7 negative
    PlaybackPacer pacer;
    pacer.Load(records, 8);
    const int64_t expected[] = {10, 70, 40, 40, 40, 40, 40};  // median of 10, 70, 40 is 40
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(pacer.Interval(i), expected[i]) << i;

    PlaybackPacer none;
    none.Load(std::vector<std::optional<FrameRecord>>(512), 5);  // no record at all
    EXPECT_EQ(none.Interval(0), 1000);
    none.Load(Steady(600, 50), 600);  // counts cap at 512
    EXPECT_EQ(none.FrameCount(), 512);
}

TEST(FrameIntervals, UnsoundIntervalsTakeTheMedianOfTheSoundOnes) {
    struct Case {
        std::vector<int64_t> intervals;
        std::vector<int64_t> repaired;
    };
    const Case cases[] = {
        {{40, 60, 0}, {40, 60, 60}},                     // an even count takes the upper middle
        {{10, 70, 40, -5, 1001}, {10, 70, 40, 40, 40}},  // over a second is a gap
        {{1000, 1, 0}, {1000, 1, 1000}},                 // both ends of the range are sound
        {{0, -1, INT64_MIN}, {1000, 1000, 1000}},        // none sound: a second each
        {{}, {}},
    };
    for (const Case& c : cases) {
        std::vector<int64_t> v = c.intervals;
        archive::RepairFrameIntervals(v);
        EXPECT_EQ(v, c.repaired) << ::testing::PrintToString(c.intervals);
    }
}

// --- deletion

class DeletionTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        exam.Start("20231114221320");
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(
                archive::StoreStill(who, RenderedStill(static_cast<uint32_t>(i)), ShownFrame(), exam));
            NextSecond();
        }
        Refill();
        tags[list.Items()[1].imagePath] = "BPD";
        tags[list.Items()[2].imagePath] = "FL";
    }
    void Refill() {
        archive::FillRequest request;
        request.patientId = kPatient;
        list.Fill(request, exam);
    }
    archive::DeletionOutcome Delete(std::vector<int> selected, const archive::DeleteFilesFn& fn = nullptr) {
        archive::DeletionRequest request;
        request.items = &list.Items();
        request.selected = std::move(selected);
        return archive::DeleteStoredItems(request, exam, tags, fn);
    }

    archive::StoreItemList list;
    std::map<std::string, std::string> tags;
};

TEST_F(DeletionTest, DeletingTheSecondOfThreeStillsKeepsOBGYInStep) {
    const std::string third = list.Items()[2].imagePath;
    const auto out = Delete({1});
    EXPECT_TRUE(out.deletedAny);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgMayDelete});
    EXPECT_EQ(out.removedStills, std::vector<int>{1});  // the OB/GY items follow this
    ASSERT_EQ(exam.stills.size(), 2u);
    EXPECT_EQ(exam.stills[1].imagePath, third);
    EXPECT_EQ(tags.size(), 1u);
    EXPECT_TRUE(platform::IsRegularFile(TrashFiles() + "/20231114221321.bmp"));
    EXPECT_TRUE(platform::IsRegularFile(TrashFiles() + "/20231114221321.xml"));
    Refill();
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(DeletionTest, AFailedTrashMoveChangesNothingAndIsReported) {
    const auto out = Delete({0, 2}, [](const CStoreInfo& record, std::string* error) {
        if (record.name == "20231114221322")
            return record.DeleteFiles(error);
        *error = "trash refused";
        return false;
    });
    EXPECT_TRUE(out.deletedAny);
    ASSERT_EQ(out.stayed.size(), 1u);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_NE(boxes.shown()[1].text.find("trash refused"), std::string::npos);
    // Still 0 stayed, still 2 went.
    ASSERT_EQ(exam.stills.size(), 2u);
    EXPECT_EQ(exam.stills[0].imagePath, list.Items()[0].imagePath);
    EXPECT_EQ(out.removedStills, std::vector<int>{2});
}

TEST_F(DeletionTest, CancelAndEmptySelection) {
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    EXPECT_FALSE(Delete({0}).asked);
    EXPECT_EQ(exam.stills.size(), 3u);
    boxes.SetAnswer(platform::MsgAnswer::Ok);
    EXPECT_FALSE(Delete({}).deletedAny);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{archive::kMsgMayDelete, archive::kMsgMayDelete,
                                                        archive::kMsgNoData}));
}

TEST_F(DeletionTest, APreviewSelectsTheExamStillOfItsPathAndACineNone) {
    auto items = list.Items();
    EXPECT_EQ(archive::PreviewObgyImage(items, 2, exam), 2);
    EXPECT_EQ(archive::PreviewStem(items[2]), Folder() + "/20231114221322");
    archive::StoreItemRecord cine;
    cine.isCine = 1;
    cine.imagePath = Folder() + "/20231114221323.cine/001.bmp";
    items.insert(items.begin() + 1, cine);
    EXPECT_EQ(archive::PreviewObgyImage(items, 1, exam), -1);
    EXPECT_EQ(archive::PreviewObgyImage(items, 3, exam), 2);
    EXPECT_EQ(archive::PreviewStem(cine), Folder() + "/20231114221323.cine/001");
    // A still of an earlier exam has no exam still, whatever its list position.
    exam.stills.erase(exam.stills.begin());
    EXPECT_EQ(archive::PreviewObgyImage(items, 0, exam), -1);
    EXPECT_EQ(archive::PreviewObgyImage(items, 9, exam), -1);
}

TEST_F(CineLoaderTest, APreviewPictureIsFittedToTheView) {
    const std::string path = Dir() + "/foreign.bmp";
    testsupport::WriteAll(path, platform::EncodeBmp32(Image32(500, 300, MakePixel(1, 2, 3))));
    Image32 picture;
    ASSERT_TRUE(archive::LoadStoredPicture(path, picture));
    EXPECT_EQ(picture.width(), 480);
    EXPECT_EQ(picture.height(), 480);
    EXPECT_EQ(picture.At(479, 299), MakePixel(1, 2, 3));
    EXPECT_EQ(picture.At(0, 300), 0u);
    testsupport::WriteAll(path, "BM");
    EXPECT_FALSE(archive::LoadStoredPicture(path, picture));
}

TEST(ParseTrailingNumber, StillsAndCineFrames) {
    EXPECT_EQ(archive::ParseTrailingNumber("/d/0001/20231114221320.bmp", false), 20231114221320);
    EXPECT_EQ(archive::ParseTrailingNumber("/d/0001/20231114221320.cine/001.bmp", true), 20231114221320);
    EXPECT_EQ(archive::ParseTrailingNumber("x.bmp", false), 0);
    EXPECT_EQ(archive::ParseTrailingNumber("", true), 0);
}

}  // namespace
}  // namespace archivetest
