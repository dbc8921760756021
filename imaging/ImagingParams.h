// The imaging parameters the user and the settings change while frames are converted. The
// image processor keeps one copy under its lock; the image thread takes a snapshot per frame.
#pragma once

#include <numbers>

struct ImagingParams {
    int gain = 50;      // 0..100
    int contrast = 50;  // 0..200
    int depth = 225;    // millimetres
    int focus = 0;      // millimetres
    bool invert = false;
    double smooth = 0.0;   // frame-correlation weight of the previous frame, above -1 ("smooth")
    bool rawDisp = false;  // "RAWDISP"
    bool ave = false;      // average across lines ("AVE")
    bool aveY = false;     // average along the line ("AVE_Y")
    int aveMode = 9;       // combined averaging: 9 (3 x 3 mean) or 4 (2 x 2 blend) ("AVE_MODE")
    double gainMin = -100.0;
    double gainMax = 0.0;
    double gainBase = 0.0;
    double contrastMin = 0.5;
    double contrastMax = 1.5;
    bool bicubic = false;    // cubic convolution in the sector converter ("BICUBIC")
    double bicubicA = -1.0;  // kernel parameter a ("BICUBIC_A")
    int raw2Bitmap = 1;      // conversion path ("RAW2BITMAP"); validated against the geometry
    // Direction of the M-mode sample line, radians counter-clockwise from +x with y upward;
    // 3 pi / 2 points straight down.
    double mLineAngle = 3.0 * std::numbers::pi / 2.0;

    // (GAIN_MAX - GAIN_MIN) / 100 x gain + GAIN_MIN + GAIN_BASE
    double GainOffset() const { return (gainMax - gainMin) / 100.0 * gain + gainMin + gainBase; }
    // (CONTRAST_MAX - CONTRAST_MIN) / 100 x contrast + CONTRAST_MIN
    double ContrastFactor() const { return (contrastMax - contrastMin) / 100.0 * contrast + contrastMin; }

    friend bool operator==(const ImagingParams&, const ImagingParams&) = default;
};

// Keeps values that would break the arithmetic out: a smooth at or below -1 (the blend divides
// by smooth + 1) or not finite is refused and `current`'s stays; the averaging mode becomes 9
// or 4, other non-finite numbers their defaults. Any other smooth is kept as given.
ImagingParams SanitizeParams(const ImagingParams& params, const ImagingParams& current);
