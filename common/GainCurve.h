// The STC depth-gain curve: eleven knots along the echo line, each the depth preset's base
// plus the user's slider value, joined by cubic Hermite segments into one gain per sample.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kStcKnotCount = 11;

// Knot values in knot order.
using StcKnots = std::array<int32_t, kStcKnotCount>;

// The user's STC values and the depth preset's base, knot by knot. Written and read on the
// UI thread only.
extern int32_t g_anStcValue[kStcKnotCount];
extern int32_t g_anStcOffset[kStcKnotCount];

// Fills out[0..count) with the cubic STC curve through the given knot values, knot i at
// sample first + trunc(i x segment). Entries the curve does not reach keep their value.
// Nothing happens for a segment length that is not positive, or beyond 2^20 samples.
void MakeGainCurve(int32_t first, int32_t* out, int32_t count, double segment, const StcKnots& knots);
