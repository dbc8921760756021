#include "imaging/UpsampledConverter.h"

#include <algorithm>
#include <cmath>

#include "imaging/CpuFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// Integer part (toward zero) and 6-bit fraction (of the floor) of a cache position.
struct Position {
    int whole;
    int frac64;
};
Position Split(double v) {
    if (!std::isfinite(v))
        return {-1, 0};  // the apex of a convex image: nothing to draw
    return {TruncToInt(v), TruncToInt((v - std::floor(v)) * 64.0)};
}

struct Cell {
    Position line;
    Position sample;
};

void BuildWholeForm(UpsampledTables& t, int samples, int lines) {
    const int stride = (lines + 4 + 15) / 16 * 16;  // lines L .. L + 3 exist for L up to the zero line
    if (static_cast<int64_t>(samples) * stride >= (int64_t{1} << 24))
        return;
    const int toEighths = 8 / t.k;
    std::vector<int> first(static_cast<size_t>(samples));
    std::vector<int> eighths(static_cast<size_t>(samples));
    for (int r = 0; r < samples; ++r) {
        const UpsampledTables::UpRow& row = t.rows[r];
        const int q = static_cast<int>(row.q);
        // Row r = line L + (line L + 1 - line L) x q / k; with q = 0 the second line has no weight.
        if (row.offsetA % samples != 0 || (q != 0 && row.offsetB != row.offsetA + samples))
            return;
        first[r] = row.offsetA / samples;
        eighths[r] = q * toEighths;
    }
    t.wholeAddress.reserve(t.taps.size());
    t.wholeWeights.reserve(t.taps.size());
    for (const UpsampledTables::Tap& tap : t.taps) {
        const int d = first[tap.i + 1] - first[tap.i];
        if (d != 0 && d != 1) {
            t.wholeAddress.clear();
            t.wholeWeights.clear();
            return;
        }
        t.wholeAddress.push_back(static_cast<uint32_t>(tap.j * stride + first[tap.i]) |
                                 static_cast<uint32_t>(tap.fj) << 24 | static_cast<uint32_t>(d) << 31);
        t.wholeWeights.push_back(static_cast<uint32_t>(tap.fi) | static_cast<uint32_t>(eighths[tap.i]) << 8 |
                                 static_cast<uint32_t>(tap.fiNext) << 16 |
                                 static_cast<uint32_t>(eighths[tap.i + 1]) << 24);
    }
    t.wholeStride = stride;
}

}  // namespace

UpsampledKey MakeUpsampledKey(const ScanGeometry& geometry, const DepthGeometry& depth, int samples,
                              int lines) {
    return UpsampledKey{geometry.probeType,
                        samples,
                        lines,
                        geometry.firstSample,
                        geometry.spacingFlag,
                        geometry.sampleSpacing,
                        geometry.fieldOfView,
                        depth};
}

