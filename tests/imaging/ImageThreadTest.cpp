// The image thread with real threads: buffer circulation between a producer and the image
// thread, the freeze drain, dropped and refused buffers, the frame notices and the fatal
// cache error. The test plays the main window's raw-frame callback.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "../support/TestSupport.h"
#include "ThreadStartFault.h"
#include "common/EventHub.h"
#include "imaging/ImageProc.h"
#include "imaging/ProcessExit.h"
#include "platform/UiThread.h"
#include "probe/RawBuf.h"
#include "probe/RcvQueue.h"

namespace {

// The main window's side of the hand-off: complete buffers go to the live processor,
// cleared and consumed ones back to the probe's free list.
struct FakeMainWindow {
    CImageProc* proc = nullptr;
    CRcvQueue freeList;
    platform::Event returned{platform::Event::Reset::Auto};
    std::atomic<int> dropped{0};
};
FakeMainWindow* g_main = nullptr;

void OnRawBufferEvent(void* payload) {
    auto* buffer = static_cast<CRawBuf*>(payload);
    if (!buffer || !g_main)
        return;
    switch (RouteOf(*buffer)) {
        case RawBufRoute::ToImageQueue:
            g_main->proc->QueueRawBuffer(buffer);
            break;
        case RawBufRoute::ToFreeList:
            g_main->freeList.AddTailLocked(buffer);
            g_main->returned.Set();
            break;
        case RawBufRoute::Ignore:
            if (buffer->m_nState == RawBufDropped)
                ++g_main->dropped;
            break;
    }
}

class ImageThread : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUiDispatcher(&ui);
        proc = std::make_unique<CImageProc>();
        proc->SetProbeGeometry(
            ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 60.0, 60.0, 70.0, 240.0));
        proc->SetFrameNotify([this](int slot) { notices.push_back(slot); });
        main.proc = proc.get();
        g_main = &main;
        CEventHub::GetInstance().Subscribe(EventKindRawFrame, OnRawBufferEvent);
        for (int i = 0; i < 5; ++i) {
            buffers.push_back(std::make_unique<CRawBuf>(1024, 128));
            buffers.back()->Clear();
            PublishRawBuf(buffers.back().get());  // state 0: into the free list
        }
    }
    void TearDown() override {
        proc->StopImageThread();
        CEventHub::GetInstance().Unsubscribe(EventKindRawFrame, OnRawBufferEvent);
        g_main = nullptr;
        platform::SetUiDispatcher(nullptr);
    }

    // What the probe driver does with a frame: take a free buffer, fill and stamp it, publish
    // it complete.
    CRawBuf* Produce(int depth, uint8_t value) {
        CRawBuf* buffer = main.freeList.RemoveHeadLocked();
        if (!buffer)
            return nullptr;
        std::memset(buffer->Line(0), value, 128 * 1024);
        buffer->m_nDepth = depth;
        buffer->m_nFocus = 60;
        buffer->m_nFreqMode = 2;
        buffer->m_fTemperature = 31.5f;
        buffer->m_nState = RawBufComplete;
        PublishRawBuf(buffer);
        return buffer;
    }

    platform::QueuedUiDispatcher ui;
    std::unique_ptr<CImageProc> proc;
    FakeMainWindow main;
    std::vector<std::unique_ptr<CRawBuf>> buffers;
    std::vector<int> notices;
};

}  // namespace

TEST_F(ImageThread, FiveBuffersCycledManyTimesEndWhereTheyStarted) {
    ASSERT_EQ(main.freeList.GetCountLocked(), 5u);
    ASSERT_TRUE(proc->StartImageThread());
    constexpr int kFrames = 120;
    std::thread probe([&] {
        for (int n = 0; n < kFrames;) {
            if (Produce(225, static_cast<uint8_t>(n))) {
                ++n;
            } else {
                main.returned.Wait();  // all five are with the image thread
            }
        }
    });
    probe.join();
    ASSERT_TRUE(proc->WaitIdle());

    EXPECT_EQ(main.freeList.GetCountLocked(), 5u);
    for (const auto& b : buffers) {
        EXPECT_TRUE(main.freeList.ContainsLocked(b.get()));
        EXPECT_EQ(b->m_nState, RawBufConsumed);
    }
    EXPECT_EQ(proc->GetQueuedCount(), 0u);
    EXPECT_EQ(main.dropped.load(), 0);
    // The frames came while the UI thread ran nothing: one notice waits, with the newest slot.
    EXPECT_EQ(ui.RunPending(), 1);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], (kFrames - 1) % 512);
    EXPECT_EQ(proc->Cine().GetCount(), kFrames);
}

TEST_F(ImageThread, WaitIdleDrainsTheQueueSoAFrozenCineStaysPut) {
    ASSERT_TRUE(proc->StartImageThread());
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(Produce(225, 80), nullptr);
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_EQ(proc->GetQueuedCount(), 0u);
    EXPECT_EQ(proc->Cine().GetCount(), 3);
    EXPECT_EQ(proc->Cine().GetCurrentIndex(), 2);
    EXPECT_EQ(main.freeList.GetCountLocked(), 5u);  // every buffer is back with the probe
    proc->Cine().SetCurrentIndex(0);                // the user steps back: nothing moves it any more
    EXPECT_EQ(ui.RunPending(), 1);                  // one notice for the three frames
    EXPECT_EQ(proc->Cine().GetCurrentIndex(), 0);
}

