#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

#include "app/core/CstmPictureCtrl.h"
#include "platform/draw/Blit.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Painter.h"
#include "platform/draw/Scale.h"
#include "tests/draw/PixelTestUtil.h"

using draw::Point;
using draw::Rect;
using drawtest::InkBox;

namespace {

constexpr uint32_t kBack = 0;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGold = MakePixel(192, 160, 31);

bool HasInk(const Image32& img, const Rect& r, uint32_t background = kBack) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, img.height()); ++y) {
        for (int x = std::max(r.left, 0); x < std::min(r.right, img.width()); ++x) {
            if (img.At(x, y) != background)
                return true;
        }
    }
    return false;
}

// The drawn pixels of a region, cut to their bounding box.
Image32 InkOf(const Image32& img, const Rect& region, uint32_t background = kBack) {
    Image32 part(region.Width(), region.Height(), background);
    draw::CopyRect(img, region, part, {0, 0});
    const Rect ink = InkBox(part, background);
    if (ink.IsEmpty())
        return {};
    Image32 cut(ink.Width(), ink.Height(), background);
    draw::CopyRect(part, ink, cut, {0, 0});
    return cut;
}

// What a text looks like alone in a font and colour, cut to its ink.
Image32 TextInk(const std::string& text, draw::FontRole role, uint32_t colour) {
    Image32 img(120, 40, kBack);
    draw::DrawText(img, {0, 0, 120, 40}, text, draw::FontFor(role), colour);
    return InkOf(img, {0, 0, 120, 40});
}

}  // namespace

TEST(PictureView, DistanceMarksDrawPlusMarksPairLinesAndTheRubberBand) {
    CCstmPictureCtrl view;
    Image32 img(200, 200, kBack);
    view.m_aptDistance[0] = {40, 40};
    view.m_aptDistance[1] = {140, 40};
    view.m_aptDistance[2] = {40, 120};
    view.m_aptDistance[3] = {100, 160};  // follows the mouse
    view.m_anDistanceFlag = {1, 1, 1, 0, 0, 0, 0, 0};
    view.m_nDistanceCount = 3;
    view.DrawDistanceMarks(img);
    const uint32_t pen0 = CCstmPictureCtrl::kOverlayColours[0];
    const uint32_t pen1 = CCstmPictureCtrl::kOverlayColours[1];
    EXPECT_EQ(img.At(35, 40), pen0);  // the "+" of point 0: x - 5 ..
    EXPECT_EQ(img.At(45, 40), pen0);  // .. x + 5
    EXPECT_EQ(img.At(40, 46), kBack);
    EXPECT_EQ(img.At(90, 40), pen0);     // the line of pair 0
    EXPECT_EQ(img.At(40, 115), pen1);    // point 2 takes pen 1
    EXPECT_EQ(img.At(70, 140), pen1);    // rubber band from point 2 to point 3
    EXPECT_EQ(img.At(100, 155), kBack);  // point 3 itself has no mark yet

    view.ClearDistanceMarks();
    Image32 cleared(200, 200, kBack);
    view.DrawDistanceMarks(cleared);
    EXPECT_FALSE(HasInk(cleared, {0, 0, 200, 200}));
}

TEST(PictureView, TracePointsAreSixPixelDiscsJoinedByLines) {
    CCstmPictureCtrl view;
    Image32 img(120, 120, kBack);
    view.m_avecTrace[2] = {{20, 20}, {80, 20}, {80, 90}};
    view.m_abTraceFlag[2] = 1;
    view.m_avecTrace[3] = {{50, 100}};  // a single point
    view.m_abTraceFlag[3] = 1;
    view.m_avecTrace[1] = {{10, 10}, {30, 10}};  // flag 0: not drawn
    view.DrawTraces(img);
    const uint32_t c2 = CCstmPictureCtrl::kOverlayColours[2];
    const uint32_t c3 = CCstmPictureCtrl::kOverlayColours[3];
    EXPECT_EQ(InkBox(img, kBack), (Rect{17, 17, 83, 103}));
    EXPECT_EQ(img.At(50, 20), c2);
    EXPECT_EQ(img.At(80, 50), c2);
    EXPECT_EQ(img.At(50, 100), c3);
    EXPECT_EQ(img.At(47, 100), c3);
    EXPECT_EQ(img.At(53, 100), kBack);  // the disc's box excludes x + 3
    EXPECT_EQ(img.At(20, 10), kBack);
}

