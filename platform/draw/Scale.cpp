#include "platform/draw/Scale.h"

#include "platform/draw/Blit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace draw {

namespace {

// Fixed point: weights in 1/16384, horizontally filtered rows in 1/128 of a grey level, so
// that a row value (at most 255 x 128) and a weight both fit a signed 16-bit lane and a
// weighted sum of either pass fits 32 bits. The error against exact arithmetic stays below a
// tenth of a grey level, so the result is the exact one rounded, or one level beside it.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kRowShift = kWeightBits - 7;
constexpr int kOutShift = 7 + kWeightBits;

// The taps of one axis, every output with the same number: output i reads inputs first[i] ..
// first[i] + taps - 1 (clamped to the last input), weights summing to kWeightOne.
struct Axis {
    int taps = 0;
    std::vector<int32_t> first;
    std::vector<int16_t> weight;  // [output][tap]
};

// For each of dstLen outputs, the exact weights over srcLen inputs: a box filter over the
// covered span when shrinking, bilinear between the two nearest centres when enlarging.
Axis MakeAxis(int srcLen, int dstLen) {
    std::vector<std::vector<std::pair<int, double>>> exact(static_cast<size_t>(dstLen));
    const double scale = static_cast<double>(srcLen) / dstLen;
    for (int i = 0; i < dstLen; ++i) {
        auto& taps = exact[static_cast<size_t>(i)];
        if (scale > 1.0) {
            const double a = i * scale;
            const double b = a + scale;
            for (int s = static_cast<int>(a); s < std::min(srcLen, static_cast<int>(std::ceil(b))); ++s) {
                const double w = std::min<double>(b, s + 1) - std::max<double>(a, s);
                if (w > 0)
                    taps.emplace_back(s, w / scale);
            }
        } else {
            const double c = std::clamp((i + 0.5) * scale - 0.5, 0.0, srcLen - 1.0);
            const int s0 = static_cast<int>(c);
            const double f = c - s0;
            taps.emplace_back(s0, 1.0 - f);
            if (s0 + 1 < srcLen && f > 0)
                taps.emplace_back(s0 + 1, f);
        }
        if (taps.empty())
            taps.emplace_back(std::min(static_cast<int>(i * scale), srcLen - 1), 1.0);
    }

    Axis axis;
    for (const auto& taps : exact)
        axis.taps = std::max(axis.taps, taps.back().first - taps.front().first + 1);
    axis.taps = std::max(axis.taps, 2);  // the two-tap passes serve every enlargement
    axis.first.resize(static_cast<size_t>(dstLen));
    axis.weight.assign(static_cast<size_t>(dstLen) * static_cast<size_t>(axis.taps), 0);
    for (int i = 0; i < dstLen; ++i) {
        const auto& taps = exact[static_cast<size_t>(i)];
        const int first = taps.front().first;
        axis.first[static_cast<size_t>(i)] = first;
        int16_t* w = &axis.weight[static_cast<size_t>(i) * static_cast<size_t>(axis.taps)];
        double sum = 0;
        for (const auto& t : taps)
            sum += t.second;
        // Rounded weights, the largest taking up the remainder so that they sum to one exactly.
        int total = 0;
        int largest = 0;
        for (const auto& t : taps) {
            const int k = t.first - first;
            w[k] = static_cast<int16_t>(std::lround(t.second / sum * kWeightOne));
            total += w[k];
            if (w[k] > w[largest])
                largest = k;
        }
        w[largest] = static_cast<int16_t>(w[largest] + kWeightOne - total);
    }
    return axis;
}

// Tables and row buffers for one pair of sizes, kept while that size is in use.
struct Stretcher {
    int srcWidth = 0;
    int srcHeight = 0;
    int dstWidth = 0;
    int dstHeight = 0;
    Axis x;
    Axis y;
    std::vector<int32_t> xIndex;       // [output][tap], clamped source columns
    std::vector<int16_t> ring;         // x.taps ... y.taps filtered rows, 4 lanes a pixel
    std::vector<int> ringRow;          // the source row each ring slot holds
    std::vector<uint32_t> clippedRow;  // an output row before clipping
    std::vector<int32_t> sums;         // the vertical pass's sums when it has many taps

