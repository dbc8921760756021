// The simulated camera, so tests and demos run without a device, like the simulated probe.
// It draws a moving pattern, "SIMULATED CAMERA", a frame counter and the local time in
// milliseconds at 30 pictures a second on its own thread: a recording then shows whether the
// image and the camera keep step. The wide variant offers 16:9 formats only.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/Clock.h"
#include "platform/Image.h"
#include "platform/camera/Camera.h"
#include "platform/camera/LatestSample.h"

namespace camera {

inline constexpr const char* kSimulatedCameraName = "Simulated Camera";
// The pattern's background and moving block, for tests that check a recording's colours.
inline constexpr uint32_t kSimBackground = 0x2060A0;  // 0x00RRGGBB
inline constexpr uint32_t kSimBlock = 0xF08C14;

class SimulatedCamera : public ICamera {
public:
    explicit SimulatedCamera(bool wide);
    ~SimulatedCamera() override;

    const std::string& Name() const override { return name_; }
    std::vector<CameraFormat> Capabilities() override;
    bool SetFormat(const CameraFormat& format) override;
    bool AdoptCurrentFormat() override;
    CameraFormat Format() const override { return format_; }
    bool Start() override;
    void Stop() override;
    bool WaitForFirstSample(std::chrono::milliseconds timeout) override;
    bool LatestSample(CameraSample& out) const override;
    std::string LastError() const override { return {}; }

    // One picture of the pattern, top-down (frame numbers count from 1).
    static void Render(Image32& image, uint64_t frameNumber, const platform::SystemTime& localTime);

private:
    void Run();

    const bool wide_;
    const std::string name_ = kSimulatedCameraName;
    CameraFormat format_;
    std::thread thread_;
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    bool stop_ = false;
    camera::LatestSample sample_;
};

// Copies a top-down picture into a bottom-up BGR buffer of the same size.
void ToBottomUpBgr(const Image32& image, std::vector<uint8_t>& bgr);

}  // namespace camera
