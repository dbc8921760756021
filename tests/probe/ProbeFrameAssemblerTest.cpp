// The frame pool and the frame assembler's packet logic, fed packet by packet without a device.
#include <gtest/gtest.h>

#include <vector>

#include "probe/ProbeEnhance.h"
#include "probe/ProbeFrameAssembler.h"
#include "probe/ProbeFramePool.h"

namespace {

class FramePoolTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ProbeFramePoolInit(pool)); }
    void TearDown() override { ProbeFramePoolFree(pool); }
    ProbeFramePool pool;
};

// Packets as the probe sends them: amplitude 10^((v + 100) / 70) compresses to v on a convex
// probe.
class Packets {
public:
    ProbeStreamPacket Header(uint8_t sequence, uint16_t flags = kProbeFrameFlagType1,
                             uint16_t depth = 150) const {
        ProbeStreamPacket p;
        p.Clear();
        p.SetMagic(kProbePacketMagic);
        p.SetKindAndSequence(kProbePacketKindHeader, sequence);
        p.SetFlags(flags);
        p.SetDeviceByte(2);
        p.SetDepthMm(depth);
        p.SetDeviceWord1(100);
        p.SetDeviceWord2(4711);
        for (int i = 0; i < kProbeHeaderFloatCount; ++i)
            p.SetHeaderFloat(i, 0.5f * static_cast<float>(i));
        p.SetTemperature(31.25f);
        return p;
    }
    ProbeStreamPacket Line(uint8_t sequence, int line, float amplitude = 1000.0f) const {
        ProbeStreamPacket p;
        p.Clear();
        p.SetMagic(kProbePacketMagic);
        p.SetKindAndSequence(kProbePacketKindLine, sequence);
        p.SetLineNumber(static_cast<uint8_t>(line));
        for (int s = 0; s < kProbeSamplesPerLine; ++s)
            p.SetSample(s, amplitude);
        return p;
    }
};

class AssemblerTest : public FramePoolTest {
protected:
    bool Feed(const ProbeStreamPacket& p) {
        return assembler.ProcessPacket(p.bytes, pool, false, kConvexCompression);
    }
    // A header and its lines, leaving out `skip`; how many frames came out.
    int FeedFrame(uint8_t sequence, int skip = -1, uint16_t flags = kProbeFrameFlagType1) {
        int produced = Feed(packets.Header(sequence, flags)) ? 1 : 0;
        for (int l = 0; l < kProbeLinesPerFrame; ++l) {
            if (l != skip)
                produced += Feed(packets.Line(sequence, l)) ? 1 : 0;
        }
        return produced;
    }
    ProbeFrameAssembler assembler;
    Packets packets;
};

}  // namespace

TEST_F(FramePoolTest, SlotsAndImagesRunOutAndComeBack) {
    std::vector<ProbeFrameSlot*> images;
    for (int i = 0; i < ProbeFramePool::kImages; ++i) {
        images.push_back(ProbeFramePoolAcquire(pool, 1 + i % 2));
        ASSERT_NE(images.back(), nullptr);
        EXPECT_EQ(images.back()->imageIndex, i);  // searched from index 0
    }
    EXPECT_EQ(ProbeFramePoolAcquire(pool, 1), nullptr);  // no image left
    ProbeFrameSlot* headerOnly = ProbeFramePoolAcquire(pool, 0);
    ASSERT_NE(headerOnly, nullptr);  // a slot without image still is
    EXPECT_EQ(headerOnly->image, nullptr);
    EXPECT_EQ(ProbeFramePoolAcquire(pool, 3), nullptr);
    EXPECT_EQ(ProbeFramePoolAcquire(pool, -1), nullptr);

    ProbeFramePoolRelease(pool, images[3]);
    ProbeFrameSlot* again = ProbeFramePoolAcquire(pool, 2);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->imageIndex, 3);

    for (int i = 0; i < ProbeFramePool::kSlots - ProbeFramePool::kImages - 1; ++i)
        ASSERT_NE(ProbeFramePoolAcquire(pool, 0), nullptr);
    EXPECT_EQ(ProbeFramePoolAcquire(pool, 0), nullptr);  // all 64 slots taken
    ProbeFramePoolReset(pool);
    EXPECT_NE(ProbeFramePoolAcquire(pool, 1), nullptr);
}

TEST_F(FramePoolTest, TheFifoKeepsOrderAndRefusesSlotsNotInUse) {
    ProbeFrameSlot* a = ProbeFramePoolAcquire(pool, 0);
    ProbeFrameSlot* b = ProbeFramePoolAcquire(pool, 1);
    ASSERT_TRUE(ProbeFrameQueuePush(pool, a));
    ASSERT_TRUE(ProbeFrameQueuePush(pool, b));
    ProbeFrameSlot stranger;
    EXPECT_FALSE(ProbeFrameQueuePush(pool, &stranger));
    EXPECT_FALSE(ProbeFrameQueuePush(pool, nullptr));
    EXPECT_EQ(ProbeFrameQueuePop(pool), a);
    ProbeFramePoolRelease(pool, a);
    EXPECT_FALSE(ProbeFrameQueuePush(pool, a));  // released: no longer in use
    EXPECT_EQ(ProbeFrameQueuePop(pool), b);
    EXPECT_EQ(ProbeFrameQueuePop(pool), nullptr);
}

