// The camera layer: the video input devices the recorder can show beside the live image.
// One small interface over two back-ends, V4L2 devices and a simulated camera
// (TORVIK_CAMERA=sim or sim-wide). Samples are 24-bit BGR, rows bottom-up, packed: the
// layout of the recording's frames, so the recorder copies them without converting.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace camera {

constexpr uint32_t MakeFourcc(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}
inline constexpr uint32_t kFourccYuyv = MakeFourcc('Y', 'U', 'Y', 'V');
inline constexpr uint32_t kFourccMjpeg = MakeFourcc('M', 'J', 'P', 'G');

// One capture format a device offers.
struct CameraFormat {
    uint32_t fourcc = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const CameraFormat&, const CameraFormat&) = default;
};

// True for the formats this layer can capture and convert (YUYV, MJPEG) with a real size.
bool IsVideoFormat(const CameraFormat& format);

// One picture: width x height pixels, 3 bytes each (blue, green, red), rows bottom-up.
struct CameraSample {
    int width = 0;
    int height = 0;
    uint64_t sequence = 0;  // 1 for the first picture captured, 0 while there is none
    std::vector<uint8_t> bgr;
};

class ICamera {
public:
    virtual ~ICamera() = default;

    virtual const std::string& Name() const = 0;
    // The formats the device offers, in the device's own order.
    virtual std::vector<CameraFormat> Capabilities() = 0;
    // Sets the capture format. False when the device refuses it or answers with another one;
    // the device then keeps no format of ours.
    virtual bool SetFormat(const CameraFormat& format) = 0;
    // Keeps the format the device has now, when it is one this layer can capture. False
    // otherwise.
    virtual bool AdoptCurrentFormat() = 0;
    // The format set last (all zero before a successful SetFormat or AdoptCurrentFormat).
    virtual CameraFormat Format() const = 0;
    // Starts capturing on the camera's own thread. False when streaming cannot start.
    virtual bool Start() = 0;
    // Stops the thread and releases the streaming buffers; the last sample stays readable.
    virtual void Stop() = 0;
    // Waits until a first picture has arrived. False when none came in time or capturing ended.
    virtual bool WaitForFirstSample(std::chrono::milliseconds timeout) = 0;
    // Copies the newest picture. False while there is none; a failed read keeps the last
    // good picture.
    virtual bool LatestSample(CameraSample& out) const = 0;
    // Why the last operation or the capture thread failed; empty when nothing failed.
    virtual std::string LastError() const = 0;
};

// The names of the video input devices in the order the system lists them (UTF-8).
// TORVIK_CAMERA=sim or sim-wide lists only the simulated camera.
std::vector<std::string> EnumerateCameraNames();

// Opens the first device of that name; nullptr when there is none.
std::unique_ptr<ICamera> OpenCamera(const std::string& name);

}  // namespace camera
