#include "imaging/FrameProcessing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "imaging/CpuFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

struct Blender {
    bool blend;
    double w;
    double w1;
    // A raw value blended with the same value of the previous frame.
    double operator()(double r, double p) const { return blend ? (p * w + r) / w1 : r; }
};

// STC, gain and contrast on one processed sample.
struct ToneMap {
    const int* stc;
    int stcLast;
    double gainOffset;
    double contrastFactor;
    double operator()(double v, int s) const {
        if (v == 0.0)
            return v;
        if (stc)
            v += stc[std::min(s, stcLast)];
        v += gainOffset;
        v *= contrastFactor;
        return v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v);
    }
};

// The common case, no averaging: blend, STC, gain and contrast two samples at a time. The
// operations and their order are those of the scalar code, so the values are the same.
// Returns the first sample it did not do.
int ToneMapPlainLine(const int* r, const int* p, const Blender& mix, const ToneMap& tone, int first,
                     int samples, double* out) {
    int s = first;
#if defined(__SSE2__)
    // Only with a curve covering the whole line (its index then needs no clamp).
    if (tone.stc && tone.stcLast < samples - 1)
        return s;
    const bool blend = mix.blend && mix.w != 0.0;  // with weight 0 the blend is the raw value exactly
    const __m128d w = _mm_set1_pd(mix.w);
    const __m128d w1 = _mm_set1_pd(mix.w1);
    const __m128d offset = _mm_set1_pd(tone.gainOffset);
    const __m128d factor = _mm_set1_pd(tone.contrastFactor);
    const __m128d zero = _mm_setzero_pd();
    const __m128d top = _mm_set1_pd(255.0);
    for (; s + 2 <= samples; s += 2) {
        __m128d v = _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(r + s)));
        if (blend) {
            const __m128d q = _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + s)));
            v = _mm_div_pd(_mm_add_pd(_mm_mul_pd(q, w), v), w1);
        }
        __m128d t = v;
        if (tone.stc) {
            t = _mm_add_pd(t,
                           _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(tone.stc + s))));
        }
        t = _mm_mul_pd(_mm_add_pd(t, offset), factor);
        t = _mm_min_pd(_mm_max_pd(t, zero), top);
        // A sample of exactly 0 stays 0.
        _mm_storeu_pd(out + s, _mm_and_pd(_mm_cmpneq_pd(v, zero), t));
    }
#else
    (void)r, (void)p, (void)mix, (void)tone, (void)samples, (void)out;
#endif
    return s;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same, four samples at a time, when the CPU has AVX2 (checked at run time): lane by lane
// the very operations above, so the values are the same.
__attribute__((target("avx2"))) int ToneMapPlainLineAvx2(const int* r, const int* p, const Blender& mix,
                                                         const ToneMap& tone, int first, int samples,
                                                         double* out) {
    int s = first;
    if (tone.stc && tone.stcLast < samples - 1)
        return s;
    const bool blend = mix.blend && mix.w != 0.0;
    const __m256d w = _mm256_set1_pd(mix.w);
    const __m256d w1 = _mm256_set1_pd(mix.w1);
    const __m256d offset = _mm256_set1_pd(tone.gainOffset);
    const __m256d factor = _mm256_set1_pd(tone.contrastFactor);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d top = _mm256_set1_pd(255.0);
    for (; s + 4 <= samples; s += 4) {
        __m256d v = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r + s)));
        if (blend) {
            const __m256d q = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + s)));
            v = _mm256_div_pd(_mm256_add_pd(_mm256_mul_pd(q, w), v), w1);
        }
        __m256d t = v;
        if (tone.stc)
            t = _mm256_add_pd(
                t, _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tone.stc + s))));
        t = _mm256_mul_pd(_mm256_add_pd(t, offset), factor);
        t = _mm256_min_pd(_mm256_max_pd(t, zero), top);
        _mm256_storeu_pd(out + s, _mm256_and_pd(_mm256_cmp_pd(v, zero, _CMP_NEQ_UQ), t));
    }
    return s;
}
#endif

}  // namespace

