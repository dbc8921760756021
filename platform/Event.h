// Waitable events in place of the Win32 event objects: auto-reset and manual-reset,
// with a wait on one event or on either of two events. Used by the bridge's overlapped
// records, the probe watch loop and the image thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {

// Timeout value meaning "wait without limit".
inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;

// Result of a wait that ran out of time (the index of a signalled event otherwise).
inline constexpr int kWaitTimeout = -1;

class Event {
public:
    enum class Reset { Auto, Manual };

    explicit Event(Reset mode = Reset::Auto, bool initiallySet = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event();

    void Set();
    void ResetEvent();
    bool IsSet() const;

    // Waits until the event is set; consumes it when auto-reset. False on timeout.
    bool Wait(uint32_t timeoutMs = kInfinite);

private:
    friend int WaitAny(Event* const* events, int count, uint32_t timeoutMs);
    struct Waiter;

    // Takes the event when set (clearing it if auto-reset); else registers the waiter.
    bool TryTakeOrRegister(Waiter* waiter);
    void Unregister(Waiter* waiter);

    const Reset mode_;
    mutable std::mutex mutex_;
    bool set_;
    std::vector<Waiter*> waiters_;
};

// Waits until one of the events is set and returns its index (the lowest index when
// several are set); kWaitTimeout when the time ran out. An auto-reset event is consumed.
int WaitAny(Event* const* events, int count, uint32_t timeoutMs);
inline int WaitAny(Event& first, Event& second, uint32_t timeoutMs) {
    Event* both[2] = {&first, &second};
    return WaitAny(both, 2, timeoutMs);
}

}  // namespace platform
