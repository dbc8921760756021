// The 716C driver on the simulated probe: opening with the probe's stored settings, its
// setters and getters with their caches, identity and version checks, the frame callback
// filling and stamping raw frame buffers, the watch loop, and stopping from several threads.
#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <thread>

#include "ProbeLinkFixture.h"
#include "platform/FileSystem.h"
#include "probe/ProbeDataUM716C.h"
#include "probe/RawBuf.h"

using namespace probetest;

namespace {

class ProbeDriver : public ProbeLinkTest {
protected:
    void TearDown() override {
        if (probe) {
            probe->Close();
            g_pProbe = nullptr;
            probe.reset();
        }
        ProbeLinkTest::TearDown();
    }

    // A driver opened on a probe set up as `options`, in g_pProbe, with `buffers` raw frame
    // buffers handed to it the way the main window does.
    void OpenDriver(sim::SimOptions options = Stepped(), int buffers = 3) {
        Attach(std::move(options));
        probe = std::make_unique<CProbeDataUM716C>();
        g_pProbe = probe.get();
        ASSERT_TRUE(probe->Open(nullptr));
        for (int i = 0; i < buffers; ++i) {
            pool.push_back(std::make_unique<CRawBuf>(1024, 128));
            pool.back()->Clear();
            PublishRawBuf(pool.back().get());
        }
    }

    size_t SentCount(uint16_t code) {
        const auto codes = device->CommandCodes();
        return static_cast<size_t>(std::count(codes.begin(), codes.end(), code));
    }

    // A frame as the USB module hands it on: header, then 128 lines of `value`.
    static std::vector<uint8_t> Frame(uint16_t depth, uint8_t value, float temperature = 32.5f) {
        std::vector<uint8_t> frame(kProbeFrameBytes, value);
        ProbeFrameHeader h{};
        h.frameType = 1;
        h.depthMm = depth;
        h.temperature = temperature;
        std::memcpy(frame.data(), &h, sizeof(h));
        return frame;
    }

    RawFrameRouter router;  // outlives the driver
    std::vector<std::unique_ptr<CRawBuf>> pool;
    std::unique_ptr<CProbeDataUM716C> probe;
};

}  // namespace

TEST_F(ProbeDriver, OpenSendsTheProbesStoredSettings) {
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, SettingKeyTable::hi_frame_mode, 1));
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, SettingKeyTable::auto_sleep_time, 600));
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, SettingKeyTable::image_filter, 0));
    OpenDriver();
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterHiFrameMode), 0u);
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterAutoSleepTime), 600u);
    EXPECT_EQ(probe->GetHiFrameMode(), 1);
    EXPECT_EQ(probe->GetAutoSleepTime(), 600);
    EXPECT_EQ(probe->GetImageFilter(), 0);
    EXPECT_EQ(probe->GetFreeBufferCount(), 3u);
    EXPECT_EQ(probe->GetScanState(), ProbeScanNeverStarted);
    EXPECT_FALSE(CProbeDataUM716C().Open(nullptr));  // the device is taken
}

TEST_F(ProbeDriver, OpeningWithoutAProbeFails) {
    CProbeDataUM716C driver;
    EXPECT_FALSE(driver.Open(nullptr));
    EXPECT_EQ(driver.StartStreaming(), 0);
    driver.Close();
}

TEST_F(ProbeDriver, FocusDepthAndFrequencyKeepTheirLastAcceptedValues) {
    OpenDriver();
    EXPECT_FALSE(probe->SetFocus(0));  // sent as 1, which the module refuses
    EXPECT_EQ(probe->GetFocus(), -1);
    EXPECT_TRUE(probe->SetFocus(300));  // clamped to 240
    EXPECT_EQ(probe->GetFocus(), 240);
    EXPECT_TRUE(probe->SetDepth(150));
    device->ClearCommands();
    EXPECT_TRUE(probe->SetDepth(150));
    EXPECT_TRUE(probe->SetFocus(240));
    EXPECT_TRUE(device->Commands().empty());  // cached: nothing sent
    EXPECT_FALSE(probe->SetDepth(19));
    EXPECT_EQ(probe->GetCachedDepth(), 150);
    EXPECT_FALSE(probe->SetTxFrequency(6));
    EXPECT_FALSE(probe->SetTxFrequency(-1));
    EXPECT_FALSE(probe->SetTxFrequency(4));  // the convex probe refuses it
    EXPECT_TRUE(device->Commands().size() == 1);
    EXPECT_TRUE(probe->SetTxFrequency(2));
    EXPECT_EQ(probe->GetTxFrequency(), 2);
    EXPECT_EQ(probe->GetCachedTxFrequency(), 2);
    EXPECT_EQ(probe->GetMaxFocus(), 240);
}

