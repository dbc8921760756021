// Copies between image buffers: a plain rectangle copy and the masked affine blit that draws
// the rotated probe marker (a parallelogram blit whose key-coloured pixels stay transparent).
#pragma once

#include <array>

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

namespace draw {

// Copies src's rectangle to dst with its top-left corner at `at`; both sides clipped.
void CopyRect(const Image32& src, const Rect& srcRect, Image32& dst, Point at);

// Maps src's upper-left, upper-right and lower-left corners onto corners[0..2] and draws it
// there; pixels of the key colour are transparent. Each destination pixel averages 4 x 4
// samples, so a shrunken marker keeps soft edges instead of dropping pixels.
void MaskedAffineBlit(const Image32& src, uint32_t key, Image32& dst, const std::array<Point, 3>& corners);

}  // namespace draw
