#include "sim/SimProbe.h"

#include <cmath>

namespace usbdriver::sim {
namespace {

constexpr uint16_t kWrongMagic = 0x0BAD;
constexpr uint16_t kWrongReplyCode = 0xEEEE;

bool IsIdentityCommand(uint16_t code) {
    return code == kProbeCommandHardwareId || code == kProbeCommandVersionA || code == kProbeCommandVersionB;
}

}  // namespace

SimProbe::SimProbe(const SimOptions& options, const SimFaultScript& faults)
    : linear_(options.linear),
      faults_(faults),
      hardwareId_(
          options.hardwareId != 0
              ? options.hardwareId
              : MakeProbeHardwareId(kProbeModel716C, options.linear ? kProbeKindLinear : kProbeKindConvex)),
      versionA_(options.versionA),
      versionB_(options.versionB),
      compression_(options.linear ? kLinearCompression : kConvexCompression),
      phantom_(options.linear ? SimScanGeometry::Linear() : SimScanGeometry::Convex(), compression_,
               options.seed),
      display_(static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine),
      cache_(SimPhantom::kBreathingFrames) {
    PowerOnRegisters();
}

void SimProbe::PowerOnRegisters() {
    registers_ = {
        {kProbeRegisterHiFrameMode, 1},    {kProbeRegisterAutoSleepTime, 5},
        {kProbeRegisterParameter4, 0},     {kProbeRegisterTxFrequency, linear_ ? 4u : 0u},
        {kProbeRegisterParameter120, 0},   {kProbeRegisterParameter121, 0},
        {kProbeRegisterSettingsMarker, 0},
    };
    depthMm_ = linear_ ? 60 : 150;
    focusMm_ = linear_ ? 30 : 100;
}

void SimProbe::Reset() {
    PowerOnRegisters();
    streaming_ = false;
    ++resets_;
}

void SimProbe::LoseSettings() {
    PowerOnRegisters();
}

uint32_t SimProbe::Register(uint32_t code) const {
    auto it = registers_.find(code);
    return it == registers_.end() ? 0 : it->second;
}

bool SimProbe::WriteRegister(uint32_t code, uint32_t value) {
    auto it = registers_.find(code);
    if (it == registers_.end())
        return false;
    if (code == kProbeRegisterTxFrequency && (linear_ ? value < 3 || value > 5 : value > 2))
        return false;
    if (code == kProbeRegisterAutoSleepTime && (value < 1 || value > 7200))
        return false;
    it->second = value;
    return true;
}

void SimProbe::Answer(const UsbProbeCommand& command, Reply& reply) {
    UsbProbeCommand& r = reply.block;
    r.Clear();
    r.SetCode(command.Code());
    bool accepted = true;
    switch (command.Code()) {
        case kProbeCommandStartStreaming:
            streaming_ = true;
            break;
        case kProbeCommandStopStreaming:
            streaming_ = false;
            break;
        case kProbeCommandSetFocus: {
            const uint16_t focus = command.Argument16();
            accepted = focus >= kProbeMinFocusMm && focus <= kProbeMaxFocusMm;
            if (accepted)
                focusMm_ = focus;
            break;
        }
        case kProbeCommandSetDepth: {
            const uint16_t depth = command.Argument16();
            accepted = depth >= kProbeMinDepthMm && depth <= kProbeMaxDepthMm;
            if (accepted)
                depthMm_ = depth;
            break;
        }
        case kProbeCommandWriteRegister:
            accepted = WriteRegister(command.Argument32(), command.RegisterValue());
            r.SetArgument32(command.Argument32());
            break;
        case kProbeCommandReadRegister:
            accepted = registers_.count(command.Argument32()) != 0;
            r.SetArgument32(command.Argument32());
            if (accepted)
                r.SetRegisterValue(Register(command.Argument32()));
            break;
        case kProbeCommandHardwareId:
            r.SetArgument32(hardwareId_);
            break;
        case kProbeCommandVersionA:
            r.SetArgument32(versionA_);
            break;
        case kProbeCommandVersionB:
            r.SetArgument32(versionB_);
            break;
        default:
            accepted = false;
            break;
    }
    r.SetStatus(accepted ? kProbeReplyAccepted : 0);
}

SimProbe::Reply SimProbe::HandleCommand(const UsbProbeCommand& command) {
    Reply reply;
    const uint16_t code = command.Code();
    const uint64_t occurrence = ++commandCounts_[code];
    if (faults_.ForCommand(SimFaultKind::Unplug, code, occurrence)) {
        reply.send = false;
        reply.unplug = true;
        return reply;
    }
    if (faults_.ForCommand(SimFaultKind::SettingsLost, code, occurrence))
        LoseSettings();
    if (faults_.ForCommand(SimFaultKind::NoReply, code, occurrence) ||
        (IsIdentityCommand(code) && faults_.Has(SimFaultKind::IdentityUnreadable))) {
        reply.send = false;
        return reply;
    }
    Answer(command, reply);
    if (const SimFault* f = faults_.ForCommand(SimFaultKind::ReplyCode, code, occurrence)) {
        reply.block.SetCode(f->hasValue ? static_cast<uint16_t>(f->value) : kWrongReplyCode);
    }
    if (const SimFault* f = faults_.ForCommand(SimFaultKind::ReplyStatus, code, occurrence)) {
        reply.block.SetStatus(f->hasValue ? static_cast<uint16_t>(f->value) : 0);
    }
    reply.delayed = faults_.ForCommand(SimFaultKind::DelayReply, code, occurrence) != nullptr;
    return reply;
}

void SimProbe::SendHeader(IPacketSink& sink, uint64_t frame, bool headerOnly) {
    ProbeStreamPacket& p = packet_;
    p.Clear();
    p.SetMagic(kProbePacketMagic);
    p.SetKindAndSequence(kProbePacketKindHeader, static_cast<uint8_t>(frame & 0xF));
    p.SetFlags(headerOnly ? 0 : kProbeFrameFlagType1);
    p.SetDeviceByte(static_cast<uint8_t>(Register(kProbeRegisterTxFrequency)));
    p.SetDepthMm(depthMm_);
    p.SetDeviceWord1(focusMm_);
    p.SetDeviceWord2(static_cast<uint16_t>(frame));
    p.SetHeaderFloat(0, 1e6f / static_cast<float>(FramePeriodMicros()));
    p.SetHeaderFloat(1, static_cast<float>(focusMm_));
    // The probe warms up over the first minutes of scanning.
    p.SetTemperature(30.0f + 4.0f * static_cast<float>(1.0 - std::exp(-static_cast<double>(frame) / 7500.0)));
    if (faults_.ForFrame(SimFaultKind::BadSequence, frame)) {
        p.SetKindAndSequence(kProbePacketKindHeader, static_cast<uint8_t>((frame + 1) & 0xF));
    }
    if (faults_.ForFrame(SimFaultKind::BadMagic, frame))
        p.SetMagic(kWrongMagic);
    sink.PushPacket(p);
}

const float* SimProbe::Amplitudes(uint64_t frame) {
    if (cachedDepthMm_ != depthMm_) {
        for (auto& phase : cache_)
            phase.clear();
        cachedDepthMm_ = depthMm_;
    }
    std::vector<float>* target = &cache_[frame % SimPhantom::kBreathingFrames];
    if (!target->empty())
        return target->data();
    target->resize(display_.size());
    phantom_.RenderDisplay(frame, depthMm_, display_.data());
    for (size_t i = 0; i < display_.size(); ++i)
        (*target)[i] = phantom_.DisplayToAmplitude(display_[i]);
    return target->data();
}

void SimProbe::SendLines(IPacketSink& sink, uint64_t frame) {
    const float* amplitudes = Amplitudes(frame);
    ProbeStreamPacket& p = packet_;
    for (int line = 0; line < kProbeLinesPerFrame; ++line) {
        if (faults_.ForFrame(SimFaultKind::DropLine, frame, line))
            continue;
        p.Clear();
        p.SetMagic(kProbePacketMagic);
        p.SetLineNumber(static_cast<uint8_t>(line));
        uint8_t sequence = static_cast<uint8_t>(frame & 0xF);
        if (faults_.ForFrame(SimFaultKind::BadSequence, frame, line))
            sequence = static_cast<uint8_t>((frame + 1) & 0xF);
        p.SetKindAndSequence(kProbePacketKindLine, sequence);
        if (faults_.ForFrame(SimFaultKind::BadMagic, frame, line))
            p.SetMagic(kWrongMagic);
        p.SetSamples(amplitudes + static_cast<size_t>(line) * kProbeSamplesPerLine);
        sink.PushPacket(p);
        if (faults_.ForFrame(SimFaultKind::DuplicateLine, frame, line))
            sink.PushPacket(p);
    }
}

void SimProbe::SendFrame(IPacketSink& sink) {
    const uint64_t frame = ++framesSent_;
    const bool headerOnly = faults_.ForFrame(SimFaultKind::HeaderOnly, frame) != nullptr;
    SendHeader(sink, frame, headerOnly);
    if (!headerOnly)
        SendLines(sink, frame);
    if (faults_.ForFrame(SimFaultKind::SettingsLost, frame))
        LoseSettings();
}

}  // namespace usbdriver::sim
