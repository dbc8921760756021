// The simulated probe's command protocol and stream, through the driver seam.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

#include "tests/sim/SeamClient.h"

using namespace simtest;
using usbdriver::sim::SimPhantom;
using usbdriver::sim::SimScanGeometry;

TEST(SimProbeProtocol, AnswersEveryCommand) {
    SeamClient c(Stepped());
    struct Case {
        uint16_t code;
        uint32_t argument;
        uint32_t value;
        bool u16;
        uint16_t status;
    };
    const Case cases[] = {
        {kProbeCommandSetFocus, 4, 0, true, 0},
        {kProbeCommandSetFocus, 5, 0, true, 1},
        {kProbeCommandSetFocus, 240, 0, true, 1},
        {kProbeCommandSetFocus, 241, 0, true, 0},
        {kProbeCommandSetDepth, 19, 0, true, 0},
        {kProbeCommandSetDepth, 20, 0, true, 1},
        {kProbeCommandSetDepth, 241, 0, true, 0},
        {kProbeCommandSetDepth, 240, 0, true, 1},
        {kProbeCommandWriteRegister, kProbeRegisterHiFrameMode, 0, false, 1},
        {kProbeCommandWriteRegister, kProbeRegisterAutoSleepTime, 7200, false, 1},
        {kProbeCommandWriteRegister, kProbeRegisterAutoSleepTime, 0, false, 0},
        {kProbeCommandWriteRegister, kProbeRegisterParameter4, 9, false, 1},
        {kProbeCommandWriteRegister, kProbeRegisterTxFrequency, 2, false, 1},
        {kProbeCommandWriteRegister, kProbeRegisterTxFrequency, 3, false, 0},  // a linear frequency
        {kProbeCommandWriteRegister, kProbeRegisterParameter120, 11, false, 1},
        {kProbeCommandWriteRegister, kProbeRegisterParameter121, 12, false, 1},
        {kProbeCommandWriteRegister, kProbeRegisterSettingsMarker, kProbeSettingsMarkerValue, false, 1},
        {kProbeCommandWriteRegister, 0xAAAA0004, 1, false, 0},
        {kProbeCommandReadRegister, 0xAAAA0004, 0, false, 0},
        {0x7777, 0, 0, false, 0},
        {kProbeCommandStartStreaming, 0, 0, false, 1},
        {kProbeCommandStopStreaming, 0, 0, false, 1},
    };
    for (const Case& k : cases) {
        UsbProbeCommand reply;
        ASSERT_TRUE(c.Transact(SeamClient::Command(k.code, k.argument, k.value, k.u16), reply));
        EXPECT_EQ(reply.Code(), k.code);
        EXPECT_EQ(reply.Status(), k.status)
            << std::hex << k.code << " " << k.argument << " " << std::dec << k.value;
    }
    const auto state = c.sim->State();
    EXPECT_EQ(state.focusMm, 240);
    EXPECT_EQ(state.depthMm, 240);
    EXPECT_FALSE(state.streaming);

    const std::pair<uint32_t, uint32_t> registers[] = {
        {kProbeRegisterHiFrameMode, 0},
        {kProbeRegisterAutoSleepTime, 7200},
        {kProbeRegisterParameter4, 9},
        {kProbeRegisterTxFrequency, 2},
        {kProbeRegisterParameter120, 11},
        {kProbeRegisterParameter121, 12},
        {kProbeRegisterSettingsMarker, kProbeSettingsMarkerValue},
    };
    for (const auto& [code, value] : registers) {
        UsbProbeCommand reply;
        ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandReadRegister, code), reply));
        EXPECT_EQ(reply.Status(), 1);
        EXPECT_EQ(reply.RegisterValue(), value) << std::hex << code;
    }
}

TEST(SimProbeProtocol, ReportsASupportedIdentityForEachKind) {
    for (bool linear : {false, true}) {
        SeamClient c(Stepped(linear));
        uint32_t words[3] = {};
        const uint16_t codes[3] = {kProbeCommandHardwareId, kProbeCommandVersionB, kProbeCommandVersionA};
        for (int i = 0; i < 3; ++i) {
            UsbProbeCommand reply;
            ASSERT_TRUE(c.Transact(SeamClient::Command(codes[i]), reply));
            EXPECT_EQ(reply.Status(), 1);
            words[i] = reply.Argument32();
        }
        EXPECT_EQ(ProbeKindWord(words[0]), linear ? kProbeKindLinear : kProbeKindConvex);
        EXPECT_TRUE(IsSupportedProbeIdentity(words[0], words[1], words[2]));
        // The same versions on the other kind of probe are not always supported.
        EXPECT_TRUE(IsSupportedProbeIdentity(0x01010010, 0x18093001, 0x18091803));
        EXPECT_FALSE(IsSupportedProbeIdentity(0x01010000, 0x18093001, 0x18091803));
    }
}

