#include "probe/ProbeEnhance.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <utility>

#include "probe/ProbeProtocol.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kLines = kProbeLinesPerFrame;
constexpr int kSamples = kProbeSamplesPerLine;
constexpr float kEdgeScale = 1.2f;

std::atomic<int> g_imageFilter{1};
std::atomic<uint32_t> g_weights[3] = {60, 40, 10};

// The module's working planes: the medians, and the sorted columns of three lines of the row
// being filtered (lowest, middle, highest value of lines r-1, r, r+1 at each sample).
float g_median[kLines][kSamples];
float g_columnLow[kSamples];
float g_columnMid[kSamples];
float g_columnHigh[kSamples];

// ---- The median and edge arithmetic, once for one sample (float) and once for four at a time
// (SSE). Every operation is a plain single-precision min, max, add, multiply, divide or square
// root, so both give the same bits.

struct ScalarOps {
    using V = float;
    static constexpr int kWidth = 1;
    static V Load(const float* p) { return *p; }
    static void Store(float* p, V v) { *p = v; }
    static V Min(V a, V b) { return b < a ? b : a; }
    static V Max(V a, V b) { return a < b ? b : a; }
    static V Set(float v) { return v; }
    static V Add(V a, V b) { return a + b; }
    static V Sub(V a, V b) { return a - b; }
    static V Mul(V a, V b) { return a * b; }
    static V Div(V a, V b) { return a / b; }
    static V Sqrt(V a) { return std::sqrt(a); }
};

#if defined(__SSE2__)
struct SseOps {
    using V = __m128;
    static constexpr int kWidth = 4;
    static V Load(const float* p) { return _mm_loadu_ps(p); }
    static void Store(float* p, V v) { _mm_storeu_ps(p, v); }
    static V Min(V a, V b) { return _mm_min_ps(a, b); }
    static V Max(V a, V b) { return _mm_max_ps(a, b); }
    static V Set(float v) { return _mm_set1_ps(v); }
    static V Add(V a, V b) { return _mm_add_ps(a, b); }
    static V Sub(V a, V b) { return _mm_sub_ps(a, b); }
    static V Mul(V a, V b) { return _mm_mul_ps(a, b); }
    static V Div(V a, V b) { return _mm_div_ps(a, b); }
    static V Sqrt(V a) { return _mm_sqrt_ps(a); }
};
using WideOps = SseOps;
#else
using WideOps = ScalarOps;
#endif

template <typename O>
inline void Exchange(typename O::V& low, typename O::V& high) {
    const typename O::V a = low;
    low = O::Min(a, high);
    high = O::Max(a, high);
}

template <typename O>
inline typename O::V Med3(typename O::V a, typename O::V b, typename O::V c) {
    return O::Max(O::Min(a, b), O::Min(O::Max(a, b), c));
}

template <typename O>
inline void Sort3(typename O::V& a, typename O::V& b, typename O::V& c) {
    Exchange<O>(a, b);
    Exchange<O>(b, c);
    Exchange<O>(a, b);
}

// The median of nine values: with each triple sorted, the middle of the largest lowest value,
// the middle of the middles and the smallest highest value.
template <typename O>
inline typename O::V Median9Of(typename O::V a0, typename O::V a1, typename O::V a2, typename O::V b0,
                               typename O::V b1, typename O::V b2, typename O::V c0, typename O::V c1,
                               typename O::V c2) {
    Sort3<O>(a0, a1, a2);
    Sort3<O>(b0, b1, b2);
    Sort3<O>(c0, c1, c2);
    return Med3<O>(O::Max(O::Max(a0, b0), c0), Med3<O>(a1, b1, c1), O::Min(O::Min(a2, b2), c2));
}

// The median of a 3 x 3 window from its three sorted columns.
template <typename O>
inline typename O::V Median3x3(int c) {
    using V = typename O::V;
    const V maxLow =
        O::Max(O::Max(O::Load(g_columnLow + c - 1), O::Load(g_columnLow + c)), O::Load(g_columnLow + c + 1));
    const V midMid =
        Med3<O>(O::Load(g_columnMid + c - 1), O::Load(g_columnMid + c), O::Load(g_columnMid + c + 1));
    const V minHigh = O::Min(O::Min(O::Load(g_columnHigh + c - 1), O::Load(g_columnHigh + c)),
                             O::Load(g_columnHigh + c + 1));
    return Med3<O>(maxLow, midMid, minHigh);
}

// Sorts five values (a nine-exchange network); the compiler drops the exchanges whose results
// are not used.
template <typename O>
inline void Sort5(typename O::V v[5]) {
    static constexpr int kNetwork[9][2] = {{0, 3}, {1, 4}, {0, 2}, {1, 3}, {0, 1},
                                           {2, 4}, {1, 2}, {3, 4}, {2, 3}};
    for (const auto& e : kNetwork)
        Exchange<O>(v[e[0]], v[e[1]]);
}

