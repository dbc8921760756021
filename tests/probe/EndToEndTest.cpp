// The whole road of a live frame, headless: the simulated probe, the bridge library, the USB
// module's reader and assembler threads, the driver, the raw frame buffers, the image thread
// and the cine. The test plays the main window: it opens the probe, sets up imaging, starts
// and stops streaming, and at the end every buffer is back where it started.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>

#include "ProbeLinkFixture.h"
#include "imaging/ImageProc.h"
#include "platform/UiThread.h"
#include "probe/OpenProbe.h"
#include "probe/ProbeDataUM716C.h"

using namespace probetest;

namespace {

// The user-interface thread's queue, which the test runs while waiting for frame notices.
class UiQueue : public platform::IUiDispatcher {
public:
    void Post(std::function<void()> work) override {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(work));
        }
        cv_.notify_all();
    }
    void Pump() override { RunPending(); }
    void RunPending() {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty())
                    return;
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }
    // Runs posted work until `done` holds, looking again at least every 10 ms as the main
    // window's freeze does for states nobody posts; false after the time-out.
    bool RunUntil(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            RunPending();
            if (done())
                return true;
            const auto now = std::chrono::steady_clock::now();
            if (now > deadline)
                return false;
            std::unique_lock lock(mutex_);
            cv_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(10)),
                           [&] { return !queue_.empty(); });
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
};

// The main window's part: the live image processor and its thread, the five raw frame buffers,
// and the imaging set-up for a probe that opened.
class MainWindowDouble : public IProbeHost {
public:
    MainWindowDouble() {
        proc.SetFrameNotify([this](int slot) { notices.push_back(slot); });
        router.onComplete = [this](CRawBuf* b) { proc.QueueRawBuffer(b); };
    }

    void* GetWindowHandle() override { return this; }
    bool HasLiveImageProcessor() override { return true; }
    ProbeIdentity GetRememberedProbeIdentity() override { return identity; }
    bool IsProbeLost() override { return false; }
    void WaitImageThreadIdle() override { proc.WaitIdle(); }

    bool InitProbeImaging() override {
        IProbeData* probe = g_pProbe.load();
        if (!probe)
            return false;
        // Five buffers of the probe's size, cleared and handed to the probe.
        proc.ClearInputQueue();
        if (buffers.empty()) {
            for (int i = 0; i < 5; ++i)
                buffers.push_back(std::make_unique<CRawBuf>(probe->GetSamplesPerLine(), probe->GetLineCount()));
        }
        for (auto& b : buffers) {
            b->Clear();
            PublishRawBuf(b.get());
        }
        int type = 0;
        probe->GetProbeType(&type);
        proc.SetProbeGeometry(ConvexProbeGeometry(type, probe->GetSamplesPerLine(), probe->GetLineCount(),
                                                  probe->GetScanParam(), probe->GetScanFlag(),
                                                  probe->GetFieldOfView(), probe->GetConvexRadius(),
                                                  probe->GetMinDepth(), probe->GetMaxDepth()));
        proc.SetDepth(150);
        identity = {probe->GetHardwareId(), probe->GetVersionB(), probe->GetVersionA()};
        return probe->SetDepth(150) && probe->SetFocus(100);
    }

    // Unfreeze and freeze as the main window does them.
    void Unfreeze() {
        IProbeData* probe = g_pProbe.load();
        probe->SetLastReceiveTime(0);
        ASSERT_EQ(probe->StartStreaming(), 1);
        probe->SetScanState(ProbeScanLive);
    }
    void Freeze() {
        IProbeData* probe = g_pProbe.load();
        probe->SetScanState(ProbeScanStopRequested);
        // The watch thread stops the stream.
        ASSERT_TRUE(ui.RunUntil([&] { return probe->GetScanState() == ProbeScanStopped; }));
        ASSERT_TRUE(proc.WaitIdle());
        ui.RunPending();
    }

    RawFrameRouter router;  // before the processor: outlives its thread
    CImageProc proc;
    UiQueue ui;
    std::vector<std::unique_ptr<CRawBuf>> buffers;
    std::vector<int> notices;
    ProbeIdentity identity;
};

class EndToEnd : public ProbeLinkTest {
protected:
    void SetUp() override {
        ProbeLinkTest::SetUp();
        platform::SetUiDispatcher(&main.ui);
        ASSERT_TRUE(main.proc.StartImageThread());
    }
    void TearDown() override {
        ShutdownProbe(&main);
        main.proc.StopImageThread();
        platform::SetUiDispatcher(nullptr);
        ProbeLinkTest::TearDown();
    }

