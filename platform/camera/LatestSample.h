// The newest camera picture, shared between the capture thread that publishes it and the
// recorder's writer that copies it. The buffer is zeroed when it is allocated, so a reader
// never sees memory no picture was written to.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/camera/Camera.h"

namespace camera {

class LatestSample {
public:
    // A zeroed buffer for pictures of this size, filled by the capture thread and swapped in.
    void AllocateWorkBuffer(int width, int height, std::vector<uint8_t>& buffer) const;
    // Makes `picture` the newest sample and hands back the previous buffer for reuse.
    void Publish(int width, int height, std::vector<uint8_t>& picture);
    bool Copy(CameraSample& out) const;
    bool WaitForFirst(std::chrono::milliseconds timeout) const;
    // Wakes waiters: no picture will come (capture ended).
    void MarkEnded();
    void ResetEnded();

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    CameraSample sample_;
    bool ended_ = false;
};

}  // namespace camera
