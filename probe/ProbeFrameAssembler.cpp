#include "probe/ProbeFrameAssembler.h"

#include <cstring>
#include <new>

#include "probe/ProbeEnhance.h"

ProbeFrameAssembler::ProbeFrameAssembler()
    : plane_(new (std::nothrow) float[static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine]) {}

void ProbeFrameAssembler::Reset() {
    header_ = ProbeFrameHeader{};
    sequence_ = 0;
    flags_ = 0;
    expectedLine_ = kProbeLinesPerFrame;
}

bool ProbeFrameAssembler::ProcessPacket(const uint8_t* bytes, ProbeFramePool& pool, bool linear,
                                        ProbeCompression compression) {
    std::memcpy(packet_.bytes, bytes, kProbePacketSize);
    bool produced = false;
    if (packet_.Magic() != kProbePacketMagic) {
        ++packetsIgnored;
    } else if (packet_.Kind() == kProbePacketKindHeader) {
        StartFrame(packet_, pool, produced);
    } else if (packet_.Kind() == kProbePacketKindLine) {
        AddLine(packet_, pool, linear, compression, produced);
    } else {
        ++packetsIgnored;
    }
    return produced;
}

void ProbeFrameAssembler::StartFrame(const ProbeStreamPacket& p, ProbeFramePool& pool, bool& produced) {
    sequence_ = p.Sequence();
    flags_ = p.Flags();
    expectedLine_ = 0;
    header_ = ProbeFrameHeader{};
    header_.deviceByte = p.DeviceByte();
    header_.depthMm = p.DepthMm();
    header_.deviceWord1 = p.DeviceWord1();
    header_.deviceWord2 = p.DeviceWord2();
    for (int i = 0; i < kProbeHeaderFloatCount; ++i)
        header_.headerFloats[i] = p.HeaderFloat(i);
    header_.temperature = p.Temperature();
    if (flags_ == 0)
        Queue(pool, SlotFor(pool, 0), produced);
}

void ProbeFrameAssembler::AddLine(const ProbeStreamPacket& p, ProbeFramePool& pool, bool linear,
                                  ProbeCompression compression, bool& produced) {
    const bool imageFrame = (flags_ & (kProbeFrameFlagType1 | kProbeFrameFlagType2)) != 0;
    // A line number beyond the frame (only garbage has one) never matches.
    if (p.Sequence() != sequence_ || !imageFrame || expectedLine_ >= kProbeLinesPerFrame ||
        p.LineNumber() != expectedLine_) {
        ++packetsIgnored;
        return;
    }
    float* line = plane_.get() + static_cast<size_t>(expectedLine_) * kProbeSamplesPerLine;
    p.GetSamples(line);
    CompressEchoLine(line, line, kProbeSamplesPerLine, compression);
    if (++expectedLine_ < kProbeLinesPerFrame)
        return;
    ProbeFrameSlot* slot = SlotFor(pool, (flags_ & kProbeFrameFlagType1) ? 1 : 2);
    if (slot)
        ProbeEnhanceFrame(linear, plane_.get(), slot->image, header_.depthMm);
    Queue(pool, slot, produced);
}

ProbeFrameSlot* ProbeFrameAssembler::SlotFor(ProbeFramePool& pool, uint8_t frameType) {
    ProbeFrameSlot* slot = ProbeFramePoolAcquire(pool, frameType);
    if (!slot) {
        ++framesLost;
        return nullptr;
    }
    slot->header = header_;
    slot->header.frameType = frameType;
    return slot;
}

void ProbeFrameAssembler::Queue(ProbeFramePool& pool, ProbeFrameSlot* slot, bool& produced) {
    if (!slot)
        return;
    if (!ProbeFrameQueuePush(pool, slot)) {
        ProbeFramePoolRelease(pool, slot);
        ++framesLost;
        return;
    }
    ++framesProduced;
    produced = true;
}
