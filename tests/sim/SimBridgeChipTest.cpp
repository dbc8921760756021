// The simulated bridge chip: configuration and re-enumeration, pipes and their time-outs,
// stalls, aborts, port resets, failing reads, unplugging, and pacing.
#include <gtest/gtest.h>

#include <algorithm>

#include "sim/SimEnvironment.h"
#include "tests/sim/SeamClient.h"
#include "tests/support/TestSupport.h"

using namespace simtest;

namespace {

sim::SimOptions WithFaults(sim::SimOptions o, const char* script) {
    std::string error;
    EXPECT_TRUE(sim::SimFaultScript::Parse(script, o.faults, error)) << error;
    return o;
}

void StartStreaming(SeamClient& c) {
    UsbProbeCommand reply;
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandStartStreaming), reply));
}

}  // namespace

TEST(SimBridgeChip, FactoryChipNeedsItsConfigurationRewrittenAndReEnumerates) {
    sim::SimOptions o = Stepped();
    o.chipConfigured = false;
    SeamClient c(o);
    UsbProbeCommand reply;
    EXPECT_EQ(c.Write(SeamClient::Command(kProbeCommandHardwareId)), kErrorGenFailure);

    ChipConfiguration config{};
    ASSERT_EQ(c.Ioctl(kRequestReadChipConfiguration, &config, sizeof(config), &config, sizeof(config)), 0u);
    EXPECT_EQ(config.FIFOMode, 0);
    config.FIFOClock = config.FIFOMode = config.ChannelConfig = 1;
    config.OptionalFeatureSupport = 0;
    ASSERT_EQ(c.Ioctl(kRequestWriteChipConfiguration, &config, sizeof(config)), 0u);
    EXPECT_EQ(c.sim->State().enumerations, 2u);
    // The old handle belongs to the device before the restart.
    EXPECT_EQ(c.Ioctl(kRequestOpenCheck, nullptr, 0), kErrorDeviceNotConnected);
    ASSERT_TRUE(c.Open());
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandHardwareId), reply));
    EXPECT_EQ(reply.Status(), 1);
}

TEST(SimBridgeChip, OpensExclusivelyAndDescribesItself) {
    SeamClient c(Stepped());
    EXPECT_EQ(OpenDevice(c.sim->Path()), kInvalidDevice);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    DeviceInformationRecord info{};
    ASSERT_EQ(c.Ioctl(kRequestDeviceInformation, &info, sizeof(info), &info, sizeof(info)), 0u);
    EXPECT_EQ(info.deviceId, uint32_t{sim::SimBridge::kVendorId} << 16 | sim::SimBridge::kProductId);
    EXPECT_STREQ(info.serialNumber, "SIM716C0001");
    EXPECT_STREQ(info.description, "Probe Bridge SIM");
    std::vector<DeviceInterface> interfaces;
    ASSERT_TRUE(EnumerateInterfaces(kBridgeInterfaceClass, interfaces));
    ASSERT_EQ(interfaces.size(), 1u);
    EXPECT_EQ(interfaces[0].path, c.sim->Path());
}

TEST(SimBridgeChip, ReadsTimeOutOnAnIdlePipeAndWaitWithoutLimitAtZero) {
    SeamClient c(Stepped());
    ASSERT_EQ(c.SetTimeout(kProbeStreamPipe, 15), 0u);
    uint8_t buffer[5120];
    EXPECT_EQ(c.Read(kProbeStreamPipe, buffer, sizeof(buffer)), kErrorSemTimeout);

    ASSERT_EQ(c.SetTimeout(kProbeStreamPipe, 0), 0u);
    Overlapped record;
    ASSERT_TRUE(c.StartRead(kProbeStreamPipe, buffer, sizeof(buffer), record));
    uint32_t n = 0;
    EXPECT_FALSE(GetOverlappedResult(c.device, &record, &n, false));
    EXPECT_EQ(GetLastError(), kErrorIoIncomplete);
    StartStreaming(c);
    c.sim->StepFrames(1);
    ASSERT_TRUE(GetOverlappedResult(c.device, &record, &n, true));
    EXPECT_EQ(n, kProbePacketSize);  // one read, one packet
}

