// The image view's model: the back buffer a view shows, everything drawn into it (depth
// scale, body mark with its probe marker, BB active-side indicator, measurement overlays)
// and the calipers placed on the image, which the measurement code writes directly.
// No window code: CPictureWindow paints RenderClient(); stores and exports use the same
// render, so nothing is ever read back from the screen.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "measure/EllipseCaliper.h"
#include "platform/Image.h"
#include "platform/draw/Geometry.h"

class CCstmPictureCtrl {
public:
    static constexpr int kPenCount = 7;
    static constexpr int kBodyPictureCount = 7;
    static constexpr int kBodyMarkNone = 7;
    static constexpr int kDistancePointCount = 8;
    static constexpr int kObgyPointCount = 10;
    static constexpr int kTraceSlotCount = 4;
    static constexpr int kEllipseCount = 4;
    // The depth scale's labels end left of this column; texts over the image start right of it.
    static constexpr int kDepthLabelRight = 48;
    // Overlay colours, pen and brush i.
    static constexpr std::array<uint32_t, kPenCount> kOverlayColours = {
        MakePixel(0, 167, 227), MakePixel(0, 255, 0),     MakePixel(255, 0, 0),    MakePixel(255, 255, 255),
        MakePixel(255, 165, 0), MakePixel(255, 192, 203), MakePixel(167, 107, 223)};
    static constexpr uint32_t kMarkerKey = MakePixel(255, 0, 255);  // transparent in the probe marker

    CCstmPictureCtrl();

    // The back buffer: 480 x 480 for the main view, 240 x 480 for a half view.
    void AttachBackBuffer(int width, int height);
    Image32& BackBuffer() { return m_imgBack; }
    const Image32& BackBuffer() const { return m_imgBack; }

    // The seven body pictures by body-mark index and the probe marker (magenta is transparent).
    void SetBodyPicture(int index, Image32 picture);
    void SetProbeMarker(Image32 marker);

    // Drawing into an image that holds this view's picture (normally the back buffer).
    void DrawDistanceMarks(Image32& dc) const;
    void DrawTraces(Image32& dc) const;
    void DrawMarkerCircle(Image32& dc, int pen, int x1, int y1, int x2, int y2) const;
    void DrawEllipses(Image32& dc, int penBase) const;
    void DrawObgyOverlays(Image32& dc) const;
    // Rebuilds the tick boundaries when the pixel scale or the tick step changed.
    void DrawDepthScale(Image32& dc, int focusMm, double pixelsPerMm);
    void DrawBodyMark(Image32& dc) const;
    void DrawActiveIndicator(Image32& dc, bool left, bool active);

    // True when the point lies strictly inside the rectangle where the indicator was drawn.
    bool HitTestIndicator(int x, int y) const;

    void ClearDistanceMarks();  // every ordinary measurement; OB/GY marks stay
    void ClearTraceMarks();     // every OB/GY mark
    void ClearMark(int i);      // OB/GY point i

    // Where the magnifier samples and where it shows the sample, for a client of w x h pixels.
    struct MagnifierLayout {
        bool shown = false;
        draw::Rect sampled;  // client pixels, outlined in light grey
        draw::Rect inset;    // client pixels, outlined in green
        draw::Rect source;   // back-buffer pixels stretched into the inset shrunk by one
    };
    MagnifierLayout Magnifier(int clientWidth, int clientHeight) const;

    // Exactly what the window shows: the back buffer stretched over the client, plus the magnifier.
    Image32 RenderClient(int clientWidth, int clientHeight) const;
    // The same without a copy for a paint: the back buffer itself when it is shown pixel for
    // pixel without the magnifier, else `scratch` rendered anew (its storage reused). Valid
    // until the back buffer or `scratch` changes.
    const Image32& ClientImage(int clientWidth, int clientHeight, Image32& scratch) const;

    // The probe marker's upper-left, upper-right and lower-left corners in buffer pixels.
    std::array<draw::Point, 3> MarkerCorners() const;

    // Frees the caliper storage and the back buffer; the pictures go the first time only.
    void ReleaseResources();

    // Calipers (image pixels), written by the measurement code.
    std::array<draw::Point, kDistancePointCount> m_aptDistance{};
    int m_nDistanceCount = 0;
    std::array<int8_t, kDistancePointCount> m_anDistanceFlag{};  // 0 empty, 1 or more drawn
    std::array<draw::Point, kObgyPointCount> m_aptObgy{};        // item k+1 uses points 2k and 2k+1
    std::array<uint8_t, kObgyPointCount> m_abObgyFlag{};         // 0 empty, 1 shown, 2 measured elsewhere
    std::array<int, 5> m_anObgyStep{};                           // BPD, CRL, GS, SL, FL: points placed
    int m_nObgyEllipseShown = 0;
    std::vector<draw::Point> m_vecHcTrace;
    int m_nHcTraceShown = 0;
    std::array<std::vector<draw::Point>, kTraceSlotCount> m_avecTrace;
    int m_nTraceSlot = 0;
    std::array<uint8_t, kTraceSlotCount> m_abTraceFlag{};
    CEllipseCaliper m_ellipseObgy;  // the AC ellipse
    int m_nEllipseFreeX = -1;       // rubber-band end, or grab offset while the centre is dragged
    int m_nEllipseFreeY = -1;
    std::array<CEllipseCaliper, kEllipseCount> m_aEllipse;
    int m_nEllipseCount = 0;
    int m_nEllipseCurrent = 0;
    int m_nActiveHandle = 0;

    // Colours of the overlay pens, settable per view.
    std::array<uint32_t, kPenCount> m_acrPen = kOverlayColours;

    // The view's code (1, 11, 12) while frozen, 0 while live: measuring is off.
    int m_nMeasureNumber = 0;

    // View geometry.
    double m_dViewScale = 1.0;  // back-buffer pixels per client pixel
    double m_dZoom = 1.0;       // magnifier factor
    int m_nMagnifierX = 0;      // client point the magnifier samples around; x <= 0: none
    int m_nMagnifierY = 0;
    int m_nScaleStripWidth = 35;

    // Depth scale.
    double m_dLastPixelScale = std::numeric_limits<double>::lowest();
    std::vector<int> m_vecTickBoundaries;  // y midway below each tick
    int m_nTickStep = 10;                  // millimetres between ticks
    double m_dLastTickStep = 0.0;
    int m_nLabelInterval = 5;  // centimetres between labelled ticks
    int m_nMarkStyle = 2;      // 2: points drawn as "+"

    // Body mark.
    int m_nBodyMark = 1;  // 0 to 6, 7 none
    double m_dBodyMarkAngle = 10.0;
    int m_nBodyMarkX = 10;
    int m_nBodyMarkY = 10;
    draw::Rect m_rcBodyMark{428, 416, 485, 477};
    draw::Rect m_rcIndicator{};

private:
    draw::Pen PenOf(int i) const {
        return {m_acrPen[static_cast<size_t>(((i % kPenCount) + kPenCount) % kPenCount)], 1};
    }
    // Axes while placing, handles and outline while selected or dragged, the outline alone when done.
    void DrawEllipseByState(Image32& dc, const CEllipseCaliper& e, int markPen, int outlinePen) const;
    void DrawTraceSegments(Image32& dc, const std::vector<draw::Point>& trace, int pen) const;

    Image32 m_imgBack;
    std::array<Image32, kBodyPictureCount> m_aimgBody;
    Image32 m_imgMarker;
    bool m_bResourcesReleased = false;
};