TEST_F(ProbeDriver, ReadsThatFailGiveTheDefaults) {
    for (bool linear : {false, true}) {
        OpenDriver(WithFaults("reply-status command=0x200A count=0", linear));
        EXPECT_EQ(probe->GetHiFrameMode(), 0);
        EXPECT_EQ(probe->GetAutoSleepTime(), 5);
        EXPECT_EQ(probe->GetImageFilter(), 1);  // the host's own
        EXPECT_EQ(probe->GetTxFrequency(), linear ? 4 : 0);
        probe->Close();
        probe.reset();
        usbdriver::DetachAllDevices();
    }
}

TEST_F(ProbeDriver, ProbeTypeDepthRangeAndFrequenciesFollowTheHardwareId) {
    struct Case {
        bool linear;
        int type, section;
        double minDepth, maxDepth;
        int defaultFrequency;
        std::map<int, std::pair<std::string, int>> frequencies;
    };
    const Case cases[] = {
        {true,
         ProbeTypeLinear,
         SettingSectionProbeLinear,
         38.0,
         120.0,
         4,
         {{3, {"6.7", 1}}, {4, {"8.0", 1}}, {5, {"10.0", 0}}}},
        {false,
         ProbeTypeConvex,
         SettingSectionProbeConvex,
         70.0,
         225.0,
         0,
         {{0, {"4.0", 1}}, {1, {"3.3", 1}}, {2, {"2.8", 1}}}},
    };
    for (const Case& c : cases) {
        OpenDriver(Stepped(c.linear), 0);
        int type = -1;
        EXPECT_EQ(probe->GetProbeType(&type), &type);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(ProbeTypeToConfigSection(type), c.section);
        EXPECT_EQ(probe->GetMinDepth(), c.minDepth);
        EXPECT_EQ(probe->GetMaxDepth(), c.maxDepth);
        EXPECT_EQ(probe->GetDefaultTxFrequency(), c.defaultFrequency);
        std::map<int, std::pair<std::string, int>> table;
        for (const auto& [index, entry] : probe->GetTxFrequencyTable())
            table[index] = {entry.label, entry.offered};
        EXPECT_EQ(table, c.frequencies);
        probe->Close();
        probe.reset();
        usbdriver::DetachAllDevices();
    }
    EXPECT_EQ(ProbeTypeToConfigSection(ProbeTypeNone), SettingSectionNone);
}

TEST_F(ProbeDriver, TheFixedGeometryAndFeatures) {
    OpenDriver();
    EXPECT_EQ(probe->GetSamplesPerLine(), 1024);
    EXPECT_EQ(probe->GetLineCount(), 128);
    EXPECT_EQ(probe->GetScanParam(), 0);
    EXPECT_FALSE(probe->GetScanFlag());
    EXPECT_FALSE(probe->HasSamplePitch());
    EXPECT_EQ(probe->GetSamplePitch(), CProbeData::kUnset);
    EXPECT_EQ(probe->GetGeometryExtra(), CProbeData::kUnset);
    EXPECT_EQ(probe->GetConvexRadius(), 60.0);
    EXPECT_EQ(probe->GetFieldOfView(), 60.0);
    for (int f = 0; f <= 4; ++f)
        EXPECT_TRUE(probe->IsFeatureSupported(f)) << f;
    EXPECT_FALSE(probe->IsFeatureSupported(5));
    EXPECT_FALSE(probe->IsFeatureSupported(-1));
    int lo = 0, hi = 0;
    probe->GetAutoSleepTimeRange(&lo, &hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 7200);
    probe->SetLastReceiveTime(1234.5);
    EXPECT_EQ(probe->GetLastReceiveTime(), 1234.5);
    EXPECT_EQ(probe->SetViewState(2), 2);
}

