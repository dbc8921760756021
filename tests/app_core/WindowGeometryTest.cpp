// Maximise and restore as pure functions of the start-up rectangles.
#include <gtest/gtest.h>

#include "app/core/WindowGeometry.h"

namespace {

// A start-up layout in the template's proportions: a 900 x 680 client, the 484-pixel main
// view (with its border), labels of 120 x 20 under it.
StartupRects TemplateRects() {
    StartupRects s = DefaultStartupRects();
    s.main = {190, 40, 674, 524};
    s.left = {190, 40, 432, 524};
    s.right = {432, 40, 674, 524};
    s.gradation = {171, 40, 179, 524};
    for (int i = 0; i < 16; ++i) {
        const int column = i < 4 ? i : (i - 4) / 3;
        const int row = i < 4 ? 0 : 1 + (i - 4) % 3;
        s.labels[static_cast<size_t>(i)] = {190 + 120 * column, 548 + 20 * row, 310 + 120 * column,
                                            568 + 20 * row};
    }
    s.counter = {494, 524, 674, 550};
    s.status = {190, 526, 490, 548};
    s.list = {680, 64, 894, 464};
    s.reviewNext = {768, 546, 808, 578};
    s.clock = {490, 6, 717, 34};
    s.rightPanel = {735, 0, 900, 500};
    return s;
}

}  // namespace

TEST(WindowGeometry, EnlargementByTheSmallerGrowthBoundedBelow) {
    const StartupRects s = TemplateRects();
    struct Case {
        int cx, cy, e;
    } cases[] = {
        {1600, 860, 260},       // min(700, 180) + 80
        {1000, 640, 120},       // a lower client counts as a positive difference: min(100, 40) + 80
        {300, 900, 100 - 484},  // min(-600, 220) + 80 = -520: the view keeps 100 pixels
        {900, 680, 80},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Enlargement(s, kTemplateGeometry, c.cx, c.cy), c.e) << c.cx << "x" << c.cy;
        const WindowLayout l = MaximisedLayout(s, kTemplateGeometry, c.cx, c.cy);
        EXPECT_GE(l.main.Width(), 100);
        EXPECT_GT(ViewScale(480, l.main.Width()), 0.0);
    }
}

TEST(WindowGeometry, MaximisedViewsLabelsAndControls) {
    const StartupRects s = TemplateRects();
    const WindowLayout l = MaximisedLayout(s, kTemplateGeometry, 1600, 860);
    EXPECT_EQ(l.enlargement, 260);
    EXPECT_EQ(l.main, (draw::Rect{190, 40, 934, 784}));
    EXPECT_EQ(l.left, (draw::Rect{190, 40, 562, 784}));   // 372 wide
    EXPECT_EQ(l.right, (draw::Rect{562, 40, 934, 784}));  // 372 wide, side by side
    EXPECT_EQ(l.gradation, (draw::Rect{171, 40, 179, 784}));
    EXPECT_FALSE(l.largeLabelFont);
    // Labels 0..3 stacked at half width, 4/7/10/13 beside them g = 6 pixels on.
    const int x0 = 190 + 502 + 260;
    EXPECT_EQ(l.labels[0], (draw::Rect{x0, 524, x0 + 60, 544}));
    EXPECT_EQ(l.labels[1], (draw::Rect{x0, 544, x0 + 60, 564}));
    EXPECT_EQ(l.labels[3], (draw::Rect{x0, 584, x0 + 60, 604}));
    EXPECT_EQ(l.labels[4], (draw::Rect{x0 + 66, 524, x0 + 186, 544}));
    EXPECT_EQ(l.labels[13], (draw::Rect{x0 + 66, 584, x0 + 186, 604}));
    EXPECT_EQ(l.labels[5], (draw::Rect{x0, 564, x0 + 120, 584}));  // unchanged arrangement
    EXPECT_EQ(l.counter, (draw::Rect{754, 784, 934, 810}));
    EXPECT_EQ(l.status, (draw::Rect{190, 786, 490, 806}));
    EXPECT_EQ(l.list, (draw::Rect{940, 64, 1154, 464}));
    EXPECT_EQ(l.rightPanel, (draw::Rect{995, 0, 1160, 500}));
    EXPECT_EQ(l.reviewNext, (draw::Rect{978, 789, 1018, 816}));
    EXPECT_DOUBLE_EQ(ViewScale(484, l.main.Width()), 484.0 / 744.0);
    // Maximising twice gives the same layout.
    const WindowLayout again = MaximisedLayout(s, kTemplateGeometry, 1600, 860);
    EXPECT_EQ(again.labels, l.labels);
}

TEST(WindowGeometry, RestoringGivesEveryStartUpRectangleBack) {
    const StartupRects s = TemplateRects();
    const WindowLayout l = RestoredLayout(s);
    EXPECT_EQ(l.enlargement, 0);
    EXPECT_TRUE(l.largeLabelFont);
    EXPECT_EQ(l.main, s.main);
    EXPECT_EQ(l.left, s.left);
    EXPECT_EQ(l.right, s.right);
    EXPECT_EQ(l.gradation, s.gradation);
    EXPECT_EQ(l.labels, s.labels);
    EXPECT_EQ(l.counter, s.counter);
    EXPECT_EQ(l.list, s.list);
    EXPECT_EQ(l.reviewNext, s.reviewNext);
    EXPECT_EQ(l.rightPanel, s.rightPanel);
    EXPECT_DOUBLE_EQ(ViewScale(480, 480), 1.0);
}
