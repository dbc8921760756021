#include "app/core/CstmPictureCtrl.h"

#include <cmath>

#include "platform/StringUtil.h"
#include "platform/draw/Blit.h"
#include "platform/draw/Painter.h"
#include "platform/draw/Raster.h"
#include "platform/draw/Scale.h"

using draw::Pen;
using draw::Point;
using draw::Rect;

namespace {
constexpr uint32_t kWhite = MakePixel(255, 255, 255);
constexpr uint32_t kGold = MakePixel(192, 160, 31);
constexpr int kScaleBottom = 480;  // ticks run down to the bottom of a full-height buffer
}  // namespace

CCstmPictureCtrl::CCstmPictureCtrl() = default;

void CCstmPictureCtrl::AttachBackBuffer(int width, int height) {
    m_imgBack.Resize(width, height, 0);
}

void CCstmPictureCtrl::SetBodyPicture(int index, Image32 picture) {
    if (index >= 0 && index < kBodyPictureCount)
        m_aimgBody[static_cast<size_t>(index)] = std::move(picture);
}

void CCstmPictureCtrl::SetProbeMarker(Image32 marker) {
    m_imgMarker = std::move(marker);
}

void CCstmPictureCtrl::DrawDistanceMarks(Image32& dc) const {
    for (int i = 0; i < kDistancePointCount; ++i) {
        if (m_anDistanceFlag[static_cast<size_t>(i)] < 1)
            continue;
        const Pen pen = PenOf(i / 2);
        const Point p = m_aptDistance[static_cast<size_t>(i)];
        DrawPlusMark(dc, p, pen);
        if (i % 2 == 1)
            draw::DrawLine(dc, m_aptDistance[static_cast<size_t>(i - 1)], p, pen);
        // While the second point of a pair follows the mouse, the rubber band leads to it.
        if (i == m_nDistanceCount - 1 && i % 2 == 0 && i + 1 < kDistancePointCount &&
            m_aptDistance[static_cast<size_t>(i + 1)].x > 0) {
            draw::DrawLine(dc, p, m_aptDistance[static_cast<size_t>(i + 1)], pen);
        }
    }
}

void CCstmPictureCtrl::DrawMarkerCircle(Image32& dc, int pen, int x1, int y1, int x2, int y2) const {
    const Pen p = PenOf(pen);
    draw::DrawEllipse(dc, {x1 - 3, y1 - 3, x1 + 3, y1 + 3}, p, p.pixel);
    draw::DrawEllipse(dc, {x2 - 3, y2 - 3, x2 + 3, y2 + 3}, p, p.pixel);
    draw::DrawLine(dc, {x1, y1}, {x2, y2}, p);
}

void CCstmPictureCtrl::DrawTraceSegments(Image32& dc, const std::vector<Point>& trace, int pen) const {
    if (trace.size() == 1) {
        DrawMarkerCircle(dc, pen, trace[0].x, trace[0].y, trace[0].x, trace[0].y);
        return;
    }
    for (size_t k = 1; k < trace.size(); ++k) {
        DrawMarkerCircle(dc, pen, trace[k - 1].x, trace[k - 1].y, trace[k].x, trace[k].y);
    }
}

void CCstmPictureCtrl::DrawTraces(Image32& dc) const {
    for (int i = 0; i < kTraceSlotCount; ++i) {
        if (m_abTraceFlag[static_cast<size_t>(i)] == 1)
            DrawTraceSegments(dc, m_avecTrace[static_cast<size_t>(i)], i);
    }
}

void CCstmPictureCtrl::DrawEllipseByState(Image32& dc, const CEllipseCaliper& e, int markPen,
                                          int outlinePen) const {
    switch (e.state) {
        case EllipseStatePlacing:  // the first axis follows the mouse
            e.DrawAxes(dc, PenOf(markPen), m_nMarkStyle, m_nEllipseFreeX, m_nEllipseFreeY);
            break;
        case EllipseStateSelected:
        case EllipseStateDragging:
            e.DrawHandles(dc, PenOf(markPen));
            e.DrawOutline(dc, PenOf(outlinePen));
            break;
        case EllipseStateDeselected:
            e.DrawOutline(dc, PenOf(outlinePen));
            break;
        default:
            break;
    }
}

void CCstmPictureCtrl::DrawEllipses(Image32& dc, int penBase) const {
    for (int i = 0; i < kEllipseCount; ++i) {
        DrawEllipseByState(dc, m_aEllipse[static_cast<size_t>(i)], 5, penBase + i);
    }
}

void CCstmPictureCtrl::DrawObgyOverlays(Image32& dc) const {
    for (int i = 0; i < kObgyPointCount; ++i) {
        if (m_abObgyFlag[static_cast<size_t>(i)] != 1)
            continue;
        const Pen pen = PenOf(i / 2);
        DrawPlusMark(dc, m_aptObgy[static_cast<size_t>(i)], pen);
        if (i % 2 == 1)
            draw::DrawLine(dc, m_aptObgy[static_cast<size_t>(i - 1)], m_aptObgy[static_cast<size_t>(i)], pen);
    }
    if (m_nObgyEllipseShown == 1)
        DrawEllipseByState(dc, m_ellipseObgy, 0, 5);
    if (m_nHcTraceShown == 1)
        DrawTraceSegments(dc, m_vecHcTrace, 6);
}

