// The thin seam under the V4L2 back-end: every open, ioctl, mmap and poll on a video node
// goes through it, so tests can script a device (a metadata node, a busy device, a driver
// that answers another size, a camera unplugged while streaming).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace camera {

class IV4l2Io {
public:
    virtual ~IV4l2Io() = default;
    // The video nodes ("/dev/video0", ...) in the order of their numbers.
    virtual std::vector<std::string> ListNodes() = 0;
    // A descriptor (>= 0), or -errno.
    virtual int Open(const std::string& path) = 0;
    virtual void Close(int fd) = 0;
    // 0, or the errno of the failure.
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    // The mapping, or nullptr.
    virtual void* Mmap(int fd, size_t length, int64_t offset) = 0;
    virtual void Munmap(void* address, size_t length) = 0;
    // Waits until a buffer can be dequeued: 1 ready, 0 timed out, -errno on failure.
    virtual int Poll(int fd, int timeoutMs) = 0;
};

// The system's calls. Tests install their own with SetV4l2IoForTesting (nullptr restores).
IV4l2Io& V4l2Io();
void SetV4l2IoForTesting(IV4l2Io* io);

}  // namespace camera