std::shared_ptr<const UpsampledTables> BuildUpsampledTables(const UpsampledKey& key) {
    using UpRow = UpsampledTables::UpRow;
    using Tap = UpsampledTables::Tap;
    using Run = UpsampledTables::Run;
    auto built = std::make_shared<UpsampledTables>();
    UpsampledTables& t = *built;
    const int samples = key.samples;
    const int lines = key.lines;
    const DepthGeometry& depth = key.depth;
    t.rows.assign(1, UpRow{0, 0, 0.0});
    t.k = lines > 0 ? samples / lines : 0;
    const bool convex = key.probeType == ProbeTypeConvex;
    if ((t.k != 4 && t.k != 8) || samples > 65535 || !(convex || key.probeType == ProbeTypeLinear))
        return built;
    const int k = t.k;

    // Upsampled row r: line l centred on row l x k + k/2; the first and last k/2 rows repeat
    // the end lines; rows past lines x k (when samples is larger) read the zero line behind
    // the last line.
    const int half = k / 2;
    const int upRows = lines * k;
    auto at = [samples](int line) { return line * samples; };
    t.rows.resize(static_cast<size_t>(samples));
    for (int r = 0; r < samples; ++r) {
        if (r < half) {
            t.rows[r] = {at(0), at(0), 0.0};
        } else if (r < upRows - half) {
            const int l = (r - half) / k;
            t.rows[r] = {at(l), at(l + 1), static_cast<double>((r - half) % k)};
        } else if (r < upRows) {
            t.rows[r] = {at(lines - 1), at(lines - 1), 0.0};
        } else {
            t.rows[r] = {at(lines), at(lines), 0.0};
        }
    }

    t.weights.resize(static_cast<size_t>(samples));
    for (int r = 0; r < samples; ++r) {
        const double w0 = t.rows[r].q / k;
        const double w1 = r + 1 < samples ? t.rows[r + 1].q / k : 0.0;
        t.weights[r] = {{w0, w0, w1, w1}};
    }
    t.quads.resize(static_cast<size_t>(samples));
    for (int r = 0; r < samples; ++r) {
        const UpRow& next = t.rows[std::min(r + 1, samples - 1)];
        t.quads[r] = {{t.rows[r].offsetA, t.rows[r].offsetB, next.offsetA, next.offsetB}};
    }

    const double ppm = depth.pixelsPerMm;
    const double pps = key.spacingFlag ? key.sampleSpacing * ppm : depth.depth * ppm / samples;
    const double top = depth.topOffset;
    const double fov = key.fieldOfView;
    auto cellAt = [&](int x, int y) -> Cell {
        if (convex) {
            const double dx = x - 240;
            const double r = std::sqrt(dx * dx + static_cast<double>(y) * y);
            const double linePos = (std::asin(dx / r) * kDegreesPerRadian + fov / 2) / fov * samples;
            return {Split(linePos), Split((r - top) / pps)};
        }
        const double u = x - depth.leftMargin;
        const double linePos =
            (u >= 0 && u <= depth.linearWidthPx) ? u / depth.linearWidthPx * samples : -1.0;
        return {Split(linePos), Split((y - top) / pps)};
    };

    // Rows y of the apex coordinates with y < image bottom; row y shows on display row
    // y - image top - 1. The line fraction for sample j + 1 comes from the row below (the
    // last row uses row trunc(image bottom - 1)).
    const int yEnd = std::clamp(TruncToInt(std::ceil(depth.imageBottom)), 0, kCacheRows);
    const int yStart = std::max(0, depth.imageTop + 1);
    const int yLastAlt = TruncToInt(depth.imageBottom - 1.0);
    std::vector<Cell> current(kImageSize);
    std::vector<Cell> below(kImageSize);
    auto fillRow = [&](std::vector<Cell>& row, int y) {
        for (int x = 0; x < kImageSize; ++x)
            row[x] = cellAt(x, y);
    };
    if (yStart < yEnd)
        fillRow(current, yStart);
    for (int y = yStart; y < yEnd; ++y) {
        fillRow(below, y + 1 < yEnd ? y + 1 : yLastAlt);
        const int displayRow = y - depth.imageTop - 1;
        if (displayRow >= 0 && displayRow < kImageSize) {
            Run run{static_cast<uint16_t>(displayRow), 0, 0};
            for (int x = 0; x < kImageSize; ++x) {
                const Cell& c = current[x];
                const bool drawn = c.line.whole >= 0 && c.line.whole <= samples - 2 && c.sample.whole >= 0 &&
                                   c.sample.whole <= samples - 2;
                if (drawn) {
                    if (run.count == 0)
                        run.x0 = static_cast<uint16_t>(x);
                    ++run.count;
                    t.taps.push_back(
                        Tap{static_cast<uint16_t>(c.line.whole), static_cast<uint16_t>(c.sample.whole),
                            static_cast<uint8_t>(c.line.frac64), static_cast<uint8_t>(below[x].line.frac64),
                            static_cast<uint8_t>(c.sample.frac64), 0});
                } else if (run.count > 0) {
                    t.runs.push_back(run);
                    run.count = 0;
                }
            }
            if (run.count > 0)
                t.runs.push_back(run);
        }
        std::swap(current, below);
    }
    t.valid = true;
    BuildWholeForm(t, samples, lines);
    return built;
}

