// Maximise and restore as pure functions of the start-up rectangles.
#include <gtest/gtest.h>

#include "app/core/WindowGeometry.h"

namespace {

// A start-up layout in the template's proportions: a 900 x 680 client, the 484-pixel main
// view (with its border), the result labels under it one row per measurement.
StartupRects TemplateRects() {
    StartupRects s = DefaultStartupRects();
    s.main = {190, 40, 674, 524};
    s.left = {190, 40, 432, 524};
    s.right = {432, 40, 674, 524};
    s.gradation = {171, 40, 179, 524};
    const int columns[5] = {190, 290, 454, 554, 670};
    for (int i = 0; i < 16; ++i) {
        const int row = i < 4 ? i : (i - 4) / 3;
        const int column = i < 4 ? 0 : 1 + (i - 4) % 3;
        s.labels[static_cast<size_t>(i)] = {columns[column], 548 + 20 * row, columns[column + 1],
                                            568 + 20 * row};
    }
    s.counter = {494, 524, 674, 550};
    s.status = {190, 526, 490, 548};
    s.list = {680, 64, 894, 464};
    s.reviewNext = {768, 546, 808, 578};
    s.reviewPlay = s.reviewStop = {724, 546, 764, 578};
    s.clock = {490, 6, 717, 34};
    s.header = {190, 6, 490, 34};
    s.preview = {680, 584, 894, 606};
    s.cinePrev = {190, 634, 254, 674};
    s.cineNext = {610, 634, 674, 674};
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

TEST(WindowGeometry, OnANarrowScreenTheGrowthKeepsWhatIsBesideTheImageOnIt) {
    const StartupRects s = TemplateRects();
    GeometryConstants k = kTemplateGeometry;
    k.rightExtent = 1080;
    EXPECT_EQ(Enlargement(s, k, 1600, 860), 260);       // wide enough: the usual growth
    EXPECT_EQ(Enlargement(s, k, 1280, 990), 200);       // not min(380, 310) + 80 = 390
    EXPECT_EQ(Enlargement(s, k, 1050, 990), 0);         // no room to grow: the start-up size
    EXPECT_EQ(Enlargement(s, k, 300, 900), 100 - 484);  // smaller than the start-up size
    // Too narrow for the labels beside the image: the start-up layout, labels and font too.
    const WindowLayout narrow = MaximisedLayout(s, k, 1050, 740);
    EXPECT_EQ(narrow.enlargement, 0);
    EXPECT_EQ(narrow.main, s.main);
    EXPECT_EQ(narrow.labels, s.labels);
    EXPECT_TRUE(narrow.largeLabelFont);
    EXPECT_EQ(narrow.cinePrev, s.cinePrev);
}

TEST(WindowGeometry, MaximisedViewsLabelsAndControls) {
    const StartupRects s = TemplateRects();
    GeometryConstants k = kTemplateGeometry;
    k.labelScale = 10.0 / 12.0;
    const WindowLayout l = MaximisedLayout(s, k, 1600, 860);
    EXPECT_EQ(l.enlargement, 260);
    EXPECT_EQ(l.main, (draw::Rect{190, 40, 934, 784}));
    EXPECT_EQ(l.left, (draw::Rect{190, 40, 562, 784}));   // 372 wide
    EXPECT_EQ(l.right, (draw::Rect{562, 40, 934, 784}));  // 372 wide, side by side
    EXPECT_EQ(l.gradation, (draw::Rect{171, 40, 179, 784}));
    EXPECT_FALSE(l.largeLabelFont);
    // The labels keep their rows right of the image, 502 + e on and 24 up, narrowed by 10/12.
    const int x0 = 190 + 502 + 260;
    EXPECT_EQ(l.labels[0], (draw::Rect{x0, 524, x0 + 83, 544}));
    EXPECT_EQ(l.labels[1], (draw::Rect{x0, 544, x0 + 83, 564}));
    EXPECT_EQ(l.labels[3], (draw::Rect{x0, 584, x0 + 83, 604}));
    EXPECT_EQ(l.labels[4], (draw::Rect{x0 + 83, 524, x0 + 220, 544}));
    EXPECT_EQ(l.labels[13], (draw::Rect{x0 + 83, 584, x0 + 220, 604}));
    EXPECT_EQ(l.labels[5], (draw::Rect{x0 + 220, 524, x0 + 303, 544}));
    EXPECT_EQ(l.labels[15], (draw::Rect{x0 + 303, 584, x0 + 400, 604}));
    EXPECT_EQ(l.counter, (draw::Rect{754, 784, 934, 810}));
    EXPECT_EQ(l.status, (draw::Rect{190, 786, 490, 806}));
    // The cine buttons under the counter, the right one at the image's right edge.
    EXPECT_EQ(l.cinePrev, (draw::Rect{190, 812, 254, 852}));
    EXPECT_EQ(l.cineNext, (draw::Rect{870, 812, 934, 852}));
    // The list's column moves right with its captions and review buttons; Stop stays on Play.
    EXPECT_EQ(l.list, (draw::Rect{940, 64, 1154, 464}));
    EXPECT_EQ(l.preview, (draw::Rect{940, 584, 1154, 606}));
    EXPECT_EQ(l.reviewNext, (draw::Rect{1028, 546, 1068, 578}));
    EXPECT_EQ(l.reviewStop, l.reviewPlay);
    EXPECT_EQ(l.rightPanel, (draw::Rect{995, 0, 1160, 500}));
    EXPECT_EQ(l.header, (draw::Rect{190, 6, 750, 34}));  // up to the moved clock
    EXPECT_EQ(l.clock.left, l.header.right);
    EXPECT_DOUBLE_EQ(ViewScale(484, l.main.Width()), 484.0 / 744.0);
    // Maximising twice gives the same layout.
    const WindowLayout again = MaximisedLayout(s, k, 1600, 860);
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
    EXPECT_EQ(l.header, s.header);
    EXPECT_EQ(l.preview, s.preview);
    EXPECT_EQ(l.cinePrev, s.cinePrev);
    EXPECT_EQ(l.cineNext, s.cineNext);
    EXPECT_DOUBLE_EQ(ViewScale(480, 480), 1.0);
}