TEST_F(ProbeDriver, SupportedIdentitiesAndVersions) {
    struct Case {
        uint32_t hardwareId, versionB, versionA;
        bool supported;
    };
    const Case cases[] = {
        {0x01010010, 0x18093001, 0x18091803, true},   // linear only
        {0x01010000, 0x18093001, 0x18091803, false},  // the same on a convex probe
        {0x01A10000, 0x20012901, 0x20012901, true},   // the other model word, both kinds
        {0x01010000, 0x18033001, 0x18032802, true},   // convex only
        {0x01020000, 0x20012901, 0x20012901, false},  // an unknown model
        {0x01010020, 0x20012901, 0x20012901, false},  // an unknown kind
        {0x01010000, 0x20012901, 0x19110601, false},  // versions that do not pair
    };
    for (const Case& c : cases) {
        sim::SimOptions o = Stepped();
        o.hardwareId = c.hardwareId;
        o.versionB = c.versionB;
        o.versionA = c.versionA;
        OpenDriver(o, 0);
        EXPECT_EQ(probe->IsSupportedVersion(), c.supported) << std::hex << c.hardwareId << " " << c.versionB;
        EXPECT_TRUE(probe->MatchesIdentity(c.hardwareId, c.versionB, c.versionA));
        EXPECT_FALSE(probe->MatchesIdentity(c.hardwareId, c.versionB, c.versionA + 1));
        probe->Close();
        probe.reset();
        usbdriver::DetachAllDevices();
    }
}

TEST_F(ProbeDriver, AnUnreadableIdentityIsNoProbeTypeWithConvexLimits) {
    OpenDriver(WithFaults("identity-unreadable"), 0);
    int type = -1;
    probe->GetProbeType(&type);
    EXPECT_EQ(type, ProbeTypeNone);
    EXPECT_EQ(probe->GetMinDepth(), 70.0);
    EXPECT_EQ(probe->GetMaxDepth(), 225.0);
    EXPECT_FALSE(probe->IsSupportedVersion());
    EXPECT_EQ(probe->GetHardwareId(), kProbeIdentityUnread);
}

// ---- Buffers

TEST_F(ProbeDriver, BuffersTakenFromTheFreeListAreCheckedFirst) {
    OpenDriver(Stepped(), 0);
    router.recordStates = true;
    CRawBuf stale(1024, 128), good(1024, 128), rowless(0, 0);
    ASSERT_FALSE(rowless.IsUsable());
    probe->ReturnBuffer(&rowless);  // never listed
    probe->ReturnBuffer(nullptr);
    EXPECT_EQ(probe->GetFreeBufferCount(), 0u);
    stale.m_nState = RawBufComplete;
    good.m_nState = RawBufConsumed;
    probe->ReturnBuffer(&stale);
    probe->ReturnBuffer(&good);
    EXPECT_EQ(probe->TakeFreeBuffer(), &good);
    EXPECT_EQ(stale.m_nState, RawBufDropped);
    EXPECT_EQ(good.m_nState, RawBufTaken);
    EXPECT_EQ(router.States(), (std::vector<int>{RawBufDropped, RawBufTaken}));
    EXPECT_EQ(probe->TakeFreeBuffer(), nullptr);
}

