#include "imaging/FrameProcessing.h"

#include <algorithm>

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
        if (v == 0.0) return v;
        if (stc) v += stc[std::min(s, stcLast)];
        v += gainOffset;
        v *= contrastFactor;
        return v < 0.0 ? 0.0 : (v > 255.0 ? 255.0 : v);
    }
};

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
            if (!mix.blend) {
                for (int s = first; s < samples; ++s) out[s] = tone(static_cast<double>(r[s]), s);
            } else {
                for (int s = first; s < samples; ++s) out[s] = tone(mix(r[s], p[s]), s);
            }
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