TEST_F(FramePoolTest, NothingIsHandedOutBeforeSetUpOrAfterRelease) {
    ProbeFramePoolFree(pool);
    EXPECT_EQ(ProbeFramePoolAcquire(pool, 0), nullptr);
    EXPECT_EQ(ProbeFrameQueuePop(pool), nullptr);
}

TEST_F(AssemblerTest, A128LineFrameCarriesItsHeaderAndCompressedImage) {
    ProbeSetImageFilter(0);  // the compressed values as they are
    ASSERT_EQ(FeedFrame(5), 1);
    ProbeFrameSlot* slot = ProbeFrameQueuePop(pool);
    ASSERT_NE(slot, nullptr);
    const ProbeFrameHeader& h = slot->header;
    EXPECT_EQ(h.frameType, 1);
    EXPECT_EQ(h.deviceByte, 2);
    EXPECT_EQ(h.depthMm, 150);
    EXPECT_EQ(h.deviceWord1, 100);
    EXPECT_EQ(h.deviceWord2, 4711);
    EXPECT_EQ(h.headerFloats[5], 2.5f);
    EXPECT_EQ(h.temperature, 31.25f);
    for (size_t i = 0; i < kProbeFrameImageBytes; i += 997)
        ASSERT_EQ(slot->image[i], 110);  // 3 x 70 - 100
    EXPECT_EQ(assembler.framesProduced.load(), 1u);
    ProbeSetImageFilter(1);
}

TEST_F(AssemblerTest, FrameTypeFollowsTheHeaderFlags) {
    ASSERT_EQ(FeedFrame(1, -1, kProbeFrameFlagType2), 1);
    EXPECT_EQ(ProbeFrameQueuePop(pool)->header.frameType, 2);
    ASSERT_EQ(FeedFrame(2, -1, kProbeFrameFlagType1 | kProbeFrameFlagType2), 1);
    EXPECT_EQ(ProbeFrameQueuePop(pool)->header.frameType, 1);
}

TEST_F(AssemblerTest, AHeaderWithoutFlagsIsAFrameOfItsOwn) {
    EXPECT_TRUE(Feed(packets.Header(3, 0)));
    ProbeFrameSlot* slot = ProbeFrameQueuePop(pool);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->header.frameType, 0);
    EXPECT_EQ(slot->image, nullptr);
    // Its sequence's lines are not a frame.
    for (int l = 0; l < kProbeLinesPerFrame; ++l)
        EXPECT_FALSE(Feed(packets.Line(3, l)));
}

TEST_F(AssemblerTest, AMissingLineLosesTheFrameAndTheNextHeaderStartsOver) {
    EXPECT_EQ(FeedFrame(1, 57), 0);  // lines 58..127 ignored
    EXPECT_EQ(assembler.packetsIgnored.load(), 70u);
    EXPECT_EQ(FeedFrame(2), 1);
    EXPECT_EQ(ProbeFrameQueuePop(pool)->header.frameType, 1);
    EXPECT_EQ(ProbeFrameQueuePop(pool), nullptr);
}

TEST_F(AssemblerTest, PacketsThatFailACheckAreIgnored) {
    Feed(packets.Header(4));
    ProbeStreamPacket wrongSequence = packets.Line(5, 0);
    ProbeStreamPacket badMagic = packets.Line(4, 0);
    badMagic.SetMagic(0x0BAD);
    ProbeStreamPacket unknownKind = packets.Line(4, 0);
    unknownKind.SetKindAndSequence(0x3, 4);
    ProbeStreamPacket beyondTheFrame = packets.Line(4, 0);
    beyondTheFrame.SetLineNumber(200);
    for (const ProbeStreamPacket* p : {&wrongSequence, &badMagic, &unknownKind, &beyondTheFrame})
        EXPECT_FALSE(Feed(*p));
    EXPECT_EQ(assembler.packetsIgnored.load(), 4u);
    // The frame goes on from line 0, and a repeated line does not break it.
    int produced = 0;
    for (int l = 0; l < kProbeLinesPerFrame; ++l) {
        produced += Feed(packets.Line(4, l)) ? 1 : 0;
        if (l == 30)
            produced += Feed(packets.Line(4, l)) ? 1 : 0;
    }
    EXPECT_EQ(produced, 1);
}

TEST_F(AssemblerTest, LinesBeforeAnyHeaderAndAfterTheFrameAreIgnored) {
    EXPECT_FALSE(Feed(packets.Line(0, 0)));
    ASSERT_EQ(FeedFrame(0), 1);
    EXPECT_FALSE(Feed(packets.Line(0, 0)));
    assembler.Reset();
    EXPECT_FALSE(Feed(packets.Line(0, 0)));
}

TEST_F(AssemblerTest, AFullPoolLosesTheFrame) {
    for (int i = 0; i < ProbeFramePool::kImages; ++i)
        ASSERT_EQ(FeedFrame(static_cast<uint8_t>(i)), 1);
    EXPECT_EQ(FeedFrame(8), 0);  // nobody took a frame: eight images wait
    EXPECT_EQ(assembler.framesLost.load(), 1u);
    ProbeFramePoolRelease(pool, ProbeFrameQueuePop(pool));
    EXPECT_EQ(FeedFrame(9), 1);
}