// ---------------------------------------------------------------- drawing

CUpsampledConverter::CUpsampledConverter(std::shared_ptr<CUpsampledTableCache> cache)
    : cache_(std::move(cache)) {}

bool CUpsampledConverter::Prepare(const ScanGeometry& geometry, const DepthGeometry& depth, int samples,
                                  int lines) {
    const UpsampledKey key = MakeUpsampledKey(geometry, depth, samples, lines);
    if (!tables_ || !(key_ == key)) {
        key_ = key;
        tables_ = cache_ ? cache_->Get(key) : BuildUpsampledTables(key);
    }
    return tables_->valid;
}

namespace {

using Tap = UpsampledTables::Tap;
using Run = UpsampledTables::Run;

// The tables as plain pointers: the image's byte stores may alias anything, so vectors'
// data pointers would be loaded again for every pixel.
struct TableView {
    const UpsampledTables::UpRow* rows;
    const UpsampledTables::RowWeights* weights;
};

// One drawn pixel's value before the gamma table.
inline int PixelValue(const double* work, TableView t, const Tap& tap, const double* frac) {
    const UpsampledTables::UpRow& r0 = t.rows[tap.i];
    const UpsampledTables::UpRow& r1 = t.rows[tap.i + 1];
    const double* w = t.weights[tap.i].w;
    const int j = tap.j;
#if defined(__SSE2__)
    // Lanes: sample j and sample j + 1 of upsampled rows i and i + 1.
    const __m128d a0 = _mm_loadu_pd(work + r0.offsetA + j);
    const __m128d b0 = _mm_loadu_pd(work + r0.offsetB + j);
    const __m128d a1 = _mm_loadu_pd(work + r1.offsetA + j);
    const __m128d b1 = _mm_loadu_pd(work + r1.offsetB + j);
    const __m128d u0 = _mm_add_pd(a0, _mm_mul_pd(_mm_sub_pd(b0, a0), _mm_load_pd(w)));
    const __m128d u1 = _mm_add_pd(a1, _mm_mul_pd(_mm_sub_pd(b1, a1), _mm_load_pd(w + 2)));
    const __m128d f = _mm_set_pd(frac[tap.fiNext], frac[tap.fi]);
    const __m128d a = _mm_add_pd(u0, _mm_mul_pd(f, _mm_sub_pd(u1, u0)));  // [a, b]
    const __m128d b = _mm_unpackhi_pd(a, a);
    // v = a + fj (b - a), clamped to 0..255 without branches.
    __m128d v = _mm_add_sd(a, _mm_mul_sd(_mm_set_sd(frac[tap.fj]), _mm_sub_sd(b, a)));
    v = _mm_min_sd(_mm_max_sd(v, _mm_setzero_pd()), _mm_set_sd(255.0));
    return _mm_cvttsd_si32(v);
#else
    auto up = [&](const UpsampledTables::UpRow& r, double weight, int s) {
        const double va = work[r.offsetA + s];
        return va + (work[r.offsetB + s] - va) * weight;
    };
    const double u00 = up(r0, w[0], j), u01 = up(r0, w[0], j + 1), u10 = up(r1, w[2], j),
                 u11 = up(r1, w[2], j + 1);
    const double a = u00 + frac[tap.fi] * (u10 - u00);
    const double b = u01 + frac[tap.fiNext] * (u11 - u01);
    double v = a + frac[tap.fj] * (b - a);
    v = v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v);
    return static_cast<int>(v);
#endif
}