void ProcessFrame(const ProcessingInput& in, const ImagingParams& params, double* const* work) {
    const int lines = in.lines;
    const int samples = in.samples;
    const int first = std::clamp(in.firstSample, 0, samples);
    const Blender mix{in.blend, params.smooth, params.smooth + 1.0};
    const ToneMap tone{in.stcSize > 0 ? in.stc : nullptr, in.stcSize - 1, params.GainOffset(),
                       params.ContrastFactor()};
    const int* const* raw = in.raw;
    const int* const* prev = in.previous;

    for (int l = 0; l < lines; ++l) {
        double* out = work[l];
        std::fill(out, out + first, 0.0);
        const int l0 = std::max(l - 1, 0);
        const int l2 = std::min(l + 1, lines - 1);
        const int* r = raw[l];
        const int* p = prev[l];

        if (!params.ave && !params.aveY) {
#if defined(__x86_64__) && defined(__GNUC__)
            int done = HaveAvx2() ? ToneMapPlainLineAvx2(r, p, mix, tone, first, samples, out) : first;
            done = ToneMapPlainLine(r, p, mix, tone, done, samples, out);
#else
            const int done = ToneMapPlainLine(r, p, mix, tone, first, samples, out);
#endif
            for (int s = done; s < samples; ++s)
                out[s] = tone(mix(r[s], p[s]), s);
        } else if (params.ave && !params.aveY) {
            for (int s = first; s < samples; ++s) {
                const double m = (r[s] + raw[l0][s] + raw[l2][s]) / 3.0;
                const double mp = (p[s] + prev[l0][s] + prev[l2][s]) / 3.0;
                out[s] = tone(mix(m, mp), s);
            }
        } else if (!params.ave && params.aveY) {
            for (int s = first; s < samples; ++s) {
                const int s0 = std::max(s - 1, first);
                const int s2 = std::min(s + 1, samples - 1);
                const double m = (r[s] + r[s0] + r[s2]) / 3.0;
                const double mp = (p[s] + p[s0] + p[s2]) / 3.0;
                out[s] = tone(mix(m, mp), s);
            }
        } else if (params.aveMode == 9) {
            for (int s = first; s < samples; ++s) {
                const int s0 = std::max(s - 1, first);
                const int s2 = std::min(s + 1, samples - 1);
                int sum = 0;
                int sumPrev = 0;
                for (const int li : {l0, l, l2}) {
                    sum += raw[li][s0] + raw[li][s] + raw[li][s2];
                    sumPrev += prev[li][s0] + prev[li][s] + prev[li][s2];
                }
                out[s] = tone(mix(sum / 9.0, sumPrev / 9.0), s);
            }
        } else {
            for (int s = first; s < samples; ++s) {
                double v = mix(r[s], p[s]);
                if (l < lines - 1 && s < samples - 1) {
                    v += mix(r[s + 1], p[s + 1]);
                    v += mix(raw[l + 1][s + 1], prev[l + 1][s + 1]);
                    v += mix(raw[l + 1][s], prev[l + 1][s]);
                    v *= 0.25;
                }
                out[s] = tone(v, s);
            }
        }
    }
}

namespace {

// Raw values are brought within +-2^26 first and the offsets per sample (STC and gain, or a
// large negative before the first sample) are kept within +-2^24, so the integer sums cannot
// overflow and still fall on the same side of 0..255 as the exact ones.
constexpr int32_t kRawBound = 1 << 26;
constexpr int32_t kOffsetBound = 1 << 24;
constexpr int32_t kBeforeFirst = -(1 << 28);

inline uint8_t WholeByte(int r, int32_t add) {
    if (r == 0)
        return 0;
    const int32_t v = std::clamp(r, -kRawBound, kRawBound) + add;
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

#if defined(__x86_64__) && defined(__GNUC__)
// Sixteen samples of one line as bytes, in order.
__attribute__((target("avx2"))) inline __m128i SixteenWhole(const int* r, const int32_t* add) {
    const __m256i lo = _mm256_set1_epi32(-kRawBound);
    const __m256i hi = _mm256_set1_epi32(kRawBound);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i r0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r));
    const __m256i r1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r + 8));
    __m256i v0 = _mm256_add_epi32(_mm256_min_epi32(_mm256_max_epi32(r0, lo), hi),
                                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(add)));
    __m256i v1 = _mm256_add_epi32(_mm256_min_epi32(_mm256_max_epi32(r1, lo), hi),
                                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(add + 8)));
    v0 = _mm256_andnot_si256(_mm256_cmpeq_epi32(r0, zero), v0);  // a raw 0 stays 0
    v1 = _mm256_andnot_si256(_mm256_cmpeq_epi32(r1, zero), v1);
    // Saturation to 16 bits, then to 0..255, is the clamp.
    const __m256i words = _mm256_packs_epi32(v0, v1);
    const __m256i bytes = _mm256_packus_epi16(words, words);
    return _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
}

