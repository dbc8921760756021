#include "imaging/StcCurve.h"

#include <cmath>

#include "imaging/ScanGeometry.h"

namespace {
// Far beyond any real line (a segment is a tenth of the samples of a line).
constexpr double kMaxSegment = 1.0e6;
}  // namespace

void MakeGainCurve(int first, int* out, int n, double seg, const StcKnots& knots) {
    // Without a positive, sane step the curve loop below would never end.
    if (!(seg > 0.0) || seg > kMaxSegment)
        return;
    int x[13];
    int p[13];
    for (int i = 0; i < 11; ++i) {
        x[i + 1] = first + TruncToInt(i * seg);
        p[i + 1] = knots[i];
    }
    // The missing neighbours at the ends are the end knots themselves.
    x[0] = x[1];
    p[0] = p[1];
    x[12] = x[11];
    p[12] = p[11];
    const double delta = 0.5 / seg;
    for (int i = 0; i < 10; ++i) {
        const int k = i + 1;  // knot i in the padded arrays
        const int m0x = x[k + 1] - x[k - 1];
        const int m0p = p[k + 1] - p[k - 1];
        const int m1x = x[k + 2] - x[k];
        const int m1p = p[k + 2] - p[k];
        const int ax = m0x + 2 * (x[k] - x[k + 1]) + m1x;
        const int bx = 3 * (x[k + 1] - x[k]) - 2 * m0x - m1x;
        const int ap = m0p + 2 * (p[k] - p[k + 1]) + m1p;
        const int bp = 3 * (p[k + 1] - p[k]) - 2 * m0p - m1p;
        for (double t = 0.0; t < 1.0 + delta; t += delta) {
            const double tt = t * t;
            const double ttt = tt * t;
            const int X = TruncToInt(ax * ttt + bx * tt + m0x * t + x[k]);
            if (X >= 0 && X < n)
                out[X] = TruncToInt(ap * ttt + bp * tt + m0p * t + p[k]);
        }
    }
}

void MakeLinearStcCurve(int first, int* out, int n, double seg, const StcKnots& knots) {
    if (!(seg > 0.0) || seg > kMaxSegment)
        return;
    int c[10];
    for (int i = 0; i < 10; ++i)
        c[i] = TruncToInt((i + 0.5) * seg) + first;
    for (int i = 0; i < 9; ++i) {
        const int from = i == 0 ? first : c[i];
        const int to = i == 8 ? TruncToInt(10 * seg + first) : c[i + 1];
        const int span = c[i + 1] - c[i];
        for (int x = from; x <= to; ++x) {
            if (x < 0 || x >= n)
                continue;
            // Knots closer than one sample apart: the segment collapses to its start value.
            out[x] = span == 0 ? knots[i] : (knots[i + 1] - knots[i]) * (x - c[i]) / span + knots[i];
        }
    }
}
