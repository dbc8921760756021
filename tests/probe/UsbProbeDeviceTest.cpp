// Opening the device against the simulated bridge, and the command protocol: setters and
// getters with their encodings, refusals without a transfer, replies that come late, wrong
// or not at all, concurrent callers, and the settings restore.
#include <gtest/gtest.h>

#include <thread>

#include "ProbeLinkFixture.h"
#include "platform/usbdriver/RequestLog.h"
#include "probe/ProbeEnhance.h"
#include "probe/UsbProbe.h"

using namespace probetest;

namespace {

class UsbProbeDevice : public ProbeLinkTest {};

size_t Count(const std::vector<std::string>& log, const std::string& line) {
    return static_cast<size_t>(std::count(log.begin(), log.end(), line));
}

}  // namespace

TEST_F(UsbProbeDevice, OpensAConfiguredChipWithoutRewritingIt) {
    Attach();
    usbdriver::StartRequestLog();
    ASSERT_EQ(UsbProbeOpen(), 1);
    const auto log = usbdriver::TakeRequestLog();
    const auto s = Sim().State();
    EXPECT_EQ(Count(log, "SetChipConfiguration"), 0u);
    EXPECT_EQ(s.enumerations, 1u);
    EXPECT_EQ(s.pipeTimeoutsMs.at(0x82), 100u);
    EXPECT_EQ(s.pipeTimeoutsMs.at(0x83), 100u);
    EXPECT_EQ(s.streamSizes.at(0x83), 1024u);
    EXPECT_EQ(s.suspendTimeoutS, 0u);
    EXPECT_EQ(s.probeResets, 1u);  // the low-high pulse on GPIO 0
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterSettingsMarker), kProbeSettingsMarkerValue);
    EXPECT_FALSE(UsbProbeIsLinear());
    EXPECT_EQ(UsbProbeOpen(), 0);  // one device at a time
    EXPECT_EQ(UsbProbeClose(), 1);
    EXPECT_FALSE(Sim().State().fileOpen);
}

TEST_F(UsbProbeDevice, RewritesAFactoryChipAndOpensItAgainAfterItReEnumerated) {
    sim::SimOptions o = Stepped();
    o.chipConfigured = false;
    Attach(o);
    ASSERT_EQ(UsbProbeOpen(), 1);
    const auto s = Sim().State();
    EXPECT_EQ(s.enumerations, 2u);
    EXPECT_EQ(s.configuration.FIFOClock, 1);
    EXPECT_EQ(s.configuration.FIFOMode, 1);
    EXPECT_EQ(s.configuration.ChannelConfig, 1);
    EXPECT_EQ(s.configuration.OptionalFeatureSupport, 0);
    EXPECT_EQ(UsbProbeGetHardwareId(), 0x01010000u);  // the pipes work on the new handle
}

TEST_F(UsbProbeDevice, CheckingTheChipConfigurationChangesOnlyTheFifoFields) {
    FT_60XCONFIGURATION c = sim::SimBridge::FactoryConfiguration(Stepped());
    const FT_60XCONFIGURATION before = c;
    EXPECT_FALSE(UsbProbeCheckChipConfig(c));
    EXPECT_EQ(c.FIFOClock, 1);
    EXPECT_EQ(c.OptionalFeatureSupport, 0);
    EXPECT_EQ(c.VendorID, before.VendorID);
    EXPECT_EQ(0, std::memcmp(c.StringDescriptors, before.StringDescriptors, sizeof(c.StringDescriptors)));
    EXPECT_TRUE(UsbProbeCheckChipConfig(c));
}

