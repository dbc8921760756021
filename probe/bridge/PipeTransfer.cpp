// The pipe transfer cores: one driver request per call with the caller's buffer (direct I/O),
// either through the caller's overlapped record or waited for on a private one.
#include "platform/usbdriver/UsbDriver.h"
#include "probe/bridge/BridgeApi.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;

namespace {

constexpr uint32_t kMaxExtendedLength = 0x100000;

bool IsReservedPipe(uint8_t pipeId) {
    return pipeId == 0x01 || pipeId == 0x81;
}

Status TransferCore(Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length, uint32_t* transferred,
                    Overlapped* overlapped, uint32_t request, bool isRead) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (IsReservedPipe(pipeId))
        return kStatusReservedPipe;
    if (buffer == nullptr || length == 0 || transferred == nullptr)
        return kStatusInvalidArgs;

    if (overlapped != nullptr) {  // completes through the caller's record; 24 means pending
        return SendRequest(*h, request, &pipeId, 1, buffer, length, transferred, overlapped) ? kStatusOk
                                                                                             : MapLastError();
    }
    platform::Event event(platform::Event::Reset::Manual);
    Overlapped own;
    own.event = &event;
    *transferred = 0;
    bool ok = SendRequest(*h, request, &pipeId, 1, buffer, length, transferred, &own);
    if (!ok && usbdriver::GetLastError() == usbdriver::kErrorIoPending) {
        ok = usbdriver::GetOverlappedResult(h->device, &own, transferred, true);
    }
    if (ok)
        return kStatusOk;
    const Status status = MapLastError();
    // A read that timed out after delivering everything asked for has succeeded.
    if (isRead && status == kStatusTimeout && *transferred == length)
        return kStatusOk;
    return status;
}

}  // namespace

extern "C" {

Status FT_ReadPipe(Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length, uint32_t* transferred,
                   Overlapped* overlapped) {
    return TransferCore(handle, pipeId, buffer, length, transferred, overlapped, usbdriver::kRequestReadPipe,
                        true);
}

Status FT_ReadPipeEx(Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length, uint32_t* transferred,
                     Overlapped* overlapped) {
    if (length > kMaxExtendedLength)
        return kStatusInvalidParameter;
    return TransferCore(handle, pipeId, buffer, length, transferred, overlapped,
                        usbdriver::kRequestReadPipeEx, true);
}

Status FT_WritePipe(Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length, uint32_t* transferred,
                    Overlapped* overlapped) {
    return TransferCore(handle, pipeId, buffer, length, transferred, overlapped, usbdriver::kRequestWritePipe,
                        false);
}

Status FT_WritePipeEx(Handle handle, uint8_t pipeId, uint8_t* buffer, uint32_t length, uint32_t* transferred,
                      Overlapped* overlapped) {
    if (length > kMaxExtendedLength)
        return kStatusInvalidParameter;
    return TransferCore(handle, pipeId, buffer, length, transferred, overlapped,
                        usbdriver::kRequestWritePipeEx, false);
}

Status FT_InitializeOverlapped(Handle /*handle*/, Overlapped* overlapped) {
    if (overlapped == nullptr)
        return kStatusInvalidArgs;
    overlapped->status.store(0, std::memory_order_relaxed);
    overlapped->transferred.store(0, std::memory_order_relaxed);
    return usbdriver::CreateOverlappedEvent(overlapped) ? kStatusOk : kStatusInsufficientResources;
}

Status FT_GetOverlappedResult(Handle handle, Overlapped* overlapped, uint32_t* transferred, bool wait) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (overlapped == nullptr || transferred == nullptr)
        return kStatusInvalidArgs;
    return usbdriver::GetOverlappedResult(h->device, overlapped, transferred, wait) ? kStatusOk
                                                                                    : MapLastError();
}

Status FT_ReleaseOverlapped(Handle /*handle*/, Overlapped* overlapped) {
    if (overlapped != nullptr)
        usbdriver::ReleaseOverlappedEvent(overlapped);
    return kStatusOk;
}

}  // extern "C"
