// The main window's pixel table: every control once, inside the start-up client, the views
// at their sizes, the result labels in rows under the image, and the right panel fitting
// beside the clock; maximised, what lies beside the image stays off it and on the screen.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "app/MainFonts.h"
#include "app/MainGeometry.h"
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

TEST(MainLayoutTable, ResultLabelsSitOneRowPerMeasurementUnderTheImage) {
    // Row k: label k, then label 4 + 3k beside it, then the two labels after it, edge to edge
    // across the image's width; maximising moves the block as it stands.
    const MainControlPlacement* view = FindMainControl(1011);
    ASSERT_NE(view, nullptr);
    for (int k = 0; k < 4; ++k) {
        const int ids[4] = {
            kResultLabelIds[static_cast<size_t>(k)], kResultLabelIds[static_cast<size_t>(4 + 3 * k)],
            kResultLabelIds[static_cast<size_t>(5 + 3 * k)], kResultLabelIds[static_cast<size_t>(6 + 3 * k)]};
        int x = view->x;
        for (int id : ids) {
            const MainControlPlacement* label = FindMainControl(id);
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->x, x) << id;
            EXPECT_EQ(label->y, view->y + view->height + 28 + 20 * k) << id;
            EXPECT_EQ(label->height, 20) << id;
            x += label->width;
        }
        EXPECT_EQ(x, view->x + view->width) << k;
    }
}

TEST(MainLayoutTable, StopTakesPlaysPlaceAtStartUpAndMaximised) {
    const StartupRects s = MainStartupRects({171, 40, 179, 520}, {735, 0, 900, 500});
    EXPECT_EQ(s.reviewStop, s.reviewPlay);
    const WindowLayout l = MaximisedLayout(s, MainGeometryConstants(), 1600, 860);
    EXPECT_EQ(l.reviewStop, l.reviewPlay);
}

namespace {

bool Overlap(const draw::Rect& a, const draw::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

TEST(MainLayoutTable, MaximisedNothingBesideTheImageLiesUnderItOrOutsideTheClient) {
    const StartupRects s = MainStartupRects({171, 40, 179, 520}, {735, 0, 900, 500});
    for (const draw::Point client :
         {draw::Point{1600, 860}, draw::Point{1600, 960}, draw::Point{1920, 1050}, draw::Point{1366, 740},
          draw::Point{1280, 990}, draw::Point{1280, 770}, draw::Point{1024, 740}}) {
        const WindowLayout l = MaximisedLayout(s, MainGeometryConstants(), client.x, client.y);
        const draw::Rect inside{0, 0, client.x, client.y};
        std::vector<std::pair<const char*, draw::Rect>> moved = {{"counter", l.counter},
                                                                 {"status", l.status},
                                                                 {"cine Prev", l.cinePrev},
                                                                 {"cine Next", l.cineNext},
                                                                 {"list", l.list},
                                                                 {"Del", l.del},
                                                                 {"JPEG", l.expJpeg},
                                                                 {"video", l.expVideo},
                                                                 {"Print", l.print},
                                                                 {"review Prev", l.reviewPrev},
                                                                 {"Play", l.reviewPlay},
                                                                 {"review Next", l.reviewNext},
                                                                 {"list caption", l.thumbCaption},
                                                                 {"Preview", l.preview},
                                                                 {"review time", l.reviewTime},
                                                                 {"clock", l.clock},
                                                                 {"header", l.header}};
        for (size_t k = 0; k < l.labels.size(); ++k)
            moved.push_back({"result label", l.labels[k]});
        for (const auto& [what, rect] : moved) {
            EXPECT_FALSE(Overlap(rect, l.main)) << what << " at " << client.x << "x" << client.y;
            EXPECT_EQ(rect.Intersect(inside), rect) << what << " at " << client.x << "x" << client.y;
        }
        // The result labels share no pixel with one another, nor with the list's column.
        for (size_t a = 0; a < l.labels.size(); ++a) {
            for (size_t b = a + 1; b < l.labels.size(); ++b)
                EXPECT_FALSE(Overlap(l.labels[a], l.labels[b])) << a << " and " << b;
            EXPECT_FALSE(Overlap(l.labels[a], l.list)) << a;
            EXPECT_FALSE(Overlap(l.labels[a], l.reviewPlay)) << a;
        }
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
