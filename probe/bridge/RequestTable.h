// The library's requests and the driver codes they become. The library names a request by an
// internal code (device type 0x22, function i, method 0); the table turns function i into the
// driver's code, or 0xFFFFFFFF where the driver offers no such function.
#pragma once

#include <cstdint>

#include "probe/bridge/HandleObject.h"

namespace bridge::detail {

inline constexpr uint32_t kNotOffered = 0xFFFFFFFF;

const uint32_t* RequestTable();
constexpr uint32_t InternalCode(uint32_t request) {
    return usbdriver::ControlCode(usbdriver::kBridgeDeviceType, request, usbdriver::kMethodBuffered);
}

// One driver request on an open handle, bypassing the handle check (the caller holds the
// object). False with the system error in the thread's last error.
bool SendRequest(HandleObject& h, uint32_t request, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* returned = nullptr, Overlapped* overlapped = nullptr);
// The same, as a status: 0 or the mapped system error.
Status Request(HandleObject& h, uint32_t request, const void* in, uint32_t inSize, void* out,
               uint32_t outSize, uint32_t* returned = nullptr);

}  // namespace bridge::detail
