#include "common/GainCurve.h"

#include <cmath>
#include <limits>

int32_t g_anStcValue[kStcKnotCount] = {};
int32_t g_anStcOffset[kStcKnotCount] = {};

namespace {

// Far beyond any echo line; keeps the step count and the knot positions bounded.
constexpr double kMaxSegment = 1 << 20;

// One coordinate of a Hermite segment: start value, end value and the tangents there.
struct HermiteCubic {
    double a, b, m0, start;

    HermiteCubic(int64_t from, int64_t to, int64_t tangent0, int64_t tangent1)
        : a(static_cast<double>(tangent0 + 2 * (from - to) + tangent1)),
          b(static_cast<double>(3 * (to - from) - 2 * tangent0 - tangent1)),
          m0(static_cast<double>(tangent0)),
          start(static_cast<double>(from)) {}

    double At(double t) const { return a * t * t * t + b * t * t + m0 * t + start; }
};

bool FitsInt32(double v) {
    return v > static_cast<double>(std::numeric_limits<int32_t>::min()) - 1.0 &&
           v < static_cast<double>(std::numeric_limits<int32_t>::max()) + 1.0;
}

}  // namespace

void MakeGainCurve(int32_t first, int32_t* out, int32_t count, double segment, const StcKnots& knots) {
    if (!out || count <= 0 || !std::isfinite(segment) || segment <= 0.0 || segment > kMaxSegment)
        return;

    // Knot positions and values, with each end knot standing in for its missing neighbour.
    int64_t x[kStcKnotCount + 2];
    int64_t p[kStcKnotCount + 2];
    for (int i = 0; i < kStcKnotCount; ++i) {
        x[i + 1] = static_cast<int64_t>(first) + static_cast<int64_t>(std::trunc(i * segment));
        p[i + 1] = knots[i];
    }
    x[0] = x[1], p[0] = p[1];
    x[kStcKnotCount + 1] = x[kStcKnotCount], p[kStcKnotCount + 1] = p[kStcKnotCount];

    const double step = 0.5 / segment;
    for (int i = 1; i < kStcKnotCount; ++i) {
        // Tangents are the full difference of the neighbours, not half of it.
        const HermiteCubic cx(x[i], x[i + 1], x[i + 1] - x[i - 1], x[i + 2] - x[i]);
        const HermiteCubic cp(p[i], p[i + 1], p[i + 1] - p[i - 1], p[i + 2] - p[i]);
        for (double t = 0.0; t < 1.0 + step; t += step) {
            const double px = std::trunc(cx.At(t));
            if (px < 0.0 || px >= static_cast<double>(count))
                continue;
            const double pv = std::trunc(cp.At(t));
            if (!FitsInt32(pv))
                continue;
            out[static_cast<int32_t>(px)] = static_cast<int32_t>(pv);
        }
    }
}
