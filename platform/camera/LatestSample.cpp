#include "platform/camera/LatestSample.h"

namespace camera {

void LatestSample::AllocateWorkBuffer(int width, int height, std::vector<uint8_t>& buffer) const {
    const size_t bytes =
        static_cast<size_t>(width > 0 ? width : 0) * static_cast<size_t>(height > 0 ? height : 0) * 3;
    buffer.assign(bytes, 0);
}

void LatestSample::Publish(int width, int height, std::vector<uint8_t>& picture) {
    {
        std::lock_guard lock(mutex_);
        sample_.width = width;
        sample_.height = height;
        sample_.bgr.swap(picture);
        ++sample_.sequence;
    }
    arrived_.notify_all();
}

bool LatestSample::Copy(CameraSample& out) const {
    std::lock_guard lock(mutex_);
    if (sample_.sequence == 0)
        return false;
    out.width = sample_.width;
    out.height = sample_.height;
    out.sequence = sample_.sequence;
    out.bgr.assign(sample_.bgr.begin(), sample_.bgr.end());
    return true;
}

bool LatestSample::WaitForFirst(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [this] { return sample_.sequence > 0 || ended_; });
    return sample_.sequence > 0;
}

void LatestSample::MarkEnded() {
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    arrived_.notify_all();
}

void LatestSample::ResetEnded() {
    std::lock_guard lock(mutex_);
    ended_ = false;
}

}  // namespace camera
