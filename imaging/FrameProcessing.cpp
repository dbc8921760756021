#include "imaging/FrameProcessing.h"

#include <algorithm>

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

bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
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
