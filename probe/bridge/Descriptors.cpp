// Descriptors, pipe information and control transfers.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace bridge::detail {

Status ReadDeviceDescriptor(HandleObject& h, DeviceDescriptor& descriptor) {
    DeviceDescriptor d{};
    const Status s = Request(h, kRequestDeviceDescriptor, &d, sizeof(d), &d, sizeof(d));
    if (s == kStatusOk)
        descriptor = d;
    return s;
}

Status ReadConfigurationDescriptor(HandleObject& h, ConfigurationDescriptor& descriptor) {
    uint8_t buffer[kConfigurationDescriptorRequestSize] = {};
    const Status s =
        Request(h, kRequestConfigurationDescriptor, buffer, sizeof(buffer), buffer, sizeof(buffer));
    if (s == kStatusOk)
        std::memcpy(&descriptor, buffer, sizeof(descriptor));
    return s;
}

Status ReadInterfaceDescriptor(HandleObject& h, uint8_t interfaceIndex, InterfaceDescriptor& descriptor) {
    InterfaceDescriptorRequest r{};
    r.interfaceIndex = interfaceIndex;
    const Status s = Request(h, kRequestInterfaceDescriptor, &r, sizeof(r), &r, sizeof(r));
    if (s == kStatusOk)
        descriptor = r.descriptor;
    return s;
}

Status ReadPipeInformation(HandleObject& h, uint8_t interfaceIndex, uint8_t pipeIndex,
                           PipeInformation& information, uint8_t* interval) {
    PipeInformationRequest r{};
    r.interfaceIndex = interfaceIndex;
    r.pipeIndex = pipeIndex;
    const Status s = Request(h, kRequestPipeInformation, &r, sizeof(r), &r, sizeof(r));
    if (s != kStatusOk)
        return s;
    information.pipeType = r.pipeType;
    information.pipeId = r.pipeId;
    information.maximumPacketSize = r.maximumPacketSize;
    information.interval = r.interval;
    if (interval != nullptr)
        *interval = r.interval;
    return kStatusOk;
}

Status ReadDescriptor(HandleObject& h, uint8_t type, uint8_t index, uint8_t* buffer, uint32_t length) {
    const size_t size = std::max(length, kMinimumDescriptorData) + kGetDescriptorOverhead;
    std::vector<uint8_t> request;
    try {
        request.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return kStatusInsufficientResources;
    }
    GetDescriptorRequest header{};
    header.descriptorType = type;
    header.index = index;
    header.bufferSize = length;
    std::memcpy(request.data(), &header, sizeof(header));
    const auto n = static_cast<uint32_t>(size);
    const Status s = Request(h, kRequestGetDescriptor, request.data(), n, request.data(), n);
    if (s == kStatusOk)
        std::memcpy(buffer, request.data() + sizeof(header), length);
    return s;
}

Status ControlTransfer(HandleObject& h, const UsbSetupPacket& setup, uint8_t* data, uint32_t length) {
    const size_t size = std::max(length, kMinimumControlData) + kControlTransferOverhead;
    std::vector<uint8_t> request;
    try {
        request.assign(size, 0);
    } catch (const std::bad_alloc&) {
        return kStatusInsufficientResources;
    }
    const bool toHost = (setup.bmRequestType & 0x80) != 0;
    std::memcpy(request.data(), &setup, sizeof(setup));
    if (!toHost && length > 0)
        std::memcpy(request.data() + sizeof(setup), data, length);
    const auto n = static_cast<uint32_t>(size);
    const Status s = Request(h, kRequestControlTransfer, request.data(), n, request.data(), n);
    if (s == kStatusOk && toHost && length > 0)
        std::memcpy(data, request.data() + sizeof(setup), length);
    return s;
}

bool ReadStringDescriptorText(HandleObject& h, uint8_t index, std::string& text) {
    uint8_t d[514] = {};
    if (ReadDescriptor(h, 3, index, d, sizeof(d)) != kStatusOk || d[0] < 2)
        return false;
    text.clear();
    for (size_t i = 0; i < (d[0] - 2u) / 2; ++i)
        text += static_cast<char>(d[2 + 2 * i]);
    return true;
}

}  // namespace bridge::detail

extern "C" {

Status FT_GetDeviceDescriptor(Handle handle, DeviceDescriptor* descriptor) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (descriptor == nullptr)
        return kStatusInvalidArgs;
    return ReadDeviceDescriptor(*h, *descriptor);
}

Status FT_GetConfigurationDescriptor(Handle handle, ConfigurationDescriptor* descriptor) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (descriptor == nullptr)
        return kStatusInvalidArgs;
    return ReadConfigurationDescriptor(*h, *descriptor);
}

Status FT_GetInterfaceDescriptor(Handle handle, uint8_t interfaceIndex, InterfaceDescriptor* descriptor) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (descriptor == nullptr)
        return kStatusInvalidArgs;
    return ReadInterfaceDescriptor(*h, interfaceIndex, *descriptor);
}

Status FT_GetPipeInformation(Handle handle, uint8_t interfaceIndex, uint8_t pipeIndex,
                             PipeInformation* information) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (information == nullptr)
        return kStatusInvalidArgs;
    return ReadPipeInformation(*h, interfaceIndex, pipeIndex, *information);
}

Status FT_GetDescriptor(Handle handle, uint8_t type, uint8_t index, uint8_t* buffer, uint32_t length,
                        uint32_t* transferred) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (buffer == nullptr || transferred == nullptr)
        return kStatusInvalidArgs;
    const Status s = ReadDescriptor(*h, type, index, buffer, length);
    if (s == kStatusOk)
        *transferred = length;
    return s;
}

Status FT_GetStringDescriptor(Handle handle, uint8_t index, uint8_t* buffer) {
    uint32_t transferred = 0;
    return FT_GetDescriptor(handle, 3, index, buffer, 514, &transferred);
}

Status FT_ControlTransfer(Handle handle, uint32_t setupLow, uint32_t setupHigh, uint8_t* buffer,
                          uint32_t length, uint32_t* transferred) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if ((length > 0 && buffer == nullptr) || transferred == nullptr)
        return kStatusInvalidArgs;
    UsbSetupPacket setup{};
    setup.bmRequestType = static_cast<uint8_t>(setupLow);
    setup.bRequest = static_cast<uint8_t>(setupLow >> 8);
    setup.wValue = static_cast<uint16_t>(setupLow >> 16);
    setup.wIndex = static_cast<uint16_t>(setupHigh);
    setup.wLength = static_cast<uint16_t>(setupHigh >> 16);
    const Status s = ControlTransfer(*h, setup, buffer, length);
    if (s == kStatusOk)
        *transferred = length;
    return s;
}

}  // extern "C"
