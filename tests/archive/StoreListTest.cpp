#include "archive/StoreItemList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "archive/CineFolderLoader.h"
#include "archive/ThumbnailCache.h"

#include "archive/ArchiveMessages.h"
#include "archive/CineStore.h"
#include "archive/StillStore.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/StoreInfo.h"
#include "platform/BmpCodec.h"
#include "platform/StringUtil.h"
#include "tests/archive/StoreFixture.h"

namespace archivetest {
namespace {

using archive::FillRequest;
using archive::StoreItemList;

class StoreListTest : public StoreTest {
protected:
    void StoreStillNow() {
        ASSERT_TRUE(archive::StoreStill(who, RenderedStill(1), ShownFrame(), exam));
        NextSecond();
    }
    void StoreCineNow(int frames = 3) {
        FakeCine cine(frames, frames - 1);
        ASSERT_TRUE(archive::StoreCine(who, cine, exam, {}));
        NextSecond();
    }
    // An item of an earlier exam, written as the stores would have; a cine without sidecar
    // is an empty folder.
    void PlantItem(const std::string& stamp, bool cine, bool withSidecar = true) {
        CStoreInfo record(1, cine ? StoreTypeCine : StoreTypeStill, 1, kPatient, "", "", "");
        record.name = stamp;
        ASSERT_TRUE(record.Save());
        if (cine) {
            ASSERT_TRUE(platform::CreateDirectories(Folder() + "/" + stamp + ".cine"));
        }
        if (!cine || withSidecar)
            testsupport::WriteAll(record.GetBmpPath(), "not decoded");
        if (withSidecar) {
            CBitmapInfo info(record.GetInfoPath(), MakeTime(2022, 1, 2, 3, 4, 5, 6), 100, 40, 0, 50, 50, 1.0);
            ASSERT_TRUE(info.Save());
        }
    }
    StoreItemList Fill(bool examList, bool withCines = true, bool reset = true) {
        FillRequest request;
        request.patientId = kPatient;
        request.examList = examList;
        request.withCines = withCines;
        request.reset = reset;
        list.Fill(request, exam);
        return list;
    }
    std::vector<int> Numbers() {
        std::vector<int> n;
        for (const auto& r : list.Items())
            n.push_back(r.number);
        return n;
    }
    std::vector<std::string> Types() {
        std::vector<std::string> t;
        for (const auto& r : list.Items())
            t.push_back(r.typeText);
        return t;
    }

    StoreItemList list;
};

TEST_F(StoreListTest, ExamListShowsThisExamsItemsAndViewerModeAll) {
    PlantItem("20200101101010", false);
    PlantItem("20200101101011", true);
    exam.Start("20231114221320");
    StoreStillNow();
    StoreCineNow();
    StoreStillNow();

    Fill(true);
    EXPECT_EQ(Types(), (std::vector<std::string>{"Image", "Cine", "Image"}));
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3}));
    const auto& cine = list.Items()[1];
    EXPECT_EQ(cine.isCine, 1);
    EXPECT_EQ(cine.imagePath, Folder() + "/20231114221321.cine/001.bmp");
    EXPECT_EQ(cine.cineFolder, Folder() + "/20231114221321.cine/");
    EXPECT_EQ(cine.stamp, 20231114221321);
    EXPECT_EQ(cine.timeText, "14-11-2023 22:13:21");
    EXPECT_EQ(cine.captureTime, "14-11-2023 22:13:00.000");
    EXPECT_EQ(list.Items()[0].patientName, "Test Patient");
    EXPECT_EQ(list.ListIndexToImageIndex(2), 1);
    EXPECT_TRUE(list.HasStoredImage());

    Fill(false);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(list.Items()[0].captureTime, "02-01-2022 03:04:05.006");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StoreListTest, AClockSetBackDoesNotHideItemsOfThisExam) {
    exam.Start("20231114221320");
    clock.Advance(-3600LL * 1'000'000);  // the clock steps back an hour after the exam began
    StoreStillNow();
    Fill(true);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items()[0].stamp, 20231114211320);
}

