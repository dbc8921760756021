// Headless checks of the control kit's looks and rules.
#include <gtest/gtest.h>

#include <wx/defs.h>
#include "app/ButtonLook.h"
#include "app/DialogFrame.h"
#include "app/EditValidation.h"
#include "app/GradationCtrl.h"
#include "app/core/IntervalWindow.h"
#include "app/core/LabelColours.h"
#include "app/LoupeComposer.h"
#include "app/WxMessageBox.h"
#include "tests/draw/PixelTestUtil.h"

TEST(ButtonLook, ColoursByKindStatePressAndFocus) {
    ButtonPalette p;
    struct Case {
        int kind, state;
        bool enabled, pressed, focused;
        ButtonColours expected;
    };
    const Colorref white = Rgb(255, 255, 255);
    const Colorref green = Rgb(0, 255, 0);
    const Colorref grey = Rgb(128, 128, 128);
    for (const Case& c : {
             Case{1, 5, true, false, false, {Rgb(0, 0, 14), white, Rgb(31, 116, 192)}},
             Case{8, 5, true, false, false, {Rgb(0, 50, 94), white, white}},
             Case{2, 2, true, false, false, {Rgb(59, 59, 59), white, white}},
             Case{13, 5, true, false, false, {Rgb(192, 31, 31), white, white}},
             Case{14, 5, true, false, false, {Rgb(31, 116, 192), white, white}},
             Case{15, 5, true, false, false, {Rgb(0, 0, 14), white, white}},
             Case{99, 5, true, false, false, {Rgb(0, 0, 14), white, Rgb(31, 116, 192)}},
             Case{13, 6, true, false, false, {Rgb(0, 50, 94), green, white}},  // state 6 wins over kind
             Case{14, 7, true, false, false, {Rgb(31, 116, 192), Rgb(255, 0, 0), white}},
             Case{14, 7, true, true, false, {Rgb(0, 0, 14), green, white}},     // pressed: no state
             Case{13, 6, false, true, true, {grey, grey, Rgb(169, 169, 169)}},  // disabled ignores all
         }) {
        EXPECT_EQ(PickButtonColours(p, c.kind, c.state, c.enabled, c.pressed, c.focused), c.expected)
            << c.kind << " " << c.state;
    }
    EXPECT_EQ(PickButtonColours(p, 1, 7, true, false, true).border, Rgb(255, 0, 0));  // no focus border set
    p.focusBorder = static_cast<int>(Rgb(192, 160, 31).value);
    EXPECT_EQ(PickButtonColours(p, 1, 7, true, false, true).border, Rgb(192, 160, 31));
    EXPECT_EQ(PickCheckBoxColours(p, true, false, false).face, Rgb(192, 31, 31));
    EXPECT_EQ(PickCheckBoxColours(p, false, true, false).face, Rgb(192, 31, 31));
    EXPECT_EQ(PickCheckBoxColours(p, false, false, true),
              (ButtonColours{Rgb(192, 160, 31), Rgb(192, 160, 31), Rgb(255, 255, 255)}));
}

TEST(ButtonLook, PaintsFaceBorderAndCaptionWhereTheShapeSays) {
    const ButtonColours c{Rgb(0, 50, 94), Rgb(255, 255, 255), Rgb(255, 255, 255)};
    const uint32_t back = MakePixel(1, 2, 3);
    ButtonContent content;
    content.caption = "BB";
    Image32 rect(120, 60, 0);
    PaintButton(rect, {0, 0, 120, 60}, back, c, content);
    EXPECT_EQ(rect.At(60, 1), MakePixel(0, 50, 94));  // face inside the 1-pixel border
    EXPECT_EQ(rect.At(60, 0), MakePixel(255, 255, 255));
    EXPECT_EQ(rect.At(0, 30), MakePixel(255, 255, 255));
    const draw::Rect ink = drawtest::InkBox(rect, MakePixel(0, 50, 94));
    EXPECT_FALSE(ink.IsEmpty());

    content.shape = ButtonShapeCircle;
    Image32 circle(120, 60, 0);
    PaintButton(circle, {0, 0, 120, 60}, back, c, content);
    EXPECT_EQ(circle.At(5, 30), back);  // outside the circle of the item's height
    EXPECT_EQ(circle.At(59, 1), MakePixel(255, 255, 255));
    EXPECT_EQ(circle.At(60, 10), MakePixel(0, 50, 94));
}