TEST(SimProbeProtocol, StepsAFrameThatDecodesToThePhantom) {
    for (bool linear : {false, true}) {
        SeamClient c(Stepped(linear));
        UsbProbeCommand reply;
        const uint16_t depth = linear ? 50 : 120;
        ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandSetDepth, depth, 0, true), reply));
        ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandStartStreaming), reply));
        ASSERT_EQ(c.sim->StepFrames(1), 1);

        ProbeStreamPacket packet;
        ASSERT_TRUE(c.ReadPacket(packet));
        EXPECT_EQ(packet.Magic(), kProbePacketMagic);
        EXPECT_EQ(packet.Kind(), kProbePacketKindHeader);
        EXPECT_EQ(packet.Sequence(), 1);
        EXPECT_EQ(packet.Flags(), kProbeFrameFlagType1);
        EXPECT_EQ(packet.DepthMm(), depth);
        EXPECT_GT(packet.Temperature(), 29.0f);
        EXPECT_LT(packet.Temperature(), 40.0f);

        const ProbeCompression compression = linear ? kLinearCompression : kConvexCompression;
        const SimPhantom phantom(linear ? SimScanGeometry::Linear() : SimScanGeometry::Convex(), compression,
                                 716);
        std::vector<float> expected(static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine);
        phantom.RenderDisplay(1, depth, expected.data());
        for (int line = 0; line < kProbeLinesPerFrame; ++line) {
            ASSERT_TRUE(c.ReadPacket(packet));
            ASSERT_EQ(packet.Kind(), kProbePacketKindLine);
            ASSERT_EQ(packet.LineNumber(), line);
            ASSERT_EQ(packet.Sequence(), 1);
            for (int s = 0; s < kProbeSamplesPerLine; s += 37) {
                const float want =
                    std::clamp(expected[static_cast<size_t>(line) * kProbeSamplesPerLine + s], 0.0f, 255.0f);
                ASSERT_NEAR(CompressEchoSample(packet.Sample(s), compression), want, 0.01f)
                    << line << "/" << s;
            }
        }
        EXPECT_EQ(c.sim->State().queuedPackets, 0u);
    }
}

// What the host sees of one frame: "H<seq>" for a header, "<line>" for a line packet, with
// "!" for a bad magic and "~" for a sequence number other than the frame's.
std::vector<std::string> FramePackets(const char* script, int packets) {
    sim::SimOptions o = Stepped();
    std::string error;
    EXPECT_TRUE(sim::SimFaultScript::Parse(script, o.faults, error)) << error;
    SeamClient c(o);
    UsbProbeCommand reply;
    c.Transact(SeamClient::Command(kProbeCommandStartStreaming), reply);
    c.sim->StepFrames(1);
    std::vector<std::string> seen;
    ProbeStreamPacket p;
    while (static_cast<int>(seen.size()) < packets && c.sim->State().queuedPackets > 0 && c.ReadPacket(p)) {
        std::string s = p.Kind() == kProbePacketKindHeader ? "H" : std::to_string(p.LineNumber());
        if (p.Magic() != kProbePacketMagic)
            s += "!";
        if (p.Sequence() != 1)
            s += "~";
        seen.push_back(s);
    }
    return seen;
}

TEST(SimProbeProtocol, FaultScriptBreaksTheStreamAsAsked) {
    using V = std::vector<std::string>;
    EXPECT_EQ(FramePackets("drop-line frame=1 line=1", 4), (V{"H", "0", "2", "3"}));
    EXPECT_EQ(FramePackets("duplicate-line frame=1 line=0", 4), (V{"H", "0", "0", "1"}));
    EXPECT_EQ(FramePackets("bad-sequence frame=1 line=2", 4), (V{"H", "0", "1", "2~"}));
    EXPECT_EQ(FramePackets("bad-sequence frame=1", 2), (V{"H~", "0"}));
    EXPECT_EQ(FramePackets("bad-magic frame=1 line=0", 2), (V{"H", "0!"}));
    EXPECT_EQ(FramePackets("header-only frame=1", 5), (V{"H"}));
    EXPECT_EQ(FramePackets("drop-line frame=2 line=1", 3), (V{"H", "0", "1"}));  // another frame
}

