// The seam through which worker threads reach the user-interface thread. Workers never
// touch widgets and never wait for the UI: they post a piece of work, and the UI thread
// runs it in order. The windowed program installs a dispatcher over the wx event queue;
// tests and headless tools use QueuedUiDispatcher and run the queue themselves.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace platform {

class IUiDispatcher {
public:
    virtual ~IUiDispatcher() = default;
    // Queues work for the UI thread; callable from any thread, never blocks on the UI.
    virtual void Post(std::function<void()> work) = 0;
    // On the UI thread: runs what is waiting (input and posted work) without waiting.
    virtual void Pump() = 0;
};

// A dispatcher that only queues: RunPending (or Pump) runs the work on the calling thread.
class QueuedUiDispatcher : public IUiDispatcher {
public:
    void Post(std::function<void()> work) override;
    void Pump() override { RunPending(); }
    // Runs everything queued so far, including work that the work itself posts. Returns the count.
    int RunPending();
    size_t PendingCount() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

// The process's dispatcher. Until one is installed, a QueuedUiDispatcher owned here serves.
IUiDispatcher& UiDispatcher();
// Installs a dispatcher (not owned); nullptr restores the built-in queue. Call before workers start.
void SetUiDispatcher(IUiDispatcher* dispatcher);

inline void PostToUi(std::function<void()> work) { UiDispatcher().Post(std::move(work)); }

}  // namespace platform
