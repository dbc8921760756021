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
    const int e = std::min(cx - w0, std::abs(cy - h0)) + k.extra;
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
    return l;
}

WindowLayout MaximisedLayout(const StartupRects& s, const GeometryConstants& k, int cx, int cy) {
    WindowLayout l = RestoredLayout(s);
    const int e = Enlargement(s, k, cx, cy);
    l.enlargement = e;
    l.largeLabelFont = false;

    // The main view grows by e (left and top stay); the halves lie side by side over it.
    l.main = {s.main.left, s.main.top, s.main.right + e, s.main.bottom + e};
    const int half = (k.viewSpan + e) / 2;
    l.left = {l.main.left, l.main.top, l.main.left + half, l.main.bottom};
    l.right = {l.main.left + half, l.main.top, l.main.left + 2 * half, l.main.bottom};
    l.gradation = {s.gradation.left, s.gradation.top, s.gradation.right, s.gradation.bottom + e};

    // Labels 0..3 stacked at half width, labels 4, 7, 10 and 13 beside them; the other eight
    // keep their arrangement, shifted with them.
    const int w = s.labels[0].Width();
    const int g = static_cast<int>(w * 0.05);
    struct Delta {
        int left, right, rows;  // rows: top and bottom move by rows x the label's height
    };
    auto delta = [&](int i) -> Delta {
        switch (i) {
            case 0:
                return {0, -w / 2, 0};
            case 1:
                return {-w, -3 * w / 2, 1};
            case 2:
                return {-2 * w, -5 * w / 2, 2};
            case 3:
                return {-3 * w, -7 * w / 2, 3};
            case 4:
                return {w / 2 + g, w / 2 + g, -1};
            case 7:
                return {g - w / 2, g - w / 2, 0};
            case 10:
                return {g - 3 * w / 2, g - 3 * w / 2, 1};
            case 13:
                return {g - 5 * w / 2, g - 5 * w / 2, 2};
            default:
                return {0, 0, 0};
        }
    };
    for (int i = 0; i < 16; ++i) {
        const draw::Rect r = s.labels[static_cast<size_t>(i)];
        const Delta d = delta(i);
        const int h = r.Height();
        const int shift = k.labelShift + e;
        l.labels[static_cast<size_t>(i)] = {r.left + shift + d.left, r.top - k.labelLift + d.rows * h,
                                            r.right + shift + d.right, r.bottom - k.labelLift + d.rows * h};
    }

    const int bm = s.main.bottom + e;
    l.counter = {s.counter.left + e, bm, s.counter.right + e, bm + s.counter.Height()};
    l.status = {s.status.left, bm + 2, s.status.right, bm + 2 + s.status.Height() - 2};
    for (auto [from, to] : {std::pair{&s.list, &l.list},
                            {&s.del, &l.del},
                            {&s.expJpeg, &l.expJpeg},
                            {&s.expVideo, &l.expVideo},
                            {&s.print, &l.print},
                            {&s.thumbCaption, &l.thumbCaption},
                            {&s.clock, &l.clock},
                            {&s.reviewTime, &l.reviewTime},
                            {&s.rightPanel, &l.rightPanel}})
        *to = Shifted(*from, e, 0);
    for (auto [from, to] : {std::pair{&s.reviewNext, &l.reviewNext},
                            {&s.reviewPrev, &l.reviewPrev},
                            {&s.reviewPlay, &l.reviewPlay},
                            {&s.reviewStop, &l.reviewStop}}) {
        const int height = from->Height() - 5;
        *to = {from->left + e - k.reviewShift, bm + 5, from->right + e - k.reviewShift, bm + 5 + height};
    }
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
