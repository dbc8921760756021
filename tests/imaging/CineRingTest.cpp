#include "imaging/CineRing.h"

#include <gtest/gtest.h>

#include "../support/TestSupport.h"
#include "imaging/ImageProc.h"

namespace {

void CommitFrames(CCineRing& ring, int n, uint8_t fill = 9) {
    const Image8 frame(480, 480, fill);
    for (int i = 0; i < n; ++i) {
        FrameRecord r;
        r.depth = 100 + i % 100;
        ring.Commit(frame, r, MLineSample{}, 0.0, r.depth);
    }
}

std::vector<std::string> Texts(const testsupport::MessageBoxRecorder& boxes) {
    std::vector<std::string> texts;
    for (const auto& b : boxes.shown())
        texts.push_back(b.text);
    return texts;
}

}  // namespace

TEST(CineRing, IndicesWrapAtFiveHundredAndTwelve) {
    CCineRing ring;
    CommitFrames(ring, 511);
    EXPECT_EQ(ring.GetCount(), 511);
    EXPECT_EQ(ring.GetWriteIndex(), 511);
    EXPECT_EQ(ring.GetCinePosition(), 511);
    CommitFrames(ring, 1);
    EXPECT_EQ(ring.GetWriteIndex(), 0);
    EXPECT_EQ(ring.GetCount(), 512);
    CommitFrames(ring, 1);
    EXPECT_EQ(ring.GetCount(), 513);
    EXPECT_EQ(ring.GetFrameCount(), 512);
    EXPECT_EQ(ring.GetNewestIndex(), 0);
    EXPECT_EQ(ring.GetCinePosition(), 512);  // the newest frame
    ASSERT_TRUE(ring.SetCurrentIndex(1));    // the oldest frame
    EXPECT_EQ(ring.GetCinePosition(), 1);
    EXPECT_FALSE(ring.SetCurrentIndex(512));

    ring.Reset(1);
    EXPECT_EQ(ring.GetCount(), 1);
    EXPECT_EQ(ring.GetWriteIndex(), 0);
    EXPECT_EQ(ring.CountAfterNextFrame(), 2);
}

TEST(CineRing, FrameIndicesOutsideTheRingAndSpecialFramesGiveNothing) {
    CCineRing ring;
    Image8 out;
    EXPECT_FALSE(ring.CopyFrame(-12, out));
    EXPECT_FALSE(ring.CopyFrame(512, out));
    EXPECT_FALSE(ring.GetFrameRecord(512).has_value());
    EXPECT_FALSE(ring.GetFrameRecord(-1).has_value());
    // Never written: black, full size.
    ASSERT_TRUE(ring.CopyFrame(kSpecialFrameB, out));
    EXPECT_EQ(out, Image8(480, 480, 0));
    ASSERT_TRUE(ring.CopyFrame(300, out));
    EXPECT_EQ(out, Image8(480, 480, 0));
}

TEST(CineRing, CommitKeepsTheMLineFirstRowOfTheLastFrameThatHadAPoint) {
    CCineRing ring;
    MLineSample with;
    with.hasPoint = true;
    with.firstRow = 12;
    with.column[0] = 77;
    ring.Commit(Image8(480, 480, 1), FrameRecord{}, with, 4.0, 120);
    ring.Commit(Image8(480, 480, 1), FrameRecord{}, MLineSample{}, 4.5, 130);
    const MLineRecord m = ring.GetMLine();
    EXPECT_EQ(m.firstRow, 12);
    EXPECT_EQ(m.column[0], 0);
    EXPECT_EQ(m.angleUsed, 4.5);
    EXPECT_EQ(m.depthUsed, 130);
}

