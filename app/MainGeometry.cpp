#include "app/MainGeometry.h"

#include "app/MainLayoutTable.h"

namespace {

draw::Rect RectOf(int id) {
    const MainControlPlacement* c = FindMainControl(id);
    if (!c)
        return {};
    return {c->x, c->y, c->x + c->width, c->y + c->height};
}

// Room between the thumbnail list's right edge and the result labels' column.
constexpr int kLabelColumnGap = 6;

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
    return s;
}

GeometryConstants MainGeometryConstants() {
    const draw::Rect main = RectOf(1011);
    const draw::Rect label0 = RectOf(kResultLabelIds[0]);
    const draw::Rect list = RectOf(1061);
    GeometryConstants k;
    k.viewSpan = main.Width();
    // Labels 0..3 end up in one column right of the (shifted) list, at the height of their
    // start-up row less the lift: the row right under the image.
    k.labelShift = list.right + kLabelColumnGap - label0.left;
    k.labelLift = label0.top - main.bottom - 4;
    // The review buttons stay under the list's column.
    k.reviewShift = RectOf(1058).left - list.left;
    k.extra = 80;
    k.minViewSize = 100;
    return k;
}
