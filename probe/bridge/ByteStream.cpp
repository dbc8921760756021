// The byte-stream reader: a thread that keeps reading pipe 0x82 into a 64 MiB buffer, from
// which FT_Read takes bytes in order.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

constexpr uint8_t kStreamPipe = 0x82;
constexpr uint8_t kDefaultLatencyMs = 16;
constexpr uint32_t kDefaultTransferSize = 4096;
constexpr uint32_t kFullBufferPauseMs = 1000;

// Reads one transfer; false when the thread must end (stopped, or a failure other than a
// time-out). `received` holds what arrived, also after a time-out.
bool ReadTransfer(HandleObject& h, uint8_t* area, uint32_t size, uint32_t& received) {
    ByteStreamState& s = h.stream;
    platform::Event completed(platform::Event::Reset::Manual);
    Overlapped record;
    record.event = &completed;
    uint8_t pipe = kStreamPipe;
    received = 0;
    if (!SendRequest(h, kRequestReadPipe, &pipe, 1, area, size, &received, &record) &&
        GetLastError() != kErrorIoPending) {
        return false;
    }
    if (WaitAny(completed, s.stopEvent, platform::kInfinite) == 1) {
        CancelIoEx(h.device, &record);
        GetOverlappedResult(h.device, &record, &received, true);  // nothing may stay pending on our stack
        return false;
    }
    if (GetOverlappedResult(h.device, &record, &received, true))
        return true;
    // An idle pipe times out; the stream goes on (the bytes that did arrive are kept).
    return GetLastError() == kErrorSemTimeout;
}

void ReaderLoop(HandleObject* h) {
    ByteStreamState& s = h->stream;
    std::unique_ptr<uint8_t[]> area(new (std::nothrow) uint8_t[ByteStreamState::kMaxTransferSize]);
    while (area && !s.stopEvent.IsSet()) {
        uint32_t size;
        bool fits;
        {
            std::lock_guard lock(s.lock);
            size = s.transferSize;
            fits = static_cast<uint64_t>(s.bufferedBytes) + size <= ByteStreamState::kBufferSize;
        }
        if (!fits) {
            if (s.stopEvent.Wait(kFullBufferPauseMs))
                break;
            continue;
        }
        uint32_t received = 0;
        if (!ReadTransfer(*h, area.get(), size, received))
            break;
        uint8_t latency;
        {
            std::lock_guard lock(s.lock);
            received = std::min(received, size);
            std::memcpy(s.buffer.get() + s.bufferedBytes, area.get(), received);
            s.bufferedBytes += received;
            latency = s.latencyMs;
        }
        if (latency != 0 && s.stopEvent.Wait(latency))
            break;
    }
    std::lock_guard lock(s.lock);
    s.readerRunning = false;
}

}  // namespace

namespace bridge::detail {

void StopByteStream(HandleObject& h) {
    ByteStreamState& s = h.stream;
    std::thread reader;
    {
        std::lock_guard lock(s.lock);
        s.closed = true;
        reader = std::move(s.reader);
    }
    s.stopEvent.Set();
    if (reader.joinable())
        reader.join();
}

}  // namespace bridge::detail

extern "C" {

Status FT_InitializeD2XXExtension(Handle handle) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    ByteStreamState& s = h->stream;
    std::unique_lock lock(s.lock);
    s.enabled = true;
    if (!s.readerRunning && s.reader.joinable()) {  // a reader that ended by itself
        std::thread ended = std::move(s.reader);
        lock.unlock();
        ended.join();
        lock.lock();
    }
    if (s.closed)
        return kStatusInvalidHandle;
    if (s.readerRunning)
        return kStatusOk;
    if (!s.buffer)
        s.buffer.reset(new (std::nothrow) uint8_t[ByteStreamState::kBufferSize]);
    if (!s.buffer)
        return kStatusInsufficientResources;
    std::memset(s.buffer.get(), 0, ByteStreamState::kBufferSize);
    s.bufferedBytes = 0;
    s.latencyMs = kDefaultLatencyMs;
    s.transferSize = kDefaultTransferSize;
    s.stopEvent.ResetEvent();
    s.readerRunning = true;
    try {
        s.reader = std::thread(ReaderLoop, h.get());  // FT_Close joins it before the object can go
    } catch (...) {
        s.readerRunning = false;
        return kStatusInsufficientResources;
    }
    return kStatusOk;
}

Status FT_Read(Handle handle, uint8_t* buffer, uint32_t length, uint32_t* read) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (buffer == nullptr || length == 0 || read == nullptr)
        return kStatusInvalidParameter;
    ByteStreamState& s = h->stream;
    std::lock_guard lock(s.lock);
    if (!s.buffer || s.bufferedBytes < length)
        return kStatusInvalidParameter;
    std::memcpy(buffer, s.buffer.get(), length);
    std::memmove(s.buffer.get(), s.buffer.get() + length, s.bufferedBytes - length);
    s.bufferedBytes -= length;
    *read = length;
    return kStatusOk;
}

Status FT_Purge(Handle handle, uint32_t mask) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (mask & kPurgeByteStream) {
        std::lock_guard lock(h->stream.lock);
        h->stream.bufferedBytes = 0;
    }
    return kStatusOk;
}

Status FT_GetQueueStatus(Handle handle, uint32_t* bytes) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (bytes == nullptr)
        return kStatusInvalidParameter;
    ByteStreamState& s = h->stream;
    uint8_t latency;
    {
        std::lock_guard lock(s.lock);
        latency = s.latencyMs;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(latency));  // let the reader catch up
    std::lock_guard lock(s.lock);
    *bytes = s.bufferedBytes;
    return s.bufferedBytes == 0 && !s.readerRunning ? kStatusDeviceNotConnected : kStatusOk;
}

Status FT_SetLatencyTimer(Handle handle, uint8_t milliseconds) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    std::lock_guard lock(h->stream.lock);
    h->stream.latencyMs = milliseconds;
    return kStatusOk;
}

Status FT_GetLatencyTimer(Handle handle, uint8_t* milliseconds) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (milliseconds == nullptr)
        return kStatusInvalidParameter;
    std::lock_guard lock(h->stream.lock);
    *milliseconds = h->stream.latencyMs;
    return kStatusOk;
}

Status FT_SetUSBParameters(Handle handle, uint32_t transferSize, uint32_t /*unused*/) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (transferSize == 0 || transferSize > ByteStreamState::kMaxTransferSize)
        return kStatusInvalidParameter;
    std::lock_guard lock(h->stream.lock);
    h->stream.transferSize = transferSize;
    return kStatusOk;
}

}  // extern "C"
