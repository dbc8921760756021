// Resampling in place of the halftone stretch: each destination pixel takes the average of
// the source area it covers when shrinking, and a bilinear blend when enlarging, so both
// directions keep the image's grey levels honest.
#pragma once

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

namespace draw {

// Stretches src's rectangle over dst's rectangle; parts of dstRect outside dst are skipped,
// a source rectangle reaching outside src is clipped to it first.
void StretchHalftone(const Image32& src, const Rect& srcRect, Image32& dst, const Rect& dstRect);

// A new image of the given size holding all of src, stretched.
Image32 Resized(const Image32& src, int width, int height);

}  // namespace draw
