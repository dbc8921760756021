#include "probe/RawBuf.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/EventHub.h"
#include "probe/RcvQueue.h"

TEST(RowTable, RowsFollowTheRowPointersInOneZeroedBlock) {
    uint8_t** table = AllocRowTable(4, 10);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(table + 4), table[0]);  // samples right behind the pointers
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(table[i], table[0] + i * 10);
        for (int s = 0; s < 10; ++s)
            EXPECT_EQ(table[i][s], 0);
    }
    FreeRowTable(table);

    double** doubles = AllocRowTableOf<double>(3, 5);
    ASSERT_NE(doubles, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(doubles[0]) % alignof(double), 0u);
    FreeRowTable(doubles);

    EXPECT_EQ(AllocRowTable(0, 10), nullptr);
    EXPECT_EQ(AllocRowTableOf<double>(SIZE_MAX / 4, SIZE_MAX / 4), nullptr);  // size overflows
}

TEST(RawBuf, ClearZeroesSamplesStateAndStamps) {
    CRawBuf buffer(1024, 128);
    ASSERT_TRUE(buffer.IsUsable());
    buffer.Line(127)[1023] = 9;
    buffer.Line(0)[0] = 7;
    buffer.m_nState = RawBufComplete;
    buffer.m_nDepth = 225;
    buffer.m_nFocus = 60;
    buffer.m_nFreqMode = 3;
    buffer.m_fTemperature = 30.5f;
    buffer.Clear();
    EXPECT_EQ(buffer.Line(127)[1023], 0);
    EXPECT_EQ(buffer.Line(0)[0], 0);
    EXPECT_EQ(buffer.m_nState, RawBufCleared);
    EXPECT_EQ(buffer.m_nDepth, 0);
    EXPECT_EQ(buffer.m_nFocus, 0);
    EXPECT_EQ(buffer.m_nFreqMode, 0);
    EXPECT_EQ(buffer.m_fTemperature, 0.0f);
}

TEST(RawBuf, ABufferWhoseRowsCannotBeHadIsUnusableAndSafeToClear) {
    CRawBuf buffer(0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_FALSE(buffer.IsUsable());
    EXPECT_EQ(buffer.BytesPerLine(), 0u);
    EXPECT_EQ(buffer.LineCount(), 0u);
    buffer.m_nState = RawBufComplete;
    buffer.Clear();
    EXPECT_EQ(buffer.m_nState, RawBufCleared);
}

TEST(RawBuf, EveryStateRoutesToItsList) {
    const struct {
        int state;
        RawBufRoute route;
    } cases[] = {
        {RawBufCleared, RawBufRoute::ToFreeList},
        {RawBufTaken, RawBufRoute::Ignore},
        {RawBufComplete, RawBufRoute::ToImageQueue},
        {RawBufUnused, RawBufRoute::Ignore},
        {RawBufConsumed, RawBufRoute::ToFreeList},
        {RawBufDropped, RawBufRoute::Ignore},
        {-1, RawBufRoute::Ignore},
        {6, RawBufRoute::Ignore},
    };
    CRawBuf buffer(8, 2);
    for (const auto& c : cases) {
        buffer.m_nState = c.state;
        EXPECT_EQ(RouteOf(buffer), c.route) << c.state;
    }
}

namespace {
std::vector<CRawBuf*> g_published;
void Record(void* payload) {
    g_published.push_back(static_cast<CRawBuf*>(payload));
}
}  // namespace

TEST(RawBuf, PublishingHandsTheBufferToEveryRawFrameSubscriber) {
    CRawBuf buffer(8, 2);
    g_published.clear();
    CEventHub::GetInstance().Subscribe(EventKindRawFrame, Record);
    PublishRawBuf(&buffer);
    CEventHub::GetInstance().Unsubscribe(EventKindRawFrame, Record);
    PublishRawBuf(&buffer);
    EXPECT_EQ(g_published, (std::vector<CRawBuf*>{&buffer}));
}

TEST(RcvQueue, FirstInFirstOutAndNeverOwnsItsBuffers) {
    CRawBuf a(8, 2), b(8, 2), c(8, 2);
    CRcvQueue queue;
    EXPECT_EQ(queue.RemoveHeadLocked(), nullptr);
    queue.AddTailLocked(&a);
    queue.AddTailLocked(&b);
    queue.AddTailLocked(&c);
    EXPECT_EQ(queue.GetCountLocked(), 3u);
    EXPECT_TRUE(queue.ContainsLocked(&b));
    EXPECT_EQ(queue.RemoveHeadLocked(), &a);
    EXPECT_EQ(queue.RemoveAllLocked(), 2u);
    EXPECT_EQ(queue.RemoveHeadLocked(), nullptr);
    EXPECT_FALSE(queue.ContainsLocked(&b));
}
