#include "archive/CineStore.h"

#include "archive/ArchiveMessages.h"
#include "archive/CineFrameOrder.h"
#include "archive/OverlayLayer.h"
#include "archive/PlaybackPacer.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/StoreInfo.h"
#include "platform/BmpCodec.h"
#include "platform/StringUtil.h"
#include "tests/archive/StoreFixture.h"

namespace archivetest {
namespace {

using archive::CineFrameOrder;
using archive::CineStoreHooks;
using archive::CineStoreResult;
using archive::StoreCine;

constexpr const char* kStamp = "20231114221320";

std::vector<int> Range(int from, int to) {  // [from, to)
    std::vector<int> v;
    for (int i = from; i < to; ++i)
        v.push_back(i);
    return v;
}

TEST(CineFrameOrder, OldestFirst) {
    EXPECT_EQ(CineFrameOrder(100, 99), Range(0, 100));
    std::vector<int> full = Range(38, 512);
    const auto wrapped = Range(0, 38);
    full.insert(full.end(), wrapped.begin(), wrapped.end());
    EXPECT_EQ(CineFrameOrder(512, 37), full);
    EXPECT_EQ(CineFrameOrder(512, 511), Range(0, 512));
    EXPECT_EQ(CineFrameOrder(1, 0), std::vector<int>{0});
    EXPECT_TRUE(CineFrameOrder(0, 0).empty());
}

// Draws a block whose grey says the depth, and one pixel blended half over what is there,
// as anti-aliased text edges are.
void PaintDepthMark(Image32& layer, int depth, int focusMark) {
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            layer.At(x, y) =
                MakePixel(static_cast<uint8_t>(depth), 0, static_cast<uint8_t>(focusMark < 0 ? 0 : 90));
    const uint32_t p = layer.At(30, 30);
    layer.At(30, 30) =
        MakePixel(static_cast<uint8_t>((PixelR(p) + 255) / 2), static_cast<uint8_t>((PixelG(p) + 255) / 2),
                  static_cast<uint8_t>((PixelB(p) + 255) / 2));
}

TEST(OverlayLayer, EqualsDrawingOnTheFrameItself) {
    archive::OverlayLayer layer;
    layer.Build(PaintDepthMark, 480, 480, 150, 40);
    EXPECT_EQ(layer.TouchedPixels(), 101u);
    for (const int grey : {0, 1, 100, 128, 254, 255}) {
        Image8 frame(480, 480, static_cast<uint8_t>(grey));
        layer.Apply(frame);
        Image32 direct(480, 480, GreyPixel(static_cast<uint8_t>(grey)));
        PaintDepthMark(direct, 150, 40);
        EXPECT_EQ(frame.At(15, 15), platform::NearestGrey(direct.At(15, 15))) << grey;
        EXPECT_NEAR(frame.At(30, 30), platform::NearestGrey(direct.At(30, 30)), 1) << grey;
        EXPECT_EQ(frame.At(0, 0), grey);
    }
}

class CineStoreTest : public StoreTest {
protected:
    bool Store(const archive::ICineSource& cine, CineStoreResult* result = nullptr) {
        return StoreCine(who, cine, exam, hooks, result);
    }
    std::string CineFolder() { return Folder() + "/" + kStamp + ".cine"; }
    void ExpectNoFrameFolder() {
        EXPECT_FALSE(platform::PathExists(CineFolder()));
        EXPECT_FALSE(platform::PathExists(CineFolder() + ".part"));
    }

