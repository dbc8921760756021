#include "app/SliderAxis.h"

#include <algorithm>
#include <cstdint>

namespace {

// round(a / b) for a >= 0, b > 0.
int64_t DivRound(int64_t a, int64_t b) {
    return (2 * a + b) / (2 * b);
}

}  // namespace

int SliderAxis::PixelOf(int value) const {
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    if (range <= 0)
        return start;
    const int64_t offset = std::clamp<int64_t>(static_cast<int64_t>(value) - minimum, 0, range);
    return start + static_cast<int>(DivRound(offset * span, range));
}

int SliderAxis::ValueAt(int pixel) const {
    if (span <= 0)
        return minimum;
    const int64_t offset = std::clamp(pixel - start, 0, span);
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    return minimum + static_cast<int>(DivRound(offset * range, span));
}

std::vector<int> SliderAxis::TickPixels(int frequency) const {
    std::vector<int> ticks;
    const int64_t range = static_cast<int64_t>(maximum) - minimum;
    int64_t step = std::max(frequency, 1);
    while (range > 0 && step * span < 3 * range)
        step *= 2;
    for (int64_t v = minimum; v <= maximum; v += step) {
        ticks.push_back(PixelOf(static_cast<int>(v)));
        if (range <= 0)
            break;
    }
    return ticks;
}
