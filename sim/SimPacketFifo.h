// The bridge chip's FIFO of stream packets: a fixed ring allocated once, so streaming
// allocates nothing. A packet can be read in pieces; the rest stays at the front.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "probe/ProbeProtocol.h"

namespace usbdriver::sim {

class SimPacketFifo {
public:
    explicit SimPacketFifo(size_t capacity) : slots_(std::max<size_t>(capacity, 1)) {}

    bool Empty() const { return count_ == 0; }
    bool Full() const { return count_ == slots_.size(); }
    size_t Count() const { return count_; }
    size_t Capacity() const { return slots_.size(); }

    // False when full (the packet is dropped).
    bool Push(const ProbeStreamPacket& packet) {
        if (Full())
            return false;
        slots_[(head_ + count_) % slots_.size()] = packet;
        ++count_;
        return true;
    }

    // Copies up to `length` bytes of the front packet; the packet leaves once fully read.
    uint32_t Pop(uint8_t* out, uint32_t length) {
        if (Empty())
            return 0;
        const ProbeStreamPacket& front = slots_[head_];
        const uint32_t n = std::min<uint32_t>(length, static_cast<uint32_t>(kProbePacketSize - offset_));
        std::memcpy(out, front.bytes + offset_, n);
        offset_ += n;
        if (offset_ == kProbePacketSize) {
            offset_ = 0;
            head_ = (head_ + 1) % slots_.size();
            --count_;
        }
        return n;
    }

    void Clear() { head_ = count_ = offset_ = 0; }

private:
    std::vector<ProbeStreamPacket> slots_;
    size_t head_ = 0;
    size_t count_ = 0;
    size_t offset_ = 0;
};

}  // namespace usbdriver::sim
