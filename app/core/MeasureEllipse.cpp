// The ellipse tool: choosing the ellipse a press acts on, the placement and drag state
// machine (also for AC) and the results.
#include "app/core/MeasureTools.h"

#include <algorithm>

#include "app/core/KALVEXDlg.h"
#include "measure/EllipseMeasure.h"

using namespace maindlg;

namespace {

bool IsPress(int state) {
    return state == 1 || state == 3;
}

}  // namespace

void CMeasureTools::EllipseToolMouse(int viewCode, draw::Point p) {
    CCstmPictureCtrl& v = View(viewCode);
    const bool press = IsPress(d_.MeasureClickState);
    if (v.m_aEllipse[static_cast<size_t>(v.m_nEllipseCurrent)].state == EllipseStateDeselected && press) {
        for (int i = 0; i < v.m_nEllipseCount; ++i) {
            CEllipseCaliper& e = v.m_aEllipse[static_cast<size_t>(i)];
            if (e.state >= EllipseStateSelected && e.Measure(p) <= 1.0) {
                v.m_nEllipseCurrent = i;
                e.state = EllipseStateSelected;
            }
        }
    }
    CEllipseCaliper& current = v.m_aEllipse[static_cast<size_t>(v.m_nEllipseCurrent)];
    if (current.state == EllipseStateDeselected && press && !(current.Measure(p) <= 1.0)) {
        const int max =
            d_.m_nDisplayMode == kDisplayBB && BbDepthsDiffer() ? 2 : CCstmPictureCtrl::kEllipseCount;
        if (v.m_nEllipseCurrent < max - 1)
            ++v.m_nEllipseCurrent;
    }
    OnEllipseMouse(viewCode, p, v.m_aEllipse[static_cast<size_t>(v.m_nEllipseCurrent)], false);
}

void CMeasureTools::OnEllipseMouse(int viewCode, draw::Point p, CEllipseCaliper& e, bool isAc) {
    CCstmPictureCtrl& v = View(viewCode);
    const bool press = IsPress(d_.MeasureClickState);
    switch (e.state) {
        case EllipseStateEmpty:
            if (press) {
                e.handle[0] = p;
                e.state = EllipseStatePlacing;
                v.m_nEllipseFreeX = p.x;
                v.m_nEllipseFreeY = p.y;
                if (isAc)
                    v.m_nObgyEllipseShown = 1;
            }
            break;
        case EllipseStatePlacing:
            if (press)
                break;
            if (e.HitTest(p) != 0) {
                e.handle[1] = p;
                e.Recalculate(1, 1);
                e.state = EllipseStateSelected;
                if (isAc) {
                    UpdateAcResult();
                    TagSelectedImage(ObItemName(ObItemAc));
                } else {
                    v.m_nEllipseCount = std::min(v.m_nEllipseCount + 1, CCstmPictureCtrl::kEllipseCount);
                    UpdateEllipseResults(viewCode);
                }
            } else {
                e.state = EllipseStateEmpty;
            }
            break;
        case EllipseStateSelected:
            if (!press)
                break;
            if (const int h = e.HitTest(p); h < 0) {
                if (e.Measure(p) > 1.0) {
                    e.state = EllipseStateDeselected;
                    v.m_nEllipseFreeX = -1;
                    v.m_nEllipseFreeY = -1;
                }
            } else {
                e.state = EllipseStateDragging;
                d_.m_ports.measureWindows->SetSizingCursor(true);
                v.m_nActiveHandle = h;
                if (h == CEllipseCaliper::kCentre) {
                    v.m_nEllipseFreeX = e.centre().x - p.x;
                    v.m_nEllipseFreeY = e.centre().y - p.y;
                }
            }
            break;
        case EllipseStateDeselected:
            if (press && e.Measure(p) <= 1.0)
                e.state = EllipseStateSelected;
            break;
        case EllipseStateDragging:
            if (!press) {
                e.state = EllipseStateSelected;
                d_.m_ports.measureWindows->SetSizingCursor(false);
            }
            break;
        default:
            break;
    }
    Redraw(viewCode);
}

void CMeasureTools::UpdateEllipseResults(int viewCode) {
    const CCstmPictureCtrl& v = View(viewCode);
    const MeasureScale scale = ScaleOfView(viewCode);
    for (int i = 0; i < v.m_nEllipseCount; ++i) {
        const CEllipseCaliper& e = v.m_aEllipse[static_cast<size_t>(i)];
        const EllipseTexts t = FormatEllipseTexts(MeasureEllipse(e, scale));
        const bool right = viewCode == kViewRight;
        SetResultLabel(right ? 2 + i : i, t.circumference, true);
        SetResultLabel(right ? 10 + 3 * i : 4 + 3 * i, t.area, true);
    }
}