// The median of the 15 values of a 3 x 5 window from its five sorted columns. Of the column
// lows, the three smallest each have at least eight values above them (the two above it in
// its column and the six of the two columns with larger lows): all lie below the median. In
// the same way the three largest column highs lie above it. Without those six, the median of
// the remaining nine is the median of fifteen.
template <typename O>
inline typename O::V Median3x5(int c) {
    using V = typename O::V;
    V low[5], high[5], mid[5];
    for (int k = 0; k < 5; ++k) {
        low[k] = O::Load(g_columnLow + c - 2 + k);
        mid[k] = O::Load(g_columnMid + c - 2 + k);
        high[k] = O::Load(g_columnHigh + c - 2 + k);
    }
    Sort5<O>(low);
    Sort5<O>(high);
    return Median9Of<O>(low[3], low[4], mid[0], mid[1], mid[2], mid[3], mid[4], high[0], high[1]);
}

// Sorts the three lines around a row at every sample of the columns [first, last).
template <typename O>
void SortColumns(const float* above, const float* row, const float* below, int first, int last) {
    for (int c = first; c < last; c += O::kWidth) {
        typename O::V a = O::Load(above + c), b = O::Load(row + c), d = O::Load(below + c);
        Sort3<O>(a, b, d);
        O::Store(g_columnLow + c, a);
        O::Store(g_columnMid + c, b);
        O::Store(g_columnHigh + c, d);
    }
}

// Runs `body(ops, c)` over [first, last): four samples at a time, the rest one by one.
template <typename Body>
void ForSamples(int first, int last, const Body& body) {
    int c = first;
    for (; c + WideOps::kWidth <= last; c += WideOps::kWidth)
        body(WideOps{}, c);
    for (; c < last; ++c)
        body(ScalarOps{}, c);
}

// Runs `filter` over the samples of [first, last) inside [validFirst, validLast), where the
// window fits on the line; the others keep the compressed value.
template <typename Filter>
void FilterZone(const float* in, float* out, int first, int last, int validFirst, int validLast,
                const Filter& filter) {
    const int lo = std::clamp(validFirst, first, last);
    const int hi = std::clamp(validLast, lo, last);
    for (int s = first; s < lo; ++s)
        out[s] = in[s];
    ForSamples(lo, hi, filter);
    for (int s = hi; s < last; ++s)
        out[s] = in[s];
}

// The median plane of one row (1..126).
void MedianRow(const float* plane, int r, MedianZones zones) {
    const float* rows[3] = {plane + (r - 1) * kSamples, plane + r * kSamples, plane + (r + 1) * kSamples};
    const float* in = rows[1];
    float* out = g_median[r];
    int c = 0;
    for (; c + WideOps::kWidth <= kSamples; c += WideOps::kWidth)
        SortColumns<WideOps>(rows[0], rows[1], rows[2], c, c + WideOps::kWidth);
    SortColumns<ScalarOps>(rows[0], rows[1], rows[2], c, kSamples);

    // Three lines at the same sample: the middle of the sorted column.
    for (int s = 0; s < zones.a; ++s)
        out[s] = g_columnMid[s];
    FilterZone(in, out, zones.a, zones.b, 1, kSamples - 1, [&](auto ops, int s) {
        using O = decltype(ops);
        O::Store(out + s, Median3x3<O>(s));
    });
    FilterZone(in, out, zones.b, kSamples, 2, kSamples - 2, [&](auto ops, int s) {
        using O = decltype(ops);
        O::Store(out + s, Median3x5<O>(s));
    });
}

// Blends one row of the compressed values, the medians and the edge values into bytes. The
// edge value is computed here from the medians (0 outside lines 2..125 and samples 2..1021).
template <typename O>
inline void BlendSamples(const float* in, int r, int c, bool edge, const float weights[3], uint8_t* out) {
    using V = typename O::V;
    const V m = O::Load(g_median[r] + c);
    V e = O::Set(0.0f);
    if (edge) {
        const V g1 = O::Sub(m, O::Load(g_median[r + 1] + c + 1));
        const V g2 = O::Sub(O::Load(g_median[r + 1] + c), O::Load(g_median[r] + c + 1));
        e = O::Mul(O::Set(kEdgeScale), O::Sqrt(O::Add(O::Mul(g1, g1), O::Mul(g2, g2))));
    }
    V v = O::Add(O::Add(O::Mul(O::Set(weights[0]), O::Load(in + c)), O::Mul(O::Set(weights[1]), m)),
                 O::Mul(O::Set(weights[2]), e));
    v = O::Div(v, O::Set(100.0f));
    v = O::Min(O::Max(v, O::Set(0.0f)), O::Set(255.0f));
    if constexpr (O::kWidth == 1) {
        out[c] = static_cast<uint8_t>(v);
    } else {
#if defined(__SSE2__)
        const __m128i i32 = _mm_cvttps_epi32(v);
        const __m128i u8 = _mm_packus_epi16(_mm_packs_epi32(i32, i32), _mm_setzero_si128());
        const int four = _mm_cvtsi128_si32(u8);
        std::memcpy(out + c, &four, 4);
#endif
    }
}

