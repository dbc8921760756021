// The STC depth-gain curve: a grey-level offset per sample, built from eleven knots (the
// depth preset's base plus the user's slider value). Convex probes use a cubic curve
// through the knots, linear probes straight segments between ten knot centres.
#pragma once

#include "common/GainCurve.h"  // MakeGainCurve: the cubic curve of convex probes

// Straight segments through the knot centres trunc((i + 0.5) x seg) + first, i = 0..9,
// extended before the first and after the last centre; knot 10 takes no part.
void MakeLinearStcCurve(int first, int* out, int n, double seg, const StcKnots& knots);
