// Converts what a camera delivers (YUYV 4:2:2 or a motion-JPEG picture) into the recorder's
// sample layout: BGR, 3 bytes a pixel, rows bottom-up, packed. YUYV goes through libswscale,
// MJPEG through TurboJPEG. One converter per capture thread (it keeps its contexts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/camera/Camera.h"

struct SwsContext;

namespace camera {

class FrameConverter {
public:
    FrameConverter();
    ~FrameConverter();
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    // Converts `bytes` of `format` into `bgr`, which must hold width x height x 3 bytes.
    // False (and `bgr` possibly half written) when the data is short or does not decode
    // to that size; `error` then says why. `stride` is the bytes per YUYV row (0: packed).
    bool Convert(const CameraFormat& format, const uint8_t* data, size_t bytes, std::vector<uint8_t>& bgr,
                 std::string& error, int stride = 0);
    // The same into `bgrBytes` bytes at `bgr`; neither buffer is touched beyond its end.
    bool Convert(const CameraFormat& format, const uint8_t* data, size_t bytes, uint8_t* bgr, size_t bgrBytes,
                 std::string& error, int stride = 0);

private:
    bool ConvertYuyv(const CameraFormat& format, const uint8_t* data, size_t bytes, uint8_t* bgr,
                     std::string& error, int stride);
    bool ConvertMjpeg(const CameraFormat& format, const uint8_t* data, size_t bytes, uint8_t* bgr,
                      std::string& error);

    SwsContext* sws_ = nullptr;
    int swsWidth_ = 0;
    int swsHeight_ = 0;
    void* jpeg_ = nullptr;  // tjhandle
};

}  // namespace camera
