// The frame pool of the probe's USB module: 64 frame slots, each a frame header with an image
// pointer, and eight image buffers of 128 x 1024 bytes in one block; complete frames wait in a
// FIFO of slots until the probe driver takes them. It exists from the opening of the device to
// its closing; nothing in it is allocated while streaming. Every operation takes the pool's
// mutex; slots and images are searched from index 0.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "probe/ProbeProtocol.h"

struct ProbeFrameSlot {
    ProbeFrameHeader header{};
    uint8_t* image = nullptr;  // kProbeFrameImageBytes, or null for a header-only frame
    int slotIndex = 0;
    int imageIndex = -1;  // -1 without an image
    ProbeFrameSlot* next = nullptr;
};

struct ProbeFramePool {
    static constexpr int kSlots = 64;
    static constexpr int kImages = 8;

    std::mutex mutex;
    ProbeFrameSlot slots[kSlots];
    bool slotUsed[kSlots] = {};
    std::unique_ptr<uint8_t[]> images;  // kImages x kProbeFrameImageBytes
    bool imageUsed[kImages] = {};
    ProbeFrameSlot* head = nullptr;  // oldest complete frame
    ProbeFrameSlot* tail = nullptr;
};

// Allocates the image block and marks everything free; false when the block cannot be had.
bool ProbeFramePoolInit(ProbeFramePool& pool);
void ProbeFramePoolFree(ProbeFramePool& pool);
// Empties the FIFO and marks every slot and image free.
void ProbeFramePoolReset(ProbeFramePool& pool);
// Kind 0: a slot without image; 1 or 2: a slot with the first free image. Null when none is
// free, for any other kind, or before the pool was set up.
ProbeFrameSlot* ProbeFramePoolAcquire(ProbeFramePool& pool, int kind);
// Frees the slot and its image.
void ProbeFramePoolRelease(ProbeFramePool& pool, ProbeFrameSlot* slot);
// Appends an acquired slot at the tail; false (nothing done) for a slot that is not in use.
bool ProbeFrameQueuePush(ProbeFramePool& pool, ProbeFrameSlot* slot);
// Removes and returns the head, or null.
ProbeFrameSlot* ProbeFrameQueuePop(ProbeFramePool& pool);
