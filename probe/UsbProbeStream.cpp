// Starting and stopping the stream, the frame assembler thread, the frame FIFO and the frame
// callback.
#include <system_error>

#include "common/DebugLog.h"
#include "probe/UsbProbeModule.h"

using namespace usbprobe::detail;

namespace {

// How often a stuck reader is given a port reset while the stream stops.
constexpr uint32_t kReaderStepMs = 200;

bool SendStreamCommand(uint16_t code) {
    UsbProbeCommand request{}, reply{};
    request.SetCode(code);
    return UsbProbeTransact(request, reply) == 1;
}

}  // namespace

namespace usbprobe::detail {

bool StopThreadsLocked(Module& m) {
    {
        std::lock_guard lock(m.postMutex);
        m.running = false;
    }
    m.stopRequested.Set();
    m.ring.Wake();
    // Completes every read still pending, so the reader can collect them all.
    if (bridge::Handle h = m.device.load())
        FT_AbortPipe(h, kProbeStreamPipe);
    int resets = 0;
    if (m.reader.joinable()) {
        while (!m.readerDone.Wait(kReaderStepMs)) {
            DebugLog("UsbProbeStop: reader stuck, port reset\n");
            FT_ResetDevicePort(m.device.load());
            ++resets;
        }
        m.reader.join();
    }
    if (m.assembler.joinable())
        m.assembler.join();
    // A port reset loses the pipe settings.
    return resets == 0 || UsbProbeConfigurePipes();
}

void RunFrameAssembler(Module& m) {
    while (ProbePacketRing::Entry* entry = m.ring.WaitForPacket(m.running)) {
        const ProbeCompression compression{m.compressionGain.load(), m.compressionOffset.load()};
        const bool produced =
            m.frameAssembler->ProcessPacket(entry->bytes, m.pool, m.linear.load(), compression);
        m.ring.CommitRead();
        if (produced) {
            std::lock_guard lock(m.callbackMutex);
            if (m.callback)
                m.callback(m.callbackContext);
        }
    }
    // Frames nobody took are dropped with the stream.
    ProbeFramePoolReset(m.pool);
}

}  // namespace usbprobe::detail

int UsbProbeStart() {
    Module& m = TheModule();
    std::lock_guard lock(m.deviceMutex);
    if (m.running.load() || m.device.load() == nullptr || !m.ring.IsAllocated() || !m.frameAssembler)
        return 0;
    UsbProbeRestoreSettings();
    if (!SendStreamCommand(kProbeCommandStartStreaming))
        return 0;
    m.ring.Reset();
    ProbeFramePoolReset(m.pool);
    m.frameAssembler->Reset();
    m.stopRequested.ResetEvent();
    m.readerDone.ResetEvent();
    m.readerGaveUp = false;
    m.running = true;
    try {
        m.reader = std::thread([&m] { RunStreamReader(m); });
        m.assembler = std::thread([&m] { RunFrameAssembler(m); });
    } catch (const std::system_error& e) {
        DebugLog("UsbProbeStart: %s\n", e.what());
        StopThreadsLocked(m);
        SendStreamCommand(kProbeCommandStopStreaming);
        return 0;
    }
    return 1;
}

int UsbProbeStop() {
    Module& m = TheModule();
    std::lock_guard lock(m.deviceMutex);
    const bool acknowledged = SendStreamCommand(kProbeCommandStopStreaming);
    if (!m.running.load())
        return 0;
    const bool pipesReady = StopThreadsLocked(m);
    return acknowledged && pipesReady ? 1 : 0;
}

bool UsbProbeIsRunning() {
    return TheModule().running.load();
}

void UsbProbeSetFrameCallback(UsbProbeFrameCallback callback, void* context) {
    Module& m = TheModule();
    std::lock_guard lock(m.callbackMutex);
    m.callback = callback;
    m.callbackContext = context;
}

void UsbProbeClearFrameCallback() {
    UsbProbeSetFrameCallback(nullptr, nullptr);
}

int32_t UsbProbeGetFrame(uint8_t* buffer, uint32_t size) {
    Module& m = TheModule();
    ProbeFrameSlot* slot = ProbeFrameQueuePop(m.pool);
    int32_t result = 0;
    if (buffer == nullptr) {
        result = kUsbProbeFrameNullBuffer;
    } else if (slot) {
        const uint8_t type = slot->header.frameType;
        const uint32_t need = type == 0                ? sizeof(ProbeFrameHeader)
                              : type == 1 || type == 2 ? static_cast<uint32_t>(kProbeFrameBytes)
                                                       : 0;
        if (need == 0) {
            result = 0;
        } else if (size < need) {
            result = kUsbProbeFrameTooSmall;
        } else {
            std::memcpy(buffer, &slot->header, sizeof(ProbeFrameHeader));
            if (need > sizeof(ProbeFrameHeader))
                std::memcpy(buffer + sizeof(ProbeFrameHeader), slot->image, kProbeFrameImageBytes);
            result = static_cast<int32_t>(need);
        }
    }
    if (slot)
        ProbeFramePoolRelease(m.pool, slot);
    return result;
}

UsbProbeStreamStats UsbProbeGetStreamStats() {
    Module& m = TheModule();
    std::lock_guard lock(m.deviceMutex);
    UsbProbeStreamStats s;
    s.packetsRead = m.packetsRead.load();
    s.readFailures = m.readFailures.load();
    s.readerGaveUp = m.readerGaveUp.load();
    if (m.frameAssembler) {
        s.packetsIgnored = m.frameAssembler->packetsIgnored.load();
        s.framesProduced = m.frameAssembler->framesProduced.load();
        s.framesLost = m.frameAssembler->framesLost.load();
    }
    return s;
}
