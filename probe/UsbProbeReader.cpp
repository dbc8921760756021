// The stream reader thread: sixteen overlapped reads kept pending on the stream pipe, collected
// in order, their bytes appended to the packet ring.
#include <cstring>

#include "common/DebugLog.h"
#include "probe/UsbProbeModule.h"

using namespace usbprobe::detail;

namespace {

// Failed reads in a row (time-outs not counted) after which the reader stops reading: the
// device is gone or broken, and reading on would only spin.
constexpr int kGiveUpAfterFailures = 2 * kReadSlots;

class StreamReader {
public:
    explicit StreamReader(Module& m) : m_(m), device_(m.device.load()) {}

    void Run() {
        for (ReadSlot& slot : m_.readSlots) {
            slot.pending = false;
            FT_InitializeOverlapped(device_, &slot.overlapped);
            Post(slot);
        }
        if (ReadUntilStopped() == Outcome::GaveUp) {
            m_.readerGaveUp = true;
            DebugLog("stream reader: %d failed reads in a row, reading stopped\n", kGiveUpAfterFailures);
            m_.stopRequested.Wait();
        }
        CollectAll();
        m_.readerDone.Set();
    }

private:
    enum class Outcome { Stopped, GaveUp };

    Outcome ReadUntilStopped() {
        int failures = 0;
        for (int i = 0;; i = (i + 1) % kReadSlots) {
            ProbePacketRing::Entry* entry = m_.ring.WaitForSpace(m_.running);
            if (!entry)
                return Outcome::Stopped;
            ReadSlot& slot = m_.readSlots[i];
            bool failed = true;  // a slot whose post failed counts on its turn
            if (slot.pending) {
                uint32_t transferred = 0;
                const bridge::Status status =
                    FT_GetOverlappedResult(device_, &slot.overlapped, &transferred, true);
                slot.pending = false;
                if (!m_.running.load())
                    return Outcome::Stopped;
                if (status == bridge::kStatusOk) {
                    Append(*entry, slot.buffer, transferred);
                    failed = false;
                } else {
                    failed = status != bridge::kStatusTimeout;  // nothing came: not a fault
                }
            }
            if (failed) {
                ++m_.readFailures;
                if (++failures >= kGiveUpAfterFailures)
                    return Outcome::GaveUp;
            } else {
                failures = 0;
            }
            Post(slot);
        }
    }

    void Post(ReadSlot& slot) {
        std::lock_guard lock(m_.postMutex);
        if (!m_.running.load())
            return;
        uint32_t transferred = 0;
        const bridge::Status status = FT_ReadPipe(device_, kProbeStreamPipe, slot.buffer, ReadSlot::kBytes,
                                                  &transferred, &slot.overlapped);
        slot.pending = status == bridge::kStatusOk || status == bridge::kStatusIoPending;
    }

    void Append(ProbePacketRing::Entry& entry, const uint8_t* bytes, uint32_t count) {
        if (count == 0)
            return;
        count = std::min(count, ProbePacketRing::kEntryBytes);
        if (entry.fill + count > ProbePacketRing::kEntryBytes)
            entry.fill = 0;
        std::memcpy(entry.bytes + entry.fill, bytes, count);
        entry.fill += count;
        if (entry.fill >= kProbePacketSize) {
            m_.ring.CommitWrite();
            ++m_.packetsRead;
        }
    }

    // Waits for every read still pending (the stop aborted the pipe), then frees the records.
    void CollectAll() {
        for (ReadSlot& slot : m_.readSlots) {
            if (slot.pending) {
                uint32_t transferred = 0;
                FT_GetOverlappedResult(device_, &slot.overlapped, &transferred, true);
                slot.pending = false;
            }
            FT_ReleaseOverlapped(device_, &slot.overlapped);
        }
    }

    Module& m_;
    const bridge::Handle device_;
};

}  // namespace

namespace usbprobe::detail {

void RunStreamReader(Module& m) {
    StreamReader(m).Run();
}

}  // namespace usbprobe::detail