    Stretcher(int sw, int sh, int dw, int dh)
        : srcWidth(sw), srcHeight(sh), dstWidth(dw), dstHeight(dh), x(MakeAxis(sw, dw)), y(MakeAxis(sh, dh)) {
        xIndex.resize(static_cast<size_t>(dw) * static_cast<size_t>(x.taps));
        for (int i = 0; i < dw; ++i) {
            for (int k = 0; k < x.taps; ++k)
                xIndex[static_cast<size_t>(i * x.taps + k)] =
                    std::min(x.first[static_cast<size_t>(i)] + k, sw - 1);
        }
        ring.assign(static_cast<size_t>(y.taps) * static_cast<size_t>(dw) * 4 + 8, 0);
        ringRow.assign(static_cast<size_t>(y.taps), -1);
        clippedRow.resize(static_cast<size_t>(dw));
        if (y.taps > 2)
            sums.resize(static_cast<size_t>(dw) * 4);
    }

    int16_t* Slot(int slot) { return &ring[static_cast<size_t>(slot) * static_cast<size_t>(dstWidth) * 4]; }

    // One source row filtered horizontally into 4 lanes a pixel (blue, green, red, unused).
    void FilterRow(const uint32_t* in, int16_t* out) const {
        const int n = x.taps;
        const int32_t* index = xIndex.data();
        const int16_t* weight = x.weight.data();
#if defined(__SSE2__)
        if (n == 2) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i round = _mm_set1_epi32(1 << (kRowShift - 1));
            for (int i = 0; i < dstWidth; ++i, index += 2, weight += 2) {
                const __m128i p0 = _mm_cvtsi32_si128(static_cast<int>(in[index[0]]));
                const __m128i p1 = _mm_cvtsi32_si128(static_cast<int>(in[index[1]]));
                // b0 b1 g0 g1 r0 r1 a0 a1 as 16-bit lanes, times w0 w1 pairwise.
                const __m128i pairs = _mm_unpacklo_epi8(_mm_unpacklo_epi8(p0, p1), zero);
                const __m128i w = _mm_set1_epi32(static_cast<int>(static_cast<uint16_t>(weight[0]) |
                                                                  (static_cast<uint32_t>(weight[1]) << 16)));
                __m128i v = _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(pairs, w), round), kRowShift);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * i), _mm_packs_epi32(v, v));
            }
            return;
        }
#endif
        for (int i = 0; i < dstWidth; ++i, index += n, weight += n) {
            int32_t b = 0;
            int32_t g = 0;
            int32_t r = 0;
            for (int k = 0; k < n; ++k) {
                const uint32_t p = in[index[k]];
                b += weight[k] * PixelB(p);
                g += weight[k] * PixelG(p);
                r += weight[k] * PixelR(p);
            }
            constexpr int32_t round = 1 << (kRowShift - 1);
            out[4 * i] = static_cast<int16_t>((b + round) >> kRowShift);
            out[4 * i + 1] = static_cast<int16_t>((g + round) >> kRowShift);
            out[4 * i + 2] = static_cast<int16_t>((r + round) >> kRowShift);
            out[4 * i + 3] = 0;
        }
    }

    // Output row oy from the filtered source rows it reads.
    void BlendRows(int oy, uint32_t* out) {
        const int n = y.taps;
        const int first = y.first[static_cast<size_t>(oy)];
        const int16_t* weight = &y.weight[static_cast<size_t>(oy) * static_cast<size_t>(n)];
        const int lanes = dstWidth * 4;
        constexpr int32_t round = 1 << (kOutShift - 1);
        if (n == 2) {
            const int16_t* a = Slot(std::min(first, srcHeight - 1) % n);
            const int16_t* b = Slot(std::min(first + 1, srcHeight - 1) % n);
            int i = 0;
#if defined(__SSE2__)
            const __m128i w = _mm_set1_epi32(static_cast<int>(static_cast<uint16_t>(weight[0]) |
                                                              (static_cast<uint32_t>(weight[1]) << 16)));
            const __m128i r = _mm_set1_epi32(round);
            const __m128i mask = _mm_set1_epi32(0x00FFFFFF);
            for (; i + 16 <= lanes; i += 16) {
                __m128i packed[2];
                for (int h = 0; h < 2; ++h) {
                    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i + 8 * h));
                    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i + 8 * h));
                    const __m128i lo = _mm_srai_epi32(
                        _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(va, vb), w), r), kOutShift);
                    const __m128i hi = _mm_srai_epi32(
                        _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(va, vb), w), r), kOutShift);
                    packed[h] = _mm_packs_epi32(lo, hi);
                }
                const __m128i bytes = _mm_and_si128(_mm_packus_epi16(packed[0], packed[1]), mask);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i / 4), bytes);
            }