TEST_F(ImageThread, BuffersQueuedBeforeTheThreadWakesAreConvertedInOrder) {
    CRawBuf* first = Produce(225, 10);
    CRawBuf* second = Produce(180, 20);
    ASSERT_EQ(proc->GetQueuedCount(), 2u);
    ASSERT_TRUE(proc->StartImageThread());
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_EQ(first->m_nState, RawBufConsumed);
    EXPECT_EQ(second->m_nState, RawBufConsumed);
    EXPECT_EQ(proc->Cine().GetFrameRecord(0)->depth, 225);
    EXPECT_EQ(proc->Cine().GetFrameRecord(1)->depth, 180);
    ui.RunPending();
    EXPECT_EQ(notices, (std::vector<int>{1}));  // one notice, with the newest slot
}

// A frame converted while the waiting notice is being delivered must bring a notice of its
// own: otherwise the window shows the older frame until yet another one comes.
TEST_F(ImageThread, AFrameDuringTheNoticeDeliveryIsNoticedToo) {
    bool produced = false;
    proc->SetFrameNotify([this, &produced](int slot) {
        notices.push_back(slot);
        if (produced)
            return;
        produced = true;
        ASSERT_NE(Produce(225, 30), nullptr);
        ASSERT_TRUE(proc->WaitIdle()) << "the second frame converted";
    });
    ASSERT_TRUE(proc->StartImageThread());
    ASSERT_NE(Produce(225, 10), nullptr);
    ASSERT_TRUE(proc->WaitIdle());
    ui.RunPending();
    ui.RunPending();
    EXPECT_EQ(notices, (std::vector<int>{0, 1}));
}

TEST_F(ImageThread, RecordsTheBufferStampsAndTheProcessorValues) {
    testsupport::FakeClock clock;
    proc->SetGain(61);
    proc->SetContrast(77);
    proc->SetGamma(1.4);
    Produce(150, 90);
    proc->StartImageThread();
    ASSERT_TRUE(proc->WaitIdle());
    const FrameRecord r = *proc->Cine().GetFrameRecord(0);
    EXPECT_EQ(r.time, platform::MicrosToLocal(clock.UtcMicros()));
    EXPECT_EQ(r.depth, 150);
    EXPECT_EQ(r.focus, 60);
    EXPECT_EQ(r.freq_mode, 2);
    EXPECT_EQ(r.temperature, 31.5f);
    EXPECT_EQ(r.gain, 61);
    EXPECT_EQ(r.contrast, 77);
    EXPECT_EQ(r.gamma, 1.4);
}

TEST_F(ImageThread, BuffersInTheWrongStateAreDroppedAndBadDepthsHandedBack) {
    CRawBuf* stale = main.freeList.RemoveHeadLocked();
    stale->m_nState = RawBufConsumed;
    proc->QueueRawBuffer(stale);  // a consumed buffer must never be converted twice
    // A depth outside 20..240 mm would hang the scale: refused, but back to the probe.
    for (int depth : {-1, 0, 19, 241})
        ASSERT_NE(Produce(depth, 100), nullptr);
    proc->StartImageThread();
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_EQ(stale->m_nState, RawBufDropped);
    EXPECT_FALSE(main.freeList.ContainsLocked(stale));
    EXPECT_EQ(main.dropped.load(), 1);
    EXPECT_EQ(main.freeList.GetCountLocked(), 4u);
    EXPECT_EQ(proc->Cine().GetCount(), 0);
    EXPECT_EQ(ui.RunPending(), 0);
}

TEST_F(ImageThread, AnImageTallerThanTheCachesEndsTheProcessFromTheUiThread) {
    testsupport::MessageBoxRecorder boxes;
    std::vector<int> exits;
    SetProcessExitHandler([&](int code) { exits.push_back(code); });
    proc->StartImageThread();
    Produce(20, 100);  // convex, radius 60 mm, at 20 mm: the image would end at row 1881
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_TRUE(boxes.shown().empty());  // nothing shown from the image thread
    EXPECT_EQ(proc->Cine().GetCount(), 0);

    Produce(225, 100);  // nothing more is converted after the fatal error
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_EQ(proc->Cine().GetCount(), 0);

    EXPECT_EQ(ui.RunPending(), 1);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "RAWADDRCACHE size over Error");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Error);
    EXPECT_EQ(boxes.shown()[1].text, "addr_cache_ymax=1882");
    EXPECT_EQ(exits, (std::vector<int>{0}));
    SetProcessExitHandler(nullptr);
}

TEST_F(ImageThread, StopEndsTheThreadAndWaitIdleThenReturnsAtOnce) {
    ASSERT_TRUE(proc->StartImageThread());
    EXPECT_TRUE(proc->IsImageThreadRunning());
    proc->StopImageThread();
    EXPECT_FALSE(proc->IsImageThreadRunning());
    Produce(225, 1);  // queued with no thread to take it
    EXPECT_TRUE(proc->WaitIdle(0));
    EXPECT_EQ(proc->ClearInputQueue(), 1u);
    EXPECT_EQ(ImageThreadProc(nullptr), 0);

    // Started again, the thread serves frames (no quit left over from the stop).
    ASSERT_TRUE(proc->StartImageThread());
    Produce(225, 1);
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_EQ(proc->Cine().GetCount(), 1);
}

// A thread the system cannot start leaves nothing that claims to run: a freeze does not wait
// for it, and a later start works.
TEST_F(ImageThread, AThreadThatCannotStartIsNotTakenForRunning) {
    testsupport::FailNextThreadStart();
    EXPECT_FALSE(proc->StartImageThread());
    EXPECT_FALSE(proc->IsImageThreadRunning());
    Produce(225, 1);
    EXPECT_TRUE(proc->WaitIdle(0));
    ASSERT_TRUE(proc->StartImageThread());
    ASSERT_TRUE(proc->WaitIdle());
    EXPECT_EQ(proc->Cine().GetCount(), 1);
}
