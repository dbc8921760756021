// Per-frame processing of the echo samples before scan conversion: frame correlation with
// the previous raw frame, optional averaging across and along the lines, then STC, gain and
// contrast, clamped to 0..255. A sample of exactly 0 stays 0 whatever the gain, so empty
// samples stay black.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/ImagingParams.h"

struct ProcessingInput {
    const int* const* raw = nullptr;       // [line][sample], 0..255
    const int* const* previous = nullptr;  // the raw frame before, same size
    bool blend = false;                    // false for the first frame of a run
    int lines = 0;
    int samples = 0;
    int firstSample = 0;
    const int* stc = nullptr;  // gain offset per sample, or null
    int stcSize = 0;
};

// Writes work[line][sample] for every line and every sample; samples before the first
// sample are 0.
void ProcessFrame(const ProcessingInput& in, const ImagingParams& params, double* const* work);

// With the settings of most frames (no averaging, no frame-correlation weight, contrast factor
// 1, a whole gain offset) every processed sample is a whole number 0..255. Then writes them
// as bytes, sample by sample: out[sample x stride + line] (stride at least lines), the same
// values ProcessFrame gives, and returns true. False, with nothing written, for other
// settings or without AVX2. `scratch` keeps one buffer from frame to frame.
bool ProcessFrameWhole(const ProcessingInput& in, const ImagingParams& params, uint8_t* out, int stride,
                       std::vector<int32_t>& scratch);
