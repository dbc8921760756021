// The notification thread: keeps one wait-for-notification request pending and hands data
// notifications (data waiting on an IN pipe) or GPIO notifications to the registered callback.
#include <thread>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

// Calls the callback for one completed notification; false ends the thread.
bool Dispatch(HandleObject& h, const NotificationResult& result, platform::Event& stop) {
    NotificationState& n = h.notifications;
    NotificationCallback callback;
    void* context;
    uint16_t count;
    uint16_t pins;
    {
        std::lock_guard lock(n.lock);
        callback = n.callback;
        context = n.context;
        count = n.gpioCount;
        pins = n.gpioSetting;
    }
    if (result.kind == kNotificationData) {
        if (callback == nullptr || result.endpointOrGpio == 0 || result.size == 0)
            return false;
        DataNotification data{result.size, result.endpointOrGpio};
        callback(context, kNotificationKindData, &data);
        return true;
    }
    if (result.kind == kNotificationGpio) {
        GpioNotification gpio{(result.endpointOrGpio >> 2) & 1u, (result.endpointOrGpio >> 3) & 1u};
        if (callback != nullptr)
            callback(context, kNotificationKindGpio, &gpio);
        if (count == 0)
            return false;
        if (stop.Wait(count * n.pollIntervalMs))
            return false;  // stopping while pausing
        GpioNotificationRequest arm{static_cast<uint8_t>(pins), 0};
        return SendRequest(h, kRequestArmGpioNotification, &arm, sizeof(arm), nullptr, 0);
    }
    return true;  // other kinds are not ours
}

// Holds a reference so that a close from inside the callback cannot free the object under it.
// Waits on its own stop event only: once stopped it never issues another wait nor touches the
// registration of a callback registered after it.
void NotificationLoop(HandlePtr h, std::shared_ptr<platform::Event> stop) {
    platform::Event completed(platform::Event::Reset::Manual);
    Overlapped record;
    record.event = &completed;
    NotificationResult result{};
    auto issue = [&] {
        return SendRequest(*h, kRequestWaitNotification, nullptr, 0, &result, sizeof(result), nullptr,
                           &record) ||
               GetLastError() == kErrorIoPending;
    };
    if (issue()) {
        for (;;) {
            if (WaitAny(completed, *stop, platform::kInfinite) == 1) {
                // Asked to stop: cancel the pending wait and collect it before leaving.
                SendRequest(*h, kRequestCancelNotification, nullptr, 0, nullptr, 0);
                CancelIoEx(h->device, &record);
                uint32_t ignored = 0;
                GetOverlappedResult(h->device, &record, &ignored, true);
                break;
            }
            uint32_t size = 0;
            if (!GetOverlappedResult(h->device, &record, &size, true))
                break;
            // A callback that stopped its own notifications ends the thread once it returns.
            if (!Dispatch(*h, result, *stop) || stop->IsSet() || !issue())
                break;
        }
    }
    std::lock_guard lock(h->notifications.lock);
    if (h->notifications.stopEvent == stop) {
        h->notifications.callback = nullptr;
        h->notifications.context = nullptr;
        h->notifications.gpioCount = 0;
    }
}

// Starts the thread for a callback; false when one is registered or the thread cannot start.
Status Start(const HandlePtr& h, NotificationCallback callback, void* context, bool gpioMode, uint16_t pins,
             uint16_t count, Status failure) {
    StopNotifications(*h);  // joins a thread that ended by itself
    NotificationState& n = h->notifications;
    std::lock_guard lock(n.lock);
    if (n.closed)
        return kStatusInvalidHandle;
    try {
        n.stopEvent = std::make_shared<platform::Event>(platform::Event::Reset::Manual);
        n.callback = callback;
        n.context = context;
        n.gpioMode = gpioMode;
        n.gpioCount = count;
        if (gpioMode)
            n.gpioSetting = pins;
        n.thread = std::thread(NotificationLoop, h, n.stopEvent);
    } catch (...) {
        n.callback = nullptr;
        n.context = nullptr;
        return failure;
    }
    return kStatusOk;
}

// Whether a callback may be registered on the handle: 1 unlisted, 6 no callback, 32 one is there.
Status CheckRegistration(const HandlePtr& h, NotificationCallback callback) {
    if (!h)
        return kStatusInvalidHandle;
    if (callback == nullptr)
        return kStatusInvalidParameter;
    std::lock_guard lock(h->notifications.lock);
    return h->notifications.callback != nullptr ? kStatusOtherError : kStatusOk;
}

}  // namespace

namespace bridge::detail {

void StopNotifications(HandleObject& h, bool closing) {
    NotificationState& n = h.notifications;
    std::shared_ptr<platform::Event> stopped;
    std::thread thread;
    {
        std::lock_guard lock(n.lock);
        n.closed |= closing;
        stopped = n.stopEvent;
        if (n.thread.joinable()) {
            n.stopEvent->Set();
            // From inside a callback the thread ends by itself once the callback returns.
            if (n.thread.get_id() == std::this_thread::get_id()) {
                n.thread.detach();
            } else {
                thread = std::move(n.thread);
            }
        }
    }
    if (thread.joinable())
        thread.join();
    std::lock_guard lock(n.lock);
    if (n.stopEvent == stopped) {  // not registered anew meanwhile
        n.callback = nullptr;
        n.context = nullptr;
        n.gpioCount = 0;
        n.stopEvent.reset();
    }
}

}  // namespace bridge::detail

extern "C" {

void FT_ClearNotificationCallback(Handle handle) {
    if (HandlePtr h = FindHandle(handle))
        StopNotifications(*h);
}

Status FT_SetNotificationCallback(Handle handle, NotificationCallback callback, void* context) {
    HandlePtr h = FindHandle(handle);
    if (const Status s = CheckRegistration(h, callback); s != kStatusOk)
        return s;
    FT_60XCONFIGURATION config{};
    const Status s = FT_GetChipConfiguration(handle, &config);
    if (s != kStatusOk)
        return s;
    if ((config.OptionalFeatureSupport & 0x3C) == 0)
        return kStatusOtherError;  // no channel notifies
    return Start(h, callback, context, false, 0, 0, kStatusInsufficientResources);
}

Status FT_GetGPIO(Handle handle, uint8_t pins, NotificationCallback callback, void* context, uint16_t count) {
    HandlePtr h = FindHandle(handle);
    if (const Status s = CheckRegistration(h, callback); s != kStatusOk)
        return s;
    const Status s = Start(h, callback, context, true, pins, count, kStatusOtherError);
    if (s != kStatusOk)
        return s;
    GpioNotificationRequest arm{pins, 0};
    return Request(*h, kRequestArmGpioNotification, &arm, sizeof(arm), nullptr, 0);
}

}  // extern "C"