TEST_F(ProbeDriver, AFrameIsCopiedStampedAndPublishedComplete) {
    OpenDriver();
    ASSERT_TRUE(probe->SetDepth(150));
    ASSERT_TRUE(probe->SetFocus(60));
    ASSERT_TRUE(probe->SetTxFrequency(1));
    probe->SetScanState(ProbeScanLive);
    std::vector<uint8_t> frame = Frame(180, 0);
    for (size_t l = 0; l < 128; ++l)
        std::memset(frame.data() + 48 + l * 1024, static_cast<int>(l), 1024);
    probe->ParsePacket(frame.data(), static_cast<int32_t>(frame.size()));
    CRawBuf* b = router.WaitComplete();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->m_nState, RawBufComplete);
    EXPECT_EQ(b->m_nDepth, 180);  // the frame's own depth, not the last one sent
    EXPECT_EQ(b->m_nFocus, 60);
    EXPECT_EQ(b->m_nFreqMode, 1);
    EXPECT_EQ(b->m_fTemperature, 32.5f);
    for (uint32_t l = 0; l < 128; ++l)
        ASSERT_EQ(b->Line(l)[1023], l);
    // The next buffer is already taken and cleared.
    EXPECT_NE(probe->GetCurrentBuffer(), nullptr);
    EXPECT_EQ(probe->GetCurrentBuffer()->m_nState, RawBufCleared);
    EXPECT_EQ(probe->GetFreeBufferCount(), 1u);
}

TEST_F(ProbeDriver, AFrameWithoutADepthOfItsOwnTakesTheLastOneSent) {
    OpenDriver();
    probe->SetScanState(ProbeScanLive);
    for (uint16_t depth : {0, 19, 241}) {
        probe->ParsePacket(Frame(depth, 1).data(), static_cast<int32_t>(kProbeFrameBytes));
        CRawBuf* b = router.WaitComplete();
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->m_nDepth, -1) << depth;  // never sent: the image thread refuses it
        RawFrameRouter::Consume(b);
    }
    ASSERT_TRUE(probe->SetDepth(90));
    probe->ParsePacket(Frame(0, 1).data(), static_cast<int32_t>(kProbeFrameBytes));
    CRawBuf* b = router.WaitComplete();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->m_nDepth, 90);
}

TEST_F(ProbeDriver, FramesOutsideLiveImagingAreDropped) {
    OpenDriver();
    const std::vector<uint8_t> frame = Frame(150, 7);
    probe->ParsePacket(frame.data(), static_cast<int32_t>(frame.size()));  // never started
    probe->SetScanState(ProbeScanStopRequested);
    probe->ParsePacket(frame.data(), static_cast<int32_t>(frame.size()));
    probe->SetScanState(ProbeScanLive);
    probe->ParsePacket(frame.data(), static_cast<int32_t>(sizeof(ProbeFrameHeader)));  // header only
    EXPECT_EQ(router.WaitComplete(std::chrono::milliseconds(0)), nullptr);
    EXPECT_EQ(probe->GetFreeBufferCount(), 3u);
}

TEST_F(ProbeDriver, AFrameWithNoFreeBufferIsLostAfterAShortWait) {
    OpenDriver(Stepped(), 1);
    probe->SetScanState(ProbeScanLive);
    const std::vector<uint8_t> frame = Frame(150, 7);
    probe->ParsePacket(frame.data(), static_cast<int32_t>(frame.size()));
    CRawBuf* only = router.WaitComplete();
    ASSERT_NE(only, nullptr);
    probe->ParsePacket(frame.data(), static_cast<int32_t>(frame.size()));  // the one buffer is away
    EXPECT_EQ(probe->GetLostFrameCount(), 1u);
    // Handed back while the next frame waits for it: that frame is not lost.
    std::thread imageThread([&] { RawFrameRouter::Consume(only); });
    probe->ParsePacket(frame.data(), static_cast<int32_t>(frame.size()));
    imageThread.join();
    if (probe->GetLostFrameCount() == 1u) {
        EXPECT_EQ(router.WaitComplete(), only);
    } else {
        // The hand-back came after the wait: only on a machine slower than 20 ms per thread start.
        EXPECT_EQ(probe->GetLostFrameCount(), 2u);
    }
}

// ---- Streaming, the watch loop and stopping

