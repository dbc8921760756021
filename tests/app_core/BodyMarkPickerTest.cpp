// The body-mark picker's model: turns, keys, drag, held turn buttons, the marker's
// parallelogram, the preview render, and the position carried between picker and views.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/core/BodyMarkPreview.h"
#include "app/core/BodyMarkTransfer.h"
#include "app/core/CstmPictureCtrl.h"
#include "app/core/VirtualKeys.h"

using Key = CBodyMarkPicker::KeyResult;

TEST(BodyMarkPicker, TurnsWrapWithinAFullCircle) {
    struct Case {
        double from;
        bool right;
        double to;
    } cases[] = {{355, true, 0}, {0, false, 355}, {10, true, 15},
                 {357, true, 2}, {3, false, 358}, {180, true, 185}};
    for (const Case& c : cases) {
        CBodyMarkPicker p;
        p.m_dMarkAngle = c.from;
        c.right ? p.RotateRight() : p.RotateLeft();
        EXPECT_EQ(p.m_dMarkAngle, c.to) << c.from << (c.right ? " R" : " L");
    }
}

TEST(BodyMarkPicker, AngleOf180IsDrawnAs179) {
    CBodyMarkPicker p;
    p.m_nMarkX = 100;
    p.m_nMarkY = 100;
    p.m_dMarkAngle = 179;
    const auto at179 = p.MarkerCorners();
    p.m_dMarkAngle = 180;
    EXPECT_EQ(p.MarkerCorners(), at179);
    // At 0 degrees the parallelogram is the upright square of side 44 around the centre
    // (mark + 11.03), each corner truncated.
    p.m_dMarkAngle = 0;
    const auto c = p.MarkerCorners();
    EXPECT_EQ(c[0], (draw::Point{88, 88}));
    EXPECT_EQ(c[1], (draw::Point{133, 88}));
    EXPECT_EQ(c[2], (draw::Point{88, 133}));
}

TEST(BodyMarkPicker, KeyTable) {
    struct Case {
        int x, y;
        int key;
        bool ctrl;
        int wantX, wantY;
        double wantAngle;
        int wantMark;
        Key result;
    } cases[] = {
        {287, 256, vk::kRight, false, 287, 256, 10, 1, Key::Changed},  // the limits
        {287, 256, vk::kDown, false, 287, 256, 10, 1, Key::Changed},
        {286, 255, vk::kRight, false, 287, 255, 10, 1, Key::Changed},
        {286, 255, vk::kDown, false, 286, 256, 10, 1, Key::Changed},
        {0, 0, vk::kLeft, false, 0, 0, 10, 1, Key::Changed},
        {0, 0, vk::kUp, false, 0, 0, 10, 1, Key::Changed},
        {5, 5, vk::kLeft, false, 4, 5, 10, 1, Key::Changed},
        {5, 5, vk::kUp, false, 5, 4, 10, 1, Key::Changed},
        {5, 5, vk::kLeft, true, 5, 5, 5, 1, Key::Changed},  // Ctrl turns instead of moving
        {5, 5, vk::kRight, true, 5, 5, 15, 1, Key::Changed},
        {5, 5, vk::kUp, true, 5, 5, 15, 1, Key::Changed},
        {5, 5, vk::kDown, true, 5, 5, 5, 1, Key::Changed},
        {5, 5, vk::kR, false, 5, 5, 15, 1, Key::Changed},
        {5, 5, 'L', true, 5, 5, 5, 1, Key::Changed},
        {5, 5, vk::kF1, false, 5, 5, 10, 0, Key::Changed},
        {5, 5, vk::kF3, true, 5, 5, 10, 2, Key::Changed},
        {5, 5, vk::kF7, false, 5, 5, 10, 6, Key::Changed},
        {5, 5, vk::kF8, false, 5, 5, 10, 1, Key::Ignored},  // "none" has no key
        {5, 5, vk::kReturn, false, 5, 5, 10, 1, Key::Accept},
        {5, 5, vk::kEscape, false, 5, 5, 10, 1, Key::Accept},
        {5, 5, vk::kM, false, 5, 5, 10, 1, Key::Accept},
        {5, 5, vk::kX, false, 5, 5, 10, 1, Key::Ignored},
    };
    for (const Case& c : cases) {
        CBodyMarkPicker p;
        p.m_nMarkX = c.x;
        p.m_nMarkY = c.y;
        EXPECT_EQ(p.OnKeyDown(c.key, c.ctrl), c.result) << "key " << c.key;
        EXPECT_EQ(p.m_nMarkX, c.wantX) << "key " << c.key;
        EXPECT_EQ(p.m_nMarkY, c.wantY) << "key " << c.key;
        EXPECT_EQ(p.m_dMarkAngle, c.wantAngle) << "key " << c.key;
        EXPECT_EQ(p.m_nBodyMark, c.wantMark) << "key " << c.key;
    }
}

