// Opening a device (by index, serial number, description or class), and closing it.
#include <algorithm>
#include <cstring>
#include <new>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace bridge::detail {

uint32_t PollIntervalMs(uint8_t bInterval) {
    // Interrupt intervals are 2^(bInterval - 1) micro-frames of 125 us, bInterval 1..16; a
    // descriptor outside that range must not shift by a negative count.
    const unsigned exponent = std::clamp<unsigned>(bInterval, 1, 16) - 1;
    return (1u << exponent) * 125u / 1000u;
}

Status OpenByIndex(uint32_t deviceIndex, Handle* handle) {
    std::lock_guard lock(OpenCloseMutex());
    if (handle == nullptr)
        return kStatusInvalidArgs;
    std::vector<DeviceInterface> interfaces;
    if (!EnumerateInterfaces(kBridgeInterfaceClass, interfaces) || deviceIndex >= interfaces.size()) {
        return kStatusDeviceNotFound;
    }
    const DeviceInterface& found = interfaces[deviceIndex];
    const DeviceHandle device = OpenDevice(found.path);
    if (device == kInvalidDevice)
        return kStatusDeviceNotOpened;

    HandlePtr h;
    try {
        h = std::make_shared<HandleObject>();
    } catch (const std::bad_alloc&) {
        CloseDevice(device);
        return kStatusInsufficientResources;
    }
    h->device = device;
    h->devicePath = found.path;
    h->deviceInstance = found.deviceInstance;
    h->requestTable = RequestTable();
    DeviceInformationRecord info;
    const bool infoRead = ReadDeviceInformation(*h, info) && info.status == kStatusOk;
    h->deviceType = DetectDeviceType(*h, infoRead ? &info : nullptr);
    if (infoRead) {
        h->deviceId = info.deviceId;
        std::memcpy(h->serialNumber, info.serialNumber, sizeof(h->serialNumber));
        std::memcpy(h->description, info.description, sizeof(h->description));
        h->serialNumber[sizeof(h->serialNumber) - 1] = '\0';
        h->description[sizeof(h->description) - 1] = '\0';
    }
    DeviceDescriptor d{};
    if (ReadDeviceDescriptor(*h, d) == kStatusOk)
        h->maximumPacketSize = MaximumPacketSize(d.bcdUSB);
    *handle = h.get();
    AddHandle(std::move(h));
    return kStatusOk;
}

}  // namespace bridge::detail

namespace {

// Opens the devices of the class one by one until one's serial number (string descriptor 3)
// or description (2) equals the argument, byte for byte and in length.
Status OpenByString(const char* wanted, uint8_t descriptorIndex, Handle* handle) {
    std::vector<DeviceInterface> interfaces;
    if (!EnumerateInterfaces(kBridgeInterfaceClass, interfaces) || interfaces.empty())
        return kStatusDeviceNotFound;
    const std::string target = wanted != nullptr ? wanted : "";
    Status status = kStatusDeviceNotFound;
    for (uint32_t i = 0; i < interfaces.size(); ++i) {
        std::lock_guard lock(CreateSearchLock());
        Handle candidate = nullptr;
        status = OpenByIndex(i, &candidate);
        if (status != kStatusOk)
            continue;
        std::string text;
        HandlePtr h = FindHandle(candidate);
        if (h && ReadStringDescriptorText(*h, descriptorIndex, text) && text == target) {
            *handle = candidate;
            return kStatusOk;
        }
        FT_Close(candidate);
        status = kStatusDeviceNotFound;
    }
    return status;
}

// What every way of opening does once a device is open: the open check, then the pipe table.
Status FinishCreate(Handle handle) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    DeviceInformationRecord info;
    if (ReadDeviceInformation(*h, info) && info.status == kStatusOk)
        h->deviceType = DetectDeviceType(*h, &info);
    if (!SendRequest(*h, kRequestOpenCheck, nullptr, 0, nullptr, 0)) {
        const Status status = MapLastError();
        FT_Close(handle);
        return status;
    }
    ConfigurationDescriptor config{};
    if (ReadConfigurationDescriptor(*h, config) == kStatusOk && config.bNumInterfaces > 1) {
        InterfaceDescriptor dataInterface{};
        PipeInformation notificationPipe{};
        uint8_t interval = 0;
        if (ReadInterfaceDescriptor(*h, 1, dataInterface) == kStatusOk) {
            // The notification pipe is pipe 1 of interface 0 (pipe 0 is the chip's session pipe).
            if (ReadPipeInformation(*h, 0, 1, notificationPipe, &interval) == kStatusOk) {
                h->notifications.pollIntervalMs = PollIntervalMs(interval);
            }
            std::vector<PipeInformation> pipes(dataInterface.bNumEndpoints);
            for (uint8_t p = 0; p < pipes.size(); ++p)
                ReadPipeInformation(*h, 1, p, pipes[p]);
            h->pipes = std::move(pipes);
        }
    }
    std::lock_guard lock(h->notifications.lock);
    h->notifications.ready = true;
    return kStatusOk;
}

}  // namespace

extern "C" {

Status FT_Open(uint32_t deviceIndex, Handle* handle) {
    return OpenByIndex(deviceIndex, handle);
}

Status FT_Create(const void* argument, uint32_t flags, Handle* handle) {
    if (handle == nullptr)
        return kStatusInvalidArgs;
    *handle = nullptr;
    Status status;
    if (flags & kOpenBySerialNumber) {
        status = OpenByString(static_cast<const char*>(argument), 3, handle);
    } else if (flags & kOpenByDescription) {
        status = OpenByString(static_cast<const char*>(argument), 2, handle);
    } else if (flags & kOpenByGuid) {
        status = OpenByIndex(0, handle);  // the first device of the class; the argument is not consulted
    } else if (flags & kOpenByIndex) {
        status = OpenByIndex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(argument)), handle);
    } else {
        return kStatusInvalidParameter;
    }
    if (status != kStatusOk) {
        *handle = nullptr;
        return status;
    }
    status = FinishCreate(*handle);
    if (status != kStatusOk)
        *handle = nullptr;
    return status;
}

Status FT_Close(Handle handle) {
    // Taking the handle off the list first makes every later call with it fail with 1 and lets
    // only one of two racing closes go on; calls still running keep the object alive.
    HandlePtr h = RemoveHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    StopNotifications(*h, true);
    for (const PipeInformation& pipe : h->pipes) {
        uint8_t id = pipe.pipeId;
        uint8_t aborted = 0;
        SendRequest(*h, kRequestAbortPipe, &id, 1, &aborted, 1);
    }
    h->pipes.clear();
    StopByteStream(*h);  // cancels and joins the reader before the object can go
    std::lock_guard lock(OpenCloseMutex());
    CloseDevice(h->device);
    return kStatusOk;
}

}  // extern "C"