TEST(PictureView, EllipsesAreDrawnByTheirState) {
    CCstmPictureCtrl view;
    view.m_aEllipse[0].SetPoint({40, 60}, 0, 0);
    view.m_aEllipse[0].SetPoint({120, 60}, 1, 1);
    view.m_aEllipse[0].state = EllipseStateDeselected;
    view.m_aEllipse[1].SetPoint({150, 150}, 0, 0);
    view.m_aEllipse[1].state = EllipseStatePlacing;
    view.m_nEllipseFreeX = 180;
    view.m_nEllipseFreeY = 150;
    Image32 img(200, 200, kBack);
    view.DrawEllipses(img, 2);                                          // the right view's pen base
    EXPECT_EQ(img.At(40, 60), CCstmPictureCtrl::kOverlayColours[2]);    // outline with pen (2 + 0)
    EXPECT_EQ(img.At(80, 60), kBack);                                   // no handles in state 3
    EXPECT_EQ(img.At(165, 150), CCstmPictureCtrl::kOverlayColours[5]);  // axes while placing

    view.m_aEllipse[0].state = EllipseStateSelected;
    Image32 selected(200, 200, kBack);
    view.DrawEllipses(selected, 0);
    EXPECT_EQ(selected.At(80, 60), CCstmPictureCtrl::kOverlayColours[5]);  // handle lines
    EXPECT_EQ(selected.At(40, 60), CCstmPictureCtrl::kOverlayColours[0]);  // outline drawn last
}

TEST(PictureView, ObgyMarksSurviveClearingTheOrdinaryMeasurements) {
    CCstmPictureCtrl view;
    view.m_aptObgy[2] = {30, 30};
    view.m_aptObgy[3] = {90, 30};
    view.m_abObgyFlag[2] = 1;
    view.m_abObgyFlag[3] = 1;
    view.m_aptObgy[4] = {30, 80};
    view.m_abObgyFlag[4] = 2;  // measured on another image: not drawn
    view.m_vecHcTrace = {{100, 100}};
    view.m_nHcTraceShown = 1;
    view.ClearDistanceMarks();
    Image32 img(160, 160, kBack);
    view.DrawObgyOverlays(img);
    EXPECT_EQ(img.At(60, 30), CCstmPictureCtrl::kOverlayColours[1]);
    EXPECT_EQ(img.At(30, 80), kBack);
    EXPECT_EQ(img.At(100, 100), CCstmPictureCtrl::kOverlayColours[6]);

    view.ClearMark(3);
    EXPECT_EQ(view.m_abObgyFlag[3], 0);
    view.ClearTraceMarks();
    Image32 cleared(160, 160, kBack);
    view.DrawObgyOverlays(cleared);
    EXPECT_FALSE(HasInk(cleared, {0, 0, 160, 160}));
}

TEST(PictureView, DepthScaleTicksLabelsAndBoundariesAtTwoDepths) {
    struct Case {
        int tickStep, labelInterval, focusMm;
        double pixelsPerMm;
        std::vector<int> labelledTicks;  // tick indices that carry a label
        int focusTick;                   // -1: none
    };
    // 40 mm over 470 rows with 5 mm ticks labelled every centimetre; 160 mm with 10 mm ticks
    // labelled every 5 cm.
    for (const Case& c :
         {Case{5, 1, 35, 470.0 / 40, {0, 2, 4, 6, 8}, 7}, Case{10, 5, -1, 470.0 / 160, {0, 5, 10, 15}, -1}}) {
        CCstmPictureCtrl view;
        view.m_nTickStep = c.tickStep;
        view.m_nLabelInterval = c.labelInterval;
        Image32 img(240, 480, kBack);
        view.DrawDepthScale(img, c.focusMm, c.pixelsPerMm);
        const double stepPx = c.tickStep * c.pixelsPerMm;
        const int ticks = static_cast<int>(std::ceil((480 - 10) / stepPx));
        ASSERT_EQ(static_cast<int>(view.m_vecTickBoundaries.size()), ticks);
        for (int t = 0; t < ticks; ++t) {
            const double y = 10 + t * stepPx;
            const int iy = static_cast<int>(y);
            EXPECT_EQ(view.m_vecTickBoundaries[static_cast<size_t>(t)], static_cast<int>(y + stepPx / 2));
            const bool labelled =
                std::find(c.labelledTicks.begin(), c.labelledTicks.end(), t) != c.labelledTicks.end();
            const bool focus = t == c.focusTick;
            if (focus) {
                EXPECT_EQ(img.At(5, iy), kGold) << t;  // the triangle's left edge
                EXPECT_EQ(img.At(8, iy), kGold) << t;
            } else if (labelled) {
                EXPECT_EQ(img.At(5, iy), kWhite) << t;  // hollow circle
                EXPECT_EQ(img.At(8, iy), kBack) << t;
            } else {
                EXPECT_EQ(img.At(8, iy), kWhite) << t;  // small filled dot
                EXPECT_EQ(img.At(5, iy), kBack) << t;
            }
            // Labels: 0cm below the first tick, the others beside their tick.
            const Rect label = t == 0 ? Rect{9, iy + 3, 48, iy + 18} : Rect{14, iy - 5, 48, iy + 5};
            EXPECT_EQ(HasInk(img, label.Offset(t == 0 ? 4 : 0, 0)), labelled || focus) << t;
        }
        // Nothing right of the label column.
        EXPECT_FALSE(HasInk(img, {48, 0, 240, 480}));
    }
}