template <typename Value>
void DrawRuns(const UpsampledTables& t, const GammaTable& gamma, bool invert, Image8& image,
              const Value& value) {
    const Tap* tap = t.taps.data();
    for (const Run& run : t.runs) {
        uint8_t* dst = image.Row(run.row);
        const Tap* end = tap + run.count;
        if (!invert) {
            uint8_t* out = dst + run.x0;
            for (; tap < end; ++tap)
                *out++ = gamma[value(*tap)];
        } else {
            // Column x goes to 480 - x; source column 0 has no place.
            uint8_t* out = dst + (kImageSize - run.x0);
            if (run.x0 == 0) {
                ++tap;
                --out;
            }
            for (; tap < end; ++tap)
                *out-- = gamma[value(*tap)];
        }
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define TORVIK_HAVE_AVX2_DRAW 1

static_assert(sizeof(Tap) == 8, "the vector path reads four taps as 32 bytes");

using LineStarts = std::array<const double*, 4>;  // a and b of row i, a and b of row i + 1

// A run's pixel values through the gamma table (unless it is the identity), written left to
// right (step 1) or mirrored (step -1).
template <int Step>
inline void WriteRun(const uint8_t* values, int count, const uint8_t* g, bool identity, uint8_t* out) {
    if (identity) {
        if constexpr (Step == 1) {
            std::copy(values, values + count, out);
            return;
        }
        for (int n = 0; n < count; ++n, out += Step)
            *out = values[n];
        return;
    }
    for (int n = 0; n < count; ++n, out += Step)
        *out = g[values[n]];
}

__attribute__((target("avx2"))) inline void Transposed(const double* const* p, __m256d& j0, __m256d& j1) {
    const __m256d x = _mm256_loadu2_m128d(p[2], p[0]);
    const __m256d y = _mm256_loadu2_m128d(p[3], p[1]);
    j0 = _mm256_unpacklo_pd(x, y);  // sample j of pixels 0 1 2 3
    j1 = _mm256_unpackhi_pd(x, y);  // sample j + 1
}

// Four pixels of a run at a time, each lane the very operations of PixelValue in the same
// order (no fused multiply-add), so the values are the same to the last bit.
__attribute__((target("avx2"))) inline __m128i FourValues(const LineStarts* starts,
                                                          const UpsampledTables::RowWeights* weights,
                                                          const Tap* tap) {
    const double* p[4][4];  // [line of the quad][pixel]
    for (int n = 0; n < 4; ++n) {
        const LineStarts& s = starts[tap[n].i];
        const int j = tap[n].j;
        for (int k = 0; k < 4; ++k)
            p[k][n] = s[k] + j;
    }
    __m256d a0j, a0n, b0j, b0n, a1j, a1n, b1j, b1n;
    Transposed(p[0], a0j, a0n);
    Transposed(p[1], b0j, b0n);
    Transposed(p[2], a1j, a1n);
    Transposed(p[3], b1j, b1n);
    // Weights [w0 w0 w1 w1] of each pixel into w0 and w1 of the four.
    const __m256d wa =
        _mm256_unpacklo_pd(_mm256_load_pd(weights[tap[0].i].w), _mm256_load_pd(weights[tap[1].i].w));
    const __m256d wb =
        _mm256_unpacklo_pd(_mm256_load_pd(weights[tap[2].i].w), _mm256_load_pd(weights[tap[3].i].w));
    const __m256d w0 = _mm256_permute2f128_pd(wa, wb, 0x20);
    const __m256d w1 = _mm256_permute2f128_pd(wa, wb, 0x31);
    // The fractions in 64ths, taken from the four taps at once: f / 64 is exact.
    const __m256i taps = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tap));
    const __m256i lanes = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    const __m256i fiFn = _mm256_permutevar8x32_epi32(
        _mm256_shuffle_epi8(
            taps, _mm256_setr_epi8(4, -1, -1, -1, 12, -1, -1, -1, 5, -1, -1, -1, 13, -1, -1, -1, 4, -1, -1,
                                   -1, 12, -1, -1, -1, 5, -1, -1, -1, 13, -1, -1, -1)),
        lanes);
    const __m256i fjs = _mm256_permutevar8x32_epi32(
        _mm256_shuffle_epi8(
            taps, _mm256_setr_epi8(6, -1, -1, -1, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 6, -1, -1,
                                   -1, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1)),
        lanes);
    const __m256d sixtyFourth = _mm256_set1_pd(1.0 / 64.0);
    const __m256d fi = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(fiFn)), sixtyFourth);
    const __m256d fn = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(fiFn, 1)), sixtyFourth);
    const __m256d fj = _mm256_mul_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(fjs)), sixtyFourth);

    const __m256d u00 = _mm256_add_pd(a0j, _mm256_mul_pd(_mm256_sub_pd(b0j, a0j), w0));
    const __m256d u01 = _mm256_add_pd(a0n, _mm256_mul_pd(_mm256_sub_pd(b0n, a0n), w0));
    const __m256d u10 = _mm256_add_pd(a1j, _mm256_mul_pd(_mm256_sub_pd(b1j, a1j), w1));
    const __m256d u11 = _mm256_add_pd(a1n, _mm256_mul_pd(_mm256_sub_pd(b1n, a1n), w1));
    const __m256d a = _mm256_add_pd(u00, _mm256_mul_pd(fi, _mm256_sub_pd(u10, u00)));
    const __m256d b = _mm256_add_pd(u01, _mm256_mul_pd(fn, _mm256_sub_pd(u11, u01)));
    __m256d v = _mm256_add_pd(a, _mm256_mul_pd(fj, _mm256_sub_pd(b, a)));
    v = _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
    return _mm256_cvttpd_epi32(v);
}