void BlendRow(const float* in, int r, const float weights[3], uint8_t* out) {
    const bool edgeRow = r >= 2 && r <= kLines - 3;
    if (!edgeRow) {
        ForSamples(0, kSamples,
                   [&](auto ops, int c) { BlendSamples<decltype(ops)>(in, r, c, false, weights, out); });
        return;
    }
    for (int c = 0; c < 2; ++c)
        BlendSamples<ScalarOps>(in, r, c, false, weights, out);
    ForSamples(2, kSamples - 2,
               [&](auto ops, int c) { BlendSamples<decltype(ops)>(in, r, c, true, weights, out); });
    for (int c = kSamples - 2; c < kSamples; ++c)
        BlendSamples<ScalarOps>(in, r, c, false, weights, out);
}

void ClampedCopy(const float* in, uint8_t* out) {
    for (int i = 0; i < kLines * kSamples; ++i)
        out[i] = static_cast<uint8_t>(ClampCompressed(in[i]));
}

// Partial bubble sort: `passes` passes, each carrying the largest remaining value to the end.
float MiddleAfterBubble(float* v, int n, int passes) {
    for (int p = 0; p < passes; ++p) {
        for (int i = 0; i + 1 < n - p; ++i) {
            if (v[i] > v[i + 1])
                std::swap(v[i], v[i + 1]);
        }
    }
    return v[n / 2];
}

}  // namespace

MedianZones ConvexMedianZones(int depthMm) {
    const float depth = static_cast<float>(depthMm);
    // The samples at 60 mm and 180 mm: 1024 samples span the frame's depth.
    const float a = std::round(60.0f / depth * 1024.0f);
    const float b = std::round(180.0f / depth * 1024.0f);
    if (a >= 1023.0f)
        return {kSamples, kSamples};
    return {static_cast<int>(a), b >= 1022.0f ? kSamples : static_cast<int>(b)};
}

int ProbeEnhanceFrame(bool linear, const float* compressed, uint8_t* image, int depthMm) {
    if (g_imageFilter.load(std::memory_order_relaxed) == 0 || depthMm <= 0) {
        ClampedCopy(compressed, image);
        return 1;
    }
    const float weights[3] = {static_cast<float>(g_weights[0].load(std::memory_order_relaxed)),
                              static_cast<float>(g_weights[1].load(std::memory_order_relaxed)),
                              static_cast<float>(g_weights[2].load(std::memory_order_relaxed))};
    const MedianZones zones = linear ? MedianZones{0, kSamples} : ConvexMedianZones(depthMm);
    std::memcpy(g_median[0], compressed, sizeof(float) * kSamples);
    std::memcpy(g_median[kLines - 1], compressed + (kLines - 1) * kSamples, sizeof(float) * kSamples);
    for (int r = 1; r < kLines - 1; ++r)
        MedianRow(compressed, r, zones);
    for (int r = 0; r < kLines; ++r)
        BlendRow(compressed + r * kSamples, r, weights, image + r * kSamples);
    return 1;
}

int ProbeSetBlendWeight(uint32_t id, uint32_t value) {
    if (id < kBlendWeightCompressed || id > kBlendWeightEdge || value > kMaxBlendWeight)
        return 0;
    g_weights[id - kBlendWeightCompressed].store(value, std::memory_order_relaxed);
    return 1;
}

int ProbeGetBlendWeight(uint32_t id, uint32_t* value) {
    if (id < kBlendWeightCompressed || id > kBlendWeightEdge || value == nullptr)
        return 0;
    *value = g_weights[id - kBlendWeightCompressed].load(std::memory_order_relaxed);
    return 1;
}

void ProbeSetDefaultBlendWeights(bool linear) {
    ProbeSetBlendWeight(kBlendWeightCompressed, linear ? 70 : 60);
    ProbeSetBlendWeight(kBlendWeightMedian, linear ? 30 : 40);
    ProbeSetBlendWeight(kBlendWeightEdge, 10);
}

bool ProbeSetImageFilter(int on) {
    if (on != 0 && on != 1)
        return false;
    g_imageFilter.store(on, std::memory_order_relaxed);
    return true;
}

int ProbeGetImageFilter() {
    return g_imageFilter.load(std::memory_order_relaxed);
}

float Median3(float* values) {
    return MiddleAfterBubble(values, 3, 2);
}

float Median9(float* values) {
    return MiddleAfterBubble(values, 9, 5);
}

float Median15(float* values) {
    return MiddleAfterBubble(values, 15, 8);
}

float RobertsMagnitude(const float* w) {
    const float g1 = w[4] - w[8];
    const float g2 = w[7] - w[5];
    return kEdgeScale * std::sqrt(g1 * g1 + g2 * g2);
}
