#include "platform/camera/SimulatedCamera.h"

#include <chrono>
#include <cstdio>

#include "platform/draw/Painter.h"
#include "platform/draw/Raster.h"

namespace camera {

namespace {
constexpr auto kFramePeriod = std::chrono::microseconds(33'333);  // 30 pictures a second
}

SimulatedCamera::SimulatedCamera(bool wide) : wide_(wide) {}

SimulatedCamera::~SimulatedCamera() {
    Stop();
}

std::vector<CameraFormat> SimulatedCamera::Capabilities() {
    if (wide_)
        return {{kFourccYuyv, 640, 360}, {kFourccYuyv, 1280, 720}};
    return {{kFourccYuyv, 320, 240}, {kFourccYuyv, 640, 480}, {kFourccYuyv, 1280, 720}};
}

bool SimulatedCamera::SetFormat(const CameraFormat& format) {
    if (thread_.joinable())
        return false;
    for (const CameraFormat& f : Capabilities())
        if (f == format) {
            format_ = format;
            return true;
        }
    return false;
}

bool SimulatedCamera::AdoptCurrentFormat() {
    if (!IsVideoFormat(format_))
        format_ = Capabilities().front();  // the simulated device starts in its first format
    return true;
}

bool SimulatedCamera::Start() {
    if (thread_.joinable())
        return true;
    if (!IsVideoFormat(format_))
        return false;
    {
        std::lock_guard lock(stopMutex_);
        stop_ = false;
    }
    sample_.ResetEnded();
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SimulatedCamera::Stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(stopMutex_);
        stop_ = true;
    }
    stopSignal_.notify_all();
    thread_.join();
}

bool SimulatedCamera::WaitForFirstSample(std::chrono::milliseconds timeout) {
    return sample_.WaitForFirst(timeout);
}

bool SimulatedCamera::LatestSample(CameraSample& out) const {
    return sample_.Copy(out);
}

void SimulatedCamera::Run() {
    Image32 picture(format_.width, format_.height);
    std::vector<uint8_t> work;
    auto deadline = std::chrono::steady_clock::now();
    for (uint64_t frame = 1;; ++frame) {
        Render(picture, frame, platform::GetLocalTime());
        ToBottomUpBgr(picture, work);
        sample_.Publish(format_.width, format_.height, work);
        deadline += kFramePeriod;
        // Behind by more than a picture (a loaded machine): go on from now instead of bursting.
        if (const auto now = std::chrono::steady_clock::now(); now > deadline + kFramePeriod)
            deadline = now;
        std::unique_lock lock(stopMutex_);
        if (stopSignal_.wait_until(lock, deadline, [this] { return stop_; }))
            break;
    }
    sample_.MarkEnded();
}

void SimulatedCamera::Render(Image32& image, uint64_t frameNumber, const platform::SystemTime& t) {
    const int w = image.width();
    const int h = image.height();
    image.Fill(kSimBackground);
    // A block crossing the picture once every two seconds, with a stripe above and below.
    const int block = h / 4;
    const int travel = w + block;
    const int x =
        static_cast<int>((frameNumber * static_cast<uint64_t>(travel) / 60) % static_cast<uint64_t>(travel)) -
        block;
    draw::FillRect(image, {x, h / 2 - block / 2, x + block, h / 2 + block / 2}, kSimBlock);
    draw::FillRect(image, {0, h / 2 - block / 2 - 4, w, h / 2 - block / 2 - 2}, 0xFFFFFF);
    draw::FillRect(image, {0, h / 2 + block / 2 + 2, w, h / 2 + block / 2 + 4}, 0xFFFFFF);

    const draw::Font font{draw::kUiFace, h / 14.0, true};
    char counter[32];
    std::snprintf(counter, sizeof counter, "%llu", static_cast<unsigned long long>(frameNumber));
    char clock[32];
    std::snprintf(clock, sizeof clock, "%02u:%02u:%02u.%03u", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    draw::Painter painter(image);
    const int line = h / 8;
    painter.DrawText({0, line / 2, w, line / 2 + line}, "SIMULATED CAMERA", font, 0xFFFFFF,
                     draw::kTextCenter | draw::kTextVCenter);
    painter.DrawText({0, h - 2 * line - line / 2, w, h - line - line / 2}, counter, font, 0xFFFFFF,
                     draw::kTextCenter | draw::kTextVCenter);
    painter.DrawText({0, h - line - line / 4, w, h - line / 4}, clock, font, 0xFFFFFF,
                     draw::kTextCenter | draw::kTextVCenter);
}

void ToBottomUpBgr(const Image32& image, std::vector<uint8_t>& bgr) {
    const int w = image.width();
    const int h = image.height();
    bgr.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    for (int y = 0; y < h; ++y) {
        const uint32_t* src = image.Row(y);
        uint8_t* dst = bgr.data() + static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w) * 3;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = PixelB(src[x]);
            dst[3 * x + 1] = PixelG(src[x]);
            dst[3 * x + 2] = PixelR(src[x]);
        }
    }
}

}  // namespace camera
