#include "platform/usbdriver/RequestLog.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/StringUtil.h"
#include "platform/usbdriver/DriverInterface.h"

namespace usbdriver {
namespace {

std::atomic<bool> g_active{false};
std::mutex g_mutex;
std::vector<LoggedRequest> g_lines;

struct NamedRequest {
    uint32_t request;
    const char* name;
};

constexpr NamedRequest kNames[] = {
    {kRequestSerialNumber, "GetSerialNumber"},
    {kRequestDescription, "GetDescription"},
    {kRequestLocationId, "GetLocationId"},
    {kRequestDeviceInformation, "GetDeviceInformation"},
    {kRequestDriverVersion, "GetDriverVersion"},
    {kRequestReadChipConfiguration, "GetChipConfiguration"},
    {kRequestWriteChipConfiguration, "SetChipConfiguration"},
    {kRequestReadPipe, "ReadPipe"},
    {kRequestWritePipe, "WritePipe"},
    {kRequestArmGpioNotification, "ArmGpioNotification"},
    {kRequestSetGpio, "SetGpio"},
    {kRequestSetStreamPipe, "SetStreamPipe"},
    {kRequestClearStreamPipe, "ClearStreamPipe"},
    {kRequestFlushPipe, "FlushPipe"},
    {kRequestDeviceDescriptor, "GetDeviceDescriptor"},
    {kRequestConfigurationDescriptor, "GetConfigurationDescriptor"},
    {kRequestInterfaceDescriptor, "GetInterfaceDescriptor"},
    {kRequestPipeInformation, "GetPipeInformation"},
    {kRequestControlTransfer, "ControlTransfer"},
    {kRequestWaitNotification, "WaitNotification"},
    {kRequestGetDescriptor, "GetDescriptor"},
    {kRequestCancelNotification, "CancelNotification"},
    {kRequestResetChipConfiguration, "ResetChipConfiguration"},
    {kRequestResetPort, "ResetPort"},
    {kRequestCyclePort, "CyclePort"},
    {kRequestOpenCheck, "OpenCheck"},
    {kRequestSetPipeTimeout, "SetPipeTimeout"},
    {kRequestGetPipeTimeout, "GetPipeTimeout"},
    {kRequestSetSuspendTimeout, "SetSuspendTimeout"},
    {kRequestGetSuspendTimeout, "GetSuspendTimeout"},
    {kRequestEnableGpio, "EnableGpio"},
    {kRequestWriteGpio, "WriteGpio"},
    {kRequestReadGpio, "ReadGpio"},
    {kRequestAbortPipe, "AbortPipe"},
    {kRequestReadPipeEx, "ReadPipeEx"},
    {kRequestWritePipeEx, "WritePipeEx"},
};

template <typename T>
bool ReadAs(const void* in, uint32_t inSize, T& value) {
    if (in == nullptr || inSize < sizeof(T))
        return false;
    std::memcpy(&value, in, sizeof(T));
    return true;
}

std::string Details(uint32_t request, const void* in, uint32_t inSize, uint32_t outSize) {
    uint8_t pipe = 0;
    switch (request) {
        case kRequestReadPipe:
        case kRequestWritePipe:
        case kRequestReadPipeEx:
        case kRequestWritePipeEx:
            if (ReadAs(in, inSize, pipe))
                return platform::Format(" 0x%02X %u", pipe, outSize);
            break;
        case kRequestAbortPipe:
        case kRequestFlushPipe:
        case kRequestGetPipeTimeout:
            if (ReadAs(in, inSize, pipe))
                return platform::Format(" 0x%02X", pipe);
            break;
        case kRequestSetPipeTimeout: {
            PipeTimeoutRequest r;
            if (ReadAs(in, inSize, r))
                return platform::Format(" 0x%02X %ums", r.pipeId, r.timeoutMs);
            break;
        }
        case kRequestSetStreamPipe:
        case kRequestClearStreamPipe: {
            StreamPipeRequest r;
            if (ReadAs(in, inSize, r)) {
                return platform::Format(" 0x%02X all-write %u all-read %u size %u", r.pipeId, r.allWritePipes,
                                        r.allReadPipes, request == kRequestSetStreamPipe ? r.streamSize : 0);
            }
            break;
        }
        case kRequestSetSuspendTimeout: {
            uint32_t seconds;
            if (ReadAs(in, inSize, seconds))
                return platform::Format(" %us", seconds);
            break;
        }
        case kRequestEnableGpio: {
            GpioEnableRequest r;
            if (ReadAs(in, inSize, r))
                return platform::Format(" enable %u direction %u", r.enableMask, r.direction);
            break;
        }
        case kRequestWriteGpio: {
            GpioWriteRequest r;
            if (ReadAs(in, inSize, r))
                return platform::Format(" mask %u data %u", r.mask, r.data);
            break;
        }
        case kRequestInterfaceDescriptor: {
            uint8_t index;
            if (ReadAs(in, inSize, index))
                return platform::Format(" %u", index);
            break;
        }
        case kRequestPipeInformation: {
            PipeInformationRequest r;
            if (ReadAs(in, inSize, r))
                return platform::Format(" %u/%u", r.interfaceIndex, r.pipeIndex);
            break;
        }
        case kRequestGetDescriptor: {
            GetDescriptorRequest r;
            if (ReadAs(in, inSize, r))
                return platform::Format(" type %u index %u", r.descriptorType, r.index);
            break;
        }
        case kRequestControlTransfer: {
            UsbSetupPacket r;
            if (ReadAs(in, inSize, r)) {
                return platform::Format(" 0x%02X 0x%02X %u %u %u", r.bmRequestType, r.bRequest, r.wValue,
                                        r.wIndex, r.wLength);
            }
            break;
        }
        default:
            break;
    }
    return std::string();
}

}  // namespace

void StartRequestLog() {
    std::lock_guard lock(g_mutex);
    g_lines.clear();
    g_active = true;
}

std::vector<LoggedRequest> TakeTimedRequestLog() {
    std::lock_guard lock(g_mutex);
    std::vector<LoggedRequest> lines;
    lines.swap(g_lines);
    return lines;
}

std::vector<std::string> TakeRequestLog() {
    std::vector<std::string> lines;
    for (LoggedRequest& r : TakeTimedRequestLog())
        lines.push_back(std::move(r.line));
    return lines;
}

void StopRequestLog() {
    std::lock_guard lock(g_mutex);
    g_active = false;
    g_lines.clear();
}

bool RequestLogActive() {
    return g_active.load(std::memory_order_relaxed);
}

void RecordRequest(const std::string& line) {
    std::lock_guard lock(g_mutex);
    if (g_active)
        g_lines.push_back({std::chrono::steady_clock::now(), line});
}

std::string RequestName(uint32_t request) {
    for (const NamedRequest& n : kNames) {
        if (n.request == request)
            return n.name;
    }
    return platform::Format("Request%u", request);
}

std::string DescribeRequest(uint32_t code, const void* in, uint32_t inSize, uint32_t outSize) {
    const uint32_t request = DriverCodeRequest(code);
    if (request >= kRequestTableSize)
        return platform::Format("IoControl 0x%08X", code);
    return RequestName(request) + Details(request, in, inSize, outSize);
}

}  // namespace usbdriver
