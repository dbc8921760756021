#include "platform/camera/FrameConverter.h"

#include <turbojpeg.h>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace camera {
namespace {

// Whole blocks of pixels libswscale converts without touching bytes beyond them.
constexpr int kYuyvBlock = 16;

uint8_t Clamp8(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Video-range BT.601, as libswscale converts by default.
void YuvToBgr(int y, int u, int v, uint8_t* out) {
    const int c = 298 * (y - 16);
    const int d = u - 128;
    const int e = v - 128;
    out[0] = Clamp8((c + 516 * d + 128) >> 8);
    out[1] = Clamp8((c - 100 * d - 208 * e + 128) >> 8);
    out[2] = Clamp8((c + 409 * e + 128) >> 8);
}

// Columns [first, w) of every row (first even), reading only the row's own w * 2 bytes. A last pixel
// without its pair (odd width) takes the chroma of the pair before it, or grey.
void ConvertYuyvColumns(const uint8_t* data, int stride, int w, int h, int first, uint8_t* bgr) {
    for (int row = 0; row < h; ++row) {
        const uint8_t* in = data + static_cast<size_t>(row) * static_cast<size_t>(stride);
        uint8_t* out = bgr + static_cast<size_t>(h - 1 - row) * static_cast<size_t>(w) * 3;
        for (int x = first; x < w; x += 2) {
            const uint8_t* pair = in + static_cast<size_t>(x) * 2;
            if (x + 1 < w) {
                YuvToBgr(pair[0], pair[1], pair[3], out + static_cast<size_t>(x) * 3);
                YuvToBgr(pair[2], pair[1], pair[3], out + static_cast<size_t>(x + 1) * 3);
            } else {
                const int v = x >= 2 ? pair[-1] : 128;
                YuvToBgr(pair[0], pair[1], v, out + static_cast<size_t>(x) * 3);
            }
        }
    }
}

}  // namespace

FrameConverter::FrameConverter() = default;

FrameConverter::~FrameConverter() {
    if (sws_)
        sws_freeContext(sws_);
    if (jpeg_)
        tjDestroy(static_cast<tjhandle>(jpeg_));
}

bool FrameConverter::Convert(const CameraFormat& format, const uint8_t* data, size_t bytes,
                             std::vector<uint8_t>& bgr, std::string& error, int stride) {
    return Convert(format, data, bytes, bgr.data(), bgr.size(), error, stride);
}

bool FrameConverter::Convert(const CameraFormat& format, const uint8_t* data, size_t bytes, uint8_t* bgr,
                             size_t bgrBytes, std::string& error, int stride) {
    if (!IsVideoFormat(format)) {
        error = "unsupported camera format";
        return false;
    }
    if (bgrBytes != static_cast<size_t>(format.width) * static_cast<size_t>(format.height) * 3) {
        error = "sample buffer of the wrong size";
        return false;
    }
    if (format.fourcc == kFourccYuyv)
        return ConvertYuyv(format, data, bytes, bgr, error, stride);
    return ConvertMjpeg(format, data, bytes, bgr, error);
}

bool FrameConverter::ConvertYuyv(const CameraFormat& format, const uint8_t* data, size_t bytes, uint8_t* bgr,
                                 std::string& error, int stride) {
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
    // libswscale's vector loops read and write whole blocks: past the row on a width that is
    // not a multiple of 16, and past the buffers on the last rows. It converts the part of
    // each row that is whole blocks; the rest goes through the scalar loop below.
    const int vectorWidth = w & ~(kYuyvBlock - 1);
    if (vectorWidth > 0) {
        if (!sws_ || swsWidth_ != vectorWidth || swsHeight_ != h) {
            if (sws_)
                sws_freeContext(sws_);
            sws_ = sws_getContext(vectorWidth, h, AV_PIX_FMT_YUYV422, vectorWidth, h, AV_PIX_FMT_BGR24,
                                  SWS_BILINEAR, nullptr, nullptr, nullptr);
            swsWidth_ = vectorWidth;
            swsHeight_ = h;
            if (!sws_) {
                error = "no YUYV converter for " + std::to_string(w) + "x" + std::to_string(h);
                return false;
            }
        }
        const uint8_t* src[4] = {data, nullptr, nullptr, nullptr};
        const int srcStride[4] = {stride, 0, 0, 0};
        // The camera's top row goes to the last row of the buffer: a negative stride flips.
        uint8_t* dst[4] = {bgr + static_cast<size_t>(h - 1) * static_cast<size_t>(w) * 3, nullptr, nullptr,
                           nullptr};
        const int dstStride[4] = {-w * 3, 0, 0, 0};
        if (sws_scale(sws_, src, srcStride, 0, h, dst, dstStride) != h) {
            error = "YUYV conversion failed";
            return false;
        }
    }
    if (vectorWidth < w)
        ConvertYuyvColumns(data, stride, w, h, vectorWidth, bgr);
    return true;
}

bool FrameConverter::ConvertMjpeg(const CameraFormat& format, const uint8_t* data, size_t bytes, uint8_t* bgr,
                                  std::string& error) {
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
        // After a header it could not finish, the decoder reads the next one as 0 x 0: the
        // next picture starts on a fresh decoder.
        tjDestroy(handle);
        jpeg_ = nullptr;
        return false;
    }
    if (w != format.width || h != format.height) {
        error = "JPEG picture of " + std::to_string(w) + "x" + std::to_string(h) + " in a " +
                std::to_string(format.width) + "x" + std::to_string(format.height) + " stream";
        return false;
    }
    if (tjDecompress2(handle, data, static_cast<unsigned long>(bytes), bgr, w, w * 3, h, TJPF_BGR,
                      TJFLAG_BOTTOMUP) != 0) {
        // A damaged picture (even one the decoder only warns about) is not shown: the last
        // good one stays.
        error = std::string("JPEG decode: ") + tjGetErrorStr2(handle);
        return false;
    }
    return true;
}

}  // namespace camera
