// The click sequence, the scale of each view, the result labels, the distance and M-mode
// calipers, and the mouse move and right button of every tool.
#include "app/core/MeasureTools.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/core/KALVEXDlg.h"
#include "measure/EllipseMeasure.h"
#include "measure/MeasureText.h"
#include "measure/ResultLabels.h"
#include "measure/TraceMeasure.h"

using namespace maindlg;

namespace {

constexpr int kCmdMouseMain = 46;
constexpr int kCmdMouseLeft = 50;
constexpr int kCmdMouseRight = 54;

}  // namespace

CMeasureTools::CMeasureTools(CKALVEXDlg& dlg) : d_(dlg) {}

CCstmPictureCtrl& CMeasureTools::View(int viewCode) const {
    return d_.View(viewCode);
}

draw::Point CMeasureTools::Scaled(int viewCode) const {
    const double s = View(viewCode).m_dViewScale;
    return {static_cast<int>(m_ptMouse.x * s), static_cast<int>(m_ptMouse.y * s)};
}

bool CMeasureTools::BbDepthsDiffer() const {
    const CImageProc* proc = d_.m_pLiveProc.get();
    return proc && proc->Cine().GetSpecialDepth(0) != proc->Cine().GetSpecialDepth(1);
}

int CMeasureTools::Span() const {
    if (d_.m_nTool == kToolObgy || d_.m_nDisplayMode == kDisplayB)
        return 1;
    if (d_.m_nDisplayMode == kDisplayBB)
        return BbDepthsDiffer() ? 2 : 1;
    return 3;
}

int CMeasureTools::CurrentCineFrame() const {
    const CImageProc* proc = d_.m_pLiveProc.get();
    return proc ? proc->Cine().GetCurrentIndex() : -1;
}