TEST_F(UsbProbeDevice, AFailedOpenLeavesNothingBehind) {
    EXPECT_EQ(UsbProbeOpen(), 0);  // no device at all
    EXPECT_FALSE(UsbProbeIsOpen());
    sim::SimOptions factory = Stepped();
    factory.chipConfigured = false;
    Attach(factory);
    // Each step of the open that can fail, failing: the device is closed again and nothing is kept.
    for (uint32_t request :
         {usbdriver::kRequestReadChipConfiguration, usbdriver::kRequestWriteChipConfiguration,
          usbdriver::kRequestSetStreamPipe, usbdriver::kRequestSetPipeTimeout, usbdriver::kRequestEnableGpio,
          usbdriver::kRequestWriteGpio}) {
        device->FailRequest(request);
        EXPECT_EQ(UsbProbeOpen(), 0) << usbdriver::RequestName(request);
        EXPECT_FALSE(UsbProbeIsOpen());
        EXPECT_FALSE(Sim().State().fileOpen) << usbdriver::RequestName(request);
        EXPECT_EQ(UsbProbeStart(), 0);
    }
    device->FailRequest(0);
    EXPECT_EQ(UsbProbeOpen(), 1);
}

TEST_F(UsbProbeDevice, ALinearProbeGetsTheLinearCompressionAndWeights) {
    sim::SimOptions o = Stepped(true);
    o.hardwareId = MakeProbeHardwareId(kProbeModel716CAlt, kProbeKindLinear);
    Attach(o);
    ASSERT_EQ(UsbProbeOpen(), 1);
    EXPECT_TRUE(UsbProbeIsLinear());
    uint32_t w = 0;
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamBlendCompressed, &w), 1);
    EXPECT_EQ(w, 70u);
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamBlendMedian, &w), 1);
    EXPECT_EQ(w, 30u);
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamBlendEdge, &w), 1);
    EXPECT_EQ(w, 10u);
}

TEST_F(UsbProbeDevice, AnUnreadableIdentityOpensAsConvex) {
    Attach(WithFaults("identity-unreadable"));
    ASSERT_EQ(UsbProbeOpen(), 1);
    EXPECT_FALSE(UsbProbeIsLinear());
    EXPECT_EQ(UsbProbeGetHardwareId(), kProbeIdentityUnread);
    EXPECT_EQ(UsbProbeGetVersionA(), kProbeIdentityUnread);
    uint32_t w = 0;
    UsbProbeGetRegister(kProbeParamBlendCompressed, &w);
    EXPECT_EQ(w, 60u);
}

TEST_F(UsbProbeDevice, FocusAndDepthOutsideTheirRangesAreRefusedWithoutATransfer) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    device->ClearCommands();
    EXPECT_EQ(UsbProbeSetFocus(4), 0);
    EXPECT_EQ(UsbProbeSetFocus(241), 0);
    EXPECT_EQ(UsbProbeSetDepth(19), 0);
    EXPECT_EQ(UsbProbeSetDepth(241), 0);
    EXPECT_TRUE(device->Commands().empty());
    EXPECT_EQ(UsbProbeSetFocus(5), 1);
    EXPECT_EQ(UsbProbeSetFocus(240), 1);
    EXPECT_EQ(UsbProbeSetDepth(20), 1);
    EXPECT_EQ(UsbProbeSetDepth(240), 1);
    const auto sent = device->Commands();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].code, kProbeCommandSetFocus);
    EXPECT_EQ(sent[0].argument16, 5);
    EXPECT_EQ(sent[3].code, kProbeCommandSetDepth);
    EXPECT_EQ(sent[3].argument16, 240);
    EXPECT_EQ(Sim().State().focusMm, 240);
    EXPECT_EQ(Sim().State().depthMm, 240);
}

TEST_F(UsbProbeDevice, HighFrameRateModeIsSentAndReadInverted) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    ASSERT_EQ(UsbProbeSetRegister(kProbeParamHiFrameMode, 1), 1);
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterHiFrameMode), 0u);
    uint32_t v = 7;
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamHiFrameMode, &v), 1);
    EXPECT_EQ(v, 1u);
    ASSERT_EQ(UsbProbeSetRegister(kProbeParamHiFrameMode, 5), 1);  // anything but 0 is on
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterHiFrameMode), 0u);
    ASSERT_EQ(UsbProbeSetRegister(kProbeParamHiFrameMode, 0), 1);
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterHiFrameMode), 1u);
}