TEST_F(StoreListTest, AStoredItemIsAppendedWithTheNextNumber) {
    exam.Start("20231114221320");
    StoreStillNow();
    StoreStillNow();
    Fill(true);
    StoreCineNow();
    Fill(true, true, false);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.Items()[2].isCine, 1);
    StoreStillNow();
    Fill(true, false, false);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(StoreListTest, NumbersKeepTheirGapsAndEachMessageShowsOncePerFill) {
    PlantItem("20200101000001", false);
    PlantItem("20200101000002", true);
    PlantItem("20200101000003", true, false);  // an empty cine folder
    PlantItem("20200101000004", false, false);
    PlantItem("20200101000005", false, false);
    PlantItem("20200101000006", false);

    Fill(false, false);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 4, 5, 6}));  // the cine hidden, the empty one gone
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgInfoReadError});
    EXPECT_EQ(boxes.shown()[0].caption, GetProductName());
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::None);
    EXPECT_EQ(list.Items()[1].captureTime, "");
    EXPECT_FALSE(platform::PathExists(Folder() + "/20200101000003.cine"));
    EXPECT_TRUE(platform::PathExists(TrashFiles() + "/20200101000003.cine"));

    Fill(false);
    EXPECT_EQ(Numbers(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(boxes.shown().size(), 2u);
}

TEST_F(StoreListTest, AFullRefillSweepsLeftoversOfInterruptedStores) {
    StoreStillNow();
    ASSERT_TRUE(platform::CreateDirectories(Folder() + "/20231114221400.cine.part"));
    testsupport::WriteAll(Folder() + "/20231114221400.cine.part/001.bmp", "half");
    testsupport::WriteAll(Folder() + "/0001.xml.tmp.Ab12Cd", "half");
    testsupport::WriteAll(Folder() + "/20231114221401.bmp.tmp.xYz789", "half");

    Fill(false);
    EXPECT_EQ(list.SweptLeftovers(), 3);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(Files(), (std::vector<std::string>{"0001.xml", "20231114221320.bmp", "20231114221320.info",
                                                 "20231114221320.xml"}));
    EXPECT_TRUE(platform::IsDirectory(TrashFiles() + "/20231114221400.cine.part"));
    EXPECT_TRUE(platform::IsRegularFile(TrashFiles() + "/0001.xml.tmp.Ab12Cd"));
}

TEST_F(StoreListTest, APatientThatDoesNotLoadIsReported) {
    FillRequest request;
    request.patientId = "0077";
    list.Fill(request, exam);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgFileNotFound});
}

