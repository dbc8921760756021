// Pipe set-up and control: abort, flush, streaming mode, time-outs, suspend, port reset.
#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

bool IsReservedPipe(uint8_t pipeId) {
    return pipeId == 0x01 || pipeId == 0x81;
}

Status StreamPipe(Handle handle, bool allWrite, bool allRead, uint8_t pipeId, uint32_t size,
                  uint32_t request) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (IsReservedPipe(pipeId))
        return kStatusReservedPipe;
    StreamPipeRequest r{};
    r.allWritePipes = allWrite ? 1 : 0;
    r.allReadPipes = allRead ? 1 : 0;
    r.streamSize = request == kRequestSetStreamPipe ? size : 0;
    r.pipeId = pipeId;
    return Request(*h, request, &r, sizeof(r), &r, sizeof(r));
}

template <typename In>
Status SimpleRequest(Handle handle, uint32_t request, const In& in) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    return Request(*h, request, &in, sizeof(in), nullptr, 0);
}

Status NoDataRequest(Handle handle, uint32_t request) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    return Request(*h, request, nullptr, 0, nullptr, 0);
}

}  // namespace

extern "C" {

Status FT_AbortPipe(Handle handle, uint8_t pipeId) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (IsReservedPipe(pipeId))
        return kStatusReservedPipe;
    uint8_t result = 0;
    return Request(*h, kRequestAbortPipe, &pipeId, 1, &result, 1);
}

Status FT_FlushPipe(Handle handle, uint8_t pipeId) {
    if (IsReservedPipe(pipeId) && FindHandle(handle))
        return kStatusReservedPipe;
    return SimpleRequest(handle, kRequestFlushPipe, pipeId);
}

Status FT_SetStreamPipe(Handle handle, bool allWritePipes, bool allReadPipes, uint8_t pipeId,
                        uint32_t streamSize) {
    return StreamPipe(handle, allWritePipes, allReadPipes, pipeId, streamSize, kRequestSetStreamPipe);
}

Status FT_ClearStreamPipe(Handle handle, bool allWritePipes, bool allReadPipes, uint8_t pipeId) {
    return StreamPipe(handle, allWritePipes, allReadPipes, pipeId, 0, kRequestClearStreamPipe);
}

Status FT_SetPipeTimeout(Handle handle, uint8_t pipeId, uint32_t milliseconds) {
    PipeTimeoutRequest r{};
    r.timeoutMs = milliseconds;
    r.pipeId = pipeId;
    return SimpleRequest(handle, kRequestSetPipeTimeout, r);
}

Status FT_GetPipeTimeout(Handle handle, uint8_t pipeId, uint32_t* milliseconds) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (milliseconds == nullptr)
        return kStatusInvalidArgs;
    return Request(*h, kRequestGetPipeTimeout, &pipeId, 1, milliseconds, sizeof(*milliseconds));
}

Status FT_SetSuspendTimeout(Handle handle, uint32_t seconds) {
    return SimpleRequest(handle, kRequestSetSuspendTimeout, seconds);
}

Status FT_GetSuspendTimeout(Handle handle, uint32_t* seconds) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (seconds == nullptr)
        return kStatusInvalidArgs;
    return Request(*h, kRequestGetSuspendTimeout, nullptr, 0, seconds, sizeof(*seconds));
}

Status FT_ResetDevicePort(Handle handle) {
    return NoDataRequest(handle, kRequestResetPort);
}

Status FT_CycleDevicePort(Handle handle) {
    return NoDataRequest(handle, kRequestCyclePort);
}

}  // extern "C"