TEST_F(UsbProbeDevice, RegistersByIdAndTheHostParameters) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    struct Case {
        uint32_t id;
        uint32_t reg;
        uint32_t value;
    };
    for (const Case& c : {Case{kProbeParamAutoSleepTime, kProbeRegisterAutoSleepTime, 600},
                          Case{kProbeParamTxFrequency, kProbeRegisterTxFrequency, 2},
                          Case{kProbeParam4, kProbeRegisterParameter4, 9},
                          Case{kProbeParam120, kProbeRegisterParameter120, 10},
                          Case{kProbeParam121, kProbeRegisterParameter121, 11}}) {
        ASSERT_EQ(UsbProbeSetRegister(c.id, c.value), 1) << c.id;
        EXPECT_EQ(Sim().ProbeRegister(c.reg), c.value) << c.id;
        uint32_t v = 0;
        ASSERT_EQ(UsbProbeGetRegister(c.id, &v), 1);
        EXPECT_EQ(v, c.value);
    }
    EXPECT_EQ(UsbProbeSetRegister(kProbeParamTxFrequency, 3), 0);  // the convex probe refuses it
    device->ClearCommands();
    uint32_t v = 0;
    EXPECT_EQ(UsbProbeSetRegister(6, 1), 0);
    EXPECT_EQ(UsbProbeGetRegister(6, &v), 0);
    EXPECT_EQ(UsbProbeGetRegister(kProbeParamAutoSleepTime, nullptr), 0);
    EXPECT_EQ(UsbProbeSetRegister(kProbeParamImageFilter, 2), 0);
    EXPECT_EQ(UsbProbeSetRegister(kProbeParamImageFilter, 0), 1);
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamImageFilter, &v), 1);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(UsbProbeSetRegister(kProbeParamBlendEdge, 1001), 0);
    EXPECT_TRUE(device->Commands().empty());  // the host's own parameters never reach the probe
    UsbProbeSetRegister(kProbeParamImageFilter, 1);
}

TEST_F(UsbProbeDevice, ALateReplyIsNotTakenForTheAnswerToTheNextCommand) {
    // The second reading of a register is answered only after the host gave up on it.
    Attach(WithFaults("delay-reply command=0x200A occurrence=2"));
    ASSERT_EQ(UsbProbeOpen(), 1);
    uint32_t v = 0;
    ASSERT_EQ(UsbProbeSetRegister(kProbeParamAutoSleepTime, 77), 1);
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamAutoSleepTime, &v), 1);
    EXPECT_EQ(v, 77u);
    EXPECT_EQ(UsbProbeGetRegister(kProbeParamAutoSleepTime, &v), 0);  // its reply (77) comes too late
    Sim().LoseSettings();                                             // the register is 5 again
    ASSERT_EQ(UsbProbeGetRegister(kProbeParamAutoSleepTime, &v), 1);
    EXPECT_EQ(v, 5u);  // this command's own reply, not the late one of the same command
}

TEST_F(UsbProbeDevice, WrongOrMissingRepliesAreFailures) {
    Attach(WithFaults("reply-code command=0x1003; reply-status command=0x1002; no-reply command=0xF002"));
    ASSERT_EQ(UsbProbeOpen(), 1);
    EXPECT_EQ(UsbProbeSetDepth(100), 0);  // echoes 0xEEEE
    EXPECT_EQ(UsbProbeSetFocus(50), 0);   // status 0
    EXPECT_EQ(UsbProbeGetVersionA(), kProbeIdentityUnread);
    EXPECT_EQ(UsbProbeSetDepth(100), 1);  // the next ones are answered
    EXPECT_EQ(UsbProbeSetFocus(50), 1);
    EXPECT_EQ(UsbProbeGetVersionA(), 0x20012901u);
}