    CProbeDataUM716C& Driver() { return *static_cast<CProbeDataUM716C*>(g_pProbe.load()); }

    // Every buffer is with the probe again: in its free list or its current fill buffer, cleared
    // or consumed, once each; none queued, none dropped.
    void ExpectEveryBufferBack() {
        CProbeDataUM716C& probe = Driver();
        EXPECT_EQ(main.proc.GetQueuedCount(), 0u);
        size_t withProbe = 0;
        for (const auto& b : main.buffers) {
            const bool listed = probe.HasFreeBuffer(b.get());
            const bool filling = probe.GetCurrentBuffer() == b.get();
            EXPECT_NE(listed, filling) << "a buffer is in the free list and being filled, or lost";
            withProbe += listed || filling;
            EXPECT_TRUE(b->m_nState == RawBufCleared || b->m_nState == RawBufConsumed) << b->m_nState;
        }
        EXPECT_EQ(withProbe, main.buffers.size());
        EXPECT_EQ(probe.GetFreeBufferCount() + (probe.GetCurrentBuffer() ? 1 : 0), main.buffers.size());
    }

    MainWindowDouble main;
};

}  // namespace

TEST_F(EndToEnd, SteppedFramesReachTheCineAndEveryBufferComesBack) {
    Attach();
    ASSERT_TRUE(OpenProbe(&main));
    EXPECT_EQ(Driver().GetFreeBufferCount(), 5u);
    constexpr int kFrames = 40;
    for (int run = 0; run < 2; ++run) {  // unfreeze and freeze twice: the stream threads start again
        main.Unfreeze();
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_EQ(Sim().StepFrames(1), 1);
            const size_t want = static_cast<size_t>(run * kFrames + i + 1);
            ASSERT_TRUE(main.ui.RunUntil([&] { return main.notices.size() >= want; })) << "frame " << want;
        }
        main.Freeze();
        EXPECT_FALSE(UsbProbeIsRunning());
        ExpectEveryBufferBack();
    }
    ASSERT_EQ(main.notices.size(), 2u * kFrames);
    for (int i = 0; i < 2 * kFrames; ++i)
        ASSERT_EQ(main.notices[i], i);  // cine slots in order, none skipped
    EXPECT_EQ(main.proc.GetFrameCount(), 2 * kFrames);
    const FrameRecord record = *main.proc.GetFrameRecord(2 * kFrames - 1);
    EXPECT_EQ(record.depth, 150);
    EXPECT_EQ(record.focus, 100);
    EXPECT_GT(record.temperature, 30.0f);
    Image8 frame;
    ASSERT_TRUE(main.proc.GetFrameBitmap(2 * kFrames - 1, frame));
    size_t lit = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x)
            lit += frame.At(x, y) > 40;
    }
    EXPECT_GT(lit, 10000u);  // the phantom, not an empty sector
    EXPECT_EQ(Driver().GetLostFrameCount(), 0u);
    EXPECT_EQ(UsbProbeGetStreamStats().framesLost, 0u);
    EXPECT_EQ(Sim().State().pendingReads, 0u);
    EXPECT_EQ(Sim().State().packetsDropped, 0u);
}

// As fast as the simulator can send: frames may be lost when the image thread falls behind
// (on a slow or instrumented build), but the buffers always find their way back.
TEST_F(EndToEnd, UnpacedFramesKeepTheBuffersCirculating) {
    sim::SimOptions o;
    o.pacing = sim::SimPacing::Unpaced;
    Attach(o);
    ASSERT_TRUE(OpenProbe(&main));
    main.Unfreeze();
    ASSERT_TRUE(main.ui.RunUntil([&] { return main.notices.size() >= 200; }));
    main.Freeze();
    ExpectEveryBufferBack();
    for (size_t i = 0; i < main.notices.size(); ++i)
        ASSERT_EQ(main.notices[i], static_cast<int>(i % 512));
    EXPECT_EQ(Sim().State().pendingReads, 0u);
}

TEST_F(EndToEnd, ShuttingDownWhileLiveEndsEveryThread) {
    sim::SimOptions o;
    o.pacing = sim::SimPacing::Unpaced;
    Attach(o);
    ASSERT_TRUE(OpenProbe(&main));
    main.Unfreeze();
    ASSERT_TRUE(main.ui.RunUntil([&] { return main.notices.size() >= 20; }));
    ShutdownProbe(&main);  // without a freeze first
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_EQ(g_pProbeThread, nullptr);
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_FALSE(UsbProbeIsOpen());
    EXPECT_TRUE(main.proc.WaitIdle());
    EXPECT_EQ(main.proc.GetQueuedCount(), 0u);
}