void CCstmPictureCtrl::DrawDepthScale(Image32& dc, int focusMm, double pixelsPerMm) {
    const bool rebuild = pixelsPerMm != m_dLastPixelScale || m_nTickStep != m_dLastTickStep;
    if (rebuild) {
        m_vecTickBoundaries.clear();
        m_dLastPixelScale = pixelsPerMm;
        m_dLastTickStep = m_nTickStep;
    }
    const double stepPx = m_nTickStep * pixelsPerMm;
    // A scale without extent would never reach the bottom: draw nothing rather than hang.
    if (!(stepPx > 0.0) || !std::isfinite(stepPx))
        return;
    const bool wholeCentimetres = m_nTickStep % 10 == 0;
    const draw::Font regular = draw::FontFor(draw::FontRole::DepthScaleLabel);
    const draw::Font bold = draw::FontFor(draw::FontRole::DepthScaleFocus);
    const Pen white{kWhite, 1};
    const Pen gold{kGold, 2};

    draw::Painter painter(dc);
    int tick = 0;
    for (double y = 10.0; y < kScaleBottom; y += stepPx, ++tick) {
        const double d = tick * m_nTickStep / 10.0;  // centimetres, exact for whole millimetre steps
        if (rebuild)
            m_vecTickBoundaries.push_back(static_cast<int>(y + stepPx / 2));
        const int iy = static_cast<int>(y);
        const bool focus = static_cast<int>(d * 10) == focusMm;
        const bool labelled =
            m_nLabelInterval > 0 && std::fmod(d, static_cast<double>(m_nLabelInterval)) == 0.0;
        if (focus) {
            const Point tri[] = {{5, iy - 5}, {5, iy + 5}, {11, iy}};
            draw::DrawPolygon(dc, tri, gold, kGold);
        } else if (labelled) {
            draw::DrawEllipse(dc, {5, iy - 3, 11, iy + 3}, white, std::nullopt);
        } else {
            draw::DrawEllipse(dc, {6, iy - 2, 10, iy + 2}, white, kWhite);
            continue;
        }
        const int h = focus ? 12 : 9;
        const Rect rect = d == 0.0 ? Rect{9, iy + 3, kDepthLabelRight, iy + 18}
                                   : Rect{14, iy - h, kDepthLabelRight, iy + h};
        const std::string text = d == 0.0           ? platform::Format("%dcm", 0)
                                 : wholeCentimetres ? platform::Format("%d", static_cast<int>(d))
                                                    : platform::Format("%.1f", d);
        painter.DrawText(rect, text, focus ? bold : regular, focus ? kGold : kWhite,
                         draw::kTextLeft | draw::kTextVCenter);
    }
}

std::array<Point, 3> CCstmPictureCtrl::MarkerCorners() const {
    const double w = m_imgMarker.width();
    const double h = m_imgMarker.height();
    const double r = std::sqrt((w / 8) * (w / 8) + (h / 8) * (h / 8));
    const double cx = m_nBodyMarkX + w / 16;
    const double cy = m_nBodyMarkY + h / 16;
    // An angle of exactly 180 degrees is drawn as 179.
    const double degrees = m_dBodyMarkAngle == 180.0 ? 179.0 : m_dBodyMarkAngle;
    const double theta = degrees * M_PI / 180.0 - 3 * M_PI / 4;
    std::array<Point, 3> corners;
    const double phis[] = {theta, theta + M_PI / 2, theta + 3 * M_PI / 2};
    for (size_t i = 0; i < 3; ++i) {
        corners[i] = {static_cast<int>(cx + r * std::cos(phis[i])) + m_rcBodyMark.left,
                      static_cast<int>(cy + r * std::sin(phis[i])) + m_rcBodyMark.top};
    }
    return corners;
}

void CCstmPictureCtrl::DrawBodyMark(Image32& dc) const {
    if (m_nBodyMark < 0 || m_nBodyMark >= kBodyPictureCount)
        return;  // 7: no body mark
    const Image32& picture = m_aimgBody[static_cast<size_t>(m_nBodyMark)];
    if (!picture.empty()) {
        draw::StretchHalftone(picture, {0, 0, picture.width(), picture.height()}, dc, m_rcBodyMark);
    }
    if (!m_imgMarker.empty())
        draw::MaskedAffineBlit(m_imgMarker, kMarkerKey, dc, MarkerCorners());
}

void CCstmPictureCtrl::DrawActiveIndicator(Image32& dc, bool left, bool active) {
    const int x = left ? 0 : dc.width() - 30;
    m_rcIndicator = {x, 0, x + 30, 30};
    const Pen pen{active ? MakePixel(0, 192, 0) : MakePixel(128, 128, 128), 1};
    const uint32_t brush = active ? MakePixel(103, 228, 126) : MakePixel(207, 226, 212);
    draw::DrawEllipse(dc, m_rcIndicator, pen, brush);
}

