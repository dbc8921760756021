// Where a trackbar's values and ticks lie along its channel. Pixels are rounded to the
// nearest, so the thumb sits on its tick and the gaps between ticks differ by a pixel at
// most, spread evenly, instead of all the error falling on one side.
#pragma once

#include <vector>

struct SliderAxis {
    int start = 0;  // pixel of the minimum
    int span = 1;   // pixels from the minimum to the maximum
    int minimum = 0;
    int maximum = 0;

    int PixelOf(int value) const;
    int ValueAt(int pixel) const;
    // The pixels of the automatic ticks every `frequency` values from the minimum, thinned
    // (the step doubled) until neighbours lie at least 3 pixels apart.
    std::vector<int> TickPixels(int frequency) const;
};