TEST(ButtonLook, ACaptionMakesRoomOnTheSideOfItsOneSubCaption) {
    // The STC button's "automatic" is the second sub-caption, drawn at the top: the caption
    // must move down for it, as it moves up for a first sub-caption at the bottom.
    const uint32_t face = MakePixel(0, 0, 14);
    const ButtonColours colours{Rgb(0, 0, 14), Rgb(0, 0, 14), Rgb(255, 255, 255)};
    const draw::Rect item{0, 0, 147, 60};
    for (const bool second : {true, false}) {
        SCOPED_TRACE(second ? "second sub-caption" : "first sub-caption");
        ButtonContent both;
        both.caption = "STC";
        (second ? both.subText2 : both.subText1) = "automatic";
        both.subTextColour = Rgb(0, 0, 14);  // caption ink only
        Image32 caption(147, 60, 0);
        PaintButton(caption, item, face, colours, both);
        ButtonContent subOnly = both;
        subOnly.caption.clear();
        subOnly.subTextColour = Rgb(255, 255, 255);  // sub-caption ink only
        Image32 sub(147, 60, 0);
        PaintButton(sub, item, face, colours, subOnly);
        const draw::Rect a = drawtest::InkBox(caption, face);
        const draw::Rect b = drawtest::InkBox(sub, face);
        ASSERT_FALSE(a.IsEmpty());
        ASSERT_FALSE(b.IsEmpty());
        EXPECT_TRUE(a.bottom <= b.top || b.bottom <= a.top)
            << "caption rows " << a.top << ".." << a.bottom << ", sub-caption rows " << b.top << ".." << b.bottom;
    }
}

TEST(ButtonLook, ContrastOfSmallCaptionsOnTheNavyFace) {
    const Colorref navy = ButtonPalette{}.faceNormal;
    EXPECT_NEAR(ContrastRatio(Rgb(255, 255, 255), Rgb(0, 0, 0)), 21.0, 1e-9);
    EXPECT_DOUBLE_EQ(ContrastRatio(navy, Rgb(31, 116, 192)), ContrastRatio(Rgb(31, 116, 192), navy));
    EXPECT_NEAR(ContrastRatio(ButtonPalette{}.textNormal, navy), 4.29, 0.01);  // too little for small text
    EXPECT_GE(ContrastRatio(kSmallTextNormal, navy), 4.5);
    // The nearest shade: one step less green falls short again.
    EXPECT_LT(ContrastRatio(Rgb(kSmallTextNormal.r(), kSmallTextNormal.g() - 1, kSmallTextNormal.b()), navy),
              4.5);
}

TEST(EditValidation, CasesOfTheNumericEdit) {
    struct Case {
        const char* text;
        int last;
        bool replace;
        const char* result;
        bool balloon;
        int newLast;
    };
    for (const Case& c : {
             Case{"007", 5, true, "7", false, 7},
             Case{"7201", 5, true, "7200", true, 5},
             Case{"12a", 5, true, "5", true, 5},
             Case{"", 5, false, "", false, 5},
             Case{"0", 5, true, "1", true, 5},  // a lone zero: below the minimum, settled at once
             Case{"000", 5, true, "1", true, 5},
             Case{"99999999999999999999", 5, true, "7200", true, 5},  // no overflow
             Case{"2147483648", 5, true, "7200", true, 5},
             Case{"-3", 5, true, "5", true, 5},
             Case{"7200", 5, false, "7200", false, 7200},
         }) {
        const EditCheck r = CheckEditText(c.text, 1, 7200, c.last);
        EXPECT_EQ(r.replace, c.replace) << c.text;
        if (c.replace) {
            EXPECT_EQ(r.text, c.result) << c.text;
        }
        EXPECT_EQ(r.balloon, c.balloon) << c.text;
        EXPECT_EQ(r.lastAccepted, c.newLast) << c.text;
        // The replacement is final: checking it again changes nothing.
        if (c.replace) {
            EXPECT_FALSE(CheckEditText(r.text, 1, 7200, r.lastAccepted).replace) << c.text;
        }
    }
    // With zero allowed, a lone "0" is simply accepted.
    const EditCheck zero = CheckEditText("0", 0, 10, 4);
    EXPECT_FALSE(zero.replace);
    EXPECT_EQ(zero.lastAccepted, 0);
}