TEST(BodyMarkPicker, DragGrabsOnlyNearTheGrabPointAndKeepsTheOffset) {
    struct Case {
        int dx, dy;
        bool grabs;
    } cases[] = {{0, 0, true},   {29, -29, true}, {-29, 29, true},
                 {30, 0, false}, {0, -30, false}, {-31, 5, false}};
    for (const Case& c : cases) {
        CBodyMarkPicker p;
        p.m_nMarkX = 100;
        p.m_nMarkY = 120;
        EXPECT_EQ(p.OnPreviewButtonDown(116 + c.dx, 136 + c.dy), c.grabs) << c.dx << "," << c.dy;
        EXPECT_EQ(p.IsDragging(), c.grabs);
        EXPECT_EQ(p.OnPreviewMouseMove(200 + c.dx, 50 + c.dy), c.grabs);
        EXPECT_EQ(p.m_nMarkX, c.grabs ? 184 : 100);  // moved with the pointer, no jump
        EXPECT_EQ(p.m_nMarkY, c.grabs ? 34 : 120);
        p.ReleaseMouse();
        EXPECT_FALSE(p.OnPreviewMouseMove(10, 10));
    }
}

TEST(BodyMarkPicker, HeldTurnButtonTurnsAtThePressThenFromTheSeventhTick) {
    CBodyMarkPicker p;
    p.m_dMarkAngle = 0;
    p.PressTurnButton(true);
    EXPECT_EQ(p.m_dMarkAngle, 5);
    int turns = 0;
    for (int tick = 1; tick <= 10; ++tick)
        turns += p.OnRepeatTick() ? 1 : 0;
    EXPECT_EQ(turns, 4);  // ticks 7 to 10
    EXPECT_EQ(p.m_dMarkAngle, 25);
    // A release anywhere ends it.
    p.ReleaseMouse();
    for (int tick = 0; tick < 10; ++tick)
        EXPECT_FALSE(p.OnRepeatTick());
    EXPECT_EQ(p.m_dMarkAngle, 25);
    // The left button turns the other way from 0.
    p.m_dMarkAngle = 0;
    p.PressTurnButton(false);
    EXPECT_EQ(p.m_dMarkAngle, 355);
    EXPECT_TRUE(p.IsTurnLeftHeld());
}

TEST(BodyMarkTransfer, OpeningAndClosingUnchangedKeepsEveryViewPosition) {
    for (int x = -6; x <= 60; x += 3) {
        for (int y = -6; y <= 64; y += 5) {
            CCstmPictureCtrl view;
            view.m_nBodyMarkX = x;
            view.m_nBodyMarkY = y;
            const CBodyMarkPicker opened = PickerFromView(view);
            EXPECT_GE(opened.m_nMarkX, 0);
            EXPECT_LE(opened.m_nMarkX, CBodyMarkPicker::kMarkLimitX);
            EXPECT_LE(opened.m_nMarkY, CBodyMarkPicker::kMarkLimitY);
            ApplyPickerToView(view, opened, opened);
            EXPECT_EQ(view.m_nBodyMarkX, x);
            EXPECT_EQ(view.m_nBodyMarkY, y);
        }
    }
}

TEST(BodyMarkTransfer, AMovedMarkerMapsBackWithinOnePixel) {
    // Every position the picker can reach (the marker's centre at least 11 preview pixels
    // from the top and left edges) comes back where it was.
    for (int x = -2; x <= 52; ++x) {
        for (int y = -1; y <= 55; y += 2) {
            CCstmPictureCtrl view;
            view.m_nBodyMarkX = x;
            view.m_nBodyMarkY = y;
            const draw::Point mark = PickerMarkFromView(view);
            const draw::Point back = ViewMarkFromPicker(view, mark);
            EXPECT_LE(std::abs(back.x - x), 1) << x << "," << y;
            EXPECT_LE(std::abs(back.y - y), 1) << x << "," << y;
        }
    }
}

