// What is drawn into a converted frame after scan conversion: the orientation mark, the
// M-mode sample line's pixels, the lateral centimetre ticks along the bottom edge and, for
// developers, the raw samples. Images are top-down, 480 x 480.
#pragma once

#include <array>
#include <cstdint>

#include "imaging/ScanGeometry.h"
#include "platform/Image.h"

// Left column of the orientation mark: 240 - (d + 25) with d the half-width of the probe
// surface (convex) or 190 (linear), mirrored to 473 - x when invert equals the mark side.
// INT_MIN when the geometry gives no usable position.
int OrientationMarkColumn(const ScanGeometry& geometry, const DepthGeometry& depth, bool invert);
// The 7 x 8 glyph on display rows 4 to 11, zeros included, clipped at the image edges.
void DrawOrientationMark(Image8& image, int column);

// The pixels along the M-mode line of one frame.
struct MLineSample {
    std::array<uint8_t, 480> column{};  // sampled pixels, the rest 0
    bool hasPoint = false;              // at least one point lay inside the image
    uint8_t firstRow = 0;               // image row of the first sampled point (when hasPoint)
};
MLineSample SampleMLine(const Image8& image, double angle, const DepthGeometry& depth);

// One tick per centimetre from the centre column outwards, mirrored, along the bottom row:
// 5 rows tall, 3 pixels wide every 5 cm, 10 rows tall every 10 cm. Nothing for a scale
// that is not a positive number.
void DrawScale(Image8& image, double pixelsPerMm);

// Developer view: echo line l as column l, sample i on display row i - 1 (every
// samples / 480th sample when the line is longer than the image is tall).
void DrawRawDisplay(Image8& image, const int* const* raw, int samples, int lines);