TEST(SimBridgeChip, StallHangsReadsUntilAbortOrPortReset) {
    SeamClient c(WithFaults(Stepped(), "stall frame=2"));
    ASSERT_EQ(c.SetTimeout(kProbeStreamPipe, 10), 0u);
    StartStreaming(c);
    EXPECT_EQ(c.sim->StepFrames(3), 1);
    EXPECT_TRUE(c.sim->State().stalled);
    ProbeStreamPacket p;
    for (int i = 0; i < 129; ++i)
        ASSERT_TRUE(c.ReadPacket(p));

    Overlapped record;
    ASSERT_TRUE(c.StartRead(kProbeStreamPipe, p.bytes, sizeof(p.bytes), record));
    uint32_t n = 0;
    EXPECT_FALSE(GetOverlappedResult(c.device, &record, &n, false));  // no time-out on a stalled pipe
    uint8_t pipe = kProbeStreamPipe;
    ASSERT_EQ(c.Ioctl(kRequestAbortPipe, &pipe, 1), 0u);
    EXPECT_FALSE(GetOverlappedResult(c.device, &record, &n, true));
    EXPECT_EQ(GetLastError(), kErrorOperationAborted);

    ASSERT_EQ(c.Ioctl(kRequestResetPort, nullptr, 0), 0u);
    const auto state = c.sim->State();
    EXPECT_FALSE(state.stalled);
    EXPECT_EQ(state.pipeTimeoutsMs.at(kProbeStreamPipe), sim::SimBridge::kDefaultPipeTimeoutMs);
}

TEST(SimBridgeChip, FailsTheNthReadWithTheScriptedError) {
    SeamClient c(WithFaults(Stepped(), "fail-read read=2 error=31"));
    StartStreaming(c);
    c.sim->StepFrames(1);
    ProbeStreamPacket p;
    EXPECT_EQ(c.Read(kProbeStreamPipe, p.bytes, 5120), 0u);
    EXPECT_EQ(c.Read(kProbeStreamPipe, p.bytes, 5120), kErrorGenFailure);
    EXPECT_EQ(c.Read(kProbeStreamPipe, p.bytes, 5120), 0u);
}

TEST(SimBridgeChip, UnplugCompletesPendingReadsAndHidesTheDevice) {
    SeamClient c(WithFaults(Stepped(), "unplug frame=2"));
    ASSERT_EQ(c.SetTimeout(kProbeReplyPipe, 0), 0u);
    StartStreaming(c);
    UsbProbeCommand reply;
    Overlapped record;
    ASSERT_TRUE(c.StartRead(kProbeReplyPipe, reply.bytes, 512, record));
    EXPECT_EQ(c.sim->StepFrames(5), 1);
    uint32_t n = 0;
    EXPECT_FALSE(GetOverlappedResult(c.device, &record, &n, true));
    EXPECT_EQ(GetLastError(), kErrorDeviceNotConnected);
    std::vector<DeviceInterface> interfaces;
    EnumerateInterfaces(kBridgeInterfaceClass, interfaces);
    EXPECT_TRUE(interfaces.empty());
    EXPECT_EQ(c.Ioctl(kRequestOpenCheck, nullptr, 0), kErrorDeviceNotConnected);

    c.sim->Replug();
    ASSERT_TRUE(c.Open());
    EXPECT_FALSE(c.sim->State().streaming);  // powered on afresh
}

TEST(SimBridgeChip, CloseAbortsWhatIsStillPending) {
    SeamClient c(Stepped());
    uint8_t buffers[3][5120];
    Overlapped records[3];
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(c.StartRead(kProbeStreamPipe, buffers[i], 5120, records[i]));
    EXPECT_EQ(c.sim->State().pendingReads, 3u);
    CloseDevice(c.device);
    c.device = kInvalidDevice;
    for (Overlapped& r : records)
        EXPECT_EQ(r.status.load(), kErrorOperationAborted);
    EXPECT_EQ(c.sim->State().pendingReads, 0u);
    EXPECT_FALSE(c.sim->State().fileOpen);
}

// A request that found the file just before another thread closed it reaches a detached
// file: it fails at once instead of waiting on a pipe that no close will ever abort again.
TEST(SimBridgeChip, AClosedFileTakesNoMoreRequests) {
    auto chip = std::make_shared<sim::SimBridge>(Stepped());
    uint32_t error = 0;
    std::shared_ptr<IDeviceFile> file = chip->Open(error);
    ASSERT_NE(file, nullptr);
    file->Close();
    uint8_t pipe = kProbeStreamPipe;
    uint8_t buffer[5120];
    Overlapped record;
    IoRequest read;
    read.code = DriverCode(kRequestReadPipe);
    read.in = &pipe;
    read.inSize = 1;
    read.out = buffer;
    read.outSize = sizeof(buffer);
    read.overlapped = &record;
    uint32_t returned = 0;
    EXPECT_EQ(file->IoControl(read, returned), kErrorInvalidHandle);
    EXPECT_EQ(chip->State().pendingReads, 0u);
}

