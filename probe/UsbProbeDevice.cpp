// Opening and closing the device: chip configuration, pipes, the probe's reset pulse.
#include <chrono>
#include <thread>

#include "common/DebugLog.h"
#include "probe/ProbeEnhance.h"
#include "probe/UsbProbeModule.h"

using namespace usbprobe::detail;

namespace usbprobe::detail {

Module& TheModule() {
    // Never destroyed: stream threads may still reference it while the process ends.
    static Module* module = new Module;
    return *module;
}

void FreeStreamMemory(Module& m) {
    m.ring.Free();
    ProbeFramePoolFree(m.pool);
    m.frameAssembler.reset();
}

}  // namespace usbprobe::detail

namespace {

constexpr uint32_t kStreamSizeBytes = 1024;
constexpr auto kResetPulse = std::chrono::milliseconds(50);

bool OpenByClass(bridge::Handle& handle) {
    handle = nullptr;
    return FT_Create(&bridge::kBridgeClassGuid, bridge::kOpenByGuid, &handle) == bridge::kStatusOk;
}

// Closes the device and forgets it; the command lock keeps a transaction from using it meanwhile.
void CloseDevice(Module& m) {
    std::lock_guard lock(m.commandMutex);
    if (bridge::Handle h = m.device.exchange(nullptr))
        FT_Close(h);
}

// A low pulse on GPIO 0 resets the probe.
bool ResetProbe(bridge::Handle h) {
    if (FT_EnableGPIO(h, 0x3, 0x1) != bridge::kStatusOk || FT_WriteGPIO(h, 0x1, 0) != bridge::kStatusOk)
        return false;
    std::this_thread::sleep_for(kResetPulse);
    if (FT_WriteGPIO(h, 0x1, 1) != bridge::kStatusOk)
        return false;
    std::this_thread::sleep_for(kResetPulse);
    return true;
}

bool AllocateStreamMemory(Module& m) {
    m.frameAssembler.reset(new (std::nothrow) ProbeFrameAssembler);
    const bool assemblerReady = m.frameAssembler && m.frameAssembler->IsReady();
    const bool poolReady = ProbeFramePoolInit(m.pool);
    const bool ringReady = m.ring.Allocate();
    return assemblerReady && poolReady && ringReady;
}

// The part of the open that can fail; the caller releases everything when it does.
bool OpenSteps(Module& m) {
    bridge::Handle h = nullptr;
    if (!OpenByClass(h))
        return false;
    m.device = h;
    FT_ResetDevicePort(h);
    FT_60XCONFIGURATION configuration{};
    if (FT_GetChipConfiguration(h, &configuration) != bridge::kStatusOk)
        return false;
    if (!UsbProbeCheckChipConfig(configuration)) {
        DebugLog("UsbProbeOpen: chip configuration rewritten\n");
        if (FT_SetChipConfiguration(h, &configuration) != bridge::kStatusOk)
            return false;
    }
    // Reopening also makes a rewritten configuration take effect.
    if (!UsbProbeConfigurePipes())
        return false;
    if (!ResetProbe(m.device))
        return false;
    return AllocateStreamMemory(m);
}

}  // namespace

int UsbProbeOpen() {
    Module& m = TheModule();
    std::lock_guard lock(m.deviceMutex);
    if (m.device.load() != nullptr)
        return 0;
    if (!OpenSteps(m)) {
        CloseDevice(m);
        FreeStreamMemory(m);
        return 0;
    }
    m.packetsRead = 0;
    m.readFailures = 0;
    m.readerGaveUp = false;
    const uint32_t id = UsbProbeGetHardwareId();
    const bool linear = id != kProbeIdentityUnread && ProbeKindWord(id) == kProbeKindLinear;
    const ProbeCompression compression = linear ? kLinearCompression : kConvexCompression;
    m.linear = linear;
    m.compressionGain = compression.gain;
    m.compressionOffset = compression.offset;
    ProbeSetDefaultBlendWeights(linear);
    UsbProbeSetRegister(kProbeParamSettingsMarker, kProbeSettingsMarkerValue);
    return 1;
}

int UsbProbeClose() {
    Module& m = TheModule();
    std::lock_guard lock(m.deviceMutex);
    if (m.running.load()) {
        UsbProbeCommand stop{}, reply{};
        stop.SetCode(kProbeCommandStopStreaming);
        UsbProbeTransact(stop, reply);
        StopThreadsLocked(m);
    }
    CloseDevice(m);
    FreeStreamMemory(m);
    return 1;
}

bool UsbProbeIsOpen() {
    return TheModule().device.load() != nullptr;
}

bool UsbProbeIsLinear() {
    return TheModule().linear.load();
}

bool UsbProbeCheckChipConfig(FT_60XCONFIGURATION& c) {
    bool unchanged = true;
    auto want = [&](auto& field, auto value) {
        if (field != value) {
            field = value;
            unchanged = false;
        }
    };
    want(c.FIFOClock, uint8_t{1});
    want(c.FIFOMode, uint8_t{1});
    want(c.ChannelConfig, uint8_t{1});
    want(c.OptionalFeatureSupport, uint16_t{0});
    return unchanged;
}

bool UsbProbeConfigurePipes() {
    Module& m = TheModule();
    if (m.running.load())
        return false;  // the reader uses the device: only when the stream threads are gone
    bridge::Handle h = nullptr;
    {
        std::lock_guard lock(m.commandMutex);
        if (bridge::Handle old = m.device.exchange(nullptr))
            FT_Close(old);
        if (!OpenByClass(h))
            return false;
        m.device = h;
    }
    FT_SetSuspendTimeout(h, 0);
    return FT_SetStreamPipe(h, true, true, kProbeStreamPipe, kStreamSizeBytes) == bridge::kStatusOk &&
           FT_SetPipeTimeout(h, kProbeReplyPipe, kPipeTimeoutMs) == bridge::kStatusOk &&
           FT_SetPipeTimeout(h, kProbeStreamPipe, kPipeTimeoutMs) == bridge::kStatusOk;
}
