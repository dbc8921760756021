// The stream through the simulated bridge: stepped frames come out as exactly the phantom's
// samples after compression and enhancement; every entry of the simulator's fault script
// leaves the link running or stopped cleanly, with every read collected; stopping always ends
// both threads, and the threads exist only while streaming.
#include <gtest/gtest.h>

#include <dirent.h>

#include "ProbeLinkFixture.h"
#include "ReferenceEnhance.h"
#include "platform/usbdriver/DriverInterface.h"
#include "probe/UsbProbe.h"
#include "sim/SimProbe.h"

using namespace probetest;

namespace {

class UsbProbeStream : public ProbeLinkTest {
protected:
    void Open(sim::SimOptions options = Stepped()) {
        Attach(std::move(options));
        ASSERT_EQ(UsbProbeOpen(), 1);
    }
    // Steps frames one at a time (the chip's FIFO holds four).
    void Step(int frames) {
        for (int i = 0; i < frames; ++i)
            Sim().StepFrames(1);
    }
};

// Collects the packets a simulated probe sends.
struct PacketSink : sim::IPacketSink {
    void PushPacket(const ProbeStreamPacket& packet) override { packets.push_back(packet); }
    std::vector<ProbeStreamPacket> packets;
};

// What the host must make of frame `n` of a probe set up as `options`, at `depth`.
std::vector<uint8_t> ExpectedFrame(const sim::SimOptions& options, int n, int depth) {
    sim::SimProbe twin(options, options.faults);
    UsbProbeCommand setDepth{};
    setDepth.SetCode(kProbeCommandSetDepth);
    setDepth.SetArgument16(static_cast<uint16_t>(depth));
    twin.HandleCommand(setDepth);
    PacketSink sink;
    for (int i = 1; i <= n; ++i) {
        sink.packets.clear();
        twin.SendFrame(sink);
    }
    const ProbeStreamPacket& header = sink.packets.front();
    std::vector<ProbeStreamPacket> lines(sink.packets.begin() + 1, sink.packets.end());
    const ProbeCompression c = options.linear ? kLinearCompression : kConvexCompression;
    const ReferenceWeights w = options.linear ? ReferenceWeights{70, 30, 10} : ReferenceWeights{60, 40, 10};
    const std::vector<uint8_t> image =
        ReferenceEnhance(options.linear, ReferenceCompress(lines, c), header.DepthMm(), w);
    ProbeFrameHeader h{};
    h.frameType = 1;
    h.deviceByte = header.DeviceByte();
    h.depthMm = header.DepthMm();
    h.deviceWord1 = header.DeviceWord1();
    h.deviceWord2 = header.DeviceWord2();
    for (int i = 0; i < kProbeHeaderFloatCount; ++i)
        h.headerFloats[i] = header.HeaderFloat(i);
    h.temperature = header.Temperature();
    std::vector<uint8_t> frame(kProbeFrameBytes);
    std::memcpy(frame.data(), &h, sizeof(h));
    std::memcpy(frame.data() + sizeof(h), image.data(), image.size());
    return frame;
}

size_t ThreadCount() {
    size_t n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

}  // namespace

TEST_F(UsbProbeStream, SteppedFramesAreThePhantomAfterCompressionAndEnhancement) {
    for (bool linear : {false, true}) {
        const sim::SimOptions options = Stepped(linear);
        Open(options);
        const int depth = linear ? 40 : 225;
        ASSERT_EQ(UsbProbeSetDepth(depth), 1);
        FrameCatcher frames;
        ASSERT_EQ(UsbProbeStart(), 1);
        Step(3);
        ASSERT_TRUE(frames.WaitFor(3));
        for (int n = 1; n <= 3; ++n) {
            const std::vector<uint8_t> want = ExpectedFrame(options, n, depth);
            const std::vector<uint8_t> got = frames.Frame(n - 1);
            ASSERT_EQ(got.size(), want.size());
            EXPECT_EQ(0, std::memcmp(got.data(), want.data(), sizeof(ProbeFrameHeader)))
                << "header of frame " << n;
            size_t differ = 0;
            for (size_t i = sizeof(ProbeFrameHeader); i < got.size(); ++i)
                differ += got[i] != want[i];
            EXPECT_EQ(differ, 0u) << (linear ? "linear" : "convex") << " frame " << n;
        }
        EXPECT_EQ(UsbProbeStop(), 1);
        UsbProbeClose();
        usbdriver::DetachAllDevices();
    }
}

TEST_F(UsbProbeStream, StartingTwiceSendsNothingAndStoppingTwiceStopsOnce) {
    Open();
    EXPECT_EQ(UsbProbeStop(), 0);  // nothing runs yet
    ASSERT_EQ(UsbProbeStart(), 1);
    device->ClearCommands();
    EXPECT_EQ(UsbProbeStart(), 0);
    EXPECT_TRUE(device->Commands().empty());
    EXPECT_EQ(UsbProbeStop(), 1);
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_EQ(UsbProbeStop(), 0);
    EXPECT_EQ(Sim().State().pendingReads, 0u);
}

TEST_F(UsbProbeStream, TheStreamThreadsExistOnlyWhileStreaming) {
    Open();
    const size_t idle = ThreadCount();
    ASSERT_EQ(UsbProbeStart(), 1);
    EXPECT_EQ(ThreadCount(), idle + 2);
    // A joined thread's entry can linger in /proc for a moment; a thread left running never goes.
    auto backToIdle = [&] { return WaitUntil([&] { return ThreadCount() == idle; }); };
    ASSERT_EQ(UsbProbeStop(), 1);
    EXPECT_TRUE(backToIdle());
    ASSERT_EQ(UsbProbeStart(), 1);
    UsbProbeClose();  // closing stops first
    EXPECT_TRUE(backToIdle());
    EXPECT_FALSE(Sim().State().fileOpen);
}

TEST_F(UsbProbeStream, AStartRestoresTheSettingsAProbeLost) {
    Open();
    ASSERT_EQ(UsbProbeSetDepth(180), 1);
    Sim().LoseSettings();
    ASSERT_EQ(UsbProbeStart(), 1);
    EXPECT_EQ(Sim().State().depthMm, 180);
    EXPECT_TRUE(Sim().State().streaming);
}

TEST_F(UsbProbeStream, TakingFramesFromThePool) {
    Open(WithFaults("header-only frame=2"));
    ASSERT_EQ(UsbProbeStart(), 1);  // no callback: frames wait in the pool
    Step(1);
    ASSERT_TRUE(WaitUntil([] { return UsbProbeGetStreamStats().framesProduced == 1; }));
    uint8_t small[sizeof(ProbeFrameHeader)];
    EXPECT_EQ(UsbProbeGetFrame(small, sizeof(small)), kUsbProbeFrameTooSmall);
    EXPECT_EQ(UsbProbeGetFrame(small, sizeof(small)), 0);  // the frame is gone
    Step(1);
    ASSERT_TRUE(WaitUntil([] { return UsbProbeGetStreamStats().framesProduced == 2; }));
    EXPECT_EQ(UsbProbeGetFrame(small, sizeof(small)), static_cast<int32_t>(sizeof(ProbeFrameHeader)));
    ProbeFrameHeader h;
    std::memcpy(&h, small, sizeof(h));
    EXPECT_EQ(h.frameType, 0);
    Step(1);
    ASSERT_TRUE(WaitUntil([] { return UsbProbeGetStreamStats().framesProduced == 3; }));
    EXPECT_EQ(UsbProbeGetFrame(nullptr, 0), kUsbProbeFrameNullBuffer);
    EXPECT_EQ(UsbProbeGetFrame(small, sizeof(small)), 0);
}

// Each fault the simulator can play: the stream goes on or stops cleanly, and a stop always
// ends both threads and collects every read.
TEST_F(UsbProbeStream, EveryFaultLeavesTheLinkRunningOrStoppedCleanly) {
    struct Case {
        const char* script;
        int stepped;        // frames stepped
        size_t frames;      // frames produced (the last stepped one always is)
        bool stopAnswered;  // the probe acknowledges the stop
    };
    const Case cases[] = {
        {"drop-line frame=2 line=57", 3, 2, true},
        {"duplicate-line frame=2 line=10", 3, 3, true},
        {"bad-sequence frame=2 line=5", 3, 2, true},
        {"bad-sequence frame=2", 3, 2, true},
        {"bad-magic frame=2 line=0", 3, 2, true},
        {"bad-magic frame=2", 3, 2, true},
        {"header-only frame=2 count=2", 4, 4, true},
        {"settings-lost frame=1", 3, 3, true},
        {"settings-lost command=0x0001", 3, 3, true},
        {"fail-read read=40 count=3", 3, 3, true},
        {"fail-read read=40 count=3 error=22", 3, 3, true},
        {"delay-reply command=0x1003", 3, 3, true},
        {"identity-unreadable", 3, 3, true},
        {"stall frame=3", 3, 2, true},
        {"delay-reply command=0x0002", 2, 2, false},
        {"no-reply command=0x0002", 2, 2, false},
        {"reply-code command=0x0002", 2, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Open(WithFaults(c.script));
        UsbProbeSetDepth(150);  // answered late by one of the scripts
        FrameCatcher frames;
        ASSERT_EQ(UsbProbeStart(), 1);
        Step(c.stepped);
        // The last frame that can come is the last one stepped, or the last before a stall.
        ASSERT_TRUE(frames.WaitFor(c.frames));
        EXPECT_EQ(frames.Count(), c.frames);
        EXPECT_TRUE(UsbProbeIsRunning());
        EXPECT_EQ(UsbProbeStop(), c.stopAnswered ? 1 : 0);
        EXPECT_FALSE(UsbProbeIsRunning());
        EXPECT_EQ(Sim().State().pendingReads, 0u);
        EXPECT_EQ(UsbProbeGetStreamStats().framesLost, 0u);
        // The link starts again after any of them.
        ASSERT_EQ(UsbProbeStart(), 1);
        UsbProbeClose();
        EXPECT_FALSE(Sim().State().fileOpen);
        usbdriver::DetachAllDevices();
    }
}

TEST_F(UsbProbeStream, AStartTheProbeDoesNotAnswerLeavesNothingRunning) {
    Open(WithFaults("no-reply command=0x0001"));
    EXPECT_EQ(UsbProbeStart(), 0);
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_EQ(UsbProbeStart(), 1);
}

TEST_F(UsbProbeStream, AFailedReadIsPostedAgainAndTheStreamGoesOn) {
    Open(WithFaults("fail-read read=20 count=5"));
    FrameCatcher frames;
    ASSERT_EQ(UsbProbeStart(), 1);
    Step(4);
    ASSERT_TRUE(frames.WaitFor(4));
    EXPECT_EQ(UsbProbeGetStreamStats().readFailures, 5u);
    EXPECT_FALSE(UsbProbeGetStreamStats().readerGaveUp);
}

TEST_F(UsbProbeStream, AReaderWhoseReadsAllFailGivesUpWithoutSpinning) {
    Open(WithFaults("fail-read read=1 count=0"));
    ASSERT_EQ(UsbProbeStart(), 1);
    ASSERT_TRUE(WaitUntil([] { return UsbProbeGetStreamStats().readerGaveUp; }));
    const uint64_t failures = UsbProbeGetStreamStats().readFailures;
    EXPECT_GE(failures, 32u);
    Step(2);  // nothing is read any more
    EXPECT_EQ(UsbProbeGetStreamStats().readFailures, failures);
    EXPECT_TRUE(UsbProbeIsRunning());
    EXPECT_EQ(UsbProbeStop(), 1);
    EXPECT_EQ(Sim().State().pendingReads, 0u);
}

TEST_F(UsbProbeStream, AProbeUnpluggedWhileStreamingStopsCleanly) {
    Open(WithFaults("unplug frame=3"));
    FrameCatcher frames;
    ASSERT_EQ(UsbProbeStart(), 1);
    Step(2);
    ASSERT_TRUE(frames.WaitFor(2));
    Step(1);
    ASSERT_TRUE(WaitUntil([] { return UsbProbeGetStreamStats().readerGaveUp; }));
    EXPECT_EQ(UsbProbeStop(), 0);  // the stop command cannot be sent
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_EQ(UsbProbeClose(), 1);
    EXPECT_EQ(frames.Count(), 2u);
}

// Reads that not even an abort ends are freed by port resets every 200 ms; the pipes are set
// up again afterwards.
TEST_F(UsbProbeStream, AStuckReaderIsFreedByAPortResetAndThePipesAreSetUpAgain) {
    Open(WithFaults("stall frame=2"));
    FrameCatcher frames;
    ASSERT_EQ(UsbProbeStart(), 1);
    Step(2);
    ASSERT_TRUE(frames.WaitFor(1));
    device->FailRequest(usbdriver::kRequestAbortPipe);
    EXPECT_EQ(UsbProbeStop(), 1);
    device->FailRequest(0);
    const auto s = Sim().State();
    EXPECT_GE(s.portResets, 1u);
    EXPECT_EQ(s.pendingReads, 0u);
    EXPECT_EQ(s.pipeTimeoutsMs.at(0x82), 100u);
    EXPECT_EQ(s.pipeTimeoutsMs.at(0x83), 100u);
    EXPECT_EQ(UsbProbeGetHardwareId(), 0x01010000u);  // commands work on the reopened device
}

TEST_F(UsbProbeStream, ConcurrentStopsEndTheThreadsOnce) {
    Open();
    ASSERT_EQ(UsbProbeStart(), 1);
    std::atomic<int> stopped{0};
    std::vector<std::thread> stoppers;
    for (int i = 0; i < 3; ++i)
        stoppers.emplace_back([&] { stopped += UsbProbeStop(); });
    for (std::thread& t : stoppers)
        t.join();
    EXPECT_EQ(stopped.load(), 1);
    EXPECT_FALSE(UsbProbeIsRunning());
}
