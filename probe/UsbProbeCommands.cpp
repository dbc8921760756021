// The command protocol: one 512-byte block out on pipe 0x02, replies in on pipe 0x82 until one
// echoes the command code; parameters, registers, identity words and the settings restore.
#include "probe/ProbeEnhance.h"
#include "probe/UsbProbeModule.h"

using namespace usbprobe::detail;

namespace {

constexpr int kMaxRepliesPerCommand = 10;

UsbProbeCommand Command(uint16_t code) {
    UsbProbeCommand c{};
    c.SetCode(code);
    return c;
}

// The parameters that are probe registers, with the cache of the last value sent (none for the
// settings marker, which is sent but never cached).
struct RegisterParameter {
    uint32_t id;
    uint32_t code;
    std::atomic<uint32_t> Module::*cache;
};
constexpr RegisterParameter kRegisterParameters[] = {
    {kProbeParamHiFrameMode, kProbeRegisterHiFrameMode, &Module::cachedHiFrameMode},
    {kProbeParamAutoSleepTime, kProbeRegisterAutoSleepTime, &Module::cachedAutoSleepTime},
    {kProbeParam4, kProbeRegisterParameter4, &Module::cachedParam4},
    {kProbeParamTxFrequency, kProbeRegisterTxFrequency, &Module::cachedTxFrequency},
    {kProbeParam120, kProbeRegisterParameter120, &Module::cachedParam120},
    {kProbeParam121, kProbeRegisterParameter121, &Module::cachedParam121},
    {kProbeParamSettingsMarker, kProbeRegisterSettingsMarker, nullptr},
};

// The register behind a parameter id, or null for ids that are not probe registers.
const RegisterParameter* RegisterOf(uint32_t id) {
    for (const RegisterParameter& r : kRegisterParameters) {
        if (r.id == id)
            return &r;
    }
    return nullptr;
}

// The probe keeps the high frame-rate mode inverted: 1 normal, 0 high frame rate.
uint32_t Invert(uint32_t value) {
    return value == 0 ? 1 : 0;
}

int SetMillimetres(uint16_t code, int value, int lowest, int highest, std::atomic<uint32_t>& cache) {
    if (value < lowest || value > highest)
        return 0;
    cache = static_cast<uint32_t>(value);
    UsbProbeCommand request = Command(code), reply{};
    request.SetArgument16(static_cast<uint16_t>(value));
    return SendCommand(request, reply) ? 1 : 0;
}

uint32_t ReadIdentity(uint16_t code, std::atomic<uint32_t>& cache) {
    UsbProbeCommand request = Command(code), reply{};
    if (!SendCommand(request, reply))
        return kProbeIdentityUnread;
    cache = reply.Argument32();
    return reply.Argument32();
}

}  // namespace

namespace usbprobe::detail {

bool SendCommand(UsbProbeCommand& request, UsbProbeCommand& reply) {
    return UsbProbeTransact(request, reply) == 1 && reply.Status() == kProbeReplyAccepted;
}

}  // namespace usbprobe::detail

int UsbProbeTransact(const UsbProbeCommand& request, UsbProbeCommand& reply) {
    Module& m = TheModule();
    std::lock_guard lock(m.commandMutex);
    bridge::Handle h = m.device.load();
    if (!h)
        return 0;
    // A reply that came after its command had given up must not pass for the answer to this one.
    FT_FlushPipe(h, kProbeReplyPipe);
    UsbProbeCommand out = request;
    uint32_t transferred = 0;
    if (FT_WritePipe(h, kProbeCommandPipe, out.bytes, kUsbProbeCommandSize, &transferred, nullptr) !=
            bridge::kStatusOk ||
        transferred != kUsbProbeCommandSize) {
        return 0;
    }
    for (int i = 0; i < kMaxRepliesPerCommand; ++i) {
        reply.Clear();
        if (FT_ReadPipe(h, kProbeReplyPipe, reply.bytes, kUsbProbeCommandSize, &transferred, nullptr) !=
            bridge::kStatusOk) {
            return 0;
        }
        if (reply.Code() == request.Code())
            return 1;
    }
    return 0;
}

int UsbProbeSetFocus(int millimetres) {
    return SetMillimetres(kProbeCommandSetFocus, millimetres, kProbeMinFocusMm, kProbeMaxFocusMm,
                          TheModule().cachedFocus);
}

int UsbProbeSetDepth(int millimetres) {
    return SetMillimetres(kProbeCommandSetDepth, millimetres, kProbeMinDepthMm, kProbeMaxDepthMm,
                          TheModule().cachedDepth);
}

int UsbProbeSetRegister(uint32_t id, uint32_t value) {
    if (id == kProbeParamImageFilter)
        return value <= 1 && ProbeSetImageFilter(static_cast<int>(value)) ? 1 : 0;
    if (id >= kProbeParamBlendCompressed && id <= kProbeParamBlendEdge)
        return ProbeSetBlendWeight(id, value);
    const RegisterParameter* reg = RegisterOf(id);
    if (!reg)
        return 0;
    if (reg->cache)
        TheModule().*reg->cache = value;
    UsbProbeCommand request = Command(kProbeCommandWriteRegister), reply{};
    request.SetArgument32(reg->code);
    request.SetRegisterValue(id == kProbeParamHiFrameMode ? Invert(value) : value);
    return SendCommand(request, reply) ? 1 : 0;
}

int UsbProbeGetRegister(uint32_t id, uint32_t* value) {
    if (value == nullptr)
        return 0;
    if (id == kProbeParamImageFilter) {
        *value = static_cast<uint32_t>(ProbeGetImageFilter());
        return 1;
    }
    if (id >= kProbeParamBlendCompressed && id <= kProbeParamBlendEdge)
        return ProbeGetBlendWeight(id, value);
    const RegisterParameter* reg = RegisterOf(id);
    if (!reg)
        return 0;
    UsbProbeCommand request = Command(kProbeCommandReadRegister), reply{};
    request.SetArgument32(reg->code);
    if (!SendCommand(request, reply))
        return 0;
    *value = id == kProbeParamHiFrameMode ? Invert(reply.RegisterValue()) : reply.RegisterValue();
    return 1;
}

uint32_t UsbProbeGetHardwareId() {
    return ReadIdentity(kProbeCommandHardwareId, TheModule().hardwareId);
}

uint32_t UsbProbeGetVersionA() {
    return ReadIdentity(kProbeCommandVersionA, TheModule().versionA);
}

uint32_t UsbProbeGetVersionB() {
    return ReadIdentity(kProbeCommandVersionB, TheModule().versionB);
}

int UsbProbeRestoreSettings() {
    uint32_t marker = 0;
    if (!UsbProbeGetRegister(kProbeParamSettingsMarker, &marker))
        return 0;
    if (marker == kProbeSettingsMarkerValue)
        return 1;
    Module& m = TheModule();
    auto resend = [](uint32_t value, auto send) {
        if (value != kProbeValueUnset)
            send(value);
    };
    resend(m.cachedDepth, [](uint32_t v) { UsbProbeSetDepth(static_cast<int>(v)); });
    resend(m.cachedFocus, [](uint32_t v) { UsbProbeSetFocus(static_cast<int>(v)); });
    const uint32_t order[] = {kProbeParamTxFrequency, kProbeParamAutoSleepTime, kProbeParamHiFrameMode,
                              kProbeParam4,           kProbeParam121,           kProbeParam120};
    for (uint32_t id : order)
        resend(m.*RegisterOf(id)->cache, [id](uint32_t v) { UsbProbeSetRegister(id, v); });
    return 1;
}
