#include "platform/Event.h"

#include <algorithm>

namespace platform {

struct Event::Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool woken = false;
};

Event::Event(Reset mode, bool initiallySet) : mode_(mode), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    for (Waiter* w : waiters_) {
        std::lock_guard wl(w->mutex);
        w->woken = true;
        w->cv.notify_one();
    }
}

void Event::ResetEvent() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool Event::IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

bool Event::Wait(uint32_t timeoutMs) {
    Event* self = this;
    return WaitAny(&self, 1, timeoutMs) == 0;
}

bool Event::TryTakeOrRegister(Waiter* waiter) {
    std::lock_guard lock(mutex_);
    if (set_) {
        if (mode_ == Reset::Auto) set_ = false;
        return true;
    }
    if (std::find(waiters_.begin(), waiters_.end(), waiter) == waiters_.end()) waiters_.push_back(waiter);
    return false;
}

void Event::Unregister(Waiter* waiter) {
    std::lock_guard lock(mutex_);
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), waiter), waiters_.end());
}

int WaitAny(Event* const* events, int count, uint32_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const bool forever = timeoutMs == kInfinite;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);

    Event::Waiter waiter;
    int result = kWaitTimeout;
    for (;;) {
        {
            std::lock_guard wl(waiter.mutex);
            waiter.woken = false;
        }
        for (int i = 0; i < count; ++i) {
            if (events[i]->TryTakeOrRegister(&waiter)) {
                result = i;
                break;
            }
        }
        if (result != kWaitTimeout) break;

        std::unique_lock wl(waiter.mutex);
        if (forever) {
            waiter.cv.wait(wl, [&] { return waiter.woken; });
        } else if (!waiter.cv.wait_until(wl, deadline, [&] { return waiter.woken; })) {
            break;  // timed out with nothing signalled
        }
    }
    for (int i = 0; i < count; ++i) events[i]->Unregister(&waiter);
    return result;
}

}  // namespace platform