TEST(PictureView, DepthScaleLabelsReadTheDepthOfTheirTick) {
    struct Label {
        int tick;
        std::string text;
        bool focus;
    };
    struct Case {
        int tickStep, labelInterval, focusMm;
        double pixelsPerMm;
        std::vector<Label> labels;
    };
    // Half-centimetre ticks read with one decimal, whole-centimetre ticks as whole numbers;
    // the top tick always reads "0cm"; the focus depth's label is bold and gold.
    for (const Case& c :
         {Case{
              5,
              1,
              35,
              470.0 / 40,
              {{0, "0cm", false}, {2, "1.0", false}, {4, "2.0", false}, {6, "3.0", false}, {7, "3.5", true}}},
          Case{10,
               5,
               120,
               470.0 / 160,
               {{0, "0cm", false},
                {5, "5", false},
                {10, "10", false},
                {12, "12", true},
                {15, "15", false}}}}) {
        CCstmPictureCtrl view;
        view.m_nTickStep = c.tickStep;
        view.m_nLabelInterval = c.labelInterval;
        Image32 img(240, 480, kBack);
        view.DrawDepthScale(img, c.focusMm, c.pixelsPerMm);
        for (const Label& l : c.labels) {
            const int iy = static_cast<int>(10 + l.tick * c.tickStep * c.pixelsPerMm);
            // The label's own place: below the top tick's mark, else right of its mark.
            const Rect place = l.tick == 0 ? Rect{9, iy + 3, 48, iy + 18} : Rect{12, iy - 12, 48, iy + 12};
            const Image32 shown = InkOf(img, place);
            const Image32 expected =
                TextInk(l.text, l.focus ? draw::FontRole::DepthScaleFocus : draw::FontRole::DepthScaleLabel,
                        l.focus ? kGold : kWhite);
            ASSERT_FALSE(expected.empty());
            EXPECT_TRUE(shown == expected) << "tick " << l.tick << " should read " << l.text << " ("
                                           << shown.width() << "x" << shown.height() << " drawn, "
                                           << expected.width() << "x" << expected.height() << " expected)";
        }
    }
}

TEST(PictureView, FocusLabelIsGoldAndBoundariesAreRebuiltOnlyOnChange) {
    CCstmPictureCtrl view;
    view.m_nTickStep = 5;
    view.m_nLabelInterval = 1;
    Image32 img(240, 480, kBack);
    const double ppm = 470.0 / 40;
    view.DrawDepthScale(img, 35, ppm);
    const int iy = static_cast<int>(10 + 7 * 5 * ppm);
    int gold = 0;
    for (int y = iy - 12; y < iy + 12; ++y) {
        for (int x = 14; x < 48; ++x)
            gold += img.At(x, y) == kGold;
    }
    EXPECT_GT(gold, 10);  // "3.5" in gold

    view.m_vecTickBoundaries.push_back(-1);  // a marker: an unchanged scale keeps the list
    view.DrawDepthScale(img, 35, ppm);
    EXPECT_EQ(view.m_vecTickBoundaries.back(), -1);
    view.m_nTickStep = 10;
    view.DrawDepthScale(img, 35, ppm);
    EXPECT_NE(view.m_vecTickBoundaries.back(), -1);

    // A scale without extent draws nothing instead of looping for ever.
    Image32 empty(240, 480, kBack);
    view.DrawDepthScale(empty, 35, 0.0);
    EXPECT_FALSE(HasInk(empty, {0, 0, 240, 480}));
}

