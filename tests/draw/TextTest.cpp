#include <gtest/gtest.h>

#include "platform/draw/Painter.h"
#include "tests/draw/PixelTestUtil.h"

using draw::Rect;
using drawtest::InkBox;

namespace {
constexpr uint32_t kBack = 0x00000E;
}

TEST(Text, StaysInsideItsRectangleAndFollowsTheAlignment) {
    const draw::Font font = draw::FontFor(draw::FontRole::PanelText);
    struct Case {
        unsigned format;
        bool nearLeft, nearRight;
    };
    for (const Case& c : {Case{draw::kTextLeft | draw::kTextVCenter, true, false},
                          Case{draw::kTextRight | draw::kTextVCenter, false, true},
                          Case{draw::kTextCenter | draw::kTextVCenter, false, false}}) {
        Image32 img(200, 60, kBack);
        const Rect rect{20, 10, 180, 50};
        draw::DrawText(img, rect, "Depth", font, 0xFFFFFF, c.format);
        const Rect ink = InkBox(img, kBack);
        ASSERT_FALSE(ink.IsEmpty());
        EXPECT_GE(ink.left, rect.left);
        EXPECT_LE(ink.right, rect.right);
        EXPECT_EQ(ink.left - rect.left < 5, c.nearLeft);
        EXPECT_EQ(rect.right - ink.right < 5, c.nearRight);
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30, 4);  // centred vertically
        for (size_t i = 0; i < img.size(); ++i)
            ASSERT_EQ(img.data()[i] >> 24, 0u);  // top byte stays clear
    }
}

TEST(Text, IsClippedToItsRectangle) {
    Image32 img(100, 40, kBack);
    draw::DrawText(img, {10, 5, 30, 35}, "A long caption that does not fit",
                   draw::FontFor(draw::FontRole::ButtonCaption), 0xFFFFFF);
    const Rect ink = InkBox(img, kBack);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 30);
}

TEST(Text, ALineThatDoesNotFitEndsInAnEllipsisWhenAsked) {
    const draw::Font font = draw::FontFor(draw::FontRole::PanelText);
    const Rect rect{10, 5, 160, 35};
    auto draw = [&](const std::string& text, unsigned format) {
        Image32 img(200, 40, kBack);
        draw::DrawText(img, rect, text, font, 0xFFFFFF, format | draw::kTextVCenter);
        return img;
    };
    const std::string name = "Name: Maximiliana Wilhelmina Josephina Hohenzollern";
    const Image32 cut = draw(name, draw::kTextLeft);
    EXPECT_FALSE(drawtest::InkEndsInEllipsis(cut, kBack));
    for (unsigned align : {draw::kTextLeft, draw::kTextRight}) {
        const Image32 ended = draw(name, align | draw::kTextEndEllipsis);
        EXPECT_TRUE(drawtest::InkEndsInEllipsis(ended, kBack)) << align;
        const Rect ink = InkBox(ended, kBack);
        EXPECT_GE(ink.left, rect.left);
        EXPECT_LE(ink.right, rect.right);
    }
    // A text that fits is drawn as it stands.
    EXPECT_EQ(draw("Name: Max", draw::kTextLeft | draw::kTextEndEllipsis),
              draw("Name: Max", draw::kTextLeft));
}

TEST(Text, WrapsAtTheRectangleWidthWhenAsked) {
    const draw::Font font = draw::FontFor(draw::FontRole::ButtonCaption);
    const draw::TextSize one = draw::MeasureText("Camera prep", font);
    const draw::TextSize wrapped = draw::MeasureText("Camera prep", font, one.width / 2 + 10);
    EXPECT_GT(wrapped.height, one.height);
    EXPECT_GT(draw::MeasureText("Contrast", draw::Font{draw::kUiFace, 12, true}).width,
              draw::MeasureText("Contrast", draw::Font{draw::kUiFace, 12, false}).width);
}

TEST(Fonts, PanelAndButtonTextsTakeTheMainWindowsPointSizesAt96Dpi) {
    struct Case {
        draw::FontRole role;
        double points;
        bool bold;
    };
    for (const Case& c :
         {Case{draw::FontRole::ButtonCaption, 18, true}, Case{draw::FontRole::ButtonSubCaption, 10, false},
          Case{draw::FontRole::RecButton, 13, true}, Case{draw::FontRole::FrequencyButton, 13, true},
          Case{draw::FontRole::RecTime, 14, false}, Case{draw::FontRole::PanelText, 12, false},
          Case{draw::FontRole::PanelLetter, 12, false}, Case{draw::FontRole::ResultLabel12, 12, false},
          Case{draw::FontRole::ResultLabel10, 10, false}}) {
        const draw::Font font = draw::FontFor(c.role);
        EXPECT_DOUBLE_EQ(font.pixelSize, c.points * 4 / 3) << static_cast<int>(c.role);
        EXPECT_EQ(font.bold, c.bold) << static_cast<int>(c.role);
    }
    // 18 point bold is 24 pixels: a capital stands about 17 pixels tall.
    Image32 img(120, 40, kBack);
    draw::DrawText(img, {0, 0, 120, 40}, "H", draw::FontFor(draw::FontRole::ButtonCaption), 0xFFFFFF,
                   draw::kTextCenter | draw::kTextVCenter);
    EXPECT_NEAR(InkBox(img, kBack).Height(), 17, 1);
}