TEST(CineRing, SlotsStoreAndRecallFramesWithTheirRecords) {
    CImageProc proc;
    CCineRing& ring = proc.Cine();
    CommitFrames(ring, 11, 40);
    FrameRecord stored;
    stored.depth = 77;
    stored.focus = 33;
    ASSERT_TRUE(ring.SetFrameRecord(4, stored));
    proc.CopyFrameSlot(4, 3, SlotDirection::Store, 2);  // side B, slot 3
    EXPECT_EQ(ring.GetSlotRecord(2, 3)->depth, 77);
    EXPECT_EQ(ring.GetSlotRecord(1, 3)->depth, 0);

    proc.CopyFrameSlot(10, 3, SlotDirection::Recall, 2);  // into ring frame 10
    EXPECT_EQ(ring.GetFrameRecord(10)->depth, 77);
    EXPECT_EQ(proc.GetDepth(), 77);
    EXPECT_EQ(proc.GetFocus(), 33);

    // Special frames: copied from the ring with their depth and focus; recalled into -10
    // they take the slot record's.
    proc.CopyFrameToSpecialSlot(4, 1);
    EXPECT_EQ(ring.GetSpecialDepth(1), 77);
    EXPECT_EQ(ring.GetSpecialFocus(1), 33);
    Image8 special;
    ASSERT_TRUE(ring.CopyFrame(kSpecialFrameB, special));
    EXPECT_EQ(special, Image8(480, 480, 40));
    proc.CopyFrameSlot(kSpecialFrameB, 0, SlotDirection::Store, 1);  // -11 always uses side B
    EXPECT_EQ(ring.GetSlotRecord(2, 0)->depth, 77);
    proc.CopyFrameSlot(kSpecialFrameA, 0, SlotDirection::Recall, 2);  // -10 uses side A: empty slot
    EXPECT_EQ(ring.GetSpecialDepth(0), 0);
}

// Negative indices used to reach memory before the arrays.
TEST(CineRing, BadIndicesShowTheirMessagesAndChangeNothing) {
    testsupport::MessageBoxRecorder boxes;
    CImageProc proc;
    CommitFrames(proc.Cine(), 2, 50);
    proc.CopyFrameSlot(-5, 0, SlotDirection::Store, 1);
    proc.CopyFrameSlot(512, 0, SlotDirection::Store, 1);
    proc.CopyFrameSlot(0, 7, SlotDirection::Store, 1);
    proc.CopyFrameSlot(0, -1, SlotDirection::Recall, 1);
    proc.CopyFrameToSpecialSlot(-4, 0);
    proc.CopyFrameToSpecialSlot(512, 0);
    proc.CopyFrameToSpecialSlot(0, 2);
    for (int ignored : {-1, -2, -3, -10, -11})
        proc.CopyFrameToSpecialSlot(ignored, 0);
    proc.SetFrameRecord(-1, FrameRecord{});
    proc.SetFrameRecord(512, FrameRecord{});
    proc.CopyFrameToReview(-1, Image8(480, 480, 1));
    proc.CopyFrameToReview(512, Image8(480, 480, 1));
    proc.CopyFrameToReview(0, Image8(240, 480, 1));
    EXPECT_EQ(Texts(boxes),
              (std::vector<std::string>{"bitmap idx Error", "bitmap idx Error", "bitmap info idx Error",
                                        "bitmap info idx Error", "bitmap idx Error", "bitmap idx Error",
                                        "bitmap info idx Error", "Size Error", "Size Error", "idx Error",
                                        "idx Error", "Size Error"}));
    for (const auto& b : boxes.shown())
        EXPECT_EQ(b.icon, platform::MsgIcon::Error);
    Image8 frame;
    ASSERT_TRUE(proc.Cine().CopyFrame(0, frame));
    EXPECT_EQ(frame, Image8(480, 480, 50));
}

TEST(CineRing, ReviewFramesAreCopiedInAndClearedToBlack) {
    CImageProc review;
    review.CopyFrameToReview(5, Image8(480, 480, 99));
    Image8 out;
    ASSERT_TRUE(review.Cine().CopyFrame(5, out));
    EXPECT_EQ(out, Image8(480, 480, 99));
    review.ClearReviewFrames();
    ASSERT_TRUE(review.Cine().CopyFrame(5, out));
    EXPECT_EQ(out, Image8(480, 480, 0));
    EXPECT_EQ(review.Cine().GetCount(), 0);
}
