// The mouse and touch input of the main window: the button bits, the held review buttons,
// the click routing (body mark, BB indicators, depth-scale focus, measurement, abandoned
// press), the right button and frozen moves into the measurement handlers, and gestures.
#include <algorithm>

#include "app/core/KALVEXDlg.h"
#include "app/core/MainGlobals.h"

using namespace maindlg;

namespace {

// The held review buttons: Prev is 1, Next 2.
constexpr int kHeldButtonIds[2] = {IDC_REVIEW_PREV, IDC_REVIEW_NEXT};

bool Inside(const draw::Rect& r, draw::Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

draw::Rect CKALVEXDlg::ViewRect(int viewCode) const {
    switch (viewCode) {
        case kViewLeft:
            return m_geometry.left;
        case kViewRight:
            return m_geometry.right;
        default:
            return m_geometry.main;
    }
}

bool CKALVEXDlg::PointInView(int viewCode, draw::Point client) const {
    return Inside(ViewRect(viewCode), client);
}

draw::Point CKALVEXDlg::ToImagePoint(int viewCode, draw::Point client) const {
    const draw::Rect r = ViewRect(viewCode);
    const double scale = const_cast<CKALVEXDlg*>(this)->View(viewCode).m_dViewScale;
    return {static_cast<int>((client.x - r.left) * scale), static_cast<int>((client.y - r.top) * scale)};
}

int CKALVEXDlg::ViewDepth(int viewCode) const {
    if (viewCode == kViewMain) {
        const CImageProc* proc = m_nTool == kToolObgy ? m_pReviewProc.get() : m_pLiveProc.get();
        return proc ? proc->GetDepth() : -1;
    }
    if (!m_pLiveProc)
        return -1;
    return m_pLiveProc->Cine().GetSpecialDepth(viewCode == kViewLeft ? 0 : 1);
}

bool CKALVEXDlg::MeasuresOnMainView() const {
    if (m_nDisplayMode == kDisplayB || m_nTool == kToolObgy)
        return true;
    return m_nDisplayMode == kDisplayBB && ViewDepth(kViewLeft) == ViewDepth(kViewRight);
}

bool CKALVEXDlg::PreTranslateMouse(const MouseMessage& msg) {
    if (!m_bActive || m_bClosing)
        return false;
    if (m_bCineStoreRunning || m_bBusy)
        return false;
    m_ptLastMouse = msg.point;
    switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            m_nMouseButtons |= 1;
            break;
        case WM_RBUTTONDOWN:
            m_nMouseButtons |= 2;
            break;
        case WM_LBUTTONUP:
            m_nMouseButtons &= ~1;
            break;
        case WM_RBUTTONUP:
            m_nMouseButtons &= ~2;
            break;
        default:
            break;
    }
    TrackPictureButtonPress(msg);
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP)
        return RouteClick(msg);
    if (msg.message == WM_RBUTTONUP) {
        RouteRightButtonUp(msg);
    } else if (msg.message == WM_MOUSEMOVE && m_nRunState == kFrozen) {
        IMeasurement& m = *m_ports.measurement;
        if (MeasuresOnMainView()) {
            m.OnMeasureMouseMove(kViewMain, PointerOf(msg, kViewMain));
        } else {
            // In BM the right view is the M-mode strip; the measuring knows it by the view.
            m.OnMeasureMouseMove(kViewLeft, PointerOf(msg, kViewLeft));
            m.OnMeasureMouseMove(kViewRight, PointerOf(msg, kViewRight));
        }
    }
    return false;
}

void CKALVEXDlg::RouteRightButtonUp(const MouseMessage& msg) {
    IMeasurement& m = *m_ports.measurement;
    if (MeasuresOnMainView()) {
        m.OnMeasureRButtonUp(kViewMain, PointerOf(msg, kViewMain));
    } else {
        m.OnMeasureRButtonUp(kViewLeft, PointerOf(msg, kViewLeft));
        m.OnMeasureRButtonUp(kViewRight, PointerOf(msg, kViewRight));
    }
}

MeasurePointer CKALVEXDlg::PointerOf(const MouseMessage& msg, int viewCode) const {
    const draw::Rect r = ViewRect(viewCode);
    return {msg.message, {msg.point.x - r.left, msg.point.y - r.top}, PointInView(viewCode, msg.point)};
}

bool CKALVEXDlg::TrackPictureButtonPress(const MouseMessage& msg) {
    if (msg.message == WM_LBUTTONUP && m_nHeldPicButton != 0) {
        const int held = m_nHeldPicButton;
        m_controls.SetButtonState(kHeldButtonIds[held - 1], kStateNormal);
        m_controls.Repaint(kHeldButtonIds[held - 1], false);
        m_nPicButtonToRestore = held;
        m_nHeldPicButton = 0;
        m_ports.timers->StartTimer(kTimerRestoreButton, 1);
        return m_nHeldTicks > 5;
    }
    if (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK)
        return false;
    const draw::Rect rects[2] = {m_geometry.reviewPrev, m_geometry.reviewNext};
    for (int i = 0; i < 2; ++i) {
        const int id = kHeldButtonIds[i];
        // Only a button the user can see and press: a hidden one must not start a repeat.
        if (!m_controls.IsShown(id) || !m_controls.IsEnabled(id) || !Inside(rects[i], msg.point))
            continue;
        m_nHeldPicButton = i + 1;
        m_controls.SetButtonState(id, kStateHighlighted);
        m_controls.Repaint(id, false);
        m_nHeldTicks = 0;
        return true;
    }
    return false;
}

