#include "imaging/StcCurve.h"

#include <cmath>

#include "imaging/ScanGeometry.h"

namespace {
// Far beyond any real line (a segment is a tenth of the samples of a line).
constexpr double kMaxSegment = 1.0e6;
}  // namespace

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