TEST(SimBridgeChip, RealTimePacingSendsFramesByItself) {
    sim::SimOptions o = Stepped();
    o.pacing = sim::SimPacing::RealTime;
    SeamClient c(o);
    StartStreaming(c);
    ProbeStreamPacket p;
    int headers = 0;
    for (int i = 0; i < 2 * 129; ++i) {
        ASSERT_TRUE(c.ReadPacket(p));  // each read waits for the pacing thread
        headers += p.Kind() == kProbePacketKindHeader;
    }
    EXPECT_EQ(headers, 2);
}

TEST(SimBridgeChip, UnpacedSendsAFrameWheneverTheHostReads) {
    sim::SimOptions o = Stepped();
    o.pacing = sim::SimPacing::Unpaced;
    SeamClient c(o);
    ASSERT_EQ(c.SetTimeout(kProbeStreamPipe, 0), 0u);  // a missing frame would hang, not pass
    StartStreaming(c);
    const sim::SimPhantom phantom(sim::SimScanGeometry::Convex(), kConvexCompression, o.seed);
    std::vector<float> expected(static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine);
    ProbeStreamPacket p;
    // Frames of the same phase come from the cache; a depth change must not reuse them.
    for (uint16_t depth : {150, 150, 90}) {
        UsbProbeCommand reply;
        ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandSetDepth, depth, 0, true), reply));
        const uint64_t frame = c.sim->State().framesSent + 1;
        phantom.RenderDisplay(frame, depth, expected.data());
        ASSERT_TRUE(c.ReadPacket(p));
        EXPECT_EQ(p.DepthMm(), depth);
        for (int line = 0; line < kProbeLinesPerFrame; ++line) {
            ASSERT_TRUE(c.ReadPacket(p));
            const float* want = expected.data() + static_cast<size_t>(line) * kProbeSamplesPerLine;
            ASSERT_NEAR(CompressEchoSample(p.Sample(700), kConvexCompression),
                        std::clamp(want[700], 0.0f, 255.0f), 0.01f);
        }
        for (int skip = 1; skip < sim::SimPhantom::kBreathingFrames; ++skip) {
            for (int i = 0; i < 1 + kProbeLinesPerFrame; ++i)
                ASSERT_TRUE(c.ReadPacket(p));
        }
    }
    EXPECT_EQ(c.sim->State().packetsDropped, 0u);
}

TEST(SimEnvironment, TorvikProbeSelectsTheSimulator) {
    struct Case {
        std::optional<std::string> probe;
        bool selected;
        bool linear;
    };
    const Case cases[] = {{std::nullopt, false, false},
                          {"sim-convex", true, false},
                          {"sim-linear", true, true},
                          {"usb", false, false}};
    for (const Case& k : cases) {
        testsupport::ScopedEnv env("TORVIK_PROBE", k.probe);
        testsupport::ScopedEnv faults("TORVIK_SIM_FAULTS", "stall frame=3; explode");
        testsupport::ScopedEnv seed("TORVIK_SIM_SEED", "0100");
        std::string error;
        const auto options = sim::OptionsFromEnvironment(error);
        EXPECT_EQ(options.has_value(), k.selected);
        if (options) {
            EXPECT_EQ(options->linear, k.linear);
            EXPECT_EQ(options->seed, 100u);        // decimal, as everywhere in the simulator
            EXPECT_TRUE(options->faults.Empty());  // a bad script is reported, not half used
            EXPECT_NE(error.find("explode"), std::string::npos);
        }
    }
}

TEST(SimEnvironment, AttachesTheSelectedDeviceOnFirstEnumeration) {
    testsupport::ScopedEnv env("TORVIK_PROBE", "sim-linear");
    sim::InstallEnvironmentDevice();
    std::vector<DeviceInterface> interfaces;
    ASSERT_TRUE(EnumerateInterfaces(kBridgeInterfaceClass, interfaces));
    ASSERT_EQ(interfaces.size(), 1u);
    const DeviceHandle d = OpenDevice(interfaces[0].path);
    ASSERT_NE(d, kInvalidDevice);
    CloseDevice(d);
    DetachAllDevices();
}
