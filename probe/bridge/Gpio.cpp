// The chip's two GPIO pins.
#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

constexpr uint32_t kBothPins = 3;

// The vendor request that sets levels (value 1) or pulls (value 3): for each pin p in the
// mask, bits 3p..3p+2 hold 4 or'ed with the pin's two bits (2p..2p+1) of `bits`.
Status GpioControl(Handle handle, uint32_t mask, uint32_t bits, uint16_t value) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    uint32_t field = 0;
    for (unsigned p = 0; p < 3; ++p) {
        if (mask & (1u << p))
            field |= (4u | ((bits >> (2 * p)) & 3u)) << (3 * p);
    }
    UsbSetupPacket setup{};
    setup.bmRequestType = 0x40;
    setup.bRequest = kVendorRequestGpioControl;
    setup.wValue = value;
    setup.wLength = 2;
    uint8_t data[2] = {static_cast<uint8_t>(field), static_cast<uint8_t>(field >> 8)};
    return ControlTransfer(*h, setup, data, sizeof(data));
}

}  // namespace

extern "C" {

Status FT_EnableGPIO(Handle handle, uint32_t /*mask*/, uint32_t direction) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    GpioEnableRequest r{kBothPins, direction};
    return Request(*h, kRequestEnableGpio, &r, sizeof(r), nullptr, 0);
}

Status FT_WriteGPIO(Handle handle, uint32_t mask, uint32_t data) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    GpioWriteRequest r{mask, data};
    return Request(*h, kRequestWriteGpio, &r, sizeof(r), nullptr, 0);
}

Status FT_ReadGPIO(Handle handle, uint32_t* levels) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (levels == nullptr)
        return kStatusInvalidArgs;
    return Request(*h, kRequestReadGpio, nullptr, 0, levels, sizeof(*levels));
}

Status FT_SetGPIO(Handle handle, uint8_t mask, uint8_t value) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    LegacyGpioRequest r{mask, value};
    return Request(*h, kRequestSetGpio, &r, sizeof(r), nullptr, 0);
}

Status FT_SetGPIOLevel(Handle handle, uint32_t mask, uint32_t levels) {
    return GpioControl(handle, mask, levels, 1);
}

Status FT_SetGPIOPull(Handle handle, uint32_t mask, uint32_t pull) {
    return GpioControl(handle, mask, pull, 3);
}

}  // extern "C"
