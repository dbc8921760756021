#include "archive/StillLabels.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/draw/Painter.h"

namespace {

using archive::LabelDisplayMode;
using archive::LabelTool;
using archive::PlacedLabel;
using archive::ResultLabels;
using Mode = LabelDisplayMode;
using Tool = LabelTool;

// Row label k reads "Rk", column k's labels "Ck1".."Ck3"; all visible unless hidden.
ResultLabels Labels(bool visible = true) {
    ResultLabels l;
    for (int k = 0; k < 4; ++k) {
        l.row[static_cast<size_t>(k)] = {"R" + std::to_string(k + 1), visible};
        for (int r = 0; r < 3; ++r)
            l.column[static_cast<size_t>(k)][static_cast<size_t>(r)] = {
                "C" + std::to_string(k + 1) + std::to_string(r + 1), visible};
    }
    return l;
}

std::string Describe(const std::vector<PlacedLabel>& placed) {
    std::string s;
    for (const PlacedLabel& p : placed)
        s += p.text + "@" + std::to_string(p.rect.left) + "," + std::to_string(p.rect.top) + "," +
             std::to_string(p.rect.right) + "," + std::to_string(p.rect.bottom) + "/" +
             std::to_string(p.colour) + " ";
    return s;
}

TEST(StillLabelLayout, ToolByModeByVisibility) {
    struct Case {
        Tool tool;
        Mode mode;
        bool visible;
        std::string expected;
    };
    const Case cases[] = {
        {Tool::Distance, Mode::B, true,
         "R1@60,450,160,480/0 R2@160,450,260,480/1 R3@260,450,360,480/2 R4@360,450,460,480/3 "},
        {Tool::Distance, Mode::BB, true,
         "R1@60,450,160,480/0 R2@160,450,260,480/1 R3@260,450,360,480/2 R4@360,450,460,480/3 "},
        {Tool::Distance, Mode::BM, true,
         "R1@60,436,160,456/0 R2@60,456,160,476/1 R3@160,436,260,456/2 R4@160,456,260,476/3 "
         "C11@260,396,480,416/0 C21@260,416,480,436/1 C31@260,436,480,456/2 C41@260,456,480,476/3 "},
        {Tool::Distance, Mode::B, false, ""},
        {Tool::Area, Mode::B, true,
         "R1@25,436,160,456/0 C11@25,456,160,476/0 R2@130,436,265,456/1 C21@130,456,265,476/1 "
         "R3@235,436,370,456/2 C31@235,456,370,476/2 R4@340,436,475,456/3 C41@340,456,475,476/3 "},
        {Tool::Area, Mode::BM, true,
         "R1@55,436,160,456/0 C11@55,456,160,476/0 R2@160,436,265,456/1 C21@160,456,265,476/1 "
         "R3@265,436,370,456/2 C31@265,456,370,476/2 R4@370,436,475,456/3 C41@370,456,475,476/3 "},
        {Tool::Area, Mode::BB, false, ""},
        // The ellipse tool draws its values shown or hidden.
        {Tool::Ellipse, Mode::BB, false,
         "R1@55,436,160,456/0 C11@55,456,160,476/0 R2@160,436,265,456/1 C21@160,456,265,476/1 "
         "R3@265,436,370,456/2 C31@265,456,370,476/2 R4@370,436,475,456/3 C41@370,456,475,476/3 "},
        {Tool::None, Mode::B, true, ""},
        {Tool::Other, Mode::BM, true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(archive::StillLabelLayout(c.tool, c.mode, Labels(c.visible))), c.expected)
            << static_cast<int>(c.tool) << " " << static_cast<int>(c.mode) << " " << c.visible;
    }
}

TEST(StillLabelLayout, EachLabelNeedsItsOwnTextButAreaPairsFollowTheRowLabel) {
    ResultLabels l = Labels();
    l.row[1].text.clear();
    l.column[2][0].visible = false;
    EXPECT_EQ(Describe(archive::StillLabelLayout(Tool::Distance, Mode::BM, l)),
              "R1@60,436,160,456/0 R3@160,436,260,456/2 R4@160,456,260,476/3 "
              "C11@260,396,480,416/0 C21@260,416,480,436/1 C41@260,456,480,476/3 ");
    // An area pair goes with its row label: the hidden column head is drawn beside it.
    EXPECT_EQ(archive::StillLabelLayout(Tool::Area, Mode::B, l).size(), 6u);
}

TEST(ReportLabelLayout, ToolByModeByVisibility) {
    struct Case {
        Tool tool;
        Mode mode;
        bool visible;
        std::string expected;
    };
    const Case cases[] = {
        {Tool::Distance, Mode::BB, true,
         "R1@60,450,160,480/0 R2@160,450,260,480/1 R3@260,450,360,480/2 R4@360,450,460,480/3 "},
        {Tool::Distance, Mode::BM, true,
         "R1@60,420,160,450/0 R2@60,450,160,480/1 R3@160,420,260,450/2 R4@160,450,260,480/3 "
         "C11@250,360,360,378/0 C12@250,378,360,396/0 C13@250,396,360,414/0 "
         "C21@250,420,360,438/1 C22@250,438,360,456/1 C23@250,456,360,474/1 "
         "C31@370,360,480,378/2 C32@370,378,480,396/2 C33@370,396,480,414/2 "
         "C41@370,420,480,438/3 C42@370,438,480,456/3 C43@370,456,480,474/3 "},
        {Tool::Area, Mode::B, true,
         "R1@55,420,160,450/0 C11@55,450,160,480/0 R2@160,420,265,450/1 C21@160,450,265,480/1 "
         "R3@265,420,370,450/2 C31@265,450,370,480/2 R4@370,420,475,450/3 C41@370,450,475,480/3 "},
        {Tool::Area, Mode::BM, false, ""},
        {Tool::Ellipse, Mode::B, true, ""},
        {Tool::Distance, Mode::B, false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(archive::ReportLabelLayout(c.tool, c.mode, Labels(c.visible))), c.expected)
            << static_cast<int>(c.tool) << " " << static_cast<int>(c.mode) << " " << c.visible;
    }
}

TEST(StillLabelLayout, EveryTextOfItsKindFitsItsRectangleAndMeetsNoOther) {
    // The longest text of each kind at the labels' font: distance pairs write a length (below
    // 10 m) into row label k and, in BM, the strip's M-mode reading (240 strip columns at one a
    // second at most) into the head of column k; traces and ellipses a perimeter and an area.
    struct Kinds {
        Tool tool;
        std::vector<std::string> row, head;
    };
    const Kinds kinds[] = {
        {Tool::Distance, {"9999.9 mm", "Dist:-----"}, {"999.9 mm/240.00 s", "------"}},
        {Tool::Area, {"9999.9 mm", "Circum:----"}, {"999.9 cm2", "Area:-----"}},
        {Tool::Ellipse, {"9999.9 mm", "Circum:----"}, {"999.9 cm2", "Area:-----"}},
    };
    const draw::Font font = draw::FontFor(draw::FontRole::ResultLabel12);
    for (const Kinds& kind : kinds) {
        for (Mode mode : {Mode::B, Mode::BB, Mode::BM}) {
            for (const std::string& row : kind.row) {
                for (const std::string& head : kind.head) {
                    ResultLabels l;
                    for (size_t k = 0; k < 4; ++k) {
                        l.row[k] = {row, true};
                        l.column[k][0] = {head, true};
                    }
                    std::vector<draw::Rect> ink;
                    for (const PlacedLabel& p : archive::StillLabelLayout(kind.tool, mode, l)) {
                        const draw::TextSize size = draw::MeasureText(p.text, font);
                        const std::string what = "tool " + std::to_string(static_cast<int>(kind.tool)) +
                                                 " mode " + std::to_string(static_cast<int>(mode)) + ": \"" +
                                                 p.text + "\" at " + std::to_string(p.rect.left) + "," +
                                                 std::to_string(p.rect.top);
                        EXPECT_LE(size.width, p.rect.Width()) << what;
                        EXPECT_EQ(p.rect.Intersect({0, 0, 480, 480}), p.rect) << what;
                        // The ink of one label never runs into another's.
                        const draw::Rect drawn{p.rect.left, p.rect.top, p.rect.left + size.width,
                                               p.rect.top + std::min(size.height, p.rect.Height())};
                        for (const draw::Rect& other : ink)
                            EXPECT_TRUE(drawn.Intersect(other).IsEmpty()) << what;
                        ink.push_back(drawn);
                    }
                }
            }
        }
    }
}

TEST(DrawStillLabels, TextStaysInsideItsRectangleInItsColour) {
    Image32 image(480, 480, 0);
    archive::DrawStillLabels(image, {{{60, 450, 100, 480}, "123.4 mm long text", 1}});
    bool drawn = false;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x) {
            const uint32_t p = image.At(x, y);
            if (p == 0)
                continue;
            ASSERT_TRUE(x >= 60 && x < 100 && y >= 450) << x << "," << y;
            ASSERT_EQ(PixelR(p), 0);
            ASSERT_EQ(PixelB(p), 0);
            drawn = drawn || p == MakePixel(0, 255, 0);
        }
    }
    EXPECT_TRUE(drawn);
}

}  // namespace
