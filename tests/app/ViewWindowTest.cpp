// The image view's window and the finger loupe on the display, and a screenshot of a view
// with calipers, depth scale and body mark over a phantom image.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "app/DialogFrame.h"
#include "app/FingerView.h"
#include "app/IconLoader.h"
#include "app/PictureWindow.h"
#include "platform/draw/Blit.h"
#include "tests/app/WxTestSupport.h"

using wxtest::Flush;

namespace {

// A speckled sector with two round cysts, so the screenshot reads like an image.
void DrawPhantom(Image32& img) {
    uint32_t seed = 12345;
    const double cx = img.width() / 2.0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const double dx = x - cx;
            const double r = std::sqrt(dx * dx + (y + 60.0) * (y + 60.0));
            const double angle = std::atan2(dx, y + 60.0);
            if (r < 70 || r > 520 || std::abs(angle) > 0.62)
                continue;
            double level = 70 + 50 * std::sin(y / 23.0) + static_cast<double>((seed >> 16) % 90) - 20;
            for (auto [ox, oy, rad] : {std::tuple{cx - 60, 200.0, 38.0}, std::tuple{cx + 70, 330.0, 26.0}}) {
                const double d = std::hypot(x - ox, y - oy);
                if (d < rad)
                    level *= 0.12;
                if (std::abs(d - rad) < 3)
                    level += 70;
            }
            level *= 1.0 - r / 900.0;
            img.At(x, y) = GreyPixel(static_cast<uint8_t>(std::clamp(level, 0.0, 255.0)));
        }
    }
}

class ViewWindowTest : public wxtest::WindowTest {};

}  // namespace

TEST_F(ViewWindowTest, ViewWithCalipersDepthScaleAndBodyMark) {
    frame->SetClientSize(500, 500);
    auto* window = new CPictureWindow(frame, 1011, wxPoint(10, 10), wxSize(480, 480));
    CCstmPictureCtrl& view = window->View();
    view.AttachBackBuffer(480, 480);
    LoadBodyMarkPictures(view);
    DrawPhantom(view.BackBuffer());

    Image32& buffer = view.BackBuffer();
    view.m_nTickStep = 10;
    view.m_nLabelInterval = 1;
    view.DrawDepthScale(buffer, 40, 470.0 / 120);
    view.m_aptDistance[0] = {180, 160};
    view.m_aptDistance[1] = {300, 240};
    view.m_aptDistance[2] = {250, 300};
    view.m_aptDistance[3] = {330, 360};
    view.m_anDistanceFlag = {1, 1, 1, 1, 0, 0, 0, 0};
    view.m_nDistanceCount = 4;
    view.DrawDistanceMarks(buffer);
    view.m_aEllipse[0].SetPoint({150, 200}, 0, 0);
    view.m_aEllipse[0].SetPoint({230, 200}, 1, 1);
    view.m_aEllipse[0].state = EllipseStateSelected;
    view.m_nEllipseCount = 1;
    view.DrawEllipses(buffer, 0);
    view.m_nBodyMark = 1;
    view.m_dBodyMarkAngle = 45;
    view.m_nBodyMarkX = 22;
    view.m_nBodyMarkY = 26;
    view.DrawBodyMark(buffer);
    Flush();

    const Image32 shown = window->Render();
    EXPECT_EQ(shown, buffer);  // at the start-up size the window shows the buffer as it is
    EXPECT_EQ(shown.At(175, 160), CCstmPictureCtrl::kOverlayColours[0]);
    EXPECT_NE(shown.At(440, 430), 0u);  // the body picture
    wxtest::SaveArtifact(shown, "view_calipers_depth_body_mark");

    // The finger loupe over the caliper end being placed, where the main window puts it: at
    // the top-left corner, framed against the dark image.
    auto* loupe = new CFingerView(frame);
    loupe->AddSource(window);
    loupe->Position(wxPoint(700, 20), wxSize(0, 0));
    loupe->m_ptLoupe = window->GetScreenPosition() + wxPoint(300, 240);
    Image32 withLoupe = shown;
    const Image32 loupePixels = loupe->Render();
    draw::CopyRect(loupePixels, {0, 0, loupePixels.width(), loupePixels.height()}, withLoupe, {0, 0});
    wxtest::SaveArtifact(withLoupe, "view_finger_loupe");

    view.m_dZoom = 2.0;
    view.m_nMagnifierX = 180;
    view.m_nMagnifierY = 160;
    wxtest::SaveArtifact(window->Render(), "view_magnifier");

    // Maximised: the same buffer stretched over a larger client.
    window->SetSize(605, 605);
    view.m_dViewScale = 484.0 / 605.0;
    view.m_dZoom = 1.0;
    EXPECT_EQ(window->Render().width(), 605);
}

TEST_F(ViewWindowTest, FingerLoupeShowsTheViewPixelsAroundThePoint) {
    frame->SetClientSize(500, 500);
    auto* window = new CPictureWindow(frame, 1011, wxPoint(10, 10), wxSize(240, 240));
    window->View().AttachBackBuffer(240, 240);
    Image32& buffer = window->View().BackBuffer();
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 240; ++x)
            buffer.At(x, y) = MakePixel(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7);
    }
    auto* loupe = new CFingerView(frame);
    loupe->AddSource(window);
    loupe->Position(wxPoint(600, 20), wxSize(0, 0));
    Flush();
    EXPECT_FALSE(loupe->AcceptsFocus());
    const Image32 blank = loupe->Render();
    EXPECT_EQ(blank.At(5, 5), loupe->m_crBack);  // (-1, -1): nothing shown, but framed
    const DialogFrameColours frameColours;
    EXPECT_EQ(blank.At(0, 0), frameColours.outerLight);

    const wxPoint origin = window->GetScreenPosition();
    loupe->m_ptLoupe = origin + wxPoint(120, 100);
    const Image32 shown = loupe->Render();
    const int w = shown.width();
    const int h = shown.height();
    ASSERT_EQ(w, CFingerView::kWidth);
    // The raised frame sets the loupe off from the dark window on every side.
    for (auto [x, y, pixel] :
         {std::tuple{0, h / 2, frameColours.outerLight}, std::tuple{w / 2, 0, frameColours.outerLight},
          std::tuple{w - 1, h / 2, frameColours.outerDark}, std::tuple{w / 2, h - 1, frameColours.outerDark},
          std::tuple{1, h / 2, frameColours.innerLight}, std::tuple{w - 2, h / 2, frameColours.innerDark}}) {
        EXPECT_EQ(shown.At(x, y), pixel) << x << "," << y;
    }
    // Inside the frame, the view's pixels from (120 - w/2, 100 - h/2) on, unscaled.
    const int f = kDialogFrameWidth;
    EXPECT_EQ(shown.At(f, f), buffer.At(120 - w / 2, 100 - h / 2));
    EXPECT_EQ(shown.At(w - 1 - f, h - 1 - f),
              buffer.At(120 - w / 2 + w - 1 - 2 * f, 100 - h / 2 + h - 1 - 2 * f));
    wxtest::SaveArtifact(shown, "finger_loupe");

    // Near the view's corner the part outside it is background.
    loupe->m_ptLoupe = origin + wxPoint(2, 2);
    const Image32 corner = loupe->Render();
    EXPECT_EQ(corner.At(f, f), loupe->m_crBack);
    EXPECT_EQ(corner.At(f + w / 2 - 2, f + h / 2 - 2), buffer.At(0, 0));
}