TEST_F(StoreListTest, AThousandItemsFillWithoutDecodingAPicture) {
    // Planted by copying the bytes of two items' files: a record names no item, and every
    // sidecar may say the same.
    PlantItem("20200101000000", false);
    PlantItem("20200101000001", true);
    const std::string stillRecord = testsupport::ReadAll(Folder() + "/20200101000000.xml");
    const std::string cineRecord = testsupport::ReadAll(Folder() + "/20200101000001.xml");
    const std::string sidecar = testsupport::ReadAll(Folder() + "/20200101000000.info");
    for (int i = 2; i < 1000; ++i) {
        const std::string stamp = platform::Format("2020010100%04d", i);
        const bool cine = i % 10 >= 7 || i == 1;
        testsupport::WriteAll(Folder() + "/" + stamp + ".xml", cine ? cineRecord : stillRecord);
        if (cine) {
            ASSERT_TRUE(platform::CreateDirectories(Folder() + "/" + stamp + ".cine"));
            testsupport::WriteAll(Folder() + "/" + stamp + ".cine/001.bmp", "not decoded");
            testsupport::WriteAll(Folder() + "/" + stamp + ".cine/001.info", sidecar);
        } else {
            testsupport::WriteAll(Folder() + "/" + stamp + ".bmp", "not decoded");
            testsupport::WriteAll(Folder() + "/" + stamp + ".info", sidecar);
        }
    }
    const uint64_t decodes = platform::BmpDecodeCount();
    Fill(false);
    EXPECT_EQ(list.Count(), 1000);
    EXPECT_EQ(platform::BmpDecodeCount(), decodes);
    EXPECT_EQ(list.ListIndexToImageIndex(999), 698);  // 301 cines
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(StoreItemIndex, StillIndexAndHasStoredImage) {
    struct Case {
        std::vector<int> isCine;
        std::vector<int> expected;  // ListIndexToImageIndex of -1, 0, 1, ...
        bool hasImage;
    };
    const Case cases[] = {
        {{1, 0, 1, 0}, {-1, -1, 0, 0, 1}, true},
        {{0, 1, 1}, {-1, 0, 0, 0}, true},
        {{1, 1}, {-1, -1, -1}, false},
        {{0}, {-1, 0}, true},
        {{}, {-1}, false},
    };
    for (const Case& c : cases) {
        std::vector<archive::StoreItemRecord> items(c.isCine.size());
        for (size_t i = 0; i < items.size(); ++i)
            items[i].isCine = c.isCine[i];
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(archive::ListIndexToImageIndex(items, static_cast<int>(i) - 1), c.expected[i]) << i;
        EXPECT_EQ(archive::HasStoredImage(items), c.hasImage);
    }
}

// What lies in a patient folder under an archive name never stops the viewer: a FIFO is not
// waited on, a huge file is refused before it is read, wherever the archive reads its files
// (the list, thumbnails, preview, cine review, the next store id, the patient file).
TEST_F(StoreListTest, AFifoOrAHugeFileUnderAnArchiveNameIsRefusedUnread) {
    StoreStillNow();
    const std::string fifoStamp = "20230101120000", hugeStamp = "20230101120001";
    std::vector<std::string> fifos;
    const auto makeFifo = [&](const std::string& path) {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
        fifos.push_back(path);
    };
    for (const char* ext : {".bmp", ".info", ".xml"})
        makeFifo(Folder() + "/" + fifoStamp + ext);
    const std::string cine = Folder() + "/" + fifoStamp + ".cine";
    ASSERT_TRUE(platform::CreateDirectories(cine));
    for (const char* name : {"001.bmp", "001.info"})
        makeFifo(cine + "/" + name);
    // 1 GiB, sparse, with the header of a 16384 x 16384 picture of 32 bits.
    const std::string huge = Folder() + "/" + hugeStamp + ".bmp";
    {
        Image32 small(1, 1);
        std::string header = platform::EncodeBmp32(small).substr(0, 54);
        const auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                header[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
        };
        put32(2, 0);
        put32(18, 16384);
        put32(22, 16384);
        testsupport::WriteAll(huge, header);
        ASSERT_EQ(::truncate(huge.c_str(), 1LL << 30), 0);
    }

    const uint64_t decodesBefore = platform::BmpDecodeCount();
    auto work = std::async(std::launch::async, [&] {
        Fill(false);
        archive::ThumbnailCache cache;
        for (const auto& item : list.Items())
            cache.Get(item, "");
        Image32 picture;
        EXPECT_FALSE(archive::LoadStoredPicture(Folder() + "/" + fifoStamp + ".bmp", picture));
        EXPECT_FALSE(archive::LoadStoredPicture(huge, picture));
        const archive::LoadedCine loaded = archive::LoadCineFolder(cine + "/", {});
        EXPECT_FALSE(loaded.records[0].has_value());
        NextSecond();
        EXPECT_TRUE(archive::StoreStill(who, RenderedStill(2), ShownFrame(), exam));
    });
    if (work.wait_for(std::chrono::seconds(120)) != std::future_status::ready) {
        // Let the blocked reader go before failing, so the test can end.
        while (work.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            for (const std::string& fifo : fifos) {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        }
        FAIL() << "the archive waited on a FIFO or read a huge file for two minutes";
    }
    // Only the two stills of this test were decoded for thumbnails; the huge one never.
    EXPECT_LE(platform::BmpDecodeCount() - decodesBefore, 1u);
    EXPECT_EQ(list.Count(), 4);  // both stills, the FIFO and the huge one, listed with fallbacks
}

}  // namespace
}  // namespace archivetest