TEST(LabelColours, HighlightAddsPerChannelAndSaturates) {
    EXPECT_EQ(MeasureLabelHighlight(Colorref{0x0E0000}), Rgb(20, 25, 44));
    EXPECT_EQ(MeasureLabelHighlight(Rgb(250, 240, 230)), Rgb(255, 255, 255));
    EXPECT_EQ(MeasureLabelHighlight(Rgb(240, 10, 250)), Rgb(255, 35, 255));
}

TEST(GradationBar, RowsShowTheTableFromTopToBottom) {
    EXPECT_EQ(CGradationCtrl::EntryForRow(0, 363), 254);
    EXPECT_LE(CGradationCtrl::EntryForRow(362, 363), 1);
    for (int y = 1; y < 363; ++y)
        EXPECT_LE(CGradationCtrl::EntryForRow(y, 363), CGradationCtrl::EntryForRow(y - 1, 363));
}

TEST(IntervalWindow, ResetFillsTheWindowWithZeros) {
    CIntervalWindow w;
    w.m_nSize = 16;
    w.m_nCount = 5;
    w.m_dwPrevTime = 1234;
    w.m_dSum = 99.0;
    w.m_lstIntervals = {7, 8};
    w.Reset();
    EXPECT_EQ(w.m_lstIntervals.size(), 16u);
    for (int v : w.m_lstIntervals)
        EXPECT_EQ(v, 0);
    EXPECT_EQ(w.m_nCount, 0u);
    EXPECT_EQ(w.m_dwPrevTime, 0u);
    EXPECT_EQ(w.m_dSum, 0.0);
}

TEST(DialogFrame, RaisedEdgesThenTheFace) {
    Image32 img(10, 8, 0x000000);
    DrawDialogFrame(img);
    const DialogFrameColours c;
    EXPECT_EQ(img.At(4, 0), c.outerLight);
    EXPECT_EQ(img.At(0, 4), c.outerLight);
    EXPECT_EQ(img.At(4, 7), c.outerDark);
    EXPECT_EQ(img.At(9, 4), c.outerDark);
    EXPECT_EQ(img.At(9, 0), c.outerDark);  // the dark edge takes the far corners
    EXPECT_EQ(img.At(4, 1), c.innerLight);
    EXPECT_EQ(img.At(8, 4), c.innerDark);
    EXPECT_EQ(img.At(2, 4), c.face);
    EXPECT_EQ(img.At(3, 3), 0x000000u);  // the client is left alone
    EXPECT_EQ(img.At(6, 4), 0x000000u);
}

TEST(LoupeComposer, AreaOffTheScreenEdgeShowsTheBackground) {
    LoupeComposer composer;
    composer.AddSource({[] {
                            return draw::Rect{0, 0, 40, 40};
                        },
                        [](int w, int h) { return Image32(w, h, MakePixel(9, 9, 9)); }});
    const Image32 out = composer.Compose({-10, -20, 20, 10}, MakePixel(0, 0, 14));
    EXPECT_EQ(out.At(0, 0), MakePixel(0, 0, 14));
    EXPECT_EQ(out.At(9, 25), MakePixel(0, 0, 14));
    EXPECT_EQ(out.At(10, 20), MakePixel(9, 9, 9));
    EXPECT_EQ(out.At(29, 29), MakePixel(9, 9, 9));
}

TEST(MessageDialog, StylesAndAnswers) {
    using platform::MsgButtons;
    using platform::MsgIcon;
    EXPECT_EQ(MessageDialogStyle(MsgIcon::Error, MsgButtons::Ok), wxOK | wxICON_ERROR);
    EXPECT_EQ(MessageDialogStyle(MsgIcon::Exclamation, MsgButtons::OkCancel),
              wxOK | wxCANCEL | wxICON_WARNING);
    EXPECT_EQ(MessageDialogStyle(MsgIcon::None, MsgButtons::YesNo), wxYES_NO | wxICON_NONE);
    EXPECT_EQ(AnswerFromDialogResult(wxID_CANCEL), platform::MsgAnswer::Cancel);
    EXPECT_EQ(AnswerFromDialogResult(wxID_NO), platform::MsgAnswer::No);
    EXPECT_EQ(AnswerFromDialogResult(wxID_OK), platform::MsgAnswer::Ok);
}
