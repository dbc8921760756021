// The bridge library: the user-mode API of the USB 3.0 bridge chip the probe is attached
// through. The 56 functions are exported from the program under their names (they stand in
// its dynamic symbol table); every one returns a status code below unless said otherwise.
// Built on the driver seam of platform/usbdriver.
#pragma once

#include <cstdint>

#include "platform/usbdriver/DriverInterface.h"
#include "platform/usbdriver/UsbDriver.h"

#define FT_API __attribute__((visibility("default")))

namespace bridge {

using Status = uint32_t;
enum : Status {
    kStatusOk = 0,
    kStatusInvalidHandle = 1,  // the handle is not in the list of open handles
    kStatusDeviceNotFound = 2,
    kStatusDeviceNotOpened = 3,
    kStatusIoError = 4,
    kStatusInsufficientResources = 5,
    kStatusInvalidParameter = 6,
    kStatusInvalidArgs = 16,  // a required pointer or length is missing
    kStatusNotSupported = 17,
    kStatusNoMoreItems = 18,
    kStatusTimeout = 19,
    kStatusOperationAborted = 20,
    kStatusReservedPipe = 21,  // pipes 0x01 and 0x81 are refused
    kStatusIoPending = 24,
    kStatusIoIncomplete = 25,
    kStatusEndOfFile = 26,
    kStatusBusy = 27,
    kStatusNoSystemResources = 28,
    kStatusDeviceNotConnected = 30,
    kStatusDevicePathMismatch = 31,
    kStatusOtherError = 32,
};

using Handle = void*;
using Overlapped = usbdriver::Overlapped;
using DeviceDescriptor = usbdriver::UsbDeviceDescriptor;
using ConfigurationDescriptor = usbdriver::UsbConfigurationDescriptor;
using InterfaceDescriptor = usbdriver::UsbInterfaceDescriptor;
using Guid = usbdriver::Guid;
inline constexpr Guid kBridgeClassGuid = usbdriver::kBridgeInterfaceClass;

inline constexpr uint32_t kLibraryVersion = 0x01030002;  // 1.3.0.2

// How FT_Create finds the device (the first flag set decides).
enum : uint32_t {
    kOpenBySerialNumber = 1,
    kOpenByDescription = 2,
    kOpenByGuid = 8,
    kOpenByIndex = 16,
};

// FT_ListDevices flags.
enum : uint32_t {
    kListNumberOnly = 0x80000000,
    kListByIndex = 0x40000000,
    kListAll = 0x20000000,
    kListSerialNumber = 1,
    kListDescription = 2,
    kListLocationId = 4,
};

// Device list entry flags.
enum : uint32_t {
    kDeviceOpened = 1,
    kDeviceHighSpeed = 2,
    kDeviceSuperSpeed = 4,
};

inline constexpr uint32_t kPurgeByteStream = 1;

// One entry of the device list built by FT_CreateDeviceInfoList.
struct DeviceListEntry {
    uint32_t flags;
    uint32_t type;
    uint32_t id;  // vendor id << 16 | product id
    uint32_t locationId;
    char serialNumber[16];
    char description[32];
    Handle handle;  // the open handle of this process, or null
};

// One pipe of interface 1 (also the result of FT_GetPipeInformation).
struct PipeInformation {
    uint32_t pipeType;
    uint8_t pipeId;
    uint16_t maximumPacketSize;
    uint8_t interval;
};
static_assert(sizeof(PipeInformation) == 12);

// Notification callback: kind 0 with a DataNotification, kind 1 with a GpioNotification.
using NotificationCallback = void (*)(void* context, uint32_t kind, void* record);
enum : uint32_t { kNotificationKindData = 0, kNotificationKindGpio = 1 };
struct DataNotification {
    uint32_t size;
    uint8_t endpoint;
};
struct GpioNotification {
    uint32_t gpio0;
    uint32_t gpio1;
};

}  // namespace bridge

using FT_60XCONFIGURATION = usbdriver::ChipConfiguration;

