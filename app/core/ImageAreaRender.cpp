#include "app/core/ImageAreaRender.h"

#include <algorithm>
#include "app/core/KALVEXDlg.h"

#include "platform/draw/Painter.h"
#include "platform/draw/Scale.h"

namespace mainarchive {

using namespace maindlg;

namespace {

bool ShowsHalves(const CKALVEXDlg& dlg) {
    const CMainControlModel& controls = dlg.Controls();
    return !controls.IsShown(IDC_VIEW_MAIN) && controls.IsShown(IDC_VIEW_LEFT) &&
           (dlg.m_nDisplayMode == kDisplayBB || dlg.m_nDisplayMode == kDisplayBM);
}

}  // namespace

int HalvesSplitColumn(const CKALVEXDlg& dlg) {
    if (!ShowsHalves(dlg))
        return 0;
    const int left = dlg.m_viewLeft.BackBuffer().width();
    const int both = left + dlg.m_viewRight.BackBuffer().width();
    return both > 0 ? left * kStillSide / both : 0;
}

Image32 RenderImageArea(const CKALVEXDlg& dlg) {
    Image32 source;
    if (ShowsHalves(dlg)) {
        const Image32& left = dlg.m_viewLeft.BackBuffer();
        const Image32& right = dlg.m_viewRight.BackBuffer();
        const int h = std::max(left.height(), right.height());
        source.Resize(left.width() + right.width(), std::max(h, 1), 0);
        const Image32 l = dlg.m_viewLeft.RenderClient(left.width(), left.height());
        const Image32 r = dlg.m_viewRight.RenderClient(right.width(), right.height());
        for (int y = 0; y < l.height(); ++y)
            for (int x = 0; x < l.width(); ++x)
                source.At(x, y) = l.At(x, y);
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                source.At(left.width() + x, y) = r.At(x, y);
    } else {
        const Image32& back = dlg.m_viewMain.BackBuffer();
        source = dlg.m_viewMain.RenderClient(std::max(back.width(), 1), std::max(back.height(), 1));
    }
    Image32 out(kStillSide, kStillSide, 0);
    if (source.width() > 0 && source.height() > 0)
        draw::StretchHalftone(source, {0, 0, source.width(), source.height()}, out,
                              {0, 0, kStillSide, kStillSide});
    return out;
}

archive::ResultLabels CollectResultLabels(const CKALVEXDlg& dlg) {
    const CMainControlModel& controls = dlg.Controls();
    archive::ResultLabels labels;
    auto take = [&](size_t index) {
        const int id = kResultLabels[index];
        return archive::ResultLabel{controls.Text(id), controls.IsShown(id)};
    };
    for (size_t k = 0; k < 4; ++k)
        labels.row[k] = take(k);
    for (size_t k = 0; k < 4; ++k)
        for (size_t r = 0; r < 3; ++r)
            labels.column[k][r] = take(4 + 3 * k + r);
    return labels;
}

archive::LabelTool LabelToolOf(int tool) {
    switch (tool) {
        case kToolNone:
            return archive::LabelTool::None;
        case kToolDistance:
            return archive::LabelTool::Distance;
        case kToolArea:
            return archive::LabelTool::Area;
        case kToolEllipse:
            return archive::LabelTool::Ellipse;
        default:
            return archive::LabelTool::Other;
    }
}

archive::LabelDisplayMode LabelModeOf(int displayMode) {
    if (displayMode == kDisplayBB)
        return archive::LabelDisplayMode::BB;
    if (displayMode == kDisplayBM)
        return archive::LabelDisplayMode::BM;
    return archive::LabelDisplayMode::B;
}

Image32 RenderStill(const CKALVEXDlg& dlg) {
    Image32 image = RenderImageArea(dlg);
    archive::DrawStillLabels(
        image, archive::StillLabelLayout(LabelToolOf(dlg.m_nTool), LabelModeOf(dlg.m_nDisplayMode),
                                         CollectResultLabels(dlg)));
    return image;
}

Image32 RenderReport(const CKALVEXDlg& dlg) {
    Image32 image = RenderImageArea(dlg);
    archive::DrawStillLabels(
        image, archive::ReportLabelLayout(LabelToolOf(dlg.m_nTool), LabelModeOf(dlg.m_nDisplayMode),
                                          CollectResultLabels(dlg)));
    return image;
}

void DrawOverlayText(Image32& image, const draw::Rect& rect, const std::string& text, uint32_t pixel,
                     draw::FontRole role) {
    if (text.empty())
        return;
    draw::Painter painter(image);
    painter.DrawText(rect, text, draw::FontFor(role), pixel, draw::kTextLeft | draw::kTextTop);
}

}  // namespace mainarchive