bool CKALVEXDlg::RouteClick(const MouseMessage& msg) {
    const bool down = msg.message == WM_LBUTTONDOWN;
    const draw::Point p = ToImagePoint(kViewMain, msg.point);

    // The body mark of a frozen exam image opens the picker; its 10-pixel border does not.
    const draw::Rect& mark = m_viewMain.m_rcBodyMark;
    if (CanPlayCine() && p.x > mark.left + 10 && p.x < mark.right - 10 && p.y > mark.top + 10 &&
        p.y < mark.bottom - 10) {
        // One picker per click: the release of the same click only ends it.
        if (down)
            ExecCommand(kCmdBodyMark);
        return true;
    }

    // The BB active-side indicators, in the main view's pixels folded onto a half.
    if (!m_bPcMode && m_nDisplayMode == kDisplayBB) {
        const int x = p.x > 240 ? p.x - 240 : p.x;
        if (m_viewLeft.HitTestIndicator(x, p.y)) {
            ExecCommand(kCmdBbLeft);
            return true;
        }
        if (m_viewRight.HitTestIndicator(x, p.y)) {
            ExecCommand(kCmdBbRight);
            return true;
        }
    }

    if (DepthScaleClick(msg))
        return true;

    m_nLastClickView = 0;
    if (MeasuresOnMainView()) {
        OnMeasureLButton(msg, kViewMain, 46);
    } else {
        OnMeasureLButton(msg, kViewLeft, 50);
        OnMeasureLButton(msg, kViewRight, 54);
    }
    if (!down)
        AbandonPressSequence();
    return false;
}

bool CKALVEXDlg::DepthScaleClick(const MouseMessage& msg) {
    IProbeData* probe = g_pProbe.load();
    if (m_nRunState != kLive || !probe || !probe->IsFeatureSupported(0))
        return false;
    int view = 0;
    if (m_nDisplayMode == kDisplayB)
        view = kViewMain;
    else if (m_nDisplayMode == kDisplayBM)
        view = kViewLeft;
    else if (m_nBbSide == 1)
        view = kViewLeft;
    else if (m_nBbSide == 2)
        view = kViewRight;
    // No active half (none chosen yet, or a switch pending): no focus click.
    if (view == 0)
        return false;
    // Only a point of that view: a click elsewhere is not on its depth scale.
    if (!PointInView(view, msg.point))
        return false;
    const CCstmPictureCtrl& v = View(view);
    const draw::Point p = ToImagePoint(view, msg.point);
    if (p.x < 0 || p.x > v.m_nScaleStripWidth || p.y < 0)
        return false;
    const std::vector<int>& rows = v.m_vecTickBoundaries;
    const auto it = std::find_if(rows.begin(), rows.end(), [&](int row) { return row >= p.y; });
    if (it == rows.end())
        return false;  // below the last tick: an ordinary click
    const int focus = static_cast<int>((it - rows.begin()) * v.m_nTickStep);
    if (msg.message == WM_LBUTTONUP && probe->SetFocus(focus)) {
        if (CImageProc* proc = Live())
            proc->SetFocus(focus);
    }
    return true;
}

void CKALVEXDlg::OnMeasureLButton(const MouseMessage& msg, int viewCode, int /*command*/) {
    // The click sequence (the measuring's) takes the point relative to the view and runs
    // the view's mouse command.
    m_ports.measurement->OnMeasureLButton(viewCode, PointerOf(msg, viewCode));
}

void CKALVEXDlg::AbandonPressSequence() {
    // Released outside the view of the press while a sequence runs: it ends, and whatever
    // it left half placed goes.
    if ((m_nLastClickView == 0 || m_nLastClickView != m_nPressView) && MeasureClickState > 0)
        m_ports.measurement->CancelMeasureSequence();
}

bool CKALVEXDlg::OnGesture(int gestureId, draw::Point client) {
    if (!m_bActive || m_bClosing || m_bBusy || m_bCineStoreRunning)
        return false;
    switch (gestureId) {
        case GID_BEGIN:
            m_nPendingGesture = 0;
            return false;
        case GID_TWOFINGERTAP:
        case GID_PRESSANDTAP:
            m_nPendingGesture = gestureId;
            return false;
        case GID_END:
            if (m_nPendingGesture == 0)
                return false;
            // A tap acts as a right-button release at its point, by the right button's rule.
            m_ptLastMouse = client;
            RouteRightButtonUp(MouseMessage{WM_RBUTTONUP, client});
            m_nPendingGesture = 0;
            return true;
        default:
            return false;
    }
}