TEST_F(ProbeDriver, TheSimulatedProbesFramesArriveStampedWithTheirDepth) {
    // The probe takes the new depth but its reply is lost: the host's cache still says 150.
    OpenDriver(WithFaults("reply-code command=0x1003 occurrence=2"));
    ASSERT_TRUE(probe->SetDepth(150));
    EXPECT_FALSE(probe->SetDepth(100));
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->SetScanState(ProbeScanLive);
    probe->SetLastReceiveTime(-1.0);
    Sim().StepFrames(1);
    CRawBuf* b = router.WaitComplete();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->m_nDepth, 100);
    EXPECT_GT(b->m_fTemperature, 29.9f);
    EXPECT_GE(probe->GetLastReceiveTime(), 0.0);  // the frame re-armed the main window's watchdog
    probe->StopStreaming();
    EXPECT_EQ(probe->GetScanState(), ProbeScanStopped);
}

TEST_F(ProbeDriver, StartingWhileStreamingLeavesTheStreamAlone) {
    OpenDriver();
    ASSERT_EQ(probe->StartStreaming(), 1);
    CRawBuf* current = probe->GetCurrentBuffer();
    EXPECT_EQ(probe->StartStreaming(), 0);
    EXPECT_EQ(probe->GetCurrentBuffer(), current);
    EXPECT_TRUE(UsbProbeIsRunning());
}

TEST_F(ProbeDriver, StopsFromSeveralThreadsStopTheStreamOnce) {
    OpenDriver();
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->SetScanState(ProbeScanLive);
    device->ClearCommands();
    std::vector<std::thread> stoppers;
    for (int i = 0; i < 3; ++i)
        stoppers.emplace_back([&] { probe->StopStreaming(); });
    for (std::thread& t : stoppers)
        t.join();
    EXPECT_EQ(SentCount(kProbeCommandStopStreaming), 1u);
    EXPECT_EQ(probe->GetScanState(), ProbeScanStopped);
    EXPECT_FALSE(UsbProbeIsRunning());
    probe->StopStreaming();
    EXPECT_EQ(SentCount(kProbeCommandStopStreaming), 1u);
}

TEST_F(ProbeDriver, AStopTheProbeDoesNotAnswerStillEndsTheStream) {
    OpenDriver(WithFaults("no-reply command=0x0002"));
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->StopStreaming();
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_EQ(probe->GetScanState(), ProbeScanStopped);
    EXPECT_EQ(Sim().State().pendingReads, 0u);
}

TEST_F(ProbeDriver, ClosingWhileStreamingStopsFirst) {
    OpenDriver();
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->SetScanState(ProbeScanLive);
    Sim().StepFrames(1);
    ASSERT_NE(router.WaitComplete(), nullptr);
    probe->Close();
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_FALSE(UsbProbeIsOpen());
    EXPECT_EQ(probe->GetFreeBufferCount(), 0u);
    EXPECT_FALSE(Sim().State().fileOpen);
    probe->Close();  // twice is harmless
    ASSERT_EQ(probe->StartStreaming(), 0);
}

TEST_F(ProbeDriver, DeletingAStreamingDriverStopsItsThreadsFirst) {
    OpenDriver();
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->SetScanState(ProbeScanLive);
    g_pProbe = nullptr;
    probe.reset();
    EXPECT_FALSE(UsbProbeIsRunning());
    Sim().StepFrames(2);  // nobody reads any more; nothing calls into the deleted driver
    EXPECT_FALSE(UsbProbeIsOpen());
}

TEST_F(ProbeDriver, TheWatchLoopEndsAtOnceWhenAStopWasRequestedBefore) {
    OpenDriver();
    probe->RequestStop();
    EXPECT_TRUE(probe->IsStopRequested());
    EXPECT_FALSE(probe->WatchLoop());
    EXPECT_EQ(ProbeThreadProc(nullptr), 0);
}

