#include "platform/UiThread.h"

#include <atomic>

namespace platform {

void QueuedUiDispatcher::Post(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
}

int QueuedUiDispatcher::RunPending() {
    int count = 0;
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return count;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
        ++count;
    }
}

size_t QueuedUiDispatcher::PendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

namespace {
QueuedUiDispatcher& BuiltInDispatcher() {
    static QueuedUiDispatcher dispatcher;
    return dispatcher;
}
std::atomic<IUiDispatcher*> g_installed{nullptr};
}  // namespace

IUiDispatcher& UiDispatcher() {
    IUiDispatcher* d = g_installed.load(std::memory_order_acquire);
    return d ? *d : BuiltInDispatcher();
}

void SetUiDispatcher(IUiDispatcher* dispatcher) { g_installed.store(dispatcher, std::memory_order_release); }

}  // namespace platform
