// The main window's part of live imaging, without a window: the live image processor with its
// thread, the five raw frame buffers, the imaging set-up when a probe opens, freeze and
// unfreeze, and a user-interface queue that the caller runs. Used by the end-to-end test and
// the throughput benchmark.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "RawFrameRouter.h"
#include "imaging/ImageProc.h"
#include "platform/UiThread.h"
#include "probe/OpenProbe.h"

namespace probetest {

// The user-interface thread's queue: work posted by the image thread waits here until the
// caller runs it. `onPost` sees every post as it happens (on the posting thread).
class UiQueue : public platform::IUiDispatcher {
public:
    std::function<void()> onPost;

    void Post(std::function<void()> work) override {
        if (onPost)
            onPost();
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(work));
        }
        cv_.notify_all();
    }
    void Pump() override { RunPending(); }
    void RunPending() {
        for (;;) {
            std::function<void()> work;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty())
                    return;
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }
    // Runs posted work until `done` holds, looking again at least every 10 ms as the main
    // window's freeze does for states nobody posts; false after the time-out.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::seconds timeout = std::chrono::seconds(60)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            RunPending();
            if (done())
                return true;
            const auto now = std::chrono::steady_clock::now();
            if (now > deadline)
                return false;
            std::unique_lock lock(mutex_);
            cv_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(10)),
                           [&] { return !queue_.empty(); });
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
};

class HeadlessMainWindow : public IProbeHost {
public:
    HeadlessMainWindow() {
        proc.SetFrameNotify([this](int slot) {
            lastSlot = slot;
            ++notices;
        });
        router.onComplete = [this](CRawBuf* b) { proc.QueueRawBuffer(b); };
    }

    void* GetWindowHandle() override { return this; }
    bool HasLiveImageProcessor() override { return true; }
    ProbeIdentity GetRememberedProbeIdentity() override { return identity; }
    bool IsProbeLost() override { return false; }
    void WaitImageThreadIdle() override { proc.WaitIdle(); }

    bool InitProbeImaging() override {
        IProbeData* probe = g_pProbe.load();
        if (!probe)
            return false;
        proc.ClearInputQueue();
        if (buffers.empty()) {
            for (int i = 0; i < 5; ++i)
                buffers.push_back(
                    std::make_unique<CRawBuf>(probe->GetSamplesPerLine(), probe->GetLineCount()));
        }
        for (auto& b : buffers) {
            b->Clear();
            PublishRawBuf(b.get());  // to the probe's free list
        }
        int type = 0;
        probe->GetProbeType(&type);
        proc.SetProbeGeometry(ConvexProbeGeometry(type, probe->GetSamplesPerLine(), probe->GetLineCount(),
                                                  probe->GetScanParam(), probe->GetScanFlag(),
                                                  probe->GetFieldOfView(), probe->GetConvexRadius(),
                                                  probe->GetMinDepth(), probe->GetMaxDepth()));
        proc.SetDepth(depth);
        identity = {probe->GetHardwareId(), probe->GetVersionB(), probe->GetVersionA()};
        return probe->SetDepth(depth) && probe->SetFocus(100);
    }

    // Unfreeze and freeze as the main window does them.
    bool Unfreeze() {
        IProbeData* probe = g_pProbe.load();
        probe->SetLastReceiveTime(0);
        if (probe->StartStreaming() != 1)
            return false;
        probe->SetScanState(ProbeScanLive);
        return true;
    }
    bool Freeze() {
        IProbeData* probe = g_pProbe.load();
        probe->SetScanState(ProbeScanStopRequested);
        // The watch thread stops the stream.
        if (!ui.RunUntil([&] { return probe->GetScanState() == ProbeScanStopped; }))
            return false;
        const bool idle = proc.WaitIdle();
        ui.RunPending();
        return idle;
    }

    int depth = 150;
    RawFrameRouter router;  // before the processor: outlives its thread
    CImageProc proc;
    UiQueue ui;
    std::vector<std::unique_ptr<CRawBuf>> buffers;
    // Frame notices run on the user-interface queue.
    size_t notices = 0;
    int lastSlot = -1;
    ProbeIdentity identity;
};

}  // namespace probetest
