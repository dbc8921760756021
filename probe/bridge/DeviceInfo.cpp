// What the driver and the chip tell about a device: type, ids, strings, versions, path.
#include <cstring>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

constexpr uint32_t kUnknownDeviceType = 3;

// The chip family's device types by the chip word of the device information.
uint32_t TypeFromChipWord(uint32_t chipWord) {
    struct Entry {
        uint32_t word;
        uint32_t type;
    };
    constexpr Entry kTypes[] = {
        {0x40360010, 1},  {0x40360011, 0},  {0x40360012, 5}, {0x40360100, 4},  {0x40360101, 6},
        {0x40360110, 7},  {0x40360140, 8},  {0x40360150, 9}, {0x403601C0, 10}, {0x403601C1, 11},
        {0x403601C3, 12}, {0x4030FEC0, 13}, {0x40383720, 2},
    };
    for (const Entry& e : kTypes) {
        if (e.word == chipWord)
            return e.type;
    }
    return kUnknownDeviceType;
}

void CopyText(char* to, const char* from, size_t size) {
    std::memcpy(to, from, size);
    to[size - 1] = '\0';
}

}  // namespace

namespace bridge::detail {

bool ReadDeviceInformation(HandleObject& h, DeviceInformationRecord& info) {
    info = DeviceInformationRecord{};
    info.status = kStatusNotSupported;
    return SendRequest(h, kRequestDeviceInformation, &info, sizeof(info), &info, sizeof(info));
}

uint32_t DetectDeviceType(HandleObject& h, const DeviceInformationRecord* info) {
    UsbSetupPacket read{};
    read.bmRequestType = 0xC0;
    read.bRequest = kVendorRequestReadChipRegister;
    read.wValue = static_cast<uint16_t>(kChipRegisterChipId);
    read.wIndex = static_cast<uint16_t>(kChipRegisterChipId >> 16);
    read.wLength = 4;
    uint8_t word[4] = {};
    if (ControlTransfer(h, read, word, sizeof(word)) == kStatusOk) {
        const uint32_t value = word[0] | word[1] << 8 | word[2] << 16 | static_cast<uint32_t>(word[3]) << 24;
        return (value & (1u << 25)) ? 601 : 600;
    }
    DeviceDescriptor d{};
    if (ReadDeviceDescriptor(h, d) == kStatusOk) {
        if (d.idProduct == 0x601F)
            return 601;
        if (d.idProduct == 0x601E)
            return 600;
        return kUnknownDeviceType;
    }
    return info != nullptr ? TypeFromChipWord(info->chipWord) : kUnknownDeviceType;
}

uint16_t MaximumPacketSize(uint16_t bcdUSB) {
    if (bcdUSB >= 0x0300)
        return 1024;
    if (bcdUSB >= 0x0210)
        return 512;
    return 64;
}

}  // namespace bridge::detail

extern "C" {

Status FT_GetDeviceInfo(Handle handle, uint32_t* type, uint32_t* id, char* serialNumber, char* description,
                        uint32_t* locationId) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusNotSupported;
    DeviceInformationRecord info;
    const bool ok = ReadDeviceInformation(*h, info);
    if (!ok || info.status != kStatusOk)
        return ok ? info.status : MapLastError();
    if (type != nullptr)
        *type = DetectDeviceType(*h, &info);
    if (id != nullptr)
        *id = info.deviceId;
    if (serialNumber != nullptr)
        CopyText(serialNumber, info.serialNumber, sizeof(info.serialNumber));
    if (description != nullptr)
        CopyText(description, info.description, sizeof(info.description));
    if (locationId != nullptr)
        *locationId = info.locationId;
    return kStatusOk;
}

Status FT_GetVIDPID(Handle handle, uint16_t* vendorId, uint16_t* productId) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (vendorId == nullptr && productId == nullptr)
        return kStatusInvalidArgs;
    if (vendorId != nullptr)
        *vendorId = static_cast<uint16_t>(h->deviceId >> 16);
    if (productId != nullptr)
        *productId = static_cast<uint16_t>(h->deviceId);
    return kStatusOk;
}

Status FT_IsDevicePath(Handle handle, const char* path) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (path == nullptr)
        return kStatusInvalidParameter;
    if (h->devicePath.empty())
        return kStatusOtherError;
    return h->devicePath == path ? kStatusOk : kStatusDevicePathMismatch;
}

Status FT_GetDriverVersion(Handle handle, uint32_t* version) {
    if (version == nullptr)
        return kStatusInvalidParameter;
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    return SendRequest(*h, kRequestDriverVersion, nullptr, 0, version, sizeof(*version)) ? kStatusOk
                                                                                         : kStatusIoError;
}

Status FT_GetLibraryVersion(uint32_t* version) {
    if (version == nullptr)
        return kStatusInvalidParameter;
    *version = kLibraryVersion;
    return kStatusOk;
}

Status FT_GetFirmwareVersion(Handle handle, uint32_t* version) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (version == nullptr)
        return kStatusInvalidArgs;
    UsbSetupPacket setup{};
    setup.bmRequestType = 0xC0;
    setup.bRequest = kVendorRequestFirmwareVersion;
    setup.wLength = 4;
    uint8_t bytes[4] = {};
    const Status s = ControlTransfer(*h, setup, bytes, sizeof(bytes));
    if (s == kStatusOk)
        *version = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return s;
}

}  // extern "C"
