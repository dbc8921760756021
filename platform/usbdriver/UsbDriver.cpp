#include "platform/usbdriver/UsbDriver.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>

#include "platform/StringUtil.h"
#include "platform/usbdriver/RequestLog.h"

namespace usbdriver {
namespace {

thread_local uint32_t t_lastError = 0;

// Every completion publishes its record and signals under this lock, so a waiter that saw the
// result, or a caller releasing the event, never races with the completing thread.
std::mutex g_completionMutex;
std::condition_variable g_completionCv;

struct Registry {
    std::mutex mutex;
    std::vector<std::shared_ptr<IUsbDevice>> devices;
    bool defaultsDecided = false;
    std::map<DeviceHandle, std::shared_ptr<IDeviceFile>> files;
    DeviceHandle nextHandle = 0x100;
    DefaultDeviceFactory defaultFactory = nullptr;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// Attaches the default device, once, unless a test attached its own first.
void DecideDefaults(Registry& r) {
    if (r.defaultsDecided)
        return;
    r.defaultsDecided = true;
    if (r.defaultFactory == nullptr)
        return;
    if (auto device = r.defaultFactory())
        r.devices.push_back(std::move(device));
}

std::shared_ptr<IDeviceFile> FindFile(DeviceHandle device) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto it = r.files.find(device);
    return it == r.files.end() ? nullptr : it->second;
}

bool Fail(uint32_t error) {
    t_lastError = error;
    return false;
}

// Waits (or not) for a record and reports its result the way the system does.
bool CollectResult(Overlapped* overlapped, uint32_t* transferred, bool wait) {
    std::unique_lock lock(g_completionMutex);
    if (overlapped->status.load(std::memory_order_acquire) == kErrorIoPending) {
        if (!wait)
            return Fail(kErrorIoIncomplete);
        g_completionCv.wait(
            lock, [&] { return overlapped->status.load(std::memory_order_acquire) != kErrorIoPending; });
    }
    const uint32_t error = overlapped->status.load(std::memory_order_acquire);
    if (transferred != nullptr)
        *transferred = overlapped->transferred.load(std::memory_order_relaxed);
    if (error != kErrorSuccess)
        return Fail(error);
    t_lastError = kErrorSuccess;
    return true;
}

}  // namespace

uint32_t GetLastError() {
    return t_lastError;
}
void SetLastError(uint32_t error) {
    t_lastError = error;
}

void Complete(Overlapped* overlapped, uint32_t error, uint32_t transferred) {
    std::lock_guard lock(g_completionMutex);
    overlapped->transferred.store(transferred, std::memory_order_relaxed);
    overlapped->status.store(error, std::memory_order_release);
    if (overlapped->event != nullptr)
        overlapped->event->Set();
    g_completionCv.notify_all();
}

bool CreateOverlappedEvent(Overlapped* overlapped) {
    overlapped->event = new (std::nothrow) platform::Event(platform::Event::Reset::Auto);
    return overlapped->event != nullptr;
}

void ReleaseOverlappedEvent(Overlapped* overlapped) {
    std::lock_guard lock(g_completionMutex);
    delete overlapped->event;
    overlapped->event = nullptr;
}

bool EnumerateInterfaces(const Guid& interfaceClass, std::vector<DeviceInterface>& interfaces) {
    interfaces.clear();
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    DecideDefaults(r);
    for (const auto& device : r.devices) {
        if (device->IsPresent() && device->InterfaceClass() == interfaceClass) {
            interfaces.push_back({device->Path(), device->DeviceInstance()});
        }
    }
    if (RequestLogActive())
        RecordRequest(platform::Format("Enumerate %zu", interfaces.size()));
    t_lastError = kErrorSuccess;
    return true;
}

DeviceHandle OpenDevice(const std::string& path) {
    Registry& r = TheRegistry();
    std::shared_ptr<IUsbDevice> device;
    {
        std::lock_guard lock(r.mutex);
        DecideDefaults(r);
        for (const auto& d : r.devices) {
            if (d->IsPresent() && d->Path() == path)
                device = d;
        }
    }
    if (RequestLogActive())
        RecordRequest("Open");
    if (!device) {
        t_lastError = kErrorFileNotFound;
        return kInvalidDevice;
    }
    uint32_t error = kErrorSuccess;
    std::shared_ptr<IDeviceFile> file = device->Open(error);
    if (!file) {
        t_lastError = error != kErrorSuccess ? error : kErrorGenFailure;
        return kInvalidDevice;
    }
    std::lock_guard lock(r.mutex);
    const DeviceHandle handle = r.nextHandle++;
    r.files.emplace(handle, std::move(file));
    t_lastError = kErrorSuccess;
    return handle;
}

bool CloseDevice(DeviceHandle device) {
    Registry& r = TheRegistry();
    std::shared_ptr<IDeviceFile> file;
    {
        std::lock_guard lock(r.mutex);
        auto it = r.files.find(device);
        if (it == r.files.end())
            return Fail(kErrorInvalidHandle);
        file = std::move(it->second);
        r.files.erase(it);
    }
    if (RequestLogActive())
        RecordRequest("Close");
    file->Close();
    t_lastError = kErrorSuccess;
    return true;
}

bool DeviceIoControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* bytesReturned, Overlapped* overlapped) {
    std::shared_ptr<IDeviceFile> file = FindFile(device);
    if (!file)
        return Fail(kErrorInvalidHandle);
    if (RequestLogActive())
        RecordRequest(DescribeRequest(code, in, inSize, outSize));

    // A synchronous call runs through a private record and waits for it.
    platform::Event privateEvent(platform::Event::Reset::Manual);
    Overlapped privateRecord;
    Overlapped* record = overlapped;
    if (record == nullptr) {
        privateRecord.event = &privateEvent;
        record = &privateRecord;
    }
    record->transferred.store(0, std::memory_order_relaxed);
    record->status.store(kErrorIoPending, std::memory_order_release);
    if (record->event != nullptr)
        record->event->ResetEvent();

    IoRequest request;
    request.code = code;
    request.in = static_cast<const uint8_t*>(in);
    request.inSize = in != nullptr ? inSize : 0;
    request.out = static_cast<uint8_t*>(out);
    request.outSize = out != nullptr ? outSize : 0;
    request.overlapped = record;
    uint32_t returned = 0;
    const uint32_t result = file->IoControl(request, returned);
    if (result != kErrorIoPending)
        Complete(record, result, returned);

    if (overlapped != nullptr) {
        if (result == kErrorIoPending)
            return Fail(kErrorIoPending);
        if (bytesReturned != nullptr)
            *bytesReturned = returned;
        if (result != kErrorSuccess)
            return Fail(result);
        t_lastError = kErrorSuccess;
        return true;
    }
    uint32_t transferred = 0;
    const bool ok = CollectResult(record, &transferred, true);
    if (bytesReturned != nullptr)
        *bytesReturned = transferred;
    return ok;
}

bool GetOverlappedResult(DeviceHandle /*device*/, Overlapped* overlapped, uint32_t* transferred, bool wait) {
    if (overlapped == nullptr)
        return Fail(kErrorInvalidParameter);
    return CollectResult(overlapped, transferred, wait);
}

bool CancelIoEx(DeviceHandle device, Overlapped* overlapped) {
    std::shared_ptr<IDeviceFile> file = FindFile(device);
    if (!file)
        return Fail(kErrorInvalidHandle);
    if (RequestLogActive())
        RecordRequest("Cancel");
    file->Cancel(overlapped);
    t_lastError = kErrorSuccess;
    return true;
}

void AttachDevice(std::shared_ptr<IUsbDevice> device) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.defaultsDecided = true;
    r.devices.push_back(std::move(device));
}

void DetachDevice(const std::shared_ptr<IUsbDevice>& device) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.devices.erase(std::remove(r.devices.begin(), r.devices.end(), device), r.devices.end());
}

void DetachAllDevices() {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.defaultsDecided = true;
    r.devices.clear();
}

void SetDefaultDeviceFactory(DefaultDeviceFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.defaultFactory = factory;
    r.defaultsDecided = !r.devices.empty();  // a new factory is asked at the next use
}

}  // namespace usbdriver
