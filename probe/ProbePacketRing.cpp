#include "probe/ProbePacketRing.h"

#include <new>

bool ProbePacketRing::Allocate() {
    entries_.reset(new (std::nothrow) Entry[kEntries]);
    Reset();
    return entries_ != nullptr;
}

void ProbePacketRing::Free() {
    entries_.reset();
}

void ProbePacketRing::Reset() {
    std::lock_guard lock(mutex_);
    write_ = 0;
    read_ = 0;
    count_ = 0;
    if (entries_) {
        for (int i = 0; i < kEntries; ++i)
            entries_[i].fill = 0;
    }
}

ProbePacketRing::Entry* ProbePacketRing::WaitForSpace(const std::atomic<bool>& running) {
    std::unique_lock lock(mutex_);
    space_.wait(lock, [&] { return count_ < kEntries || !running.load(); });
    if (!running.load())
        return nullptr;
    return &entries_[write_];
}

void ProbePacketRing::CommitWrite() {
    {
        std::lock_guard lock(mutex_);
        write_ = (write_ + 1) % kEntries;
        ++count_;
    }
    data_.notify_one();
}

ProbePacketRing::Entry* ProbePacketRing::WaitForPacket(const std::atomic<bool>& running) {
    std::unique_lock lock(mutex_);
    data_.wait(lock, [&] { return count_ > 0 || !running.load(); });
    if (!running.load())
        return nullptr;
    return &entries_[read_];
}

void ProbePacketRing::CommitRead() {
    {
        std::lock_guard lock(mutex_);
        entries_[read_].fill = 0;
        read_ = (read_ + 1) % kEntries;
        --count_;
    }
    space_.notify_one();
}

void ProbePacketRing::Wake() {
    std::lock_guard lock(mutex_);
    space_.notify_all();
    data_.notify_all();
}

int ProbePacketRing::Count() const {
    std::lock_guard lock(mutex_);
    return count_;
}