// One run's pixels: the values first, eight at a time, packed to bytes, then written out.
// Apart, the vector loop keeps more pixels in flight than with the lookups in it.
template <int Step>
__attribute__((target("avx2"))) inline void RunAvx2(const LineStarts* starts,
                                                    const UpsampledTables::RowWeights* weights,
                                                    const double* work, TableView view, const double* frac,
                                                    const uint8_t* g, bool identity, const Tap* tap,
                                                    const Tap* end, uint8_t* out) {
    alignas(32) uint8_t values[kImageSize + 8];
    const int count = static_cast<int>(end - tap);
    int n = 0;
    for (; n + 8 <= count; n += 8) {
        const __m128i v = FourValues(starts, weights, tap + n);
        const __m128i w = FourValues(starts, weights, tap + n + 4);
        const __m128i words = _mm_packus_epi32(v, w);  // values are 0..255
        _mm_storel_epi64(reinterpret_cast<__m128i*>(values + n), _mm_packus_epi16(words, words));
    }
    for (; n < count; ++n)
        values[n] = static_cast<uint8_t>(PixelValue(work, view, tap[n], frac));
    WriteRun<Step>(values, count, g, identity, out);
}

__attribute__((target("avx2"))) void DrawRunsAvx2(const double* work, const UpsampledTables& t,
                                                  const GammaTable& gamma, bool invert, Image8& image,
                                                  const double* frac, std::vector<LineStarts>& starts) {
    starts.resize(t.quads.size());
    for (size_t r = 0; r < t.quads.size(); ++r) {
        for (int k = 0; k < 4; ++k)
            starts[r][k] = work + t.quads[r].offset[k];
    }
    const LineStarts* s = starts.data();
    const UpsampledTables::RowWeights* weights = t.weights.data();
    const TableView view{t.rows.data(), weights};
    const uint8_t* g = gamma.data();
    const bool identity = gamma == IdentityGammaTable();
    const Tap* tap = t.taps.data();
    for (const Run& run : t.runs) {
        uint8_t* dst = image.Row(run.row);
        const Tap* end = tap + run.count;
        if (!invert) {
            RunAvx2<1>(s, weights, work, view, frac, g, identity, tap, end, dst + run.x0);
        } else if (run.x0 == 0) {
            // Column x goes to 480 - x; source column 0 has no place.
            RunAvx2<-1>(s, weights, work, view, frac, g, identity, tap + 1, end, dst + kImageSize - 1);
        } else {
            RunAvx2<-1>(s, weights, work, view, frac, g, identity, tap, end, dst + (kImageSize - run.x0));
        }
        tap = end;
    }
}

