// A frozen copy of the float halftone stretch the view used before its integer version: the
// reference the faster scaler must stay within one grey level of.
#include "ReferenceStretch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace reference {

using draw::Rect;

namespace {

struct Tap {
    int index;
    float weight;
};

// For each of dstLen outputs, the source samples and weights over srcLen inputs.
std::vector<std::vector<Tap>> Weights(int srcLen, int dstLen) {
    std::vector<std::vector<Tap>> table(static_cast<size_t>(dstLen));
    const double scale = static_cast<double>(srcLen) / dstLen;
    for (int i = 0; i < dstLen; ++i) {
        std::vector<Tap>& taps = table[static_cast<size_t>(i)];
        if (scale > 1.0) {  // box filter over the covered source span
            const double a = i * scale;
            const double b = a + scale;
            for (int s = static_cast<int>(a); s < std::min(srcLen, static_cast<int>(std::ceil(b))); ++s) {
                const double w = std::min<double>(b, s + 1) - std::max<double>(a, s);
                if (w > 0)
                    taps.push_back({s, static_cast<float>(w / scale)});
            }
        } else {  // bilinear between the two nearest source centres
            const double c = std::clamp((i + 0.5) * scale - 0.5, 0.0, srcLen - 1.0);
            const int s0 = static_cast<int>(c);
            const int s1 = std::min(s0 + 1, srcLen - 1);
            const float f = static_cast<float>(c - s0);
            taps.push_back({s0, 1.0f - f});
            if (s1 != s0 && f > 0)
                taps.push_back({s1, f});
        }
    }
    return table;
}

uint8_t ToByte(float v) {
    return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

}  // namespace

void StretchHalftone(const Image32& src, const Rect& srcRect, Image32& dst, const Rect& dstRect) {
    const Rect s = srcRect.Intersect({0, 0, src.width(), src.height()});
    if (s.IsEmpty() || dstRect.IsEmpty())
        return;
    const auto wx = Weights(s.Width(), dstRect.Width());
    const auto wy = Weights(s.Height(), dstRect.Height());

    // Horizontal pass into a float buffer of source rows, then the vertical pass.
    const int dw = dstRect.Width();
    std::vector<float> rows(static_cast<size_t>(s.Height()) * static_cast<size_t>(dw) * 3);
    for (int y = 0; y < s.Height(); ++y) {
        const uint32_t* in = src.Row(s.top + y) + s.left;
        float* out = &rows[static_cast<size_t>(y) * static_cast<size_t>(dw) * 3];
        for (int x = 0; x < dw; ++x) {
            float r = 0;
            float g = 0;
            float b = 0;
            for (const Tap& t : wx[static_cast<size_t>(x)]) {
                const uint32_t p = in[t.index];
                r += t.weight * PixelR(p);
                g += t.weight * PixelG(p);
                b += t.weight * PixelB(p);
            }
            out[3 * x] = r;
            out[3 * x + 1] = g;
            out[3 * x + 2] = b;
        }
    }
    for (int y = 0; y < dstRect.Height(); ++y) {
        const int dy = dstRect.top + y;
        if (dy < 0 || dy >= dst.height())
            continue;
        uint32_t* out = dst.Row(dy);
        for (int x = 0; x < dw; ++x) {
            const int dx = dstRect.left + x;
            if (dx < 0 || dx >= dst.width())
                continue;
            float r = 0;
            float g = 0;
            float b = 0;
            for (const Tap& t : wy[static_cast<size_t>(y)]) {
                const float* in = &rows[(static_cast<size_t>(t.index) * static_cast<size_t>(dw) + x) * 3];
                r += t.weight * in[0];
                g += t.weight * in[1];
                b += t.weight * in[2];
            }
            out[dx] = MakePixel(ToByte(r), ToByte(g), ToByte(b));
        }
    }
}

}  // namespace reference
