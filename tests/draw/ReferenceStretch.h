// The float two-pass halftone stretch as the view had it first, kept as the tests' reference.
#pragma once

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

namespace reference {

void StretchHalftone(const Image32& src, const draw::Rect& srcRect, Image32& dst, const draw::Rect& dstRect);

}  // namespace reference