TEST(SimProbeProtocol, ReplyFaults) {
    sim::SimOptions o = Stepped();
    std::string error;
    ASSERT_TRUE(
        sim::SimFaultScript::Parse("delay-reply command=0x200A; reply-code command=0xF001 code=0xF003;"
                                   "reply-status command=0x1003; no-reply command=0x0002",
                                   o.faults, error));
    SeamClient c(o);
    ASSERT_EQ(c.SetTimeout(kProbeReplyPipe, 30), 0u);
    UsbProbeCommand reply;
    // The delayed reply misses the read it was meant for and arrives for the next one.
    ASSERT_EQ(c.Write(SeamClient::Command(kProbeCommandReadRegister, kProbeRegisterAutoSleepTime)), 0u);
    EXPECT_EQ(c.Read(kProbeReplyPipe, reply.bytes, 512), kErrorSemTimeout);
    ASSERT_EQ(c.Read(kProbeReplyPipe, reply.bytes, 512), 0u);
    EXPECT_EQ(reply.Code(), kProbeCommandReadRegister);
    EXPECT_EQ(reply.RegisterValue(), 5u);

    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandHardwareId), reply));
    EXPECT_EQ(reply.Code(), kProbeCommandVersionB);
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandSetDepth, 100, 0, true), reply));
    EXPECT_EQ(reply.Status(), 0);
    EXPECT_FALSE(c.Transact(SeamClient::Command(kProbeCommandStopStreaming), reply));
    // Only the first occurrence was meant.
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandStopStreaming), reply));
    EXPECT_EQ(reply.Status(), 1);
}

TEST(SimProbeProtocol, IdentityUnreadableAndSettingsLost) {
    sim::SimOptions o = Stepped();
    std::string error;
    ASSERT_TRUE(sim::SimFaultScript::Parse("identity-unreadable; settings-lost frame=2", o.faults, error));
    SeamClient c(o);
    ASSERT_EQ(c.SetTimeout(kProbeReplyPipe, 20), 0u);
    UsbProbeCommand reply;
    EXPECT_FALSE(c.Transact(SeamClient::Command(kProbeCommandHardwareId), reply));
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandWriteRegister, kProbeRegisterSettingsMarker,
                                               kProbeSettingsMarkerValue),
                           reply));
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandStartStreaming), reply));
    c.sim->StepFrames(1);
    EXPECT_EQ(c.sim->ProbeRegister(kProbeRegisterSettingsMarker), kProbeSettingsMarkerValue);
    c.sim->StepFrames(1);
    EXPECT_EQ(c.sim->ProbeRegister(kProbeRegisterSettingsMarker), 0u);
    EXPECT_TRUE(c.sim->State().streaming);  // it forgets its settings, not the stream
}

TEST(SimProbeProtocol, ResetPulseOnGpio0ResetsTheProbe) {
    SeamClient c(Stepped());
    UsbProbeCommand reply;
    ASSERT_TRUE(
        c.Transact(SeamClient::Command(kProbeCommandWriteRegister, kProbeRegisterSettingsMarker, 7), reply));
    ASSERT_TRUE(c.Transact(SeamClient::Command(kProbeCommandStartStreaming), reply));
    GpioEnableRequest enable{3, 1};
    ASSERT_EQ(c.Ioctl(kRequestEnableGpio, &enable, sizeof(enable)), 0u);
    GpioWriteRequest low{1, 0}, high{1, 1};
    ASSERT_EQ(c.Ioctl(kRequestWriteGpio, &low, sizeof(low)), 0u);
    EXPECT_EQ(c.sim->State().probeResets, 0u);
    ASSERT_EQ(c.Ioctl(kRequestWriteGpio, &high, sizeof(high)), 0u);
    const auto state = c.sim->State();
    EXPECT_EQ(state.probeResets, 1u);
    EXPECT_FALSE(state.streaming);
    EXPECT_EQ(c.sim->ProbeRegister(kProbeRegisterSettingsMarker), 0u);
}
