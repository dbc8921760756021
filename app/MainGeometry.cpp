#include "app/MainGeometry.h"

#include <algorithm>

#include "app/MainLayoutTable.h"

namespace {

draw::Rect RectOf(int id) {
    const MainControlPlacement* c = FindMainControl(id);
    if (!c)
        return {};
    return {c->x, c->y, c->x + c->width, c->y + c->height};
}

// Room between the "Preview" caption and the result labels under it.
constexpr int kLabelGap = 6;

}  // namespace

StartupRects MainStartupRects(const draw::Rect& gradation, const draw::Rect& rightPanel) {
    StartupRects s;
    s.client = {0, 0, kMainClientWidth, kMainClientHeight};
    s.main = RectOf(1011);
    s.left = RectOf(1012);
    s.right = RectOf(1014);
    s.gradation = {gradation.left, s.main.top, gradation.right, s.main.bottom};
    for (size_t k = 0; k < kResultLabelIds.size(); ++k)
        s.labels[k] = RectOf(kResultLabelIds[k]);
    s.counter = RectOf(1021);
    s.status = RectOf(1220);
    s.list = RectOf(1061);
    s.del = RectOf(1163);
    s.expJpeg = RectOf(1164);
    s.expVideo = RectOf(1166);
    s.print = RectOf(1037);
    s.reviewNext = RectOf(1060);
    s.reviewPrev = RectOf(1058);
    s.reviewPlay = RectOf(1059);
    s.reviewStop = RectOf(1062);
    s.thumbCaption = RectOf(1165);
    s.clock = RectOf(1019);
    s.reviewTime = RectOf(1057);
    s.rightPanel = rightPanel;
    s.header = RectOf(1018);
    s.preview = RectOf(1196);
    s.cinePrev = RectOf(1144);
    s.cineNext = RectOf(1145);
    return s;
}

GeometryConstants MainGeometryConstants() {
    const draw::Rect main = RectOf(1011);
    const draw::Rect label0 = RectOf(kResultLabelIds[0]);
    const draw::Rect list = RectOf(1061);
    GeometryConstants k;
    k.viewSpan = main.Width();
    // The labels' block goes under the (shifted) list's column, below its "Preview" caption:
    // right beside the enlarged image.
    k.labelShift = list.left - label0.left;
    k.labelLift = label0.top - (RectOf(1196).bottom + kLabelGap);
    // The maximised labels' font is 10 point, the start-up one 12.
    k.labelScale = 10.0 / 12.0;
    k.extra = 80;
    k.minViewSize = 100;
    // The right panel, the list's column and the labels' block under it stay on the screen.
    const MainControlPlacement* lastLabel = FindMainControl(kResultLabelIds.back());
    const int labelsRight =
        list.left + static_cast<int>((lastLabel->x + lastLabel->width - label0.left) * k.labelScale);
    k.rightExtent = std::max({list.right, kMainClientWidth, labelsRight});
    return k;
}
