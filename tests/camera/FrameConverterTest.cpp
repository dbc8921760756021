#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "platform/camera/FrameConverter.h"
#include "tests/camera/TestPictures.h"

using camera::CameraFormat;
using camera::FrameConverter;
using camtest::JpegPicture;

namespace {

// `size` bytes that end exactly where an inaccessible page begins: a read or write one byte
// past them faults.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t size) : size_(size) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        mapped_ = (size + page - 1) / page * page + page;
        void* p = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            std::abort();
        base_ = static_cast<uint8_t*>(p);
        if (mprotect(base_ + mapped_ - page, page, PROT_NONE) != 0)
            std::abort();
    }
    ~GuardedBuffer() { munmap(base_, mapped_); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    uint8_t* data() { return base_ + (mapped_ - static_cast<size_t>(sysconf(_SC_PAGESIZE))) - size_; }
    size_t size() const { return size_; }

private:
    size_t size_;
    size_t mapped_ = 0;
    uint8_t* base_ = nullptr;
};

// Video-range BT.601 of one pixel, in floating point.
void ExpectedBgr(int y, int u, int v, double out[3]) {
    const double c = 1.164 * (y - 16);
    out[0] = c + 2.018 * (u - 128);
    out[1] = c - 0.391 * (u - 128) - 0.813 * (v - 128);
    out[2] = c + 1.596 * (v - 128);
    for (int i = 0; i < 3; ++i)
        out[i] = out[i] < 0 ? 0 : (out[i] > 255 ? 255 : out[i]);
}

// Converts a YUYV picture whose luma varies per pixel and whose chroma is one colour per row
// (so that however the chroma is spread, every pixel has a known colour); the input and the
// output each end at a guard page. Returns how many colour channels are off by more than 3.
int ConvertYuyvAtGuard(FrameConverter& conv, int w, int h, int stride, std::mt19937& rng) {
    const int rowBytes = stride > 0 ? stride : w * 2;
    GuardedBuffer in(static_cast<size_t>(rowBytes) * static_cast<size_t>(h - 1) + static_cast<size_t>(w) * 2);
    GuardedBuffer out(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    std::memset(out.data(), 0xCD, out.size());
    std::uniform_int_distribution<int> luma(16, 235), chroma(40, 216);
    std::vector<std::pair<int, int>> rowChroma(static_cast<size_t>(h));
    for (int row = 0; row < h; ++row) {
        const int u = chroma(rng), v = chroma(rng);
        rowChroma[static_cast<size_t>(row)] = {u, v};
        uint8_t* p = in.data() + static_cast<size_t>(row) * static_cast<size_t>(rowBytes);
        for (int x = 0; x < w; ++x) {
            p[x * 2] = static_cast<uint8_t>(luma(rng));
            p[x * 2 + 1] = static_cast<uint8_t>(x % 2 == 0 ? u : v);
        }
    }
    std::string error;
    EXPECT_TRUE(conv.Convert({camera::kFourccYuyv, w, h}, in.data(), in.size(), out.data(), out.size(), error,
                             stride))
        << w << "x" << h << ": " << error;
    int off = 0;
    for (int row = 0; row < h; ++row) {
        const uint8_t* src = in.data() + static_cast<size_t>(row) * static_cast<size_t>(rowBytes);
        const uint8_t* dst = out.data() + static_cast<size_t>(h - 1 - row) * static_cast<size_t>(w) * 3;
        const auto [u, v] = rowChroma[static_cast<size_t>(row)];
        for (int x = 0; x < w; ++x) {
            double want[3];
            // A lone pixel has no V of its own: grey.
            ExpectedBgr(src[x * 2], u, w == 1 ? 128 : v, want);
            for (int c = 0; c < 3; ++c)
                off += std::abs(dst[x * 3 + c] - want[c]) > 3.0;
        }
    }
    return off;
}

}  // namespace

// Every width a camera could offer converts inside its buffers, vector part and tail alike.
TEST(FrameConverter, YuyvOfEveryWidthStaysInsideItsBuffersAndKeepsItsColours) {
    std::mt19937 rng(7);
    FrameConverter conv;
    for (int w = 1; w <= 64; ++w)
        for (int h : {1, 2, 3, 8})
            EXPECT_EQ(ConvertYuyvAtGuard(conv, w, h, 0, rng), 0) << w << "x" << h;
    // Real sizes, and rows padded by the driver.
    for (auto [w, h, stride] : {std::tuple{854, 480, 0}, std::tuple{1366, 768, 0}, std::tuple{640, 480, 0},
                                std::tuple{1280, 720, 0}, std::tuple{854, 480, 1728}, std::tuple{21, 5, 64}})
        EXPECT_EQ(ConvertYuyvAtGuard(conv, w, h, stride, rng), 0) << w << "x" << h << " stride " << stride;
}

TEST(FrameConverter, MjpegOfOddSizesStaysInsideItsBuffers) {
    FrameConverter conv;
    for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{17, 9}, std::pair{33, 31},
                        std::pair{854, 480}, std::pair{1366, 768}}) {
        const std::vector<uint8_t> jpeg = JpegPicture(w, h, {30, 140, 220}, {30, 140, 220});
        GuardedBuffer in(jpeg.size());
        std::memcpy(in.data(), jpeg.data(), jpeg.size());
        GuardedBuffer out(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
        std::string error;
        ASSERT_TRUE(
            conv.Convert({camera::kFourccMjpeg, w, h}, in.data(), in.size(), out.data(), out.size(), error))
            << w << "x" << h << ": " << error;
        const uint8_t* last = out.data() + out.size() - 3;
        EXPECT_NEAR(last[0], 30, 4);
        EXPECT_NEAR(last[1], 140, 4);
        EXPECT_NEAR(last[2], 220, 4);
        // A picture cut short is refused, not read past its end.
        GuardedBuffer cut(jpeg.size() / 2);
        std::memcpy(cut.data(), jpeg.data(), cut.size());
        EXPECT_FALSE(conv.Convert({camera::kFourccMjpeg, w, h}, cut.data(), cut.size(), out.data(),
                                  out.size(), error));
    }
}
