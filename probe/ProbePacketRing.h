// The ring of stream packets between the probe's stream reader and its frame assembler: 512
// entries of 5120 bytes with a fill count each, a write index, a read index and a count under
// the ring's mutex. The reader fills the entry at the write index and publishes it; the
// assembler processes the entry at the read index and frees it. An entry's bytes are touched
// only by the side that holds it, so the lock is held for the indices alone. Either side
// waits on a condition when the ring is full or empty, and wakes when the stream stops.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class ProbePacketRing {
public:
    static constexpr int kEntries = 512;
    static constexpr uint32_t kEntryBytes = 5120;

    struct Entry {
        uint8_t bytes[kEntryBytes];
        uint32_t fill;  // bytes held; 0 when empty
    };

    // Allocates the entries, every one empty; false when they cannot be had.
    bool Allocate();
    void Free();
    bool IsAllocated() const { return entries_ != nullptr; }
    // Back to empty (a new stream).
    void Reset();

    // Reader: the entry at the write index once the ring is not full; null when `running`
    // was cleared (and Wake called).
    Entry* WaitForSpace(const std::atomic<bool>& running);
    // Reader: the entry at the write index is complete.
    void CommitWrite();
    // Assembler: the entry at the read index once one is there; null when stopped.
    Entry* WaitForPacket(const std::atomic<bool>& running);
    // Assembler: empties the entry at the read index and frees it.
    void CommitRead();
    // Wakes both sides after `running` was cleared.
    void Wake();
    int Count() const;

private:
    std::unique_ptr<Entry[]> entries_;
    mutable std::mutex mutex_;
    std::condition_variable space_;
    std::condition_variable data_;
    int write_ = 0;
    int read_ = 0;
    int count_ = 0;
};
