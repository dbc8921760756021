#include "app/core/WindowGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace {

draw::Rect Shifted(draw::Rect r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

int Enlargement(const StartupRects& s, const GeometryConstants& k, int cx, int cy) {
    const int w0 = s.client.Width();
    const int h0 = s.client.Height();
    int e = std::min(cx - w0, std::abs(cy - h0)) + k.extra;
    if (k.rightExtent > 0)
        e = std::min(e, std::max(cx - k.rightExtent, 0));
    return std::max(e, k.minViewSize - k.viewSpan);
}

WindowLayout RestoredLayout(const StartupRects& s) {
    WindowLayout l;
    l.enlargement = 0;
    l.main = s.main;
    l.left = s.left;
    l.right = s.right;
    l.gradation = s.gradation;
    l.labels = s.labels;
    l.largeLabelFont = true;
    l.counter = s.counter;
    l.status = s.status;
    l.list = s.list;
    l.del = s.del;
    l.expJpeg = s.expJpeg;
    l.expVideo = s.expVideo;
    l.print = s.print;
    l.reviewNext = s.reviewNext;
    l.reviewPrev = s.reviewPrev;
    l.reviewPlay = s.reviewPlay;
    l.reviewStop = s.reviewStop;
    l.thumbCaption = s.thumbCaption;
    l.clock = s.clock;
    l.reviewTime = s.reviewTime;
    l.rightPanel = s.rightPanel;
    l.header = s.header;
    l.preview = s.preview;
    l.cinePrev = s.cinePrev;
    l.cineNext = s.cineNext;
    return l;
}

WindowLayout MaximisedLayout(const StartupRects& s, const GeometryConstants& k, int cx, int cy) {
    WindowLayout l = RestoredLayout(s);
    // Too narrow for the labels beside the image: nothing grows, so everything stays put.
    if (k.rightExtent > 0 && cx <= k.rightExtent)
        return l;
    const int e = Enlargement(s, k, cx, cy);
    l.enlargement = e;
    l.largeLabelFont = false;

    // The main view grows by e (left and top stay); the halves lie side by side over it.
    l.main = {s.main.left, s.main.top, s.main.right + e, s.main.bottom + e};
    const int half = (k.viewSpan + e) / 2;
    l.left = {l.main.left, l.main.top, l.main.left + half, l.main.bottom};
    l.right = {l.main.left + half, l.main.top, l.main.left + 2 * half, l.main.bottom};
    l.gradation = {s.gradation.left, s.gradation.top, s.gradation.right, s.gradation.bottom + e};

    // The result labels keep their arrangement, one row per measurement, beside the enlarged
    // image; narrower for the smaller font.
    const int x0 = s.labels[0].left;
    const int shift = k.labelShift + e;
    auto scaled = [&](int x) { return x0 + shift + static_cast<int>((x - x0) * k.labelScale); };
    for (size_t i = 0; i < l.labels.size(); ++i) {
        const draw::Rect r = s.labels[i];
        l.labels[i] = {scaled(r.left), r.top - k.labelLift, scaled(r.right), r.bottom - k.labelLift};
    }

    // Under the enlarged image: the counter at its right edge, the status at its left, and the
    // cine buttons below them, where the image does not reach.
    const int bm = s.main.bottom + e;
    l.counter = {s.counter.left + e, bm, s.counter.right + e, bm + s.counter.Height()};
    l.status = {s.status.left, bm + 2, s.status.right, bm + 2 + s.status.Height() - 2};
    const int cineTop = l.counter.bottom + 2;
    l.cinePrev = {s.cinePrev.left, cineTop, s.cinePrev.right, cineTop + s.cinePrev.Height()};
    l.cineNext = {s.cineNext.left + e, cineTop, s.cineNext.right + e, cineTop + s.cineNext.Height()};
    // The header reaches to the clock, which moves right with everything beside the image.
    l.header.right = s.header.right + e;
    for (auto [from, to] : {std::pair{&s.list, &l.list},
                            {&s.del, &l.del},
                            {&s.expJpeg, &l.expJpeg},
                            {&s.expVideo, &l.expVideo},
                            {&s.print, &l.print},
                            {&s.reviewNext, &l.reviewNext},
                            {&s.reviewPrev, &l.reviewPrev},
                            {&s.reviewPlay, &l.reviewPlay},
                            {&s.reviewStop, &l.reviewStop},
                            {&s.thumbCaption, &l.thumbCaption},
                            {&s.preview, &l.preview},
                            {&s.clock, &l.clock},
                            {&s.reviewTime, &l.reviewTime},
                            {&s.rightPanel, &l.rightPanel}})
        *to = Shifted(*from, e, 0);
    return l;
}

StartupRects DefaultStartupRects() {
    StartupRects s;
    s.client = {0, 0, 900, 680};
    s.main = {0, 0, 480, 480};
    s.left = {0, 0, 240, 480};
    s.right = {240, 0, 480, 480};
    return s;
}

double ViewScale(int backBufferWidth, int clientWidth) {
    if (clientWidth <= 0 || backBufferWidth <= 0)
        return 1.0;
    return static_cast<double>(backBufferWidth) / clientWidth;
}
