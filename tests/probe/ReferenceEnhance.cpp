#include "ReferenceEnhance.h"

#include <algorithm>
#include <cmath>

namespace probetest {
namespace {

constexpr int kLines = 128;
constexpr int kSamples = 1024;

float MedianOf(std::vector<float> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The median of lines r-1..r+1 and samples c-half..c+half; the compressed value when the
// window reaches past either end of the line.
float WindowMedian(const std::vector<float>& in, int r, int c, int half) {
    if (c - half < 0 || c + half > kSamples - 1)
        return in[r * kSamples + c];
    std::vector<float> v;
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -half; dc <= half; ++dc)
            v.push_back(in[(r + dr) * kSamples + c + dc]);
    }
    return MedianOf(v);
}

}  // namespace

std::vector<uint8_t> ReferenceEnhance(bool linear, const std::vector<float>& in, int depth,
                                      ReferenceWeights w, bool filterOn) {
    std::vector<uint8_t> out(in.size());
    if (!filterOn || depth <= 0) {
        for (size_t i = 0; i < in.size(); ++i)
            out[i] = static_cast<uint8_t>(std::clamp(in[i], 0.0f, 255.0f));
        return out;
    }
    int a = kSamples, b = kSamples;
    if (!linear) {
        a = static_cast<int>(std::round(60.0f / static_cast<float>(depth) * 1024.0f));
        b = static_cast<int>(std::round(180.0f / static_cast<float>(depth) * 1024.0f));
        if (a >= 1023) {
            a = b = kSamples;
        } else if (b >= 1022) {
            b = kSamples;
        }
    }
    std::vector<float> m(in);
    for (int r = 1; r < kLines - 1; ++r) {
        for (int c = 0; c < kSamples; ++c) {
            float v;
            if (linear) {
                v = WindowMedian(in, r, c, 1);
            } else if (c < a) {
                v = WindowMedian(in, r, c, 0);
            } else if (c < b) {
                v = WindowMedian(in, r, c, 1);
            } else {
                v = WindowMedian(in, r, c, 2);
            }
            m[r * kSamples + c] = v;
        }
    }
    for (int r = 0; r < kLines; ++r) {
        for (int c = 0; c < kSamples; ++c) {
            float e = 0.0f;
            if (r >= 2 && r <= 125 && c >= 2 && c <= 1021) {
                const float g1 = m[r * kSamples + c] - m[(r + 1) * kSamples + c + 1];
                const float g2 = m[(r + 1) * kSamples + c] - m[r * kSamples + c + 1];
                e = 1.2f * std::sqrt(g1 * g1 + g2 * g2);
            }
            const size_t i = static_cast<size_t>(r) * kSamples + c;
            float v = (w.compressed * in[i] + w.median * m[i] + w.edge * e) / 100.0f;
            v = std::clamp(v, 0.0f, 255.0f);
            out[i] = static_cast<uint8_t>(v);
        }
    }
    return out;
}

std::vector<float> ReferenceCompress(const std::vector<ProbeStreamPacket>& lines,
                                     ProbeCompression compression) {
    std::vector<float> plane(static_cast<size_t>(kLines) * kSamples);
    for (int l = 0; l < kLines; ++l) {
        for (int s = 0; s < kSamples; ++s)
            plane[static_cast<size_t>(l) * kSamples + s] =
                CompressEchoSample(lines[l].Sample(s), compression);
    }
    return plane;
}

}  // namespace probetest
