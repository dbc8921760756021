// The seam in place of the bridge's kernel driver: enumerate the device interfaces of a
// class, open a device path, send I/O control requests (synchronous or overlapped), collect
// an overlapped result, cancel, close. Failures leave a system error number in the calling
// thread's last error, as the bridge library expects.
//
// Devices are attached to the seam as IUsbDevice objects: by tests, or on first use by the
// default-device factory the program installs (the simulator's, which reads TORVIK_PROBE).
// Without a factory no device is attached.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/usbdriver/DriverInterface.h"
#include "platform/usbdriver/SystemError.h"

namespace usbdriver {

// The record of one overlapped request. `status` is kErrorIoPending while the request runs
// and the completion's system error afterwards; `transferred` is valid once it completed.
struct Overlapped {
    std::atomic<uint32_t> status{0};
    std::atomic<uint32_t> transferred{0};
    platform::Event* event = nullptr;  // set when the request completes (not owned)
};

using DeviceHandle = intptr_t;
inline constexpr DeviceHandle kInvalidDevice = -1;

struct DeviceInterface {
    std::string path;
    uint32_t deviceInstance = 0;
};

uint32_t GetLastError();
void SetLastError(uint32_t error);

// The present device interfaces of a class, in a stable order (empty when none is present).
bool EnumerateInterfaces(const Guid& interfaceClass, std::vector<DeviceInterface>& interfaces);

DeviceHandle OpenDevice(const std::string& path);
// Completes every request still pending on the handle with kErrorOperationAborted first.
bool CloseDevice(DeviceHandle device);

// Without an overlapped record the call returns when the request has completed. With one,
// false with kErrorIoPending means the request completes later through the record.
bool DeviceIoControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* bytesReturned, Overlapped* overlapped);
bool GetOverlappedResult(DeviceHandle device, Overlapped* overlapped, uint32_t* transferred, bool wait);
// Cancels one pending request, or all of the handle's when `overlapped` is null.
bool CancelIoEx(DeviceHandle device, Overlapped* overlapped);

// Creates and releases the event of an overlapped record. Releasing waits for a completion
// that is still signalling the event, so the event is never used after it was freed.
bool CreateOverlappedEvent(Overlapped* overlapped);
void ReleaseOverlappedEvent(Overlapped* overlapped);

// ---- The device side of the seam -------------------------------------------------------

// One request as a device receives it. The buffers and the record belong to the caller
// until the device completes the request through Complete().
struct IoRequest {
    uint32_t code = 0;
    const uint8_t* in = nullptr;
    uint32_t inSize = 0;
    uint8_t* out = nullptr;
    uint32_t outSize = 0;
    Overlapped* overlapped = nullptr;
};

// Finishes a request: publishes its result in the record and signals its event.
void Complete(Overlapped* overlapped, uint32_t error, uint32_t transferred);

// One open of a device.
class IDeviceFile {
public:
    virtual ~IDeviceFile() = default;
    // Starts a request. Returns kErrorIoPending when the request will complete later through
    // Complete(); otherwise the request is finished: 0 with `returned` set, or the error.
    virtual uint32_t IoControl(const IoRequest& request, uint32_t& returned) = 0;
    // Completes pending requests (one, or all when null) with kErrorOperationAborted.
    virtual void Cancel(Overlapped* overlapped) = 0;
    // Completes everything still pending and detaches the file from the device.
    virtual void Close() = 0;
};

class IUsbDevice {
public:
    virtual ~IUsbDevice() = default;
    virtual bool IsPresent() const = 0;
    virtual Guid InterfaceClass() const = 0;
    virtual std::string Path() const = 0;
    virtual uint32_t DeviceInstance() const = 0;
    // Opens the device exclusively; null with the system error in `error` when it cannot.
    virtual std::shared_ptr<IDeviceFile> Open(uint32_t& error) = 0;
};

// Devices known to the seam (tests attach their own; the first attach or enumeration
// decides whether the default device is attached).
void AttachDevice(std::shared_ptr<IUsbDevice> device);
void DetachDevice(const std::shared_ptr<IUsbDevice>& device);
void DetachAllDevices();

// Makes the device on first use: called once by the first enumeration or open after it is
// installed, unless a device is attached by then; a null result attaches nothing.
using DefaultDeviceFactory = std::shared_ptr<IUsbDevice> (*)();
void SetDefaultDeviceFactory(DefaultDeviceFactory factory);

}  // namespace usbdriver
