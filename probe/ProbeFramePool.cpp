#include "probe/ProbeFramePool.h"

#include <new>

namespace {

bool OwnsSlot(const ProbeFramePool& pool, const ProbeFrameSlot* slot) {
    return slot >= pool.slots && slot < pool.slots + ProbeFramePool::kSlots;
}

void ResetLocked(ProbeFramePool& pool) {
    for (int i = 0; i < ProbeFramePool::kSlots; ++i) {
        pool.slots[i] = ProbeFrameSlot{};
        pool.slots[i].slotIndex = i;
        pool.slotUsed[i] = false;
    }
    for (bool& used : pool.imageUsed)
        used = false;
    pool.head = nullptr;
    pool.tail = nullptr;
}

}  // namespace

bool ProbeFramePoolInit(ProbeFramePool& pool) {
    std::lock_guard lock(pool.mutex);
    pool.images.reset(new (std::nothrow) uint8_t[ProbeFramePool::kImages * kProbeFrameImageBytes]);
    ResetLocked(pool);
    return pool.images != nullptr;
}

void ProbeFramePoolFree(ProbeFramePool& pool) {
    std::lock_guard lock(pool.mutex);
    ResetLocked(pool);
    pool.images.reset();
}

void ProbeFramePoolReset(ProbeFramePool& pool) {
    std::lock_guard lock(pool.mutex);
    ResetLocked(pool);
}

ProbeFrameSlot* ProbeFramePoolAcquire(ProbeFramePool& pool, int kind) {
    if (kind < 0 || kind > 2)
        return nullptr;
    std::lock_guard lock(pool.mutex);
    if (!pool.images)
        return nullptr;
    int slot = 0;
    while (slot < ProbeFramePool::kSlots && pool.slotUsed[slot])
        ++slot;
    if (slot == ProbeFramePool::kSlots)
        return nullptr;
    int image = -1;
    if (kind != 0) {
        image = 0;
        while (image < ProbeFramePool::kImages && pool.imageUsed[image])
            ++image;
        if (image == ProbeFramePool::kImages)
            return nullptr;
        pool.imageUsed[image] = true;
    }
    pool.slotUsed[slot] = true;
    ProbeFrameSlot& s = pool.slots[slot];
    s.header = ProbeFrameHeader{};
    s.imageIndex = image;
    s.image = image < 0 ? nullptr : pool.images.get() + static_cast<size_t>(image) * kProbeFrameImageBytes;
    s.next = nullptr;
    return &s;
}

void ProbeFramePoolRelease(ProbeFramePool& pool, ProbeFrameSlot* slot) {
    std::lock_guard lock(pool.mutex);
    if (!OwnsSlot(pool, slot))
        return;
    if (slot->imageIndex >= 0)
        pool.imageUsed[slot->imageIndex] = false;
    pool.slotUsed[slot->slotIndex] = false;
    slot->image = nullptr;
    slot->imageIndex = -1;
    slot->next = nullptr;
}

bool ProbeFrameQueuePush(ProbeFramePool& pool, ProbeFrameSlot* slot) {
    std::lock_guard lock(pool.mutex);
    if (!OwnsSlot(pool, slot) || !pool.slotUsed[slot->slotIndex])
        return false;
    slot->next = nullptr;
    if (pool.tail)
        pool.tail->next = slot;
    else
        pool.head = slot;
    pool.tail = slot;
    return true;
}

ProbeFrameSlot* ProbeFrameQueuePop(ProbeFramePool& pool) {
    std::lock_guard lock(pool.mutex);
    ProbeFrameSlot* slot = pool.head;
    if (!slot)
        return nullptr;
    pool.head = slot->next;
    if (!pool.head)
        pool.tail = nullptr;
    slot->next = nullptr;
    return slot;
}