// ---- whole-number samples: the same pixels in exact integer arithmetic

// One pixel: the upsampled values x 8, the line direction x 64, the sample direction x 64.
inline int WholeValue(const uint8_t* samples, int stride, uint32_t address, uint32_t weights) {
    const uint8_t* x = samples + (address & 0xFFFFFF);
    const uint8_t* y = x + stride;
    const int d = static_cast<int>(address >> 31);
    const int fj = static_cast<int>(address >> 24 & 0x3F);
    const int fi = static_cast<int>(weights & 0xFF);
    const int q0 = static_cast<int>(weights >> 8 & 0xFF);
    const int fn = static_cast<int>(weights >> 16 & 0xFF);
    const int q1 = static_cast<int>(weights >> 24);
    const int u00 = x[0] * (8 - q0) + x[1] * q0;
    const int u10 = x[d] * (8 - q1) + x[d + 1] * q1;
    const int u01 = y[0] * (8 - q0) + y[1] * q0;
    const int u11 = y[d] * (8 - q1) + y[d + 1] * q1;
    const int a = u00 * (64 - fi) + u10 * fi;
    const int b = u01 * (64 - fn) + u11 * fn;
    return (a * 64 + (b - a) * fj) >> 15;
}

// Eight pixels: one gather of lines L .. L + 3 for sample j and one for j + 1, the lines of
// row i + 1 shuffled beside those of row i, then multiply-adds of bytes and of words.
__attribute__((target("avx2"))) inline __m256i EightWhole(const uint8_t* samples, int stride,
                                                          const uint32_t* address, const uint32_t* weights) {
    const __m256i a32 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(address));
    const __m256i w32 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights));
    const __m256i offsets = _mm256_and_si256(a32, _mm256_set1_epi32(0xFFFFFF));
    const __m256i x = _mm256_i32gather_epi32(reinterpret_cast<const int*>(samples), offsets, 1);
    const __m256i y = _mm256_i32gather_epi32(reinterpret_cast<const int*>(samples + stride), offsets, 1);
    // Bytes L, L + 1, L + d, L + d + 1 of each pixel.
    const __m256i pick =
        _mm256_add_epi8(_mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0, 1, 4, 5,
                                         4, 5, 8, 9, 8, 9, 12, 13, 12, 13),
                        _mm256_and_si256(_mm256_srai_epi32(a32, 31), _mm256_set1_epi32(0x01010000)));
    // Byte weights 8 - q0, q0, 8 - q1, q1.
    const __m256i q = _mm256_and_si256(w32, _mm256_set1_epi32(static_cast<int>(0xFF00FF00u)));
    const __m256i rowWeights =
        _mm256_add_epi32(_mm256_sub_epi32(_mm256_set1_epi32(0x00080008), _mm256_srli_epi32(q, 8)), q);
    const __m256i ux = _mm256_maddubs_epi16(_mm256_shuffle_epi8(x, pick), rowWeights);  // u00, u10
    const __m256i uy = _mm256_maddubs_epi16(_mm256_shuffle_epi8(y, pick), rowWeights);  // u01, u11
    // Word weights 64 - fi, fi and 64 - fn, fn.
    const __m256i f = _mm256_and_si256(w32, _mm256_set1_epi32(0x00FF00FF));
    const __m256i sixtyFour = _mm256_set1_epi32(64);
    const __m256i fi = _mm256_sub_epi32(_mm256_add_epi32(_mm256_slli_epi32(f, 16), sixtyFour),
                                        _mm256_and_si256(f, _mm256_set1_epi32(0xFFFF)));
    const __m256i fn = _mm256_sub_epi32(
        _mm256_add_epi32(_mm256_and_si256(f, _mm256_set1_epi32(static_cast<int>(0xFFFF0000u))), sixtyFour),
        _mm256_srli_epi32(f, 16));
    const __m256i a = _mm256_madd_epi16(ux, fi);
    const __m256i b = _mm256_madd_epi16(uy, fn);
    const __m256i fj = _mm256_and_si256(_mm256_srli_epi32(a32, 24), _mm256_set1_epi32(0x3F));
    const __m256i v =
        _mm256_add_epi32(_mm256_slli_epi32(a, 6), _mm256_mullo_epi32(_mm256_sub_epi32(b, a), fj));
    return _mm256_srli_epi32(v, 15);
}

