// The system error numbers the bridge driver reports through the calling thread's last
// error. They keep the Windows values because the bridge library maps exactly these.
#pragma once

#include <cstdint>

namespace usbdriver {

inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorGenFailure = 31;
inline constexpr uint32_t kErrorHandleEof = 38;
inline constexpr uint32_t kErrorDevNotExist = 55;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorSemTimeout = 121;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorBusy = 170;
inline constexpr uint32_t kErrorNoMoreItems = 259;
inline constexpr uint32_t kErrorOperationAborted = 995;
inline constexpr uint32_t kErrorIoIncomplete = 996;
inline constexpr uint32_t kErrorIoPending = 997;
inline constexpr uint32_t kErrorDeviceNotConnected = 1167;
inline constexpr uint32_t kErrorBadDevice = 1200;
inline constexpr uint32_t kErrorNoSystemResources = 1450;

}  // namespace usbdriver