TEST_F(ProbeDriver, TheWatchLoopStopsARequestedStopAndKeepsTheMachineAwakeWhileLive) {
    OpenDriver();
    std::thread watch([&] { EXPECT_EQ(ProbeThreadProc(probe.get()), 1); });
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->SetScanState(ProbeScanLive);
    ASSERT_TRUE(WaitUntil([&] { return inhibitor.inhibits.load() == 1; }));
    EXPECT_TRUE(platform::IsKeptAwake());
    // A frame after the stop request is dropped; the watch loop stops the stream.
    probe->SetScanState(ProbeScanStopRequested);
    Sim().StepFrames(1);
    ASSERT_TRUE(WaitUntil([&] { return probe->GetScanState() == ProbeScanStopped; }));
    EXPECT_FALSE(UsbProbeIsRunning());
    EXPECT_EQ(router.WaitComplete(std::chrono::milliseconds(0)), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !platform::IsKeptAwake(); }));
    EXPECT_TRUE(probe->RequestStop());
    watch.join();
    EXPECT_FALSE(platform::IsKeptAwake());
    EXPECT_EQ(inhibitor.inhibits.load(), 1);
}

TEST_F(ProbeDriver, TheUsbLogHoldsEveryFrameAsBytesAndAsAHexDump) {
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, SettingKeyTable::USB_LOG, 1));
    ASSERT_TRUE(platform::CreateDirectories(dir / "Log"));
    ASSERT_TRUE(platform::CreateDirectories(dir / "run"));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    ASSERT_EQ(chdir((dir / "run").c_str()), 0);
    OpenDriver(WithFaults("header-only frame=2"));
    ASSERT_TRUE(probe->IsUsbLogEnabled());
    ASSERT_EQ(probe->StartStreaming(), 1);
    probe->SetScanState(ProbeScanLive);
    Sim().StepFrames(1);
    CRawBuf* b = router.WaitComplete();
    ASSERT_NE(b, nullptr);
    RawFrameRouter::Consume(b);
    Sim().StepFrames(1);  // header only: logged, not imaged
    ASSERT_TRUE(WaitUntil([] { return UsbProbeGetStreamStats().framesProduced == 2; }));
    probe->StopStreaming();
    ASSERT_EQ(chdir(cwd), 0);

    std::vector<platform::DirEntry> files;
    ASSERT_TRUE(platform::ListDirectory(dir / "Log", files));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].name.size(), std::string("20231114221320.123.log").size());
    const std::string text = testsupport::ReadAll(dir / "Log/" + files[0].name);
    const std::string raw = testsupport::ReadAll(dir / "Log/" + files[1].name);
    ASSERT_EQ(raw.size(), kProbeFrameBytes + sizeof(ProbeFrameHeader));
    EXPECT_EQ(raw[0], 1);                 // the image frame's type
    EXPECT_EQ(raw[kProbeFrameBytes], 0);  // the header-only frame's
    EXPECT_EQ(text.rfind("Time : ", 0), 0u);
    const std::string firstLine =
        text.substr(text.find('\n') + 1, text.find('\n', text.find('\n') + 1) - text.find('\n') - 1);
    EXPECT_EQ(firstLine.substr(0, 7), "0000 : ");
    EXPECT_EQ(firstLine.size(), 7u + 16 * 3);
    EXPECT_NE(text.find("\n20020 : "), std::string::npos);   // the last line of the image frame
    EXPECT_NE(text.find("\n\nTime : "), std::string::npos);  // an empty line between frames
}

TEST_F(ProbeDriver, ALogThatCannotBeOpenedIsReportedAndStreamingGoesOn) {
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, SettingKeyTable::USB_LOG, 1));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    ASSERT_TRUE(platform::CreateDirectories(dir / "run"));
    ASSERT_EQ(chdir((dir / "run").c_str()), 0);  // no ../Log
    testsupport::MessageBoxRecorder boxes;
    OpenDriver();
    ASSERT_EQ(probe->StartStreaming(), 1);
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_NE(boxes.shown()[0].text.find(".log Log File Open Error"), std::string::npos);
    EXPECT_EQ(boxes.shown()[0].text.rfind("../Log/", 0), 0u);
    EXPECT_NE(boxes.shown()[1].text.find(".raw Log File Open Error"), std::string::npos);
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Exclamation);
    probe->SetScanState(ProbeScanLive);
    Sim().StepFrames(1);
    EXPECT_NE(router.WaitComplete(), nullptr);
}