    CineStoreHooks hooks;
};

TEST_F(CineStoreTest, StoresEveryFrameOldestFirstByteForByte) {
    FakeCine cine(512, 37);
    int progressCalls = 0;
    int lastDone = -1;
    hooks.progress = [&](int done, int total) {
        ++progressCalls;
        lastDone = done;
        EXPECT_EQ(total, 512);
    };
    RecordWrites();
    CineStoreResult result;
    ASSERT_TRUE(Store(cine, &result));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(result.frames, 512);
    EXPECT_EQ(result.folder, CineFolder() + "/");
    EXPECT_FALSE(platform::PathExists(CineFolder() + ".part"));
    EXPECT_EQ(lastDone, 512);
    EXPECT_LE(progressCalls, 3);  // the clock stands still: start and end only

    const std::string s = kStamp;
    ASSERT_GE(writes.size(), 4u);
    EXPECT_EQ(writes[0], s + ".xml");
    EXPECT_EQ(writes[1], "0001.xml");
    EXPECT_EQ(writes[2], "001.bmp");
    EXPECT_EQ(writes[3], "001.info");
    EXPECT_EQ(writes[writes.size() - 2], s + ".cine.part");  // the one flush
    EXPECT_EQ(writes.back(), s + ".cine");                   // the rename
    EXPECT_EQ(writes.size(), 2u + 1024u + 2u);
    EXPECT_EQ(Files(), (std::vector<std::string>{"0001.xml", s + ".cine/", s + ".xml"}));
    EXPECT_EQ(LastId(), 1u);

    // Frame 1 is slot 38, frame 512 the newest slot 37.
    for (const auto& [frame, slot] :
         {std::pair{1, 38}, std::pair{474, 511}, std::pair{475, 0}, std::pair{512, 37}}) {
        SCOPED_TRACE(frame);
        Image8 expected;
        cine.GetFrame(slot, expected);
        const std::string bytes = testsupport::ReadAll(MakeCineFramePath(CineFolder() + "/", frame, ".bmp"));
        EXPECT_EQ(bytes, platform::EncodeBmpGrey8(expected));
        CBitmapInfo info;
        ASSERT_TRUE(info.LoadXml(MakeCineFramePath(CineFolder() + "/", frame, ".info")));
        EXPECT_EQ(archive::DiffMilliseconds(info.time, cine.GetRecord(slot)->time), 0);
        EXPECT_EQ(info.gamma, 1.25);
    }
    EXPECT_EQ(exam.lastStoredName, s + ".cine");
    EXPECT_EQ(exam.examStamp, s);
    EXPECT_TRUE(exam.stills.empty());  // a cine adds no exam still
    CStoreInfo record = CStoreInfo::FromUserFile(kPatient, s + ".cine");
    EXPECT_EQ(record.store_type, StoreTypeCine);
}

TEST_F(CineStoreTest, EachFrameCarriesTheScaleOfItsOwnDepth) {
    FakeCine cine(100, 99);
    for (int slot = 30; slot < 60; ++slot)
        cine.depthOfSlot[slot] = 150;
    for (int slot = 60; slot < 100; ++slot)
        cine.depthOfSlot[slot] = 60;
    int paints = 0;
    hooks.drawOverlay = [&](Image32& layer, int depth, int focusMark) {
        ++paints;
        EXPECT_EQ(focusMark, 40);
        PaintDepthMark(layer, depth, focusMark);
    };
    ASSERT_TRUE(Store(cine));
    EXPECT_EQ(paints, 2 * 3);  // over black and over white, once per distinct depth
    for (const auto& [frame, depth] :
         {std::pair{1, 100}, std::pair{31, 150}, std::pair{61, 60}, std::pair{100, 60}}) {
        Image8 stored;
        ASSERT_TRUE(platform::ReadBmpFileGrey(MakeCineFramePath(CineFolder() + "/", frame, ".bmp"), stored));
        EXPECT_EQ(stored.At(12, 12), platform::NearestGrey(MakePixel(static_cast<uint8_t>(depth), 0, 90)))
            << frame;
        Image8 original;
        cine.GetFrame(frame - 1, original);
        EXPECT_EQ(stored.At(100, 100), original.At(100, 100));
    }
}

// A cine whose frames take 20 ms each to read.
class SlowCine : public FakeCine {
public:
    SlowCine(int count, testsupport::FakeClock& clock) : FakeCine(count, count - 1), clock_(clock) {}
    bool GetFrame(int slot, Image8& out) const override {
        clock_.Advance(20'000);
        return FakeCine::GetFrame(slot, out);
    }

private:
    testsupport::FakeClock& clock_;
};

TEST_F(CineStoreTest, ProgressIsThrottledButCancelIsAskedEveryFrame) {
    SlowCine cine(100, clock);
    std::vector<int> reported;
    int asked = 0;
    hooks.progress = [&](int done, int) { reported.push_back(done); };
    hooks.cancelRequested = [&] {
        ++asked;
        return false;
    };
    ASSERT_TRUE(Store(cine));
    EXPECT_EQ(asked, 100);
    ASSERT_GE(reported.size(), 30u);
    EXPECT_LE(reported.size(), 40u);  // every third frame: 60 ms apart
    EXPECT_EQ(reported.front(), 0);
    EXPECT_EQ(reported.back(), 100);
}

TEST_F(CineStoreTest, EscAtFrameTenLeavesNoFrameFolder) {
    FakeCine cine(100, 99);
    int asked = 0;
    hooks.cancelRequested = [&] { return ++asked == 10; };
    CineStoreResult result;
    EXPECT_FALSE(Store(cine, &result));
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.frames, 9);  // frame 10 was never written
    EXPECT_TRUE(boxes.shown().empty());
    ExpectNoFrameFolder();
    EXPECT_TRUE(exam.storedNames.empty());
    // The record stays and its id is not reused.
    EXPECT_EQ(LastId(), 1u);
    NextSecond();
    hooks.cancelRequested = nullptr;
    ASSERT_TRUE(Store(cine));
    EXPECT_EQ(LastId(), 2u);
}

TEST_F(CineStoreTest, AFaultAtAnyStepGivesOneMessageAndNoFrameFolder) {
    const std::string s = kStamp;
    struct Case {
        std::string failing;
        const char* message;
        uint64_t idAfter;
    };
    const Case cases[] = {
        {s + ".xml", archive::kMsgInfoWriteError, 0},  {"PATIENT", archive::kMsgInfoWriteError, 0},
        {"/001.bmp", archive::kMsgFileWriteError, 1},  {"/037.info", archive::kMsgFileWriteError, 1},
        {"/100.bmp", archive::kMsgFileWriteError, 1},  {s + ".cine.part", archive::kMsgFileWriteError, 1},
        {s + ".cine", archive::kMsgFileWriteError, 1},
    };
    // The records' failures carry the store's caption and the error icon; the frames' failures
    // the caption "Error" and no icon.
    FakeCine cine(100, 99);
    int patient = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        UsePatient(platform::Format("%04d", patient++));
        const size_t shown = boxes.shown().size();
        RecordWrites(c.failing == "PATIENT" ? who.patientId + ".xml" : c.failing);
        EXPECT_FALSE(Store(cine));
        platform::SetWriteFaultHook(nullptr);
        EXPECT_EQ(MessageTexts(shown), std::vector<std::string>{c.message});
        const bool records = std::string(c.message) == archive::kMsgInfoWriteError;
        EXPECT_EQ(boxes.shown().back().caption, records ? archive::kCaptionCineStore : "Error");
        EXPECT_EQ(boxes.shown().back().icon, records ? platform::MsgIcon::Error : platform::MsgIcon::None);
        ExpectNoFrameFolder();
        EXPECT_EQ(LastId(), c.idAfter);
        EXPECT_TRUE(exam.storedNames.empty());
    }
}

TEST_F(CineStoreTest, TooLittleFreeSpaceIsRefusedBeforeAnythingIsWritten) {
    FakeCine cine(512, 100);
    uint64_t asked = 0;
    hooks.freeSpace = [&](const std::string& folder, uint64_t& bytes) {
        EXPECT_EQ(folder, Folder());
        bytes = archive::CineStoreBytesNeeded(512) - 1;
        asked = bytes;
        return true;
    };
    EXPECT_FALSE(Store(cine));
    EXPECT_GT(asked, 512u * 231478u);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgDiskFull});
    EXPECT_EQ(Files(), std::vector<std::string>{"0001.xml"});
    EXPECT_EQ(LastId(), 0u);
}

TEST_F(CineStoreTest, RefusalsWithoutFrames) {
    FakeCine empty(0, 0);
    EXPECT_FALSE(Store(empty));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{archive::kMsgNoData});

    FakeCine cine(3, 2);
    ASSERT_TRUE(Store(cine));
    const size_t shown = boxes.shown().size();
    EXPECT_FALSE(Store(cine));  // the same second: silently refused
    EXPECT_EQ(boxes.shown().size(), shown);
    EXPECT_EQ(LastId(), 1u);

    who.patientId = "0009";
    EXPECT_FALSE(Store(cine));
    EXPECT_EQ(MessageTexts(shown), std::vector<std::string>{archive::kMsgFileNotFound});
}

}  // namespace
}  // namespace archivetest
