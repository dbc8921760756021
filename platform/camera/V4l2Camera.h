// A V4L2 video capture node: formats from the driver's format and frame-size lists (YUYV
// and MJPEG only), the format set and checked against the driver's answer, MMAP streaming
// on a capture thread, each picture converted into the latest sample.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/camera/Camera.h"
#include "platform/camera/LatestSample.h"
#include "platform/camera/V4l2Io.h"

namespace camera {

struct V4l2Node {
    std::string path;
    std::string name;  // the driver's card name, UTF-8
};

// The nodes that capture video (metadata and output nodes are left out), in node order.
std::vector<V4l2Node> ListV4l2Cameras(IV4l2Io& io);

class V4l2Camera : public ICamera {
public:
    // Opens the node; Open's result says whether that worked.
    V4l2Camera(IV4l2Io& io, V4l2Node node);
    ~V4l2Camera() override;

    bool Open();

    const std::string& Name() const override { return node_.name; }
    std::vector<CameraFormat> Capabilities() override;
    bool SetFormat(const CameraFormat& format) override;
    bool AdoptCurrentFormat() override;
    CameraFormat Format() const override { return format_; }
    bool Start() override;
    void Stop() override;
    bool WaitForFirstSample(std::chrono::milliseconds timeout) override;
    bool LatestSample(CameraSample& out) const override;
    std::string LastError() const override;

private:
    struct Mapping {
        void* address = nullptr;
        size_t length = 0;
    };

    void CaptureLoop();
    void ReleaseBuffers();
    void SetError(std::string error);
    std::string Describe(const char* what, int err) const;

    IV4l2Io& io_;
    V4l2Node node_;
    int fd_ = -1;
    CameraFormat format_;
    int bytesPerLine_ = 0;
    std::vector<Mapping> buffers_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    camera::LatestSample sample_;
    mutable std::mutex errorMutex_;
    std::string error_;
};

}  // namespace camera