TEST_F(UsbProbeDevice, ATransactionSkipsRepliesOfOtherCommands) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    UsbProbeCommand request{}, reply{};
    request.SetCode(kProbeCommandHardwareId);
    ASSERT_EQ(UsbProbeTransact(request, reply), 1);
    EXPECT_EQ(reply.Code(), kProbeCommandHardwareId);
    EXPECT_EQ(reply.Argument32(), 0x01010000u);
    UsbProbeClose();
    EXPECT_EQ(UsbProbeTransact(request, reply), 0);  // no device
}

// Four threads command the probe at once, each on its own register or value; with whole
// transactions serialised every caller reads back exactly what it wrote.
TEST_F(UsbProbeDevice, ConcurrentCallersNeverTakeEachOthersReplies) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    std::atomic<int> wrong{0};
    auto worker = [&](uint32_t id, uint32_t first) {
        for (uint32_t i = 0; i < 40; ++i) {
            const uint32_t value = first + i % 3;
            uint32_t back = 0;
            if (UsbProbeSetRegister(id, value) != 1 || UsbProbeGetRegister(id, &back) != 1 || back != value)
                ++wrong;
        }
    };
    std::thread a(worker, kProbeParamAutoSleepTime, 100);
    std::thread b(worker, kProbeParamTxFrequency, 0);
    std::thread c(worker, kProbeParam120, 500);
    std::thread d([&] {
        for (int i = 0; i < 40; ++i) {
            if (UsbProbeGetHardwareId() != 0x01010000u || UsbProbeSetDepth(30 + i) != 1)
                ++wrong;
        }
    });
    a.join();
    b.join();
    c.join();
    d.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(UsbProbeDevice, AProbeThatKeptItsSettingsGetsNothingAgain) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    UsbProbeSetDepth(120);
    device->ClearCommands();
    EXPECT_EQ(UsbProbeRestoreSettings(), 1);
    const auto sent = device->Commands();
    ASSERT_EQ(sent.size(), 1u);  // the marker read alone
    EXPECT_EQ(sent[0].code, kProbeCommandReadRegister);
    EXPECT_EQ(sent[0].argument32, kProbeRegisterSettingsMarker);
}

TEST_F(UsbProbeDevice, AProbeThatLostItsSettingsGetsEveryCachedValueInOrder) {
    Attach();
    ASSERT_EQ(UsbProbeOpen(), 1);
    UsbProbeSetRegister(kProbeParam120, 12);
    UsbProbeSetRegister(kProbeParamHiFrameMode, 1);
    UsbProbeSetFocus(80);
    UsbProbeSetRegister(kProbeParamTxFrequency, 2);
    UsbProbeSetDepth(130);
    UsbProbeSetRegister(kProbeParamAutoSleepTime, 300);
    UsbProbeSetRegister(kProbeParam121, 21);
    UsbProbeSetRegister(kProbeParam4, 4);
    Sim().LoseSettings();
    device->ClearCommands();
    EXPECT_EQ(UsbProbeRestoreSettings(), 1);
    const auto sent = device->Commands();
    std::vector<std::pair<uint16_t, uint32_t>> got;
    for (const SentCommand& c : sent) {
        got.emplace_back(c.code, c.code == kProbeCommandSetDepth || c.code == kProbeCommandSetFocus
                                     ? c.argument16
                                     : c.argument32);
    }
    const std::vector<std::pair<uint16_t, uint32_t>> want = {
        {kProbeCommandReadRegister, kProbeRegisterSettingsMarker},
        {kProbeCommandSetDepth, 130},
        {kProbeCommandSetFocus, 80},
        {kProbeCommandWriteRegister, kProbeRegisterTxFrequency},
        {kProbeCommandWriteRegister, kProbeRegisterAutoSleepTime},
        {kProbeCommandWriteRegister, kProbeRegisterHiFrameMode},
        {kProbeCommandWriteRegister, kProbeRegisterParameter4},
        {kProbeCommandWriteRegister, kProbeRegisterParameter121},
        {kProbeCommandWriteRegister, kProbeRegisterParameter120},
    };
    EXPECT_EQ(got, want);
    EXPECT_EQ(Sim().State().depthMm, 130);
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterHiFrameMode), 0u);  // still sent inverted
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterParameter121), 21u);
    EXPECT_EQ(Sim().ProbeRegister(kProbeRegisterSettingsMarker), 0u);  // not written here
}

