// The area trace of the area tool and of HC: placement, rubber band, undo, closing, results
// and the removal of unfinished traces.
#include "app/core/MeasureTools.h"

#include <algorithm>

#include "app/core/KALVEXDlg.h"
#include "measure/MeasureText.h"
#include "measure/ResultLabels.h"
#include "measure/TraceMeasure.h"

using namespace maindlg;

void CMeasureTools::RubberBand(int viewCode, std::vector<draw::Point>& trace, draw::Point p) {
    const size_t before = trace.size();
    trace.push_back(p);
    if (d_.MeasureClickState == 1)
        trace.push_back(p);
    d_.DrawView(viewCode);
    trace.resize(before);
    Repaint(viewCode);
}

void CMeasureTools::UndoTracePoint(int viewCode, std::vector<draw::Point>& trace) {
    if (trace.size() > 1) {
        const draw::Point last = trace.back();
        trace.pop_back();
        WarpToImagePoint(viewCode, last);
    } else {
        trace.clear();
        d_.MeasureClickState = 0;
        d_.m_nTraceView = 0;
        HideLoupe();
    }
    Redraw(viewCode);
}

void CMeasureTools::TraceMouse(int viewCode, int otherViewCode, draw::Point p, bool hc) {
    CCstmPictureCtrl& v = View(viewCode);
    CCstmPictureCtrl& main = View(kViewMain);
    const auto s = static_cast<size_t>(WrapSlot(main.m_nTraceSlot));
    auto& trace = hc ? v.m_vecHcTrace : v.m_avecTrace[s];
    const int state = d_.MeasureClickState;
    if (state == 1) {
        trace.clear();
        if (hc)
            v.m_nHcTraceShown = 1;
        else
            v.m_abTraceFlag[s] = 1;
        RubberBand(viewCode, trace, p);
        return;
    }
    if (state == 0 || state == 3) {
        if (!hc)
            v.m_abTraceFlag[s] = 1;
        RubberBand(viewCode, trace, p);
        return;
    }
    if (state == 2) {
        d_.m_nTraceView = viewCode;
        if (main.m_nTraceSlot > 3 || hc) {
            main.m_nTraceSlot = 0;
            RepaintLabels();
        }
        const auto slot = static_cast<size_t>(WrapSlot(main.m_nTraceSlot));
        auto& first = hc ? v.m_vecHcTrace : v.m_avecTrace[slot];
        first.clear();
        if (!hc && otherViewCode != 0 && d_.m_nDisplayMode == kDisplayBB && BbDepthsDiffer()) {
            CCstmPictureCtrl& other = View(otherViewCode);
            other.m_avecTrace[slot].clear();
            other.m_abTraceFlag[slot] = 0;
        }
        first.push_back(p);
        if (hc)
            v.m_nHcTraceShown = 1;
        else
            v.m_abTraceFlag[slot] = 1;
        Redraw(viewCode);
        return;
    }
    // state 4: a later release
    if (viewCode != d_.m_nTraceView || trace.empty())
        return;
    if (trace.size() >= 2 && ClosesTrace(trace.front(), p)) {
        trace.push_back(trace.front());
        Redraw(viewCode);
        CloseTrace(viewCode, trace, hc);
        d_.m_nTraceView = 0;
        return;
    }
    trace.push_back(p);
    if (trace.size() > 1)
        Redraw(viewCode);
    d_.MeasureClickState = 5;
}

void CMeasureTools::CloseTrace(int viewCode, std::vector<draw::Point>& trace, bool hc) {
    const auto result = MeasureTrace(trace, ScaleOfPoints(viewCode, trace));
    if (hc) {
        const int image = d_.m_nObSelectedImage >= 0       ? d_.m_nObSelectedImage
                          : d_.m_nDisplayMode == kDisplayB ? CurrentCineFrame()
                                                           : -1;
        StoreObSlot(ObItemHc - 1, viewCode);
        m_obValues.Commit(ObItemHc, result ? std::optional<double>(result->perimeterMm) : std::nullopt,
                          image);
        return;
    }
    CCstmPictureCtrl& main = View(kViewMain);
    const int s = WrapSlot(main.m_nTraceSlot);
    const TraceTexts texts = FormatTraceTexts(result);
    SetResultLabel(FirstResultLabel(s), texts.perimeter, true);
    SetResultLabel(SecondResultLabel(s), texts.area, true);
    ++main.m_nTraceSlot;
    RepaintLabels();
}

bool CMeasureTools::ClearUnfinishedMeasures(int viewCode) {
    CCstmPictureCtrl& v = View(viewCode);
    const int s = WrapSlot(View(kViewMain).m_nTraceSlot);
    bool removed = false;
    for (size_t i = 0; i < CCstmPictureCtrl::kTraceSlotCount; ++i) {
        if (!IsUnfinishedTrace(v.m_avecTrace[i]))
            continue;
        v.m_avecTrace[i].clear();
        v.m_abTraceFlag[i] = 0;
        SetResultLabel(FirstResultLabel(s), CircumDashText(), false);
        SetResultLabel(SecondResultLabel(s), AreaDashText(), false);
        removed = true;
    }
    return removed;
}
