// The object behind a bridge handle: the open device file, what the driver told about the
// device at open, the pipe table, and the state of the notification thread and of the
// byte-stream reader. Handles are shared pointers held by the handle list; every API call
// holds its own reference for its duration, so a concurrent FT_Close can never free an
// object a call is still using.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Event.h"
#include "probe/bridge/BridgeApi.h"

namespace bridge::detail {

struct NotificationState {
    std::mutex lock;  // the notification lock
    bool ready = false;
    NotificationCallback callback = nullptr;
    void* context = nullptr;
    uint16_t gpioSetting = 0;  // the pin byte given to FT_GetGPIO
    uint16_t gpioCount = 0;    // repetitions of GPIO notifications
    bool gpioMode = false;
    bool closed = false;  // FT_Close has begun: no thread starts any more
    uint32_t pollIntervalMs = 0;
    std::thread thread;
    // Shared with the thread it stops: a thread detached by a stop from inside its callback
    // keeps its own event while a new registration gets a fresh one.
    std::shared_ptr<platform::Event> stopEvent;
};

struct ByteStreamState {
    static constexpr uint32_t kBufferSize = 64u << 20;
    static constexpr uint32_t kMaxTransferSize = 16u << 20;

    std::mutex lock;  // the stream lock: guards everything below but the thread
    bool enabled = false;
    uint8_t latencyMs = 0;
    uint32_t transferSize = 0;
    uint32_t bufferedBytes = 0;
    std::unique_ptr<uint8_t[]> buffer;
    bool readerRunning = false;
    bool closed = false;  // FT_Close has begun: no reader starts any more
    std::thread reader;
    platform::Event stopEvent{platform::Event::Reset::Manual};
};

struct HandleObject {
    usbdriver::DeviceHandle device = usbdriver::kInvalidDevice;
    std::string devicePath;
    uint32_t deviceType = 0;  // 600 or 601
    const uint32_t* requestTable = nullptr;
    uint32_t deviceId = 0;  // vendor id << 16 | product id
    char serialNumber[16] = {};
    char description[32] = {};
    uint32_t deviceInstance = 0;
    uint16_t maximumPacketSize = 0;
    std::vector<PipeInformation> pipes;  // interface 1, filled by FT_Create
    NotificationState notifications;
    ByteStreamState stream;
};

using HandlePtr = std::shared_ptr<HandleObject>;

}  // namespace bridge::detail