bool CCstmPictureCtrl::HitTestIndicator(int x, int y) const {
    return x > m_rcIndicator.left && x < m_rcIndicator.right && y > m_rcIndicator.top &&
           y < m_rcIndicator.bottom;
}

void CCstmPictureCtrl::ClearDistanceMarks() {
    m_nDistanceCount = 0;
    m_anDistanceFlag.fill(0);
    m_nTraceSlot = 0;
    m_abTraceFlag.fill(0);
    m_nEllipseCount = 0;
    m_nEllipseCurrent = 0;
    for (CEllipseCaliper& e : m_aEllipse)
        e.state = EllipseStateEmpty;
}

void CCstmPictureCtrl::ClearTraceMarks() {
    m_nObgyEllipseShown = 0;
    m_nHcTraceShown = 0;
    m_ellipseObgy.state = EllipseStateEmpty;
    m_vecHcTrace.clear();
    m_aptObgy.fill({});
    m_abObgyFlag.fill(0);
}

void CCstmPictureCtrl::ClearMark(int i) {
    if (i < 0 || i >= kObgyPointCount)
        return;
    m_aptObgy[static_cast<size_t>(i)] = {};
    m_abObgyFlag[static_cast<size_t>(i)] = 0;
}

CCstmPictureCtrl::MagnifierLayout CCstmPictureCtrl::Magnifier(int clientWidth, int clientHeight) const {
    MagnifierLayout m;
    if (m_dZoom == 1.0 || m_nMagnifierX <= 0 || m_dZoom <= 0.0 || m_dViewScale <= 0.0)
        return m;
    m.shown = true;
    const double v = m_dViewScale;
    const int side = static_cast<int>((m_dZoom < 1.0 ? 300.0 : 200.0) / v);
    const int half = static_cast<int>(side / m_dZoom * 0.5);
    int x0 = std::max(m_nMagnifierX - half, 0);
    int y0 = std::max(m_nMagnifierY - half, 0);
    // Pushed back so that its far edge stays on the client's last column and row.
    x0 = std::min(x0, clientWidth - 1 - 2 * half);
    y0 = std::min(y0, clientHeight - 1 - 2 * half);
    m.sampled = {x0, y0, x0 + 2 * half, y0 + 2 * half};
    // The inset sits in the corner opposite the point.
    const int ix = m_nMagnifierX < clientWidth / 2 ? clientWidth - 1 - side : 0;
    const int iy = m_nMagnifierY < clientHeight / 2 ? clientHeight - 1 - side : 0;
    m.inset = {ix, iy, ix + side, iy + side};
    m.source = draw::RectOfSize(static_cast<int>(x0 * v + 1), static_cast<int>(y0 * v + 1),
                                static_cast<int>(2 * half * v - 2), static_cast<int>(2 * half * v - 2));
    return m;
}

Image32 CCstmPictureCtrl::RenderClient(int clientWidth, int clientHeight) const {
    Image32 scratch;
    const Image32& shown = ClientImage(clientWidth, clientHeight, scratch);
    if (&shown != &scratch)
        return shown;
    return scratch;
}

const Image32& CCstmPictureCtrl::ClientImage(int clientWidth, int clientHeight, Image32& scratch) const {
    if (m_imgBack.empty()) {
        scratch.Resize(clientWidth, clientHeight, 0);
        return scratch;
    }
    const MagnifierLayout m = Magnifier(clientWidth, clientHeight);
    // At the start-up size the client shows the buffer pixel for pixel: no filtering to do,
    // and without the magnifier nothing to draw over it either.
    if (clientWidth == m_imgBack.width() && clientHeight == m_imgBack.height()) {
        if (!m.shown)
            return m_imgBack;
        scratch = m_imgBack;
    } else {
        // The stretch covers every pixel: keep the storage of the last paint, unfilled.
        if (scratch.width() != clientWidth || scratch.height() != clientHeight)
            scratch.Resize(clientWidth, clientHeight, 0);
        draw::StretchHalftone(m_imgBack, {0, 0, m_imgBack.width(), m_imgBack.height()}, scratch,
                              {0, 0, clientWidth, clientHeight});
    }
    if (m.shown) {
        draw::DrawRectangle(scratch, m.sampled, Pen{MakePixel(192, 192, 192), 1}, std::nullopt);
        draw::StretchHalftone(m_imgBack, m.source, scratch, m.inset.Inflated(-1, -1));
        draw::DrawRectangle(scratch, m.inset, Pen{MakePixel(0, 255, 0), 1}, std::nullopt);
    }
    return scratch;
}

void CCstmPictureCtrl::ReleaseResources() {
    m_aptDistance.fill({});
    m_anDistanceFlag.fill(0);
    m_aptObgy.fill({});
    m_abObgyFlag.fill(0);
    m_imgBack = Image32();
    // The pictures are shared by every later release; free them exactly once.
    if (m_bResourcesReleased)
        return;
    m_bResourcesReleased = true;
    for (Image32& picture : m_aimgBody)
        picture = Image32();
    m_imgMarker = Image32();
}