TEST_F(UsbProbeDevice, AnUnreadableMarkerRestoresNothing) {
    Attach(WithFaults("no-reply command=0x200A occurrence=1"));
    ASSERT_EQ(UsbProbeOpen(), 1);
    EXPECT_EQ(UsbProbeRestoreSettings(), 0);
}

// The open runs its steps in a fixed order: open, port reset, chip configuration (rewritten
// only when it differs), reopen with the pipe set-up, the reset pulse on GPIO 0 (low for 50 ms,
// then 50 ms of high before anything else), the hardware id and the settings marker.
TEST_F(UsbProbeDevice, OpenRunsItsStepsInOrderWithA50msResetPulse) {
    const std::vector<std::string> create = {
        "Enumerate 1",
        "Open",
        "GetDeviceInformation",
        "ControlTransfer 0xC0 0xF0 33792 1 4",
        "GetDeviceDescriptor",
        "GetDeviceInformation",
        "ControlTransfer 0xC0 0xF0 33792 1 4",
        "OpenCheck",
        "GetConfigurationDescriptor",
        "GetInterfaceDescriptor 1",
        "GetPipeInformation 0/1",
        "GetPipeInformation 1/0",
        "GetPipeInformation 1/1",
        "GetPipeInformation 1/2",
    };
    const std::vector<std::string> close = {"AbortPipe 0x02", "AbortPipe 0x82", "AbortPipe 0x83", "Close"};
    const std::vector<std::string> pipesAndPulse = {
        "SetSuspendTimeout 0s",
        "SetStreamPipe 0x83 all-write 1 all-read 1 size 1024",
        "SetPipeTimeout 0x82 100ms",
        "SetPipeTimeout 0x83 100ms",
        "EnableGpio enable 3 direction 1",
        "WriteGpio mask 1 data 0",
        "WriteGpio mask 1 data 1",
    };
    // Every transaction empties the reply pipe first, so a late reply is not taken for its answer.
    const std::vector<std::string> command = {"FlushPipe 0x82", "WritePipe 0x02 512", "ReadPipe 0x82 512"};

    for (const bool factoryChip : {false, true}) {
        SCOPED_TRACE(factoryChip ? "factory chip" : "configured chip");
        sim::SimOptions o = Stepped();
        o.chipConfigured = !factoryChip;
        Attach(o);
        usbdriver::StartRequestLog();
        ASSERT_EQ(UsbProbeOpen(), 1);
        const std::vector<usbdriver::LoggedRequest> timed = usbdriver::TakeTimedRequestLog();

        std::vector<std::string> expected = create;
        expected.insert(expected.end(), {"ResetPort", "GetChipConfiguration"});
        if (factoryChip)
            expected.push_back("SetChipConfiguration");
        for (const auto* part : {&close, &create, &pipesAndPulse, &command, &command})
            expected.insert(expected.end(), part->begin(), part->end());
        std::vector<std::string> lines;
        for (const auto& r : timed)
            lines.push_back(r.line);
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(device->CommandCodes(),
                  (std::vector<uint16_t>{kProbeCommandHardwareId, kProbeCommandWriteRegister}));

        const auto low = std::find_if(timed.begin(), timed.end(),
                                      [](const auto& r) { return r.line == "WriteGpio mask 1 data 0"; });
        ASSERT_TRUE(low != timed.end() && low + 2 < timed.end());
        using std::chrono::milliseconds;
        EXPECT_GE((low + 1)->at - low->at, milliseconds(50));        // held low
        EXPECT_GE((low + 2)->at - (low + 1)->at, milliseconds(50));  // then high before the first command
        EXPECT_EQ(Sim().State().probeResets, 1u);

        EXPECT_EQ(UsbProbeClose(), 1);
        usbdriver::StopRequestLog();
        usbdriver::DetachAllDevices();
    }
}