TEST(PictureView, BodyMarkMarkerCornersFollowTheAngle) {
    CCstmPictureCtrl view;
    view.SetProbeMarker(Image32(64, 64, CCstmPictureCtrl::kMarkerKey));
    // r = sqrt(8² + 8²), centre (14, 14) inside the rectangle (428, 416).
    const auto at10 = view.MarkerCorners();
    EXPECT_EQ(at10[0], (Point{428 + 7, 416 + 4}));
    EXPECT_EQ(at10[1], (Point{428 + 23, 416 + 7}));
    EXPECT_EQ(at10[2], (Point{428 + 4, 416 + 20}));

    view.m_dBodyMarkAngle = 135.0;  // θ = 0: the marker stands upright
    const auto upright = view.MarkerCorners();
    EXPECT_EQ(upright[0], (Point{428 + 25, 416 + 14}));
    EXPECT_EQ(upright[1], (Point{428 + 14, 416 + 25}));
    EXPECT_EQ(upright[2], (Point{428 + 13, 416 + 2}));  // 13.999... truncates toward zero

    view.m_dBodyMarkAngle = 180.0;
    const auto at180 = view.MarkerCorners();
    view.m_dBodyMarkAngle = 179.0;
    EXPECT_EQ(at180, view.MarkerCorners());
}

TEST(PictureView, BodyMarkDrawsThePictureAndTheMarkerThroughItsMask) {
    CCstmPictureCtrl view;
    view.SetBodyPicture(1, Image32(302, 271, MakePixel(40, 40, 40)));
    Image32 marker(64, 64, CCstmPictureCtrl::kMarkerKey);
    for (int y = 0; y < 64; ++y) {
        for (int x = 24; x < 40; ++x)
            marker.At(x, y) = MakePixel(0, 200, 255);
    }
    view.SetProbeMarker(marker);
    Image32 img(480, 480, kBack);
    view.DrawBodyMark(img);
    EXPECT_EQ(InkBox(img, kBack), (Rect{428, 416, 480, 477}));  // the picture, clipped at the right
    EXPECT_EQ(img.At(430, 418), MakePixel(40, 40, 40));
    EXPECT_EQ(img.At(428 + 14, 416 + 14), MakePixel(0, 200, 255));  // the marker's middle column

    view.m_nBodyMark = CCstmPictureCtrl::kBodyMarkNone;
    Image32 none(480, 480, kBack);
    view.DrawBodyMark(none);
    EXPECT_FALSE(HasInk(none, {0, 0, 480, 480}));
}

TEST(PictureView, IndicatorHitTestIsStrictlyInside) {
    CCstmPictureCtrl view;
    Image32 img(240, 480, kBack);
    view.DrawActiveIndicator(img, false, true);
    EXPECT_EQ(view.m_rcIndicator, (Rect{210, 0, 240, 30}));
    EXPECT_EQ(img.At(225, 15), MakePixel(103, 228, 126));
    EXPECT_EQ(img.At(225, 0), MakePixel(0, 192, 0));
    struct Case {
        int x, y;
        bool hit;
    };
    for (const Case& c : {Case{225, 15, true}, Case{211, 1, true}, Case{210, 15, false}, Case{225, 0, false},
                          Case{240, 15, false}, Case{225, 30, false}, Case{239, 29, true}}) {
        EXPECT_EQ(view.HitTestIndicator(c.x, c.y), c.hit) << c.x << "," << c.y;
    }
    view.DrawActiveIndicator(img, true, false);
    EXPECT_EQ(img.At(15, 15), MakePixel(207, 226, 212));
    EXPECT_FALSE(view.HitTestIndicator(225, 15));
}

TEST(PictureView, MagnifierSamplesAndInsetFollowZoomAndViewScale) {
    struct Case {
        double zoom, viewScale;
        Point centre;
        int client;
        Rect sampled, inset;
    };
    for (const Case& c : {
             // Start-up size, zoom 2 at the upper left: a 200-pixel inset at the lower right
             // sampling a 100-pixel square.
             Case{2.0, 1.0, {20, 30}, 480, {0, 0, 100, 100}, {279, 279, 479, 479}},
             // Zoom 0.7: a 300-pixel inset sampling 428 pixels, pushed back inside.
             Case{0.7, 1.0, {400, 400}, 480, {51, 51, 479, 479}, {0, 0, 300, 300}},
             // Maximised with a growth of 121 pixels (view scale 0.8): a 250-pixel inset.
             Case{2.0, 484.0 / 605.0, {500, 100}, 605, {438, 38, 562, 162}, {0, 354, 250, 604}},
         }) {
        CCstmPictureCtrl view;
        view.m_dZoom = c.zoom;
        view.m_dViewScale = c.viewScale;
        view.m_nMagnifierX = c.centre.x;
        view.m_nMagnifierY = c.centre.y;
        const auto m = view.Magnifier(c.client, c.client);
        EXPECT_TRUE(m.shown);
        EXPECT_EQ(m.inset, c.inset);
        EXPECT_EQ(m.sampled.Width(), c.sampled.Width());
        EXPECT_EQ(m.sampled.left, c.sampled.left);
        EXPECT_EQ(m.sampled.top, c.sampled.top);
        const double v = c.viewScale;
        EXPECT_EQ(m.source, draw::RectOfSize(static_cast<int>(m.sampled.left * v + 1),
                                             static_cast<int>(m.sampled.top * v + 1),
                                             static_cast<int>(m.sampled.Width() * v - 2),
                                             static_cast<int>(m.sampled.Height() * v - 2)));
    }
    CCstmPictureCtrl off;
    off.m_dZoom = 2.0;
    EXPECT_FALSE(off.Magnifier(480, 480).shown);  // no centre: no magnifier
    off.m_nMagnifierX = 50;
    off.m_dZoom = 1.0;
    EXPECT_FALSE(off.Magnifier(480, 480).shown);
}

