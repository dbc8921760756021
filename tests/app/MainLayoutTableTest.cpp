// The main window's pixel table: every control once, inside the start-up client, the views
// at their sizes, the result labels in the arrangement that maximising relies on, and the
// right panel fitting beside the clock.
#include <gtest/gtest.h>

#include <set>

#include "app/MainFonts.h"
#include "app/MainLayoutTable.h"
#include "resources/StringTable.h"

TEST(MainLayoutTable, HoldsEachControlOnceInsideTheStartUpClient) {
    std::set<int> ids;
    for (const MainControlPlacement& c : kMainControls) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        EXPECT_GE(c.x, 0) << c.id;
        EXPECT_GE(c.y, 0) << c.id;
        EXPECT_LE(c.x + c.width, kMainClientWidth) << c.id;
        EXPECT_LE(c.y + c.height, kMainClientHeight) << c.id;
        if (c.captionId != 0) {
            EXPECT_TRUE(resources::HasString(c.captionId)) << c.id;
        }
    }
    EXPECT_EQ(FindMainControl(9999), nullptr);
}

TEST(MainLayoutTable, ViewsCoverOneSquareAndTheHalvesSplitIt) {
    const MainControlPlacement* main = FindMainControl(1011);
    const MainControlPlacement* left = FindMainControl(1012);
    const MainControlPlacement* right = FindMainControl(1014);
    ASSERT_TRUE(main && left && right);
    EXPECT_EQ(main->width, 480);
    EXPECT_EQ(main->height, 480);
    EXPECT_EQ(left->width, 240);
    EXPECT_EQ(right->width, 240);
    EXPECT_EQ(left->height, 480);
    EXPECT_EQ(left->x, main->x);
    EXPECT_EQ(right->x, main->x + 240);
    EXPECT_EQ(left->y, main->y);
    EXPECT_EQ(right->y, main->y);
}

TEST(MainLayoutTable, ResultLabelsSitInTheRowsMaximisingRearranges) {
    // Labels 0 to 3 side by side in one row, labels 4, 7, 10 and 13 side by side in the row
    // below, all of one size: maximising stacks them from these positions.
    const MainControlPlacement* first = FindMainControl(kResultLabelIds[0]);
    ASSERT_NE(first, nullptr);
    for (int k = 0; k < 4; ++k) {
        const MainControlPlacement* top = FindMainControl(kResultLabelIds[static_cast<size_t>(k)]);
        const MainControlPlacement* below = FindMainControl(kResultLabelIds[static_cast<size_t>(4 + 3 * k)]);
        ASSERT_TRUE(top && below);
        EXPECT_EQ(top->x, first->x + k * first->width);
        EXPECT_EQ(top->y, first->y);
        EXPECT_EQ(below->x, top->x);
        EXPECT_EQ(below->y, first->y + first->height);
        EXPECT_EQ(top->width, first->width);
        EXPECT_EQ(below->height, first->height);
    }
}

TEST(MainLayoutTable, TheRightPanelFitsRightOfTheClock) {
    const MainControlPlacement* clock = FindMainControl(1019);
    ASSERT_NE(clock, nullptr);
    const int panelLeft = clock->x + clock->width + kRightPanelGap;
    EXPECT_EQ(panelLeft + 110 * 3 / 2, kMainClientWidth);  // the right panel is 110 dialog units wide
}

TEST(MainFonts, PointSizesBecomePixelsAt96Dpi) {
    const MainDialogFonts f = CreateFonts();
    EXPECT_DOUBLE_EQ(f.m_font18B.pixelSize, 24.0);
    EXPECT_TRUE(f.m_font18B.bold);
    EXPECT_FALSE(f.m_font18.bold);
    EXPECT_DOUBLE_EQ(f.m_font12.pixelSize, 16.0);
    EXPECT_DOUBLE_EQ(f.m_font8.pixelSize, 80 / 10.0 * 4.0 / 3.0);
    EXPECT_TRUE(f.m_font22B.bold && f.m_font14B.bold && f.m_font13B.bold);
    EXPECT_FALSE(f.m_font14.bold || f.m_font12.bold || f.m_font10.bold);
    EXPECT_EQ(f.m_font10.face, draw::kUiFace);
}
