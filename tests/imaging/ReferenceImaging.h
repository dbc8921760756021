// A plain, readable transcription of the per-frame formulas: processing, the per-depth
// geometry, both scan converters with full address tables rebuilt every frame, the
// upsampled lines as a whole array, the orientation mark, the M-line, the scale and the raw
// display. It draws into a bottom-up buffer as the formulas are written and flips at the
// end. The fast converter must match it bit for bit; the benchmark also times it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/GammaTable.h"
#include "imaging/ImagingParams.h"
#include "imaging/ScanGeometry.h"
#include "platform/Image.h"

struct ReferenceResult {
    bool overflow = false;
    Image8 image;  // top-down, like the program's images
    std::array<uint8_t, 480> mColumn{};
    bool mHasPoint = false;
    int mFirstRow = 0;
};

class ReferenceImaging {
public:
    // raw[line][sample]; frameCount is the cine's count with this frame added.
    ReferenceResult Convert(const std::vector<std::vector<int>>& raw, int depth, int frameCount,
                            const ImagingParams& params, const ScanGeometry& geometry,
                            const std::vector<int>& stc, const GammaTable& gamma);

private:
    std::vector<std::vector<int>> previous_;
    bool havePrevious_ = false;
};