extern "C" {

FT_API bridge::Status FT_AbortPipe(bridge::Handle handle, uint8_t pipeId);
FT_API void FT_ClearNotificationCallback(bridge::Handle handle);
FT_API bridge::Status FT_ClearStreamPipe(bridge::Handle handle, bool allWritePipes, bool allReadPipes,
                                         uint8_t pipeId);
FT_API bridge::Status FT_Close(bridge::Handle handle);
FT_API bridge::Status FT_ControlTransfer(bridge::Handle handle, uint32_t setupLow, uint32_t setupHigh,
                                         uint8_t* buffer, uint32_t length, uint32_t* transferred);
FT_API bridge::Status FT_Create(const void* argument, uint32_t flags, bridge::Handle* handle);
FT_API bridge::Status FT_CreateDeviceInfoList(uint32_t* count);
FT_API bridge::Status FT_CycleDevicePort(bridge::Handle handle);
FT_API bridge::Status FT_EnableGPIO(bridge::Handle handle, uint32_t mask, uint32_t direction);
FT_API bridge::Status FT_FlushPipe(bridge::Handle handle, uint8_t pipeId);
FT_API bridge::Status FT_GetChipConfiguration(bridge::Handle handle, FT_60XCONFIGURATION* configuration);
FT_API bridge::Status FT_GetConfigurationDescriptor(bridge::Handle handle,
                                                    bridge::ConfigurationDescriptor* descriptor);
FT_API bridge::Status FT_GetDescriptor(bridge::Handle handle, uint8_t type, uint8_t index, uint8_t* buffer,
                                       uint32_t length, uint32_t* transferred);
FT_API bridge::Status FT_GetDeviceDescriptor(bridge::Handle handle, bridge::DeviceDescriptor* descriptor);
FT_API bridge::Status FT_GetDeviceInfo(bridge::Handle handle, uint32_t* type, uint32_t* id,
                                       char* serialNumber, char* description, uint32_t* locationId);
FT_API bridge::Status FT_GetDeviceInfoDetail(uint32_t index, uint32_t* flags, uint32_t* type, uint32_t* id,
                                             uint32_t* locationId, char* serialNumber, char* description,
                                             bridge::Handle* handle);
FT_API bridge::Status FT_GetDeviceInfoList(bridge::DeviceListEntry* entries, uint32_t* count);
FT_API bridge::Status FT_GetDriverVersion(bridge::Handle handle, uint32_t* version);
FT_API bridge::Status FT_GetFirmwareVersion(bridge::Handle handle, uint32_t* version);
FT_API bridge::Status FT_GetGPIO(bridge::Handle handle, uint8_t pins, bridge::NotificationCallback callback,
                                 void* context, uint16_t count);
FT_API bridge::Status FT_GetInterfaceDescriptor(bridge::Handle handle, uint8_t interfaceIndex,
                                                bridge::InterfaceDescriptor* descriptor);
FT_API bridge::Status FT_GetLatencyTimer(bridge::Handle handle, uint8_t* milliseconds);
FT_API bridge::Status FT_GetLibraryVersion(uint32_t* version);
FT_API bridge::Status FT_GetOverlappedResult(bridge::Handle handle, bridge::Overlapped* overlapped,
                                             uint32_t* transferred, bool wait);
FT_API bridge::Status FT_GetPipeInformation(bridge::Handle handle, uint8_t interfaceIndex, uint8_t pipeIndex,
                                            bridge::PipeInformation* information);
FT_API bridge::Status FT_GetPipeTimeout(bridge::Handle handle, uint8_t pipeId, uint32_t* milliseconds);
FT_API bridge::Status FT_GetQueueStatus(bridge::Handle handle, uint32_t* bytes);
FT_API bridge::Status FT_GetStringDescriptor(bridge::Handle handle, uint8_t index, uint8_t* buffer);
FT_API bridge::Status FT_GetSuspendTimeout(bridge::Handle handle, uint32_t* seconds);
FT_API bridge::Status FT_GetVIDPID(bridge::Handle handle, uint16_t* vendorId, uint16_t* productId);
FT_API bridge::Status FT_InitializeD2XXExtension(bridge::Handle handle);
FT_API bridge::Status FT_InitializeOverlapped(bridge::Handle handle, bridge::Overlapped* overlapped);
FT_API bridge::Status FT_IoCtl(bridge::Handle handle, uint32_t internalCode, const void* in, uint32_t inSize,
                               void* out, uint32_t outSize, uint32_t* returned,
                               bridge::Overlapped* overlapped);
FT_API bridge::Status FT_IsDevicePath(bridge::Handle handle, const char* path);
FT_API bridge::Status FT_ListDevices(void* argument1, void* argument2, uint32_t flags);
FT_API bridge::Status FT_Open(uint32_t deviceIndex, bridge::Handle* handle);
FT_API bridge::Status FT_Purge(bridge::Handle handle, uint32_t mask);
FT_API bridge::Status FT_Read(bridge::Handle handle, uint8_t* buffer, uint32_t length, uint32_t* read);
FT_API bridge::Status FT_ReadGPIO(bridge::Handle handle, uint32_t* levels);
FT_API bridge::Status FT_ReadPipe(bridge::Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length,
                                  uint32_t* transferred, bridge::Overlapped* overlapped);
FT_API bridge::Status FT_ReadPipeEx(bridge::Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length,
                                    uint32_t* transferred, bridge::Overlapped* overlapped);
FT_API bridge::Status FT_ReleaseOverlapped(bridge::Handle handle, bridge::Overlapped* overlapped);
FT_API bridge::Status FT_ResetDevicePort(bridge::Handle handle);
FT_API bridge::Status FT_SetChipConfiguration(bridge::Handle handle,
                                              const FT_60XCONFIGURATION* configuration);
FT_API bridge::Status FT_SetGPIO(bridge::Handle handle, uint8_t mask, uint8_t value);
FT_API bridge::Status FT_SetGPIOLevel(bridge::Handle handle, uint32_t mask, uint32_t levels);
FT_API bridge::Status FT_SetGPIOPull(bridge::Handle handle, uint32_t mask, uint32_t pull);
FT_API bridge::Status FT_SetLatencyTimer(bridge::Handle handle, uint8_t milliseconds);
FT_API bridge::Status FT_SetNotificationCallback(bridge::Handle handle, bridge::NotificationCallback callback,
                                                 void* context);
FT_API bridge::Status FT_SetPipeTimeout(bridge::Handle handle, uint8_t pipeId, uint32_t milliseconds);
FT_API bridge::Status FT_SetStreamPipe(bridge::Handle handle, bool allWritePipes, bool allReadPipes,
                                       uint8_t pipeId, uint32_t streamSize);
FT_API bridge::Status FT_SetSuspendTimeout(bridge::Handle handle, uint32_t seconds);
FT_API bridge::Status FT_SetUSBParameters(bridge::Handle handle, uint32_t transferSize, uint32_t unused);
FT_API bridge::Status FT_WriteGPIO(bridge::Handle handle, uint32_t mask, uint32_t data);
FT_API bridge::Status FT_WritePipe(bridge::Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length,
                                   uint32_t* transferred, bridge::Overlapped* overlapped);
FT_API bridge::Status FT_WritePipeEx(bridge::Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length,
                                     uint32_t* transferred, bridge::Overlapped* overlapped);

}  // extern "C"
