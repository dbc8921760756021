// The caption block under the camera picture: "Depth %d Gain %d Contrast %d" centred on one
// line, the product name at the right and the program's icon before it, white on black.
// Rendered on the UI thread when depth, gain or contrast change, not for every frame.
#pragma once

#include <string>

#include "platform/Image.h"

namespace recorder {

struct CaptionValues {
    int depth = 0;  // millimetres, from the main window's one depth function
    int gain = 0;
    int contrast = 0;
    friend bool operator==(const CaptionValues&, const CaptionValues&) = default;
};

// A 480 x 120 block, top-down. `icon` (drawn at its own size, 32 x 32 expected) may be empty.
Image32 RenderCaptionBlock(const CaptionValues& values, const std::string& productName, const Image32& icon);

}  // namespace recorder
