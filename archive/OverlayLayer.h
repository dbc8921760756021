// The depth scale and body mark of a stored cine frame, drawn once per distinct depth and
// focus and then laid over every frame of that depth. The drawing is done twice, over black
// and over white: a pixel equal in both is opaque, one that differs was blended (text
// edges), and the pair gives its cover and colour exactly, so the result equals drawing
// straight onto the frame. Each pixel becomes the nearest grey, round((r + g + b) / 3).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Image.h"

namespace archive {

// Draws the overlay of one depth and focus mark (-1: no focus mark) into a 32-bit image.
using OverlayPainter = std::function<void(Image32& layer, int depthMm, int focusMark)>;

class OverlayLayer {
public:
    // Draws the overlay of that depth and focus into a layer of width x height.
    void Build(const OverlayPainter& paint, int width, int height, int depthMm, int focusMark);
    // Lays the overlay over a grey frame of the layer's size.
    void Apply(Image8& frame) const;
    size_t TouchedPixels() const { return pixels_.size(); }

private:
    struct Touched {
        uint32_t offset;
        uint8_t base[3];  // r, g, b drawn over black
        int16_t span[3];  // drawn over white minus drawn over black
    };
    std::vector<Touched> pixels_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace archive
