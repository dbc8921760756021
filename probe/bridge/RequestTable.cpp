#include "probe/bridge/RequestTable.h"

#include <array>

#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"

namespace bridge::detail {
namespace {

using namespace usbdriver;

constexpr uint32_t kOffered[] = {
    kRequestSerialNumber,
    kRequestDescription,
    kRequestLocationId,
    kRequestDeviceInformation,
    kRequestDriverVersion,
    kRequestReadChipConfiguration,
    kRequestWriteChipConfiguration,
    kRequestReadPipe,
    kRequestWritePipe,
    kRequestArmGpioNotification,
    kRequestSetGpio,
    kRequestSetStreamPipe,
    kRequestClearStreamPipe,
    kRequestFlushPipe,
    kRequestDeviceDescriptor,
    kRequestConfigurationDescriptor,
    kRequestInterfaceDescriptor,
    kRequestPipeInformation,
    kRequestControlTransfer,
    kRequestWaitNotification,
    kRequestGetDescriptor,
    kRequestCancelNotification,
    kRequestResetChipConfiguration,
    kRequestResetPort,
    kRequestCyclePort,
    kRequestOpenCheck,
    kRequestSetPipeTimeout,
    kRequestGetPipeTimeout,
    kRequestSetSuspendTimeout,
    kRequestGetSuspendTimeout,
    kRequestEnableGpio,
    kRequestWriteGpio,
    kRequestReadGpio,
    kRequestAbortPipe,
    kRequestReadPipeEx,
    kRequestWritePipeEx,
};

constexpr std::array<uint32_t, kRequestTableSize> BuildTable() {
    std::array<uint32_t, kRequestTableSize> table{};
    for (uint32_t& code : table)
        code = kNotOffered;
    for (uint32_t request : kOffered)
        table[request] = DriverCode(request);
    return table;
}

constexpr std::array<uint32_t, kRequestTableSize> kTable = BuildTable();

}  // namespace

const uint32_t* RequestTable() {
    return kTable.data();
}

bool SendRequest(HandleObject& h, uint32_t request, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* returned, Overlapped* overlapped) {
    if (request >= kRequestTableSize || h.requestTable[request] == kNotOffered) {
        SetLastError(kErrorInvalidFunction);
        return false;
    }
    return DeviceIoControl(h.device, h.requestTable[request], in, inSize, out, outSize, returned, overlapped);
}

Status Request(HandleObject& h, uint32_t request, const void* in, uint32_t inSize, void* out,
               uint32_t outSize, uint32_t* returned) {
    return SendRequest(h, request, in, inSize, out, outSize, returned) ? kStatusOk : MapLastError();
}

}  // namespace bridge::detail

using namespace bridge;
using namespace bridge::detail;

extern "C" Status FT_IoCtl(Handle handle, uint32_t internalCode, const void* in, uint32_t inSize, void* out,
                           uint32_t outSize, uint32_t* returned, Overlapped* overlapped) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    // A function beyond the table, or one the driver does not offer, is not supported.
    const uint32_t request = (internalCode / 4) & 0xFFF;
    if (request >= usbdriver::kRequestTableSize || h->requestTable[request] == kNotOffered)
        return kStatusNotSupported;
    return SendRequest(*h, request, in, inSize, out, outSize, returned, overlapped) ? kStatusOk
                                                                                    : kStatusIoError;
}
