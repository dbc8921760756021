#include "platform/camera/FrameConverter.h"

#include <turbojpeg.h>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace camera {

FrameConverter::FrameConverter() = default;

FrameConverter::~FrameConverter() {
    if (sws_)
        sws_freeContext(sws_);
    if (jpeg_)
        tjDestroy(static_cast<tjhandle>(jpeg_));
}

bool FrameConverter::Convert(const CameraFormat& format, const uint8_t* data, size_t bytes,
                             std::vector<uint8_t>& bgr, std::string& error, int stride) {
    if (!IsVideoFormat(format)) {
        error = "unsupported camera format";
        return false;
    }
    if (bgr.size() != static_cast<size_t>(format.width) * static_cast<size_t>(format.height) * 3) {
        error = "sample buffer of the wrong size";
        return false;
    }
    if (format.fourcc == kFourccYuyv)
        return ConvertYuyv(format, data, bytes, bgr, error, stride);
    return ConvertMjpeg(format, data, bytes, bgr, error);
}

bool FrameConverter::ConvertYuyv(const CameraFormat& format, const uint8_t* data, size_t bytes,
                                 std::vector<uint8_t>& bgr, std::string& error, int stride) {
    const int w = format.width;
    const int h = format.height;
    if (stride < w * 2)
        stride = w * 2;
    const size_t needed =
        static_cast<size_t>(stride) * static_cast<size_t>(h - 1) + static_cast<size_t>(w) * 2;
    if (bytes < needed) {
        error = "short YUYV picture (" + std::to_string(bytes) + " of " + std::to_string(needed) + " bytes)";
        return false;
    }
    if (!sws_ || swsWidth_ != w || swsHeight_ != h) {
        if (sws_)
            sws_freeContext(sws_);
        sws_ = sws_getContext(w, h, AV_PIX_FMT_YUYV422, w, h, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr,
                              nullptr, nullptr);
        swsWidth_ = w;
        swsHeight_ = h;
        if (!sws_) {
            error = "no YUYV converter for " + std::to_string(w) + "x" + std::to_string(h);
            return false;
        }
    }
    const uint8_t* src[4] = {data, nullptr, nullptr, nullptr};
    const int srcStride[4] = {stride, 0, 0, 0};
    // The camera's top row goes to the last row of the buffer: a negative stride flips.
    uint8_t* dst[4] = {bgr.data() + static_cast<size_t>(h - 1) * static_cast<size_t>(w) * 3, nullptr, nullptr,
                       nullptr};
    const int dstStride[4] = {-w * 3, 0, 0, 0};
    if (sws_scale(sws_, src, srcStride, 0, h, dst, dstStride) != h) {
        error = "YUYV conversion failed";
        return false;
    }
    return true;
}

bool FrameConverter::ConvertMjpeg(const CameraFormat& format, const uint8_t* data, size_t bytes,
                                  std::vector<uint8_t>& bgr, std::string& error) {
    if (!jpeg_) {
        jpeg_ = tjInitDecompress();
        if (!jpeg_) {
            error = "no JPEG decoder";
            return false;
        }
    }
    auto* handle = static_cast<tjhandle>(jpeg_);
    if (bytes == 0 || bytes > static_cast<size_t>(0x7fffffff)) {
        error = "empty JPEG picture";
        return false;
    }
    int w = 0, h = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(bytes), &w, &h, &subsamp, &colorspace) !=
        0) {
        error = std::string("JPEG header: ") + tjGetErrorStr2(handle);
        return false;
    }
    if (w != format.width || h != format.height) {
        error = "JPEG picture of " + std::to_string(w) + "x" + std::to_string(h) + " in a " +
                std::to_string(format.width) + "x" + std::to_string(format.height) + " stream";
        return false;
    }
    if (tjDecompress2(handle, data, static_cast<unsigned long>(bytes), bgr.data(), w, w * 3, h, TJPF_BGR,
                      TJFLAG_BOTTOMUP) != 0) {
        // A damaged picture (even one the decoder only warns about) is not shown: the last
        // good one stays.
        error = std::string("JPEG decode: ") + tjGetErrorStr2(handle);
        return false;
    }
    return true;
}

}  // namespace camera
