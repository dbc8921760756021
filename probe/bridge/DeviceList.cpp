// The device list: one entry per device of the class, described from an open handle.
#include <algorithm>
#include <cstring>
#include <vector>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

constexpr uint32_t kUnknownDeviceType = 3;

struct DeviceList {
    bool built = false;
    std::vector<DeviceListEntry> entries;
};

DeviceList& TheList() {
    static DeviceList list;
    return list;
}

uint32_t SpeedFlag(uint16_t maximumPacketSize) {
    if (maximumPacketSize == 1024)
        return kDeviceSuperSpeed;
    if (maximumPacketSize == 512)
        return kDeviceHighSpeed;
    return 0;
}

void Describe(HandleObject& h, DeviceListEntry& e) {
    e.flags |= SpeedFlag(h.maximumPacketSize);
    e.type = h.deviceType;
    e.id = h.deviceId;
    uint32_t location = 0;
    if (SendRequest(h, kRequestLocationId, nullptr, 0, &location, sizeof(location)))
        e.locationId = location;
    std::memcpy(e.serialNumber, h.serialNumber, sizeof(e.serialNumber));
    std::memcpy(e.description, h.description, sizeof(e.description));
}

// The entry of the device at `index`: opened and closed again, or, when it is open in this
// process already, taken from that handle.
DeviceListEntry DescribeDevice(uint32_t index, uint32_t deviceInstance) {
    DeviceListEntry e{};
    Handle handle = nullptr;
    if (OpenByIndex(index, &handle) == kStatusOk) {
        if (HandlePtr h = FindHandle(handle))
            Describe(*h, e);
        FT_Close(handle);
        return e;
    }
    if (HandlePtr h = FindHandleByInstance(deviceInstance)) {
        e.flags = kDeviceOpened;
        Describe(*h, e);
        e.handle = h.get();
    } else {
        e.type = kUnknownDeviceType;
    }
    return e;
}

// Copies a text with its terminating zero into a caller's buffer of `size` bytes.
void CopyText(char* to, const char* from, size_t size) {
    const size_t n = strnlen(from, size - 1);
    std::memcpy(to, from, n);
    to[n] = '\0';
}

}  // namespace

extern "C" {

Status FT_CreateDeviceInfoList(uint32_t* count) {
    if (count == nullptr)
        return kStatusInvalidParameter;
    std::lock_guard lock(DeviceListMutex());
    std::vector<DeviceInterface> interfaces;
    EnumerateInterfaces(kBridgeInterfaceClass, interfaces);
    DeviceList& list = TheList();
    list.entries.clear();
    for (uint32_t i = 0; i < interfaces.size(); ++i)
        list.entries.push_back(DescribeDevice(i, interfaces[i].deviceInstance));
    list.built = true;
    *count = static_cast<uint32_t>(list.entries.size());
    return kStatusOk;
}

Status FT_GetDeviceInfoList(DeviceListEntry* entries, uint32_t* count) {
    if (count == nullptr)
        return kStatusInvalidParameter;
    std::lock_guard lock(DeviceListMutex());
    const DeviceList& list = TheList();
    if (entries != nullptr)
        std::copy(list.entries.begin(), list.entries.end(), entries);
    *count = static_cast<uint32_t>(list.entries.size());
    return kStatusOk;
}

Status FT_GetDeviceInfoDetail(uint32_t index, uint32_t* flags, uint32_t* type, uint32_t* id,
                              uint32_t* locationId, char* serialNumber, char* description, Handle* handle) {
    std::lock_guard lock(DeviceListMutex());
    const DeviceList& list = TheList();
    if (!list.built || index >= list.entries.size())
        return kStatusDeviceNotFound;
    const DeviceListEntry& e = list.entries[index];
    if (flags != nullptr)
        *flags = e.flags;
    if (type != nullptr)
        *type = e.type;
    if (id != nullptr)
        *id = e.id;
    if (locationId != nullptr)
        *locationId = e.locationId;
    if (serialNumber != nullptr)
        CopyText(serialNumber, e.serialNumber, sizeof(e.serialNumber));
    if (description != nullptr)
        CopyText(description, e.description, sizeof(e.description));
    if (handle != nullptr)
        *handle = e.handle;
    return kStatusOk;
}

// flags 0x80000000: argument 1 gets the number of devices. 0x40000000: the serial number
// (flag 1) or description (flag 2) of device number argument 1 into the buffer argument 2.
// 0x20000000: the text of every device into the buffers of the pointer array argument 1, or
// with flag 4 every location id into the u32 array argument 1; the count into argument 2.
Status FT_ListDevices(void* argument1, void* argument2, uint32_t flags) {
    std::vector<DeviceInterface> interfaces;
    EnumerateInterfaces(kBridgeInterfaceClass, interfaces);
    const auto count = static_cast<uint32_t>(interfaces.size());
    const uint32_t what = flags & (kListSerialNumber | kListDescription | kListLocationId);

    if (flags & kListNumberOnly) {
        if (argument1 == nullptr)
            return kStatusInvalidParameter;
        *static_cast<uint32_t*>(argument1) = count;
        return count == 0 ? kStatusDeviceNotFound : kStatusOk;
    }
    const bool byIndex = (flags & kListByIndex) != 0;
    const bool all = (flags & kListAll) != 0;
    if (byIndex == all || argument2 == nullptr || (all && argument1 == nullptr))
        return kStatusInvalidParameter;
    if (what != kListSerialNumber && what != kListDescription && !(all && what == kListLocationId)) {
        return kStatusInvalidParameter;
    }
    if (count == 0)
        return kStatusDeviceNotFound;

    auto describe = [&](uint32_t index) { return DescribeDevice(index, interfaces[index].deviceInstance); };
    auto text = [&](const DeviceListEntry& e, char* to) {
        if (what == kListSerialNumber) {
            CopyText(to, e.serialNumber, sizeof(e.serialNumber));
        } else {
            CopyText(to, e.description, sizeof(e.description));
        }
    };
    if (byIndex) {
        const auto index = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(argument1));
        if (index >= count)
            return kStatusDeviceNotFound;
        text(describe(index), static_cast<char*>(argument2));
        return kStatusOk;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const DeviceListEntry e = describe(i);
        if (what == kListLocationId) {
            static_cast<uint32_t*>(argument1)[i] = e.locationId;  // 0 for a device that did not open
        } else {
            text(e, static_cast<char**>(argument1)[i]);
        }
    }
    *static_cast<uint32_t*>(argument2) = count;
    return kStatusOk;
}

}  // extern "C"
