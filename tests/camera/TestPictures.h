// Pictures the camera tests feed in: MJPEG pictures made with the JPEG encoder.
#pragma once

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdint>
#include <vector>

namespace camtest {

struct Bgr {
    int b, g, r;
};

// A JPEG picture (4:2:0) whose top half is `top` and bottom half `bottom`.
inline std::vector<uint8_t> JpegPicture(int w, int h, Bgr top, Bgr bottom) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Bgr c = y < h / 2 ? top : bottom;
            rgb.insert(rgb.end(),
                       {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b)});
        }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    EXPECT_EQ(tjCompress2(tj, rgb.data(), w, w * 3, h, TJPF_RGB, &jpeg, &size, TJSAMP_420, 95, 0), 0);
    std::vector<uint8_t> out(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

}  // namespace camtest
