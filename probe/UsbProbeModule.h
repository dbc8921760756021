// The probe USB module's state, shared by its device, command and stream parts. Not for use
// outside the module.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/Event.h"
#include "probe/ProbeFrameAssembler.h"
#include "probe/ProbeFramePool.h"
#include "probe/ProbePacketRing.h"
#include "probe/UsbProbe.h"

namespace usbprobe::detail {

// Pipe time-out of the reply and stream pipes while the device is open.
inline constexpr uint32_t kPipeTimeoutMs = 100;

// One of the reader's sixteen overlapped reads on the stream pipe.
struct ReadSlot {
    static constexpr uint32_t kBytes = 5120;
    uint8_t buffer[kBytes];
    bridge::Overlapped overlapped;
    bool pending = false;  // posted and not yet collected
};
inline constexpr int kReadSlots = 16;

struct Module {
    // Open, close, start and stop; the handle is replaced only under it and the command lock.
    std::mutex deviceMutex;
    // One whole command transaction at a time.
    std::mutex commandMutex;
    std::atomic<bridge::Handle> device{nullptr};

    std::atomic<bool> running{false};
    // The reader posts reads under it, and stopping clears `running` under it, so no read can
    // be posted after the stop aborted the stream pipe.
    std::mutex postMutex;
    platform::Event stopRequested{platform::Event::Reset::Manual};
    platform::Event readerDone{platform::Event::Reset::Manual};
    // Part of the module for its whole life, so that a read the bridge still holds can never
    // complete into freed memory.
    ReadSlot readSlots[kReadSlots];
    std::thread reader;
    std::thread assembler;

    // Last values sent (kProbeValueUnset when never sent).
    std::atomic<uint32_t> cachedDepth{kProbeValueUnset};
    std::atomic<uint32_t> cachedFocus{kProbeValueUnset};
    std::atomic<uint32_t> cachedHiFrameMode{kProbeValueUnset};    // 2
    std::atomic<uint32_t> cachedAutoSleepTime{kProbeValueUnset};  // 3
    std::atomic<uint32_t> cachedParam4{kProbeValueUnset};
    std::atomic<uint32_t> cachedTxFrequency{kProbeValueUnset};  // 5
    std::atomic<uint32_t> cachedParam120{kProbeValueUnset};
    std::atomic<uint32_t> cachedParam121{kProbeValueUnset};
    std::atomic<uint32_t> hardwareId{kProbeValueUnset};
    std::atomic<uint32_t> versionA{kProbeValueUnset};
    std::atomic<uint32_t> versionB{kProbeValueUnset};
    std::atomic<bool> linear{false};
    std::atomic<int> compressionGain{kConvexCompression.gain};
    std::atomic<int> compressionOffset{kConvexCompression.offset};

    // The frame callback; called with the lock held, so clearing it waits for a call.
    std::mutex callbackMutex;
    UsbProbeFrameCallback callback = nullptr;
    void* callbackContext = nullptr;

    // From open to close.
    ProbePacketRing ring;
    ProbeFramePool pool;
    std::unique_ptr<ProbeFrameAssembler> frameAssembler;

    std::atomic<uint64_t> packetsRead{0};
    std::atomic<uint64_t> readFailures{0};
    std::atomic<bool> readerGaveUp{false};
};

Module& TheModule();

// Sends a command and checks the reply's status; the reply is returned for its result fields.
bool SendCommand(UsbProbeCommand& request, UsbProbeCommand& reply);
// Stops both stream threads (device lock held). Returns false when the pipes could not be set
// up again after a stuck reader had to be freed by port resets.
bool StopThreadsLocked(Module& m);
// Frees the ring, pool and assembler (device lock held).
void FreeStreamMemory(Module& m);
// The two thread bodies.
void RunStreamReader(Module& m);
void RunFrameAssembler(Module& m);

}  // namespace usbprobe::detail
