// The frame assembler's packet logic: a header packet opens a frame; the 128 line packets of
// the same sequence number must follow in order, each compressed logarithmically into a plane
// of floats; the 128th completes the frame, which is enhanced into a pool image and queued. A
// header with no frame flags makes a header-only frame at once. A packet that fails a check is
// ignored; a frame whose lines do not all arrive in order is never produced (the next header
// starts over). Runs on the assembler thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "probe/ProbeFramePool.h"
#include "probe/ProbeProtocol.h"

class ProbeFrameAssembler {
public:
    ProbeFrameAssembler();
    // False when the plane could not be allocated.
    bool IsReady() const { return plane_ != nullptr; }
    // Nothing in progress (a new stream).
    void Reset();
    // One packet (its first kProbePacketSize bytes). True when a frame went into the FIFO.
    bool ProcessPacket(const uint8_t* bytes, ProbeFramePool& pool, bool linear, ProbeCompression compression);

    // Since construction; readable from any thread.
    std::atomic<uint64_t> packetsIgnored{0};
    std::atomic<uint64_t> framesProduced{0};
    std::atomic<uint64_t> framesLost{0};  // complete, but no slot or image was free

private:
    void StartFrame(const ProbeStreamPacket& header, ProbeFramePool& pool, bool& produced);
    void AddLine(const ProbeStreamPacket& line, ProbeFramePool& pool, bool linear,
                 ProbeCompression compression, bool& produced);
    // A slot for the frame in progress with its header filled in; null (the frame is lost)
    // when the pool has no room.
    ProbeFrameSlot* SlotFor(ProbeFramePool& pool, uint8_t frameType);
    // Queues the slot (nothing for null).
    void Queue(ProbeFramePool& pool, ProbeFrameSlot* slot, bool& produced);

    std::unique_ptr<float[]> plane_;  // 128 x 1024 compressed samples
    ProbeStreamPacket packet_{};
    ProbeFrameHeader header_{};
    uint8_t sequence_ = 0;
    uint16_t flags_ = 0;
    int expectedLine_ = kProbeLinesPerFrame;  // nothing expected before the first header
};
