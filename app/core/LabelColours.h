// Colours of the measurement result labels.
#pragma once

#include "platform/Image.h"

// The highlight behind the label of the measurement under way: the background lifted by
// red 20, green 25 and blue 30, each channel saturating at 255 so that a light background
// never carries into the next channel.
constexpr Colorref MeasureLabelHighlight(Colorref back) {
    auto add = [](uint8_t v, int d) { return static_cast<uint8_t>(v + d > 255 ? 255 : v + d); };
    return Colorref::FromRgb(add(back.r(), 20), add(back.g(), 25), add(back.b(), 30));
}