#endif
            for (; i < lanes; i += 4) {
                int32_t c[3];
                for (int k = 0; k < 3; ++k)
                    c[k] = std::clamp((a[i + k] * weight[0] + b[i + k] * weight[1] + round) >> kOutShift, 0,
                                      255);
                out[i / 4] = MakePixel(static_cast<uint8_t>(c[2]), static_cast<uint8_t>(c[1]),
                                       static_cast<uint8_t>(c[0]));
            }
            return;
        }
        std::fill(sums.begin(), sums.end(), round);
        for (int k = 0; k < n; ++k) {
            const int16_t* row = Slot(std::min(first + k, srcHeight - 1) % n);
            const int32_t w = weight[k];
            if (w == 0)
                continue;
            for (int i = 0; i < lanes; ++i)
                sums[static_cast<size_t>(i)] += w * row[i];
        }
        for (int i = 0; i < lanes; i += 4) {
            auto level = [&](int lane) {
                return static_cast<uint8_t>(
                    std::clamp(sums[static_cast<size_t>(i + lane)] >> kOutShift, 0, 255));
            };
            out[i / 4] = MakePixel(level(2), level(1), level(0));
        }
    }

    void Run(const Image32& src, const Rect& s, Image32& dst, const Rect& dstRect) {
        const int n = y.taps;
        std::fill(ringRow.begin(), ringRow.end(), -1);
        const int x0 = std::max(dstRect.left, 0);
        const int x1 = std::min(dstRect.right, dst.width());
        if (x0 >= x1)
            return;
        const bool wholeRow = x0 == dstRect.left && x1 == dstRect.right;
        for (int oy = 0; oy < dstHeight; ++oy) {
            const int dy = dstRect.top + oy;
            if (dy < 0 || dy >= dst.height())
                continue;
            const int first = y.first[static_cast<size_t>(oy)];
            for (int k = 0; k < n; ++k) {
                const int row = std::min(first + k, srcHeight - 1);
                int& held = ringRow[static_cast<size_t>(row % n)];
                if (held != row) {
                    FilterRow(src.Row(s.top + row) + s.left, Slot(row % n));
                    held = row;
                }
            }
            uint32_t* out = dst.Row(dy);
            if (wholeRow) {
                BlendRows(oy, out + dstRect.left);
            } else {
                BlendRows(oy, clippedRow.data());
                std::copy(clippedRow.begin() + (x0 - dstRect.left), clippedRow.begin() + (x1 - dstRect.left),
                          out + x0);
            }
        }
    }
};

// The stretchers of the sizes in use on this thread, most recently used first. The image
// views use one or two sizes at a time; a few more cover the magnifier and the previews.
Stretcher& StretcherFor(int sw, int sh, int dw, int dh) {
    constexpr size_t kKept = 4;
    thread_local std::vector<std::unique_ptr<Stretcher>> kept;
    auto it = std::find_if(kept.begin(), kept.end(), [&](const auto& st) {
        return st->srcWidth == sw && st->srcHeight == sh && st->dstWidth == dw && st->dstHeight == dh;
    });
    if (it == kept.end()) {
        if (kept.size() == kKept)
            kept.pop_back();
        kept.insert(kept.begin(), std::make_unique<Stretcher>(sw, sh, dw, dh));
    } else {
        std::rotate(kept.begin(), it, it + 1);
    }
    return *kept.front();
}

}  // namespace

void StretchHalftone(const Image32& src, const Rect& srcRect, Image32& dst, const Rect& dstRect) {
    const Rect s = srcRect.Intersect({0, 0, src.width(), src.height()});
    if (s.IsEmpty() || dstRect.IsEmpty())
        return;
    StretcherFor(s.Width(), s.Height(), dstRect.Width(), dstRect.Height()).Run(src, s, dst, dstRect);
}

Image32 Resized(const Image32& src, int width, int height) {
    Image32 out(width, height);
    StretchHalftone(src, {0, 0, src.width(), src.height()}, out, {0, 0, width, height});
    return out;
}

}  // namespace draw
