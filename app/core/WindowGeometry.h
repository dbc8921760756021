// Where the image views and the controls around them go when the main window is maximised
// or restored: pure functions of the start-up rectangles (client coordinates), so restoring
// always gives the start-up layout back and maximising twice gives the same result.
#pragma once

#include <array>

#include "platform/draw/Geometry.h"

// The start-up rectangles the resize handling moves from.
struct StartupRects {
    draw::Rect client;
    draw::Rect main, left, right;
    draw::Rect gradation;                 // the live panel's gradation bar, as tall as the main view
    std::array<draw::Rect, 16> labels{};  // result labels 0..15
    draw::Rect counter, status, list, del, expJpeg, expVideo, print;
    draw::Rect reviewNext, reviewPrev, reviewPlay, reviewStop;
    draw::Rect thumbCaption, clock, reviewTime, rightPanel;
    draw::Rect header, preview, cinePrev, cineNext;
};

// Pixels of the layout the geometry depends on.
struct GeometryConstants {
    int viewSpan = 480;       // the main view's width (no border)
    int labelShift = 502;     // result labels: to the right of the enlarged image
    int labelLift = 24;       // and up (down when negative)
    double labelScale = 1.0;  // their widths while maximised, for the smaller font
    int extra = 80;           // added to the smaller of the two growths
    int minViewSize = 100;    // the main view never gets smaller than this
    // The right edge, without growth, of what moves right as the image grows: the growth
    // stops where that would leave the client area (0: no such bound).
    int rightExtent = 0;
};

// The growth constants of the original dialog template (views with a 2-pixel border).
inline constexpr GeometryConstants kTemplateGeometry{484, 502, 24, 1.0, 80, 100, 0};

struct WindowLayout {
    int enlargement = 0;
    draw::Rect main, left, right, gradation;
    std::array<draw::Rect, 16> labels{};
    bool largeLabelFont = true;  // ResultLabel12 restored, ResultLabel10 maximised
    draw::Rect counter, status, list, del, expJpeg, expVideo, print;
    draw::Rect reviewNext, reviewPrev, reviewPlay, reviewStop;
    draw::Rect thumbCaption, clock, reviewTime, rightPanel;
    draw::Rect header, preview, cinePrev, cineNext;
};

// e = min(cx - W0, |cy - H0|) + extra, no more than keeps the controls beside the image on a
// narrow screen (rightExtent), and bounded below so that the main view keeps at least
// minViewSize pixels (a small screen would otherwise shrink it to nothing or less).
int Enlargement(const StartupRects& s, const GeometryConstants& k, int cx, int cy);
// The start-up layout where the client is no wider than rightExtent.
WindowLayout MaximisedLayout(const StartupRects& s, const GeometryConstants& k, int cx, int cy);
WindowLayout RestoredLayout(const StartupRects& s);
// Until the frame gives its table: a 900 x 680 client with the views at its top-left corner.
StartupRects DefaultStartupRects();
// Back-buffer pixels per client pixel of a view shown at `clientWidth`: 1.0 at start-up.
double ViewScale(int backBufferWidth, int clientWidth);
