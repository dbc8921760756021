// The raised frame of a caption-less dialog with a modal frame, drawn into the window's own
// picture: an outer edge light at the top and left and dark at the bottom and right, an inner
// edge white and grey, then a pixel of the face colour. It sets the finger loupe off from the
// dark window it floats over.
#pragma once

#include "platform/Image.h"

inline constexpr int kDialogFrameWidth = 3;

struct DialogFrameColours {
    uint32_t outerLight = MakePixel(227, 227, 227);
    uint32_t outerDark = MakePixel(105, 105, 105);
    uint32_t innerLight = MakePixel(255, 255, 255);
    uint32_t innerDark = MakePixel(160, 160, 160);
    uint32_t face = MakePixel(240, 240, 240);
};

// Draws the frame over the outer kDialogFrameWidth pixels of the image.
void DrawDialogFrame(Image32& image, const DialogFrameColours& colours = {});
