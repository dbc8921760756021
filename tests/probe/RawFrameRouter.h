// Plays the main window's raw-frame callback for the probe link's tests and benchmarks.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "common/EventHub.h"
#include "probe/OpenProbe.h"
#include "probe/RawBuf.h"
#include "tests/support/TestSupport.h"

namespace probetest {

// Plays the main window's raw-frame callback: cleared and consumed buffers go back to the
// driver in g_pProbe, complete ones to `onComplete` (by default a queue the test takes from).
class RawFrameRouter {
public:
    RawFrameRouter() {
        instance_ = this;
        CEventHub::GetInstance().Subscribe(EventKindRawFrame, &RawFrameRouter::OnRawBufferEvent);
    }
    ~RawFrameRouter() {
        CEventHub::GetInstance().Unsubscribe(EventKindRawFrame, &RawFrameRouter::OnRawBufferEvent);
        instance_ = nullptr;
    }

    std::function<void(CRawBuf*)> onComplete;
    // Keep the state of every publication for States() (off for long runs: it grows).
    std::atomic<bool> recordStates{false};

    // The next complete buffer; null after `timeout`.
    CRawBuf* WaitComplete(std::chrono::milliseconds timeout = testsupport::kPatience) {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [&] { return !complete_.empty(); }))
            return nullptr;
        CRawBuf* b = complete_.front();
        complete_.erase(complete_.begin());
        return b;
    }
    // What the image thread does once it copied a buffer: consumed, published, back to the probe.
    static void Consume(CRawBuf* buffer) {
        buffer->m_nState = RawBufConsumed;
        PublishRawBuf(buffer);
    }
    std::vector<int> States() {
        std::lock_guard lock(mutex_);
        return states_;
    }

private:
    static void OnRawBufferEvent(void* payload) {
        RawFrameRouter* self = instance_;
        auto* buffer = static_cast<CRawBuf*>(payload);
        if (!self || !buffer)
            return;
        if (self->recordStates.load()) {
            std::lock_guard lock(self->mutex_);
            self->states_.push_back(buffer->m_nState);
        }
        switch (RouteOf(*buffer)) {
            case RawBufRoute::ToImageQueue:
                if (self->onComplete) {
                    self->onComplete(buffer);
                } else {
                    {
                        std::lock_guard lock(self->mutex_);
                        self->complete_.push_back(buffer);
                    }
                    self->cv_.notify_all();
                }
                break;
            case RawBufRoute::ToFreeList:
                if (IProbeData* probe = g_pProbe.load())
                    probe->ReturnBuffer(buffer);
                break;
            case RawBufRoute::Ignore:
                break;
        }
    }

    static inline std::atomic<RawFrameRouter*> instance_{nullptr};
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<CRawBuf*> complete_;
    std::vector<int> states_;
};

}  // namespace probetest
