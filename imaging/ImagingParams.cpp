#include "imaging/ImagingParams.h"

#include <cmath>

ImagingParams SanitizeParams(const ImagingParams& in, const ImagingParams& current) {
    const ImagingParams defaults;
    ImagingParams p = in;
    auto finiteOr = [](double v, double fallback) { return std::isfinite(v) ? v : fallback; };
    if (!std::isfinite(p.smooth) || p.smooth <= -1.0)
        p.smooth = current.smooth;
    p.aveMode = p.aveMode == 9 ? 9 : 4;
    p.gainMin = finiteOr(p.gainMin, defaults.gainMin);
    p.gainMax = finiteOr(p.gainMax, defaults.gainMax);
    p.gainBase = finiteOr(p.gainBase, defaults.gainBase);
    p.contrastMin = finiteOr(p.contrastMin, defaults.contrastMin);
    p.contrastMax = finiteOr(p.contrastMax, defaults.contrastMax);
    p.bicubicA = finiteOr(p.bicubicA, defaults.bicubicA);
    p.mLineAngle = finiteOr(p.mLineAngle, defaults.mLineAngle);
    return p;
}
