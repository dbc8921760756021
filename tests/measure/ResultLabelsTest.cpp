#include "measure/ResultLabels.h"

#include <gtest/gtest.h>

TEST(ResultLabels, SlotsMapToTheirTwoLabelsModuloFour) {
    EXPECT_EQ(ResultLabelControlId(6), 1031);
    EXPECT_EQ(ResultLabelControlId(7), 1030);
    EXPECT_EQ(ResultLabelControlId(15), 1047);
    EXPECT_EQ(ResultLabelControlId(16), -1);
    EXPECT_EQ(ResultLabelControlId(-1), -1);
    const int second[4] = {4, 7, 10, 13};
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(FirstResultLabel(slot), slot);
        EXPECT_EQ(SecondResultLabel(slot), second[slot]);
    }
    // A trace slot index that has passed the last slot (4) addresses slot 0, not label 16.
    EXPECT_EQ(FirstResultLabel(4), 0);
    EXPECT_EQ(SecondResultLabel(4), 4);
    EXPECT_EQ(SecondResultLabel(-1), 13);
}
