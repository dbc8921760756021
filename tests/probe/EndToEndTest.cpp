// The whole road of a live frame, headless: the simulated probe, the bridge library, the USB
// module's reader and assembler threads, the driver, the raw frame buffers, the image thread
// and the cine. The test plays the main window: it opens the probe, sets up imaging, starts
// and stops streaming, and at the end every buffer is back where it started.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "HeadlessMainWindow.h"
#include "ProbeLinkFixture.h"
#include "probe/ProbeDataUM716C.h"

using namespace probetest;

namespace {

class EndToEnd : public ProbeLinkTest {
protected:
    void SetUp() override {
        ProbeLinkTest::SetUp();
        platform::SetUiDispatcher(&main.ui);
        main.proc.SetFrameNotify([this](int slot) { notices.push_back(slot); });
        ASSERT_TRUE(main.proc.StartImageThread());
    }
    void TearDown() override {
        ShutdownProbe(&main);
        main.proc.StopImageThread();
        platform::SetUiDispatcher(nullptr);
        ProbeLinkTest::TearDown();
    }

    // The probe opened on the unpaced simulator, streaming live.
    void LiveUnpaced() {
        sim::SimOptions o;
        o.pacing = sim::SimPacing::Unpaced;
        Attach(o);
        ASSERT_TRUE(OpenProbe(&main));
        ASSERT_TRUE(main.Unfreeze());
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

    HeadlessMainWindow main;
    std::vector<int> notices;
};

}  // namespace

TEST_F(EndToEnd, SteppedFramesReachTheCineAndEveryBufferComesBack) {
    Attach();
    ASSERT_TRUE(OpenProbe(&main));
    EXPECT_EQ(Driver().GetFreeBufferCount(), 5u);
    constexpr int kFrames = 40;
    for (int run = 0; run < 2; ++run) {  // unfreeze and freeze twice: the stream threads start again
        ASSERT_TRUE(main.Unfreeze());
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_EQ(Sim().StepFrames(1), 1);
            const size_t want = static_cast<size_t>(run * kFrames + i + 1);
            ASSERT_TRUE(main.ui.RunUntil([&] { return notices.size() >= want; })) << "frame " << want;
        }
        ASSERT_TRUE(main.Freeze());
        EXPECT_FALSE(UsbProbeIsRunning());
        ExpectEveryBufferBack();
    }
    ASSERT_EQ(notices.size(), 2u * kFrames);
    for (int i = 0; i < 2 * kFrames; ++i)
        ASSERT_EQ(notices[i], i);  // cine slots in order, none skipped
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
    ASSERT_NO_FATAL_FAILURE(LiveUnpaced());
    ASSERT_TRUE(main.ui.RunUntil([&] { return notices.size() >= 200; }));
    ASSERT_TRUE(main.Freeze());
    ExpectEveryBufferBack();
    // One notice waits at most and draws the newest frame: a slow window skips slots, but
    // the notices move forward through the ring, never back or twice on one frame.
    for (size_t i = 1; i < notices.size(); ++i) {
        const int step = (notices[i] - notices[i - 1] + 512) % 512;
        ASSERT_GE(step, 1) << "notice " << i;
    }
    EXPECT_EQ(Sim().State().pendingReads, 0u);
}

TEST_F(EndToEnd, ShuttingDownWhileLiveEndsEveryThread) {
    ASSERT_NO_FATAL_FAILURE(LiveUnpaced());
    ASSERT_TRUE(main.ui.RunUntil([&] { return notices.size() >= 20; }));
    ShutdownProbe(&main);  // without a freeze first
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_EQ(g_pProbeThread, nullptr);
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_FALSE(UsbProbeIsOpen());
    EXPECT_TRUE(main.proc.WaitIdle());
    EXPECT_EQ(main.proc.GetQueuedCount(), 0u);
}

// The cine's locking model: while the image thread converts frames from the stepped simulator
// and commits them, a thread in the user interface's role steps the cine, reads frames, their
// records and the M-line, and changes gain, STC and gamma. ThreadSanitizer watches both.
TEST_F(EndToEnd, TheUserInterfaceReadsAndTunesTheCineWhileFramesArrive) {
    Attach();
    ASSERT_TRUE(OpenProbe(&main));
    main.proc.m_bMMode = true;
    ASSERT_TRUE(main.Unfreeze());

    constexpr int kFrames = 48;
    std::atomic<bool> done{false};
    std::atomic<int> framesRead{0};
    std::atomic<int> mlinesRead{0};
    std::thread ui([&] {
        Image8 frame;
        StcKnots knots{};
        for (int i = 0; !done.load(); ++i) {
            main.ui.RunPending();  // the frame notices
            const int count = main.proc.GetFrameCount();
            if (count > 0) {
                const int index = (i * 7) % count;
                main.proc.Cine().SetCurrentIndex(index);
                if (main.proc.GetFrameBitmap(index, frame)) {
                    EXPECT_EQ(frame.width(), 480);
                    ++framesRead;
                }
                const std::optional<FrameRecord> record = main.proc.GetFrameRecord(index);
                ASSERT_TRUE(record.has_value());
                EXPECT_EQ(record->depth, 150);
                EXPECT_GE(record->gain, 0);
                EXPECT_LE(record->gain, 100);
                main.proc.Cine().VisitFrame(
                    main.proc.Cine().GetNewestIndex(),
                    [&](const Image8& image, const FrameRecord&) { EXPECT_EQ(image.height(), 480); });
                EXPECT_GE(main.proc.GetCinePosition(), 1);
            }
            const MLineRecord mline = main.proc.Cine().GetMLine();
            mlinesRead += mline.depthUsed == 150;
            main.proc.SetGain(i % 101);
            knots.fill(i % 40 - 20);
            main.proc.UpdateStcCurve(knots);
            main.proc.SetGamma(1.0 + 0.1 * (i % 6));
            std::this_thread::yield();
        }
        main.ui.RunPending();
    });

    bool converted = true;
    for (int i = 0; i < kFrames && converted; ++i) {
        if (Sim().StepFrames(1) != 1) {
            converted = false;
            break;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (main.proc.GetFrameCount() < i + 1 && (converted = std::chrono::steady_clock::now() < deadline))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    done = true;
    ui.join();
    ASSERT_TRUE(converted) << "a stepped frame did not reach the cine";

    ASSERT_TRUE(main.Freeze());
    ExpectEveryBufferBack();
    EXPECT_EQ(main.proc.GetFrameCount(), kFrames);
    // A busy user interface may take two frames with one notice; the notices still go
    // forward and the last one gives the last frame.
    ASSERT_FALSE(notices.empty());
    for (size_t i = 1; i < notices.size(); ++i)
        ASSERT_GT(notices[i], notices[i - 1]) << "notice " << i;
    EXPECT_EQ(notices.back(), kFrames - 1);
    EXPECT_GT(framesRead.load(), 0);
    EXPECT_GT(mlinesRead.load(), 0);
}