// 16 x 16 bytes transposed; row i of the result is column BitReversed(i) of the input.
inline void Transpose16(__m128i* r) {
    __m128i t[16];
    __m128i u[16];
    for (int i = 0; i < 8; ++i) {
        t[i] = _mm_unpacklo_epi8(r[2 * i], r[2 * i + 1]);
        t[i + 8] = _mm_unpackhi_epi8(r[2 * i], r[2 * i + 1]);
    }
    for (int i = 0; i < 8; ++i) {
        u[i] = _mm_unpacklo_epi16(t[2 * i], t[2 * i + 1]);
        u[i + 8] = _mm_unpackhi_epi16(t[2 * i], t[2 * i + 1]);
    }
    for (int i = 0; i < 8; ++i) {
        t[i] = _mm_unpacklo_epi32(u[2 * i], u[2 * i + 1]);
        t[i + 8] = _mm_unpackhi_epi32(u[2 * i], u[2 * i + 1]);
    }
    for (int i = 0; i < 8; ++i) {
        r[i] = _mm_unpacklo_epi64(t[2 * i], t[2 * i + 1]);
        r[i + 8] = _mm_unpackhi_epi64(t[2 * i], t[2 * i + 1]);
    }
}

__attribute__((target("avx2"))) void WholeTiles(const int* const* raw, const int32_t* add, int lines,
                                                int samples, uint8_t* out, int stride) {
    static constexpr int kBitReversed[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    int lb = 0;
    for (; lb + 16 <= lines; lb += 16) {
        int sb = 0;
        for (; sb + 16 <= samples; sb += 16) {
            __m128i rows[16];
            for (int m = 0; m < 16; ++m)
                rows[m] = SixteenWhole(raw[lb + m] + sb, add + sb);
            Transpose16(rows);
            for (int i = 0; i < 16; ++i)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (sb + kBitReversed[i]) * stride + lb),
                                 rows[i]);
        }
        for (; sb < samples; ++sb) {
            for (int m = 0; m < 16; ++m)
                out[sb * stride + lb + m] = WholeByte(raw[lb + m][sb], add[sb]);
        }
    }
    for (; lb < lines; ++lb) {
        for (int s = 0; s < samples; ++s)
            out[s * stride + lb] = WholeByte(raw[lb][s], add[s]);
    }
}
#endif

}  // namespace

bool ProcessFrameWhole(const ProcessingInput& in, const ImagingParams& params, uint8_t* out, int stride,
                       std::vector<int32_t>& scratch) {
#if defined(__x86_64__) && defined(__GNUC__)
    const int lines = in.lines;
    const int samples = in.samples;
    if (!HaveAvx2() || lines <= 0 || samples <= 0 || stride < lines)
        return false;
    // With a blend weight of 0 the blend gives the raw value itself; the sum of whole
    // numbers and a whole offset times exactly 1 is then whole and exact.
    if (params.ave || params.aveY || (in.blend && params.smooth != 0.0) || params.ContrastFactor() != 1.0)
        return false;
    const double offset = params.GainOffset();
    if (!(std::abs(offset) <= kOffsetBound / 2) || offset != std::trunc(offset))
        return false;
    const int first = std::clamp(in.firstSample, 0, samples);
    const bool haveStc = in.stc && in.stcSize > 0;
    scratch.resize(static_cast<size_t>(samples));
    for (int s = 0; s < samples; ++s) {
        const int stc = haveStc ? in.stc[std::min(s, in.stcSize - 1)] : 0;
        if (std::abs(static_cast<int64_t>(stc)) > kOffsetBound / 2)
            return false;
        scratch[s] = s < first ? kBeforeFirst : stc + static_cast<int32_t>(offset);
    }
    WholeTiles(in.raw, scratch.data(), lines, samples, out, stride);
    return true;
#else
    (void)in, (void)params, (void)out, (void)stride, (void)scratch;
    return false;
#endif
}
