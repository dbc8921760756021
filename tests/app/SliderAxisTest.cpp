// Where the trackbar puts its values and ticks along the channel.
#include <gtest/gtest.h>
#include <cmath>

#include "app/SliderAxis.h"

TEST(SliderAxis, TicksLieAtTheNearestPixelWithEvenGaps) {
    struct Case {
        SliderAxis axis;
        int frequency;
        int step;  // after thinning to 3 pixels or more
    };
    // The panels' sliders: gain, depth and gamma (85-pixel travel), STC (98 pixels).
    for (const Case& c :
         {Case{{7, 85, 0, 100}, 1, 4}, Case{{7, 85, 20, 240}, 7, 14}, Case{{7, 85, 60, 120}, 1, 4},
          Case{{7, 98, -32, 32}, 1, 2}, Case{{7, 98, 0, 64}, 1, 2}}) {
        const SliderAxis& a = c.axis;
        const std::vector<int> ticks = a.TickPixels(c.frequency);
        const int range = a.maximum - a.minimum;
        ASSERT_EQ(ticks.size(), static_cast<size_t>(range / c.step + 1));
        int smallest = 1 << 30;
        int largest = 0;
        for (size_t k = 0; k < ticks.size(); ++k) {
            const int value = a.minimum + static_cast<int>(k) * c.step;
            const double exact = a.start + static_cast<double>(value - a.minimum) * a.span / range;
            EXPECT_EQ(ticks[k], std::lround(exact))
                << "tick " << k << " of " << a.minimum << ".." << a.maximum;
            EXPECT_EQ(a.PixelOf(value), ticks[k]);  // the thumb sits on its tick
            if (k > 0) {
                smallest = std::min(smallest, ticks[k] - ticks[k - 1]);
                largest = std::max(largest, ticks[k] - ticks[k - 1]);
            }
        }
        EXPECT_GE(smallest, 3);
        EXPECT_LE(largest - smallest, 1);
    }
}

TEST(SliderAxis, ValuesAndPixelsAtTheEndsAndBeyond) {
    const SliderAxis a{7, 98, -32, 32};
    EXPECT_EQ(a.PixelOf(-32), 7);
    EXPECT_EQ(a.PixelOf(32), 105);
    EXPECT_EQ(a.PixelOf(99), 105);  // clamped to the channel
    EXPECT_EQ(a.ValueAt(0), -32);
    EXPECT_EQ(a.ValueAt(500), 32);
    for (int v = -32; v <= 32; ++v)
        EXPECT_EQ(a.ValueAt(a.PixelOf(v)), v);
    const SliderAxis flat{7, 98, 5, 5};  // an empty range has one place and one tick
    EXPECT_EQ(flat.PixelOf(5), 7);
    EXPECT_EQ(flat.TickPixels(1), std::vector<int>{7});
}