template <int Step>
__attribute__((target("avx2"))) inline void RunWhole(const uint8_t* samples, int stride,
                                                     const uint32_t* address, const uint32_t* weights,
                                                     int count, const uint8_t* g, bool identity,
                                                     uint8_t* out) {
    alignas(32) uint8_t values[kImageSize + 16];
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int n = 0;
    for (; n + 16 <= count; n += 16) {
        const __m256i v = EightWhole(samples, stride, address + n, weights + n);
        const __m256i w = EightWhole(samples, stride, address + n + 8, weights + n + 8);
        const __m256i words = _mm256_packus_epi32(v, w);
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), order);
        _mm_store_si128(reinterpret_cast<__m128i*>(values + n), _mm256_castsi256_si128(bytes));
    }
    for (; n < count; ++n)
        values[n] = static_cast<uint8_t>(WholeValue(samples, stride, address[n], weights[n]));
    WriteRun<Step>(values, count, g, identity, out);
}

__attribute__((target("avx2"))) void DrawRunsWhole(const uint8_t* samples, const UpsampledTables& t,
                                                   const GammaTable& gamma, bool invert, Image8& image) {
    const int stride = t.wholeStride;
    const uint8_t* g = gamma.data();
    const bool identity = gamma == IdentityGammaTable();
    const uint32_t* address = t.wholeAddress.data();
    const uint32_t* weights = t.wholeWeights.data();
    size_t n = 0;
    for (const Run& run : t.runs) {
        uint8_t* dst = image.Row(run.row);
        const int count = static_cast<int>(run.count);
        if (!invert) {
            RunWhole<1>(samples, stride, address + n, weights + n, count, g, identity, dst + run.x0);
        } else if (run.x0 == 0) {
            // Column x goes to 480 - x; source column 0 has no place.
            RunWhole<-1>(samples, stride, address + n + 1, weights + n + 1, count - 1, g, identity,
                         dst + kImageSize - 1);
        } else {
            RunWhole<-1>(samples, stride, address + n, weights + n, count, g, identity,
                         dst + (kImageSize - run.x0));
        }
        n += run.count;
    }
}
#endif

}  // namespace

int CUpsampledConverter::WholeStride() const {
#if defined(TORVIK_HAVE_AVX2_DRAW)
    if (tables_ && tables_->valid && HaveAvx2())
        return tables_->wholeStride;
#endif
    return 0;
}

void CUpsampledConverter::DrawWhole(const uint8_t* samples, const GammaTable& gamma, bool invert,
                                    Image8& image) const {
#if defined(TORVIK_HAVE_AVX2_DRAW)
    if (WholeStride() > 0)
        DrawRunsWhole(samples, *tables_, gamma, invert, image);
#else
    (void)samples, (void)gamma, (void)invert, (void)image;
#endif
}

void CUpsampledConverter::Draw(const double* work, const GammaTable& gamma, bool invert,
                               Image8& image) const {
    if (!tables_ || !tables_->valid)
        return;
    const UpsampledTables& t = *tables_;
    double frac[64];
    for (int f = 0; f < 64; ++f)
        frac[f] = f / 64.0;
#if defined(TORVIK_HAVE_AVX2_DRAW)
    if (HaveAvx2()) {
        DrawRunsAvx2(work, t, gamma, invert, image, frac, lineStarts_);
        return;
    }
#endif
    const TableView view{t.rows.data(), t.weights.data()};
    DrawRuns(t, gamma, invert, image, [&](const Tap& tap) { return PixelValue(work, view, tap, frac); });
}
