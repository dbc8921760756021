// The STC depth-gain curve: a grey-level offset per sample, built from eleven knots (the
// depth preset's base plus the user's slider value). Convex probes use a cubic curve
// through the knots, linear probes straight segments between ten knot centres.
#pragma once

#include <array>

using StcKnots = std::array<int, 11>;

// Cubic Hermite segments through knots at first + trunc(i x seg); fills out[0..n) where the
// curve passes and leaves other entries as they are. Nothing for a seg that is not positive.
void MakeGainCurve(int first, int* out, int n, double seg, const StcKnots& knots);

// Straight segments through the knot centres trunc((i + 0.5) x seg) + first, i = 0..9,
// extended before the first and after the last centre; knot 10 takes no part.
void MakeLinearStcCurve(int first, int* out, int n, double seg, const StcKnots& knots);