TEST(BodyMarkTransfer, TheRightAndBottomOfThePreviewStayInsideTheViewsRectangle) {
    // The fault: x 287 divided by 2.9 became 99 in a rectangle 57 wide.
    CCstmPictureCtrl view;
    const CBodyMarkPicker opened = PickerFromView(view);
    CBodyMarkPicker chosen = opened;
    chosen.m_nMarkX = CBodyMarkPicker::kMarkLimitX;
    chosen.m_nMarkY = CBodyMarkPicker::kMarkLimitY;
    ApplyPickerToView(view, opened, chosen);
    const int centreX = view.m_nBodyMarkX + 4;
    const int centreY = view.m_nBodyMarkY + 4;
    EXPECT_GE(centreX, 50);
    EXPECT_LT(centreX, view.m_rcBodyMark.Width());
    EXPECT_GE(centreY, 54);
    EXPECT_LT(centreY, view.m_rcBodyMark.Height());
    // The middle of the preview is the middle of the rectangle.
    chosen.m_nMarkX = 151 - 11;
    chosen.m_nMarkY = 136 - 11;
    ApplyPickerToView(view, opened, chosen);
    EXPECT_NEAR(view.m_nBodyMarkX + 4, 28.5, 1.0);
    EXPECT_NEAR(view.m_nBodyMarkY + 4, 30.5, 1.0);
    // Only the coordinate that changed is taken over.
    CCstmPictureCtrl other;
    other.m_nBodyMarkX = 7;
    other.m_nBodyMarkY = 9;
    const CBodyMarkPicker start = PickerFromView(other);
    CBodyMarkPicker moved = start;
    moved.m_nMarkY = 200;
    ApplyPickerToView(other, start, moved);
    EXPECT_EQ(other.m_nBodyMarkX, 7);
    EXPECT_NE(other.m_nBodyMarkY, 9);
}

namespace {

bool HasPixel(const Image32& img, uint32_t pixel) {
    for (size_t i = 0; i < img.size(); ++i)
        if (img.data()[i] == pixel)
            return true;
    return false;
}

CBodyMarkPreview MakePreview() {
    std::array<Image32, 7> bodies;
    for (int i = 0; i < 7; ++i)
        bodies[static_cast<size_t>(i)] = Image32(302, 271, MakePixel(20, static_cast<uint8_t>(30 * i), 60));
    // A marker with a magenta background and a bar that shows its direction.
    Image32 marker(64, 64, CBodyMarkPreview::kMarkerKey);
    for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 60; ++x)
            marker.At(x, y) = MakePixel(255, 255, 0);
    return CBodyMarkPreview(Image32(303, 272, MakePixel(200, 200, 200)), bodies, marker);
}

}  // namespace

TEST(BodyMarkPreview, RendersThePictureAndTheTurnedMarkerWithoutTheKeyColour) {
    CBodyMarkPreview preview = MakePreview();
    CBodyMarkPicker p;
    p.m_nBodyMark = 2;
    p.m_nMarkX = 120;
    p.m_nMarkY = 100;
    p.m_dMarkAngle = 0;
    const Image32 at0 = preview.Render(p);
    ASSERT_EQ(at0.width(), 303);
    ASSERT_EQ(at0.height(), 272);
    EXPECT_FALSE(HasPixel(at0, CBodyMarkPreview::kMarkerKey));
    EXPECT_TRUE(HasPixel(at0, MakePixel(255, 255, 0)));
    EXPECT_EQ(at0.At(5, 5), MakePixel(20, 60, 60));  // picture 2 stretched over the preview
    p.m_dMarkAngle = 90;
    const Image32 at90 = preview.Render(p);
    EXPECT_FALSE(HasPixel(at90, CBodyMarkPreview::kMarkerKey));
    EXPECT_NE(at0, at90);
    // The bar lies at the top at 0 degrees and at the right at 90 (clockwise on screen).
    EXPECT_EQ(at0.At(130, 96), MakePixel(255, 255, 0));
    EXPECT_NE(at0.At(145, 110), MakePixel(255, 255, 0));
    EXPECT_EQ(at90.At(145, 110), MakePixel(255, 255, 0));
    EXPECT_NE(at90.At(130, 96), MakePixel(255, 255, 0));
    // The stretched picture is made once and kept.
    EXPECT_EQ(&preview.Background(2), &preview.Background(2));
}

TEST(BodyMarkPreview, NoneDrawsTheBaseAlone) {
    CBodyMarkPreview preview = MakePreview();
    CBodyMarkPicker p;
    p.m_nBodyMark = CBodyMarkPicker::kBodyMarkNone;
    p.m_nMarkX = 120;
    p.m_nMarkY = 100;
    const Image32 none = preview.Render(p);
    EXPECT_EQ(none, Image32(303, 272, MakePixel(200, 200, 200)));
}