TEST(PictureView, RenderShowsTheBufferScaledAndTheMagnifierFramed) {
    CCstmPictureCtrl view;
    view.AttachBackBuffer(240, 480);
    view.BackBuffer().Fill(GreyPixel(90));
    const Image32 plain = view.RenderClient(480, 960);
    EXPECT_EQ(plain.At(300, 700), GreyPixel(90));

    view.m_dZoom = 2.0;
    view.m_nMagnifierX = 20;
    view.m_nMagnifierY = 20;
    const Image32 out = view.RenderClient(240, 480);
    const auto m = view.Magnifier(240, 480);
    EXPECT_EQ(out.At(m.inset.left, m.inset.top + 5), MakePixel(0, 255, 0));
    EXPECT_EQ(out.At(m.inset.left + 5, m.inset.top + 5), GreyPixel(90));
    EXPECT_EQ(out.At(m.sampled.left + 5, m.sampled.bottom - 1), MakePixel(192, 192, 192));
}

TEST(PictureView, RenderAtTheBufferSizeIsTheFilteredRenderExactly) {
    CCstmPictureCtrl view;
    view.AttachBackBuffer(480, 480);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x)
            view.BackBuffer().At(x, y) = MakePixel(static_cast<uint8_t>(x * 7 + y),
                                                   static_cast<uint8_t>(y * 3), static_cast<uint8_t>(x ^ y));
    }
    Image32 filtered(480, 480);
    draw::StretchHalftone(view.BackBuffer(), {0, 0, 480, 480}, filtered, {0, 0, 480, 480});
    EXPECT_EQ(view.RenderClient(480, 480), filtered);
}

TEST(PictureView, ReleasingTwiceIsSafe) {
    CCstmPictureCtrl view;
    view.AttachBackBuffer(480, 480);
    view.SetBodyPicture(0, Image32(302, 271, 1));
    view.SetProbeMarker(Image32(64, 64, 1));
    view.ReleaseResources();
    view.ReleaseResources();
    EXPECT_TRUE(view.BackBuffer().empty());
    Image32 img(480, 480, kBack);
    view.m_nBodyMark = 0;
    view.DrawBodyMark(img);  // nothing left to draw, nothing freed twice
    EXPECT_FALSE(HasInk(img, {0, 0, 480, 480}));
    EXPECT_TRUE(view.RenderClient(100, 100).size() == 100u * 100u);
}

TEST(PictureView, APaintAtTheBufferSizeTakesTheBufferItselfWithoutACopy) {
    CCstmPictureCtrl view;
    view.AttachBackBuffer(240, 480);
    view.BackBuffer().Fill(GreyPixel(90));
    Image32 scratch;
    EXPECT_EQ(&view.ClientImage(240, 480, scratch), &view.BackBuffer());
    EXPECT_TRUE(scratch.empty());

    // Scaled, or with the magnifier over it, the picture goes into the scratch, reusing its
    // storage, and the buffer stays as drawn.
    const Image32& scaled = view.ClientImage(480, 960, scratch);
    EXPECT_EQ(&scaled, &scratch);
    EXPECT_EQ(scaled, view.RenderClient(480, 960));
    const uint32_t* storage = scratch.data();
    view.m_dZoom = 2.0;
    view.m_nMagnifierX = 20;
    view.m_nMagnifierY = 20;
    const Image32& magnified = view.ClientImage(240, 480, scratch);
    EXPECT_EQ(&magnified, &scratch);
    EXPECT_EQ(scratch.data(), storage);
    EXPECT_EQ(magnified, view.RenderClient(240, 480));
    EXPECT_EQ(view.BackBuffer(), Image32(240, 480, GreyPixel(90)));
}