int CMeasureTools::DepthOfView(int viewCode) const {
    return DepthOfColumns(viewCode, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

int CMeasureTools::DepthOfColumns(int viewCode, int xFrom, int xTo) const {
    const CImageProc* proc = d_.m_pLiveProc.get();
    if (d_.m_nTool == kToolObgy && viewCode == kViewMain) {
        if (m_nShownStillDepth != -2)
            return m_nShownStillDepth;
        if (d_.m_nObSelectedImage >= 0)
            return d_.m_ports.obStills->StillDepthOver(d_.m_nObSelectedImage, xFrom, xTo);
        return -1;
    }
    if (!proc)
        return -1;
    const CCineRing& cine = proc->Cine();
    if (d_.m_nDisplayMode == kDisplayBB) {
        if (viewCode == kViewRight)
            return cine.GetSpecialDepth(1);
        return cine.GetSpecialDepth(0);  // the left half, or both halves merged at one depth
    }
    if (d_.m_nDisplayMode == kDisplayBM && viewCode == kViewRight)
        return d_.m_nMStripDepth;
    const auto record = cine.GetFrameRecord(cine.GetCurrentIndex());
    return record ? record->depth : -1;
}

MeasureScale CMeasureTools::ScaleOfView(int viewCode) const {
    return ScaleOfColumns(viewCode, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

MeasureScale CMeasureTools::ScaleOfColumns(int viewCode, int xFrom, int xTo) const {
    const CImageProc* proc = d_.m_pLiveProc.get();
    if (!proc)
        return {};
    return MeasureScale::ForDepth(*proc, DepthOfColumns(viewCode, xFrom, xTo));
}

MeasureScale CMeasureTools::ScaleOfPoints(int viewCode, const std::vector<draw::Point>& points) const {
    if (points.empty())
        return ScaleOfView(viewCode);
    const auto [lo, hi] = std::minmax_element(points.begin(), points.end(),
                                              [](draw::Point p, draw::Point q) { return p.x < q.x; });
    return ScaleOfColumns(viewCode, lo->x, hi->x);
}

void CMeasureTools::SetResultLabel(int label, const std::string& text, bool show) {
    const int id = ResultLabelControlId(label);
    if (id < 0)
        return;
    d_.m_controls.SetText(id, text);
    if (show)
        d_.m_controls.Show(id, true);
}

const std::string& CMeasureTools::ResultLabelText(int label) const {
    static const std::string none;
    const int id = ResultLabelControlId(label);
    return id < 0 ? none : d_.m_controls.Text(id);
}

void CMeasureTools::RepaintLabels() {
    for (int id : kResultLabelControlIds)
        d_.m_controls.Repaint(id, true);
}

void CMeasureTools::Redraw(int viewCode) {
    if (viewCode == kViewMain)
        d_.DrawView(kViewMain);
    else
        d_.RedrawImages();
}

void CMeasureTools::Repaint(int viewCode) {
    d_.m_ports.views->RepaintView(viewCode);
}

void CMeasureTools::WarpToImagePoint(int viewCode, draw::Point p) {
    const double s = View(viewCode).m_dViewScale;
    const draw::Point client{static_cast<int>(p.x / s + 0.5), static_cast<int>(p.y / s + 0.5)};
    m_ptMouse = client;
    d_.m_ports.measureWindows->WarpPointer(viewCode, client);
}

void CMeasureTools::ShowLoupe() {
    d_.m_ports.loupe->Show();
}

void CMeasureTools::HideLoupe() {
    if (d_.m_ports.loupe->IsShown())
        d_.m_ports.loupe->Hide();
}

bool CMeasureTools::IsMeasureMode() const {
    return d_.m_nRunState == kFrozen && (d_.m_nObSelItem != 0 || d_.m_ports.obPanel->GetState() == 1);
}

// ---- click sequence

void CMeasureTools::OnMeasureLButton(int viewCode, const MeasurePointer& pointer) {
    if (!pointer.inside)
        return;
    m_ptMouse = pointer.point;
    d_.m_nLastClickView = viewCode;
    int& state = d_.MeasureClickState;
    if (state != 0 && viewCode != d_.m_nPressView)
        return;
    if (d_.m_nTool == kToolObgy && d_.m_ports.thumbnails->GetItemCount() == 0)
        return;
    const bool frozen = d_.m_nRunState == kFrozen;
    if (pointer.message == kMsgLButtonDown) {
        if (state == 0) {
            state = 1;
            d_.m_nPressView = viewCode;
            const int tool = d_.m_nTool;
            const bool stripArea =
                tool == kToolArea && viewCode == kViewRight && d_.m_nDisplayMode == kDisplayBM;
            if (frozen && (tool == kToolObgy || tool == kToolDistance || (tool == kToolArea && !stripArea)))
                ShowLoupe();
            if (tool == kToolObgy)
                RemoveLoneObPoints();
            if (tool == kToolDistance) {
                CCstmPictureCtrl& v = View(viewCode);
                if (v.m_nDistanceCount % 2 == 1) {
                    v.m_anDistanceFlag[static_cast<size_t>(v.m_nDistanceCount)] = 0;
                    --v.m_nDistanceCount;
                    if (d_.m_nDisplayMode != kDisplayBM)
                        View(kViewMain).m_nDistanceCount = v.m_nDistanceCount;
                    if (viewCode == kViewLeft)
                        View(kViewRight).m_nDistanceCount = v.m_nDistanceCount;
                    else if (viewCode == kViewRight)
                        View(kViewLeft).m_nDistanceCount = v.m_nDistanceCount;
                }
            }
        } else if (state > 0) {
            state = 3;
        } else {
            state = 0;
            HideLoupe();
        }
    } else {
        if (state == 1) {
            state = 2;
        } else if (state > 1) {
            state = 4;
        } else {
            state = 0;
            HideLoupe();
        }
    }
    int message = pointer.message;
    const int command = viewCode == kViewLeft    ? kCmdMouseLeft
                        : viewCode == kViewRight ? kCmdMouseRight
                                                 : kCmdMouseMain;
    d_.ExecCommand(command, &message);
    if (state == 4) {
        state = 0;
        d_.m_nPressView = 0;
        HideLoupe();
    }
}

void CMeasureTools::CancelMeasureSequence() {
    d_.MeasureClickState = 0;
    d_.m_nPressView = 0;
    HideLoupe();
    for (int vc : {kViewMain, kViewLeft, kViewRight})
        DropOpenPair(vc, true);
    for (int vc : {kViewMain, kViewLeft, kViewRight}) {
        ClearUnfinishedMeasures(vc);
        ResetObMeasureResults(vc);
    }
    d_.m_nTraceView = 0;
    // What was dropped leaves the picture as well.
    if (d_.m_nRunState == kFrozen)
        d_.RedrawImages();
}

void CMeasureTools::DropOpenPair(int viewCode, bool showDash) {
    CCstmPictureCtrl& v = View(viewCode);
    if (v.m_nDistanceCount % 2 == 0)
        return;
    const int pair = (v.m_nDistanceCount - 1) / 2;
    v.m_anDistanceFlag[static_cast<size_t>(v.m_nDistanceCount)] = 0;
    v.m_anDistanceFlag[static_cast<size_t>(v.m_nDistanceCount - 1)] = 0;
    --v.m_nDistanceCount;
    if (!showDash)
        return;
    if (viewCode == kViewRight && d_.m_nDisplayMode == kDisplayBM)
        SetResultLabel(SecondResultLabel(pair), kMModeDashText, true);
    else
        SetResultLabel(FirstResultLabel(pair), kDistanceDashText, true);
}

void CMeasureTools::OnMeasureMouse(int viewCode, int otherViewCode, int /*depth*/, int /*message*/) {
    if (d_.m_nRunState != kFrozen)
        return;
    const draw::Point p = Scaled(viewCode);
    switch (d_.m_nTool) {
        case kToolZoom: {
            CCstmPictureCtrl& v = View(viewCode);
            v.m_nMagnifierX = m_ptMouse.x;
            v.m_nMagnifierY = m_ptMouse.y;
            Redraw(viewCode);
            break;
        }
        case kToolArea:
            TraceMouse(viewCode, otherViewCode, p, false);
            break;
        case kToolEllipse:
            EllipseToolMouse(viewCode, p);
            break;
        case kToolDistance:
            DistanceMouse(viewCode, otherViewCode, p);
            break;
        case kToolObgy:
            if (d_.m_nObSelectedImage < 0)
                break;
            if (d_.m_nObItem == ObItemAc)
                AcMouse(viewCode, p);
            else if (d_.m_nObItem == ObItemHc)
                TraceMouse(viewCode, otherViewCode, p, true);
            else if (IsTwoPointObItem(d_.m_nObItem))
                ObPairMouse(viewCode, p);
            break;
        default:
            break;
    }
}

// ---- distance and M-mode calipers

void CMeasureTools::ShowDistanceText(int viewCode, int pointIndex, int label) {
    const CCstmPictureCtrl& v = View(viewCode);
    if (pointIndex < 0 || pointIndex + 1 >= CCstmPictureCtrl::kDistancePointCount)
        return;
    const auto i = static_cast<size_t>(pointIndex);
    SetResultLabel(label, DistanceText(v.m_aptDistance[i], v.m_aptDistance[i + 1], ScaleOfView(viewCode)),
                   true);
}

void CMeasureTools::ShowMModeMeasureText(int pointIndex, int pair) {
    const CCstmPictureCtrl& v = View(kViewRight);
    if (pointIndex < 0 || pointIndex + 1 >= CCstmPictureCtrl::kDistancePointCount)
        return;
    const auto i = static_cast<size_t>(pointIndex);
    SetResultLabel(SecondResultLabel(pair),
                   MModeText(v.m_aptDistance[i], v.m_aptDistance[i + 1], d_.m_nMColumnsPerSecond,
                             ScaleOfView(kViewRight)),
                   true);
}

void CMeasureTools::ShowPairText(int viewCode, int pointIndex, int pair) {
    if (viewCode == kViewRight && d_.m_nDisplayMode == kDisplayBM)
        ShowMModeMeasureText(pointIndex, pair);
    else
        ShowDistanceText(viewCode, pointIndex, FirstResultLabel(pair));
}

void CMeasureTools::DistanceMouse(int viewCode, int otherViewCode, draw::Point p) {
    CCstmPictureCtrl& v = View(viewCode);
    CCstmPictureCtrl& main = View(kViewMain);
    const int span = Span();
    const int state = d_.MeasureClickState;
    auto& count = v.m_nDistanceCount;
    const auto n = static_cast<size_t>(count);
    if (state == 1) {
        v.m_aptDistance[n] = p;
        v.m_aptDistance[n + 1] = p;
        v.m_anDistanceFlag[n] = 1;
        v.m_anDistanceFlag[n + 1] = 0;
        ShowPairText(viewCode, count, count / 2);
        Redraw(viewCode);
        return;
    }
    if (state == 3) {
        v.m_aptDistance[n] = p;
        v.m_anDistanceFlag[n] = 1;
        return;
    }
    if (span == 2 && viewCode != d_.m_nPressView && d_.m_nPressView != 0)
        return;
    CCstmPictureCtrl* other = (span == 2 && otherViewCode != 0) ? &View(otherViewCode) : nullptr;
    if (span == 3 && state == 4 && viewCode == kViewLeft && v.m_anDistanceFlag[n] == 0) {
        CCstmPictureCtrl& strip = View(kViewRight);
        if (strip.m_anDistanceFlag[static_cast<size_t>(strip.m_nDistanceCount)] != 0) {
            strip.m_nDistanceCount = (strip.m_nDistanceCount + 1) % CCstmPictureCtrl::kDistancePointCount;
            d_.MeasureClickState = 0;
            return;
        }
    }
    v.m_aptDistance[n] = p;
    v.m_anDistanceFlag[n] = 1;
    ++count;
    // The other half moves in step; its count never runs past the last point.
    if (other && other->m_nDistanceCount < CCstmPictureCtrl::kDistancePointCount) {
        other->m_anDistanceFlag[static_cast<size_t>(other->m_nDistanceCount)] = 0;
        ++other->m_nDistanceCount;
    }
    if (span >= 2 && &v != &main) {
        if (main.m_nDistanceCount < CCstmPictureCtrl::kDistancePointCount)
            main.m_aptDistance[static_cast<size_t>(main.m_nDistanceCount)] = p;
        main.m_nDistanceCount = count;
    }
    if (count % 2 == 1) {
        const auto free = static_cast<size_t>(count);
        v.m_aptDistance[free] = p;
        v.m_anDistanceFlag[free] = 1;
        if (other && other->m_nDistanceCount < CCstmPictureCtrl::kDistancePointCount)
            other->m_anDistanceFlag[static_cast<size_t>(other->m_nDistanceCount)] = 0;
        if (span >= 2 && &v != &main && main.m_nDistanceCount < CCstmPictureCtrl::kDistancePointCount)
            main.m_aptDistance[static_cast<size_t>(main.m_nDistanceCount)] = p;
    }
    // The placed point goes into the picture before the view shows it again.
    Redraw(viewCode);
    if (count % 2 == 0 && count != 0)
        ShowPairText(viewCode, count - 2, count / 2 - 1);
    if (count >= CCstmPictureCtrl::kDistancePointCount) {
        count = 0;
        if (other)
            other->m_nDistanceCount = 0;
        if (span >= 2)
            main.m_nDistanceCount = 0;
        RepaintLabels();
    }
}

// ---- mouse move and right button

void CMeasureTools::OnMeasureMouseMove(int viewCode, const MeasurePointer& pointer) {
    if (d_.m_nRunState != kFrozen || !pointer.inside)
        return;
    const int state = d_.MeasureClickState;
    if (state != 0 && viewCode != d_.m_nPressView)
        return;
    m_ptMouse = pointer.point;
    const draw::Point p = Scaled(viewCode);
    CCstmPictureCtrl& v = View(viewCode);
    const int tool = d_.m_nTool;
    const int item = d_.m_nObItem;
    const bool obImage = tool == kToolObgy && d_.m_nObSelectedImage >= 0;
    if (tool == kToolDistance && state != 0) {
        const int n = v.m_nDistanceCount;
        if (n % 2 == 1) {
            v.m_aptDistance[static_cast<size_t>(n)] = p;
            ShowPairText(viewCode, n - 1, (n + 1) / 2 - 1);
        } else if (state == 1) {
            v.m_aptDistance[static_cast<size_t>(n)] = p;
            v.m_aptDistance[static_cast<size_t>(n + 1)] = p;
            ShowPairText(viewCode, n, (n + 2) / 2 - 1);
        }
        Redraw(viewCode);
        return;
    }
    if ((tool == kToolArea || (obImage && item == ObItemHc)) && state != 0) {
        const bool areaView = viewCode != kViewRight || d_.m_nDisplayMode == kDisplayBB;
        if (tool == kToolArea && !areaView)
            return;
        auto& trace = tool == kToolArea
                          ? v.m_avecTrace[static_cast<size_t>(WrapSlot(View(kViewMain).m_nTraceSlot))]
                          : v.m_vecHcTrace;
        if (viewCode == d_.m_nTraceView || state == 1)
            RubberBand(viewCode, trace, p);
        return;
    }
    if (tool == kToolEllipse || (obImage && item == ObItemAc)) {
        CEllipseCaliper& e =
            tool == kToolEllipse ? v.m_aEllipse[static_cast<size_t>(v.m_nEllipseCurrent)] : v.m_ellipseObgy;
        if (e.state == EllipseStatePlacing) {
            v.m_nEllipseFreeX = p.x;
            v.m_nEllipseFreeY = p.y;
        } else if (e.state == EllipseStateDragging) {
            d_.m_ports.measureWindows->SetSizingCursor(true);
            draw::Point q = p;
            if (v.m_nActiveHandle == CEllipseCaliper::kCentre)
                q = {p.x + v.m_nEllipseFreeX, p.y + v.m_nEllipseFreeY};
            e.SetPoint(q, v.m_nActiveHandle, 2);
            if (tool == kToolEllipse)
                UpdateEllipseResults(viewCode);
            else
                UpdateAcResult();
        }
        Redraw(viewCode);
        return;
    }
    if (obImage && IsTwoPointObItem(item) && state != 0) {
        const int k = item - 1;
        if (v.m_anObgyStep[static_cast<size_t>(k)] == 1 && item != ObItemSl) {
            v.m_aptObgy[static_cast<size_t>(2 * k + 1)] = p;
            UpdateObCaliper(viewCode, item, false, 2 * k + 1, p);
        }
        Redraw(viewCode);
    }
}

void CMeasureTools::OnMeasureRButtonUp(int viewCode, const MeasurePointer& pointer) {
    if (!pointer.inside || d_.m_nRunState != kFrozen)
        return;
    m_ptMouse = pointer.point;
    const draw::Point p = Scaled(viewCode);
    CCstmPictureCtrl& v = View(viewCode);
    const int tool = d_.m_nTool;
    const int state = d_.MeasureClickState;
    if (tool == kToolDistance) {
        const int n = v.m_nDistanceCount;
        if (n % 2 == 0)
            return;
        const auto first = static_cast<size_t>(n - 1);
        const draw::Point old = v.m_aptDistance[first];
        v.m_aptDistance[first] = p;
        v.m_aptDistance[first + 1] = old;
        WarpToImagePoint(viewCode, old);
        ShowPairText(viewCode, n - 1, (n + 1) / 2 - 1);
        Redraw(viewCode);
        return;
    }
    if (state == 0)
        return;
    if (tool == kToolArea) {
        UndoTracePoint(viewCode, v.m_avecTrace[static_cast<size_t>(WrapSlot(View(kViewMain).m_nTraceSlot))]);
        return;
    }
    if (tool != kToolObgy)
        return;
    const int item = d_.m_nObItem;
    if (item == ObItemHc) {
        UndoTracePoint(viewCode, v.m_vecHcTrace);
    } else if (item == ObItemAc) {
        Redraw(viewCode);
    } else if (IsTwoPointObItem(item) && v.m_anObgyStep[static_cast<size_t>(item - 1)] == 1) {
        const auto q = static_cast<size_t>(2 * (item - 1));
        const draw::Point old = v.m_aptObgy[q];
        v.m_aptObgy[q] = p;
        v.m_aptObgy[q + 1] = old;
        v.m_abObgyFlag[q + 1] = 1;
        WarpToImagePoint(viewCode, old);
        UpdateObCaliper(viewCode, item, false, static_cast<int>(q) + 1, old);
        Redraw(viewCode);
    }
}
