#include "app/core/DepthMath.h"

#include <cmath>

#include "imaging/ScanGeometry.h"

int DepthFromPixelScale(double pixelsPerMm) {
    if (!(pixelsPerMm > 0.0))
        return 0;
    return TruncToInt(470.0 / pixelsPerMm + 1e-9);
}

int ReversedSliderValue(int position, int minimum, int maximum) {
    return maximum + minimum - position;
}

int GammaToSliderPosition(double gamma, int minimum, int maximum) {
    return maximum + minimum - static_cast<int>(std::lround(gamma * 100.0));
}
