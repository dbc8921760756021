#include "archive/StillStore.h"

#include "archive/ArchiveMessages.h"
#include "archive/PlaybackPacer.h"
#include "archive/StoreItemList.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/StoreInfo.h"
#include "platform/BmpCodec.h"
#include "platform/StringUtil.h"
#include "tests/archive/StoreFixture.h"

namespace archivetest {
namespace {

using archive::StillStoreResult;
using archive::StoreStill;

constexpr const char* kStamp = "20231114221320";

class StillStoreTest : public StoreTest {
protected:
    int ListedItems() {
        archive::StoreItemList list;
        archive::FillRequest all;
        all.patientId = kPatient;
        all.examList = false;
        list.Fill(all, exam);
        return list.Count();
    }
};

TEST_F(StillStoreTest, WritesRecordPatientSidecarThenImage) {
    RecordWrites();
    const Image32 still = RenderedStill(1);
    StillStoreResult result;
    ASSERT_TRUE(StoreStill(who, still, ShownFrame(), exam, &result));
    EXPECT_TRUE(boxes.shown().empty());

    const std::string s = kStamp;
    // The image last: it is what the list looks for.
    EXPECT_EQ(writes, (std::vector<std::string>{s + ".xml", "0001.xml", s + ".info", s + ".bmp"}));
    EXPECT_EQ(Files(), (std::vector<std::string>{"0001.xml", s + ".bmp", s + ".info", s + ".xml"}));
    EXPECT_EQ(LastId(), 1u);

    Image32 back;
    ASSERT_TRUE(platform::ReadBmpFile(Folder() + "/" + s + ".bmp", back));
    EXPECT_EQ(back, still);
    CBitmapInfo info;
    ASSERT_TRUE(info.LoadXml(Folder() + "/" + s + ".info"));
    EXPECT_EQ(archive::DiffMilliseconds(info.time, ShownFrame().time), 0);
    EXPECT_EQ(info.time.wMilliseconds, 345);
    EXPECT_EQ(info.depth, 120);
    CStoreInfo record = CStoreInfo::FromUserFile(kPatient, s + ".bmp");
    EXPECT_EQ(record.id, 1u);
    EXPECT_EQ(record.store_type, StoreTypeStill);
    EXPECT_EQ(record.hw_info, who.hwInfo);

    EXPECT_EQ(exam.lastStoredName, s + ".bmp");
    EXPECT_EQ(exam.examStamp, s);  // the first still of an exam without a stamp names it
    ASSERT_EQ(exam.stills.size(), 1u);
    EXPECT_EQ(exam.stills[0].imagePath, result.imagePath);
    EXPECT_EQ(exam.stills[0].bitmap, still);
}

TEST_F(StillStoreTest, TheIdRisesByOneAndASecondStillInTheSameSecondIsRefusedSilently) {
    exam.examStamp = "20231114000000";
    ASSERT_TRUE(StoreStill(who, RenderedStill(1), ShownFrame(), exam));
    const auto filesAfterFirst = Files();
    EXPECT_FALSE(StoreStill(who, RenderedStill(2), ShownFrame(), exam));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(Files(), filesAfterFirst);
    EXPECT_EQ(LastId(), 1u);
    NextSecond();
    ASSERT_TRUE(StoreStill(who, RenderedStill(3), ShownFrame(), exam));
    EXPECT_EQ(LastId(), 2u);
    EXPECT_EQ(exam.examStamp, "20231114000000");
    EXPECT_EQ(exam.stills.size(), 2u);
}

TEST_F(StillStoreTest, APatientFileThatDoesNotLoadIsReported) {
    who.patientId = "0002";
    EXPECT_FALSE(StoreStill(who, RenderedStill(1), ShownFrame(), exam));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgFileNotFound});
    EXPECT_FALSE(platform::PathExists(PatientFolder("0002")));
}

TEST_F(StillStoreTest, AFaultAtEachWriteLeavesNoListedItemAndOneMessage) {
    // Which write fails (the patient file is named by its id), and what is left after it.
    struct Case {
        const char* failing;
        const char* message;
        uint64_t idAfter;
        bool recordStays;
        uint64_t nextId;  // past the id of a record left on disk too
    };
    const Case cases[] = {
        {".xml", archive::kMsgInfoWriteError, 0, false, 1},
        {"patient", archive::kMsgInfoWriteError, 0, true, 2},
        {".info", archive::kMsgInfoWriteError, 1, true, 2},
        {".bmp", archive::kMsgFileWriteError, 1, true, 2},
    };
    int patient = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        UsePatient(platform::Format("%04d", patient++));
        const std::string id = who.patientId;
        const std::string s = MakeStamp(platform::MicrosToLocal(clock.UtcMicros()));
        std::vector<std::string> files = {id + ".xml"};
        if (c.recordStays)
            files.push_back(s + ".xml");
        const size_t shown = boxes.shown().size();
        RecordWrites(std::string(c.failing) == "patient" ? id + ".xml" : s + c.failing);
        EXPECT_FALSE(StoreStill(who, RenderedStill(1), ShownFrame(), exam));
        platform::SetWriteFaultHook(nullptr);
        EXPECT_EQ(MessageTexts(shown), std::vector<std::string>{c.message});
        EXPECT_EQ(boxes.shown().back().caption, archive::kCaptionImageStore);
        EXPECT_EQ(boxes.shown().back().icon, platform::MsgIcon::Error);
        EXPECT_EQ(Files(), files);
        EXPECT_EQ(LastId(), c.idAfter);  // the patient file still loads
        EXPECT_EQ(ListedItems(), 0);
        EXPECT_TRUE(exam.stills.empty());
        EXPECT_TRUE(exam.storedNames.empty());
        // The next store goes on past every id given; ids are never reused.
        NextSecond();
        ASSERT_TRUE(StoreStill(who, RenderedStill(1), ShownFrame(), exam));
        EXPECT_EQ(LastId(), c.nextId);
        EXPECT_EQ(exam.stills.size(), 1u);
    }
}

}  // namespace
}  // namespace archivetest
