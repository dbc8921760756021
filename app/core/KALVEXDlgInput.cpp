// Keys and buttons of the main window, the live panel's BB and BM buttons, the Archive
// button, the panel-event callbacks, the half views' clicks, and the thumbnail list's state
// tests the dispatcher asks.
#include <cmath>
#include <numbers>

#include "app/core/KALVEXDlg.h"
#include "app/core/MainGlobals.h"
#include "app/core/MeasureTools.h"
#include "common/EventHub.h"

using namespace maindlg;

namespace {

struct KeyCommand {
    int key;
    int command;
};

// The key table: key-down of a key runs its command (letters without a modifier test;
// commands 78 and 80 read Shift and Ctrl themselves).
constexpr KeyCommand kKeyTable[] = {
    {vk::kBack, 44}, {vk::kReturn, 86}, {vk::kSpace, 26}, {vk::kLeft, 37}, {vk::kUp, 71}, {vk::kRight, 38},
    {vk::kDown, 72}, {vk::k9, 77},      {vk::kA, 78},     {vk::kB, 76},    {vk::kC, 40},  {vk::kD, 82},
    {vk::kH, 75},    {vk::kM, 81},      {vk::kP, 41},     {vk::kS, 73},    {vk::kX, 43},  {vk::kF1, 27},
    {vk::kF2, 28},   {vk::kF3, 29},     {vk::kF4, 30},    {vk::kF5, 31},   {vk::kF6, 32}, {vk::kF7, 33},
    {vk::kF8, 34},   {vk::kF9, 35},     {vk::kF10, 36},   {vk::kF11, 85},  {vk::kG, 80},  {vk::kI, 39},
    {vk::kO, 83},    {vk::kR, 79},      {vk::kW, 74},     {vk::kZ, 42},
};

}  // namespace

int KeyCommandOf(const KeyInput& key) {
    // Alt+F4 is the window manager's close request, not the F4 command.
    if (key.alt && key.key == vk::kF4)
        return 0;
    for (const KeyCommand& entry : kKeyTable) {
        if (entry.key == key.key)
            return entry.command;
    }
    return 0;
}

bool CKALVEXDlg::PreTranslateKey(const KeyInput& key) {
    if (!m_bActive || m_bClosing)
        return false;
    if (m_bCineStoreRunning || m_bBusy) {
        if (key.key == vk::kEscape)
            m_bCancelRequested = true;
        return false;
    }
    if (m_ports.thumbnails->HasSelection()) {
        if (key.key == vk::kUp || key.key == vk::kDown)
            return false;
        if (key.key == vk::kLeft) {
            m_ports.review->OnBnClickedPrev();
            return true;
        }
        if (key.key == vk::kRight) {
            m_ports.review->OnBnClickedNext();
            return true;
        }
    }
    if (key.alt && key.key == vk::kF4)
        return false;
    if (const int command = KeyCommandOf(key))
        ExecCommand(command);
    // TAB and SHIFT move the focus as usual; every other key ends here, so Esc and Enter
    // never reach a default handling that would close the window.
    return !(key.key == vk::kTab || key.key == vk::kShift);
}

void CKALVEXDlg::OnButtonClicked(int id) {
    if (m_bClosing)
        return;
    switch (id) {
        case IDC_FREEZE:
            ExecCommand(kCmdFreeze);
            break;
        case IDC_QUIT:
            ExecCommand(kCmdQuit);
            break;
        case IDC_BTN4:
            ExecCommand(m_nRunState == kFrozen ? kCmdStoreStill : kCmdInvert);
            break;
        case IDC_BTN5:
            ExecCommand(kCmdStoreCine);
            break;
        case IDC_BTN6:
            ExecCommand(kCmdObgy);
            break;
        case IDC_BTN7:
            OnBnClickedBtn7();
            break;
        case IDC_DIST:
            ExecCommand(kCmdDistance);
            break;
        case IDC_AREA:
            ExecCommand(kCmdArea);
            break;
        case IDC_ELLIPSE:
            OnBnClickedEllipse();
            break;
        case IDC_SETTINGS:
            OnSysCommand(0x20);
            break;
        case IDC_PRINT:
            ExecCommand(kCmdPrintRecord);
            break;
        case IDC_CINE_PREV:
            ExecCommand(kCmdCinePrev);
            break;
        case IDC_CINE_NEXT:
            ExecCommand(kCmdCineNext);
            break;
        case IDC_REVIEW_PREV:
            m_ports.review->OnBnClickedPrev();
            break;
        case IDC_REVIEW_NEXT:
            m_ports.review->OnBnClickedNext();
            break;
        case IDC_REVIEW_PLAY:
            m_ports.review->OnBnClickedPlay();
            break;
        case IDC_REVIEW_STOP:
            m_ports.review->OnBnClickedStop();
            break;
        case IDC_EXP_JPEG:
            OnBnClickedExpJpeg();
            break;
        case IDC_EXP_VIDEO:
            OnBnClickedExpVideo();
            break;
        case IDC_DELETE:
            m_ports.thumbnails->DeleteSelected();
            break;
        default:
            break;
    }
}

void CKALVEXDlg::OnStnDblclk(int viewId) {
    switch (viewId) {
        case IDC_VIEW_MAIN:
            ExecCommand(48);
            break;
        case IDC_VIEW_LEFT:
            ExecCommand(52);
            break;
        case IDC_VIEW_RIGHT:
            ExecCommand(56);
            break;
        default:
            break;
    }
}

void CKALVEXDlg::OnBnClickedBtn7() {
    if (!m_controls.IsEnabled(IDC_BTN7))
        return;
    if (!m_bExamList && (g_pProbe.load() || m_bProbeLost))
        m_ports.thumbnails->ShowThumbnailList();
    else
        ExecCommand(kCmdViewer);
}

void CKALVEXDlg::OnBnClickedBb() {
    if (!m_ports.livePanel->IsButtonEnabled(IDC_LIVE_BB))
        return;
    if (m_nRunState == kLive)
        ExecCommand(m_nScreenLayout == 2 ? kCmdDisplayB : kCmdDisplayBB);
    else
        ExecCommand(kCmdObgy);
}

void CKALVEXDlg::OnBnClickedBm() {
    ExecCommand(m_nRunState == kLive ? kCmdDisplayBM : kCmdStoreStill);
}

void CKALVEXDlg::AimMLine(int x, int y) {
    CImageProc* proc = Live();
    if (!proc || m_nRunState != kLive || m_nDisplayMode != kDisplayBM)
        return;
    const int top = proc->GetImageTop(proc->GetDepth());
    const double dx = x - 120;
    const double dy = y + top;
    double angle;
    if (dx < 0)
        angle = std::numbers::pi + std::atan(dy / -dx);
    else if (dx > 0)
        angle = 2 * std::numbers::pi - std::atan(dy / dx);
    else
        angle = 3 * std::numbers::pi / 2;
    const ScanGeometry g = proc->GetGeometry();
    if (angle >= g.sectorStart && angle <= g.sectorEnd) {
        proc->SetMLineAngle(angle);
        ClearMModeSweep();
    }
}

void CKALVEXDlg::OnClickLeftImage(int* data) {
    if (!data)
        return;
    const MouseMessage msg{*data, m_ptLastMouse};
    if (m_nRunState == kLive && m_nDisplayMode == kDisplayBM) {
        const draw::Point p = ToImagePoint(kViewLeft, msg.point);
        AimMLine(p.x, p.y);
        return;
    }
    if (m_nRunState != kFrozen || (m_nDisplayMode != kDisplayBB && m_nDisplayMode != kDisplayBM))
        return;
    m_ports.measurement->OnMeasureMouse(kViewLeft, kViewRight, ViewDepth(kViewLeft), msg.message);
}

void CKALVEXDlg::OnClickRightImage(int* data) {
    if (!data || m_nRunState != kFrozen)
        return;
    const MouseMessage msg{*data, m_ptLastMouse};
    if (m_nDisplayMode == kDisplayBB) {
        m_ports.measurement->OnMeasureMouse(kViewRight, kViewLeft, ViewDepth(kViewRight), msg.message);
        return;
    }
    if (m_nDisplayMode != kDisplayBM)
        return;
    const draw::Point p = ToImagePoint(kViewRight, msg.point);
    if (m_nTool == kToolZoom) {
        m_viewRight.m_nMagnifierX = p.x;
        m_viewRight.m_nMagnifierY = p.y;
    } else if (m_nTool == kToolDistance) {
        StripCaliperClick(p);
    }
}

// The M-mode strip's calipers: pairs 2k, 2k + 1 of the right view's eight points.
void CKALVEXDlg::StripCaliperClick(draw::Point p) {
    CCstmPictureCtrl& strip = m_viewRight;
    CMeasureTools& m = Measure();
    int& c = strip.m_nDistanceCount;
    auto set = [&](int i, int8_t drawn) {
        if (i < 0 || i >= CCstmPictureCtrl::kDistancePointCount)
            return;
        strip.m_aptDistance[static_cast<size_t>(i)] = p;
        strip.m_anDistanceFlag[static_cast<size_t>(i)] = drawn;
    };
    if (MeasureClickState == 1 || MeasureClickState == 3) {
        // The free end starts here too; past the last point there is none to start.
        if (MeasureClickState == 1 && c + 1 < CCstmPictureCtrl::kDistancePointCount)
            set(c + 1, 0);
        set(c, 1);
        DrawFrame(-3, true);
        m.ShowMModeMeasureText(c, (c + 2) / 2 - 1);
        return;
    }
    if (MeasureClickState == 4 && m_nPressView != kViewRight) {
        // The pair began on the B image: its open point there is fixed.
        int& n = m_viewLeft.m_nDistanceCount;
        if (n >= 0 && n < CCstmPictureCtrl::kDistancePointCount)
            m_viewLeft.m_anDistanceFlag[static_cast<size_t>(n)] = 1;
        if (++n >= CCstmPictureCtrl::kDistancePointCount)
            n = 0;
        MeasureClickState = 0;
        m_ports.loupe->Hide();
        DrawFrame(-3, true);
        return;
    }
    set(c, 1);
    ++c;
    if (c % 2 == 1)
        set(c, 1);
    // The placed point goes into the strip's picture before the view shows it again.
    DrawFrame(-3, true);
    if (c > 0 && c % 2 == 0)
        m.ShowMModeMeasureText(c - 2, c / 2 - 1);
    if (c >= CCstmPictureCtrl::kDistancePointCount)
        c = 0;
    for (int k = 4; k < 16; ++k)
        m_controls.Repaint(CMainControlModel::ResultLabelId(k), false);
}

void CKALVEXDlg::OnPanelCommand(void* payload) {
    CKALVEXDlg* dlg = g_pMainDlg.load();
    const auto* args = static_cast<const CommandEventArgs*>(payload);
    if (!dlg || !args || dlg->m_bClosing)
        return;
    MainDlgPorts& ports = dlg->m_ports;
    switch (args->dialogId) {
        case kStcPanel:
            if (args->controlId == IDC_STC_BACK) {
                dlg->ExecCommand(kCmdStcPanel);
                ports.livePanel->FocusButton(IDC_LIVE_FREEZE);
            } else if (args->controlId == IDC_STC_AUTO) {
                if (dlg->m_nStcMode == kStcAbsolute) {
                    std::fill(g_anStcValue, g_anStcValue + kStcKnotCount, 0);
                    dlg->SyncStcSliders();
                    dlg->UpdateStcCurve();
                } else {
                    dlg->ToggleStcAuto();
                }
            }
            break;
        case kLivePanel:
            switch (args->controlId) {
                case IDC_LIVE_FREEZE:
                    dlg->ExecCommand(kCmdFreeze);
                    break;
                case IDC_LIVE_BB:
                    dlg->OnBnClickedBb();
                    break;
                case IDC_LIVE_BM:
                    dlg->OnBnClickedBm();
                    break;
                case IDC_LIVE_SYNCVIEW:
                    ports.recorder->ToggleCamera();
                    break;
                case IDC_LIVE_REC:
                    dlg->ExecCommand(kCmdPrintRecord);
                    break;
                case IDC_LIVE_STC:
                    dlg->ExecCommand(kCmdStcPanel);
                    break;
                default:
                    break;
            }
            break;
        case kObPanel:
            switch (args->controlId) {
                case IDC_OB_BACK:
                    dlg->ExecCommand(kCmdObgy);
                    break;
                case IDC_OB_BPD:
                case IDC_OB_FL:
                case IDC_OB_CRL:
                case IDC_OB_AC:
                case IDC_OB_GS:
                    ports.obgy->OnObButton(args->controlId);
                    break;
                case IDC_OB_LMP:
                    ports.obgy->EditLmpDate();
                    break;
                case IDC_OB_BBT:
                    ports.obgy->EditBbtDate();
                    break;
                case IDC_OB_GAGE:
                    ports.obgy->ShowObResults();
                    break;
                default:
                    break;
            }
            break;
        case kRightPanel:
            if (args->controlId == IDC_R_FREQ1 || args->controlId == IDC_R_FREQ2 ||
                args->controlId == IDC_R_FREQ3)
                dlg->SelectPreset(args->controlId);
            break;
        default:
            break;
    }
}

void CKALVEXDlg::OnPanelValueChanged(void* payload) {
    CKALVEXDlg* dlg = g_pMainDlg.load();
    const auto* args = static_cast<const ScrollEventArgs*>(payload);
    if (!dlg || !args || dlg->m_bClosing)
        return;
    int code = static_cast<int>(args->scrollCode);
    if (args->dialogId == kRightPanel) {
        switch (args->controlId) {
            case IDC_R_DEPTH:
                dlg->ExecCommand(kCmdApplyDepth, &code, nullptr);
                break;
            case IDC_R_GAIN:
                dlg->ExecCommand(kCmdGain, &code);
                break;
            case IDC_R_CONTRAST:
                dlg->ExecCommand(kCmdContrast, &code);
                break;
            case IDC_R_GAMMA:
                dlg->ApplyGammaFromSlider();
                break;
            default:
                break;
        }
    } else if (args->dialogId == kStcPanel) {
        int index = args->controlId - IDC_STC_SLIDER_FIRST;
        if (index >= 0 && index < IStcPanel::kSliderCount)
            dlg->ExecCommand(kCmdStcKnot, &index);
    }
}

void CKALVEXDlg::OnPanelNotify(void* payload) {
    CKALVEXDlg* dlg = g_pMainDlg.load();
    if (!dlg || !payload || dlg->m_bClosing)
        return;
    dlg->m_ports.rightPanel->RedrawSliderValues(payload);
}

bool CKALVEXDlg::IsPreviewShown() const {
    return m_nRunState == kFrozen && m_nObSelItem == 0 && m_ports.obPanel->GetState() != 1 && m_bExamList &&
           m_controls.IsShown(IDC_PREVIEW);
}

bool CKALVEXDlg::CanPlayCine() const {
    return m_nRunState == kFrozen && m_bExamList && !m_ports.thumbnails->IsStoredCineShown() &&
           m_nObSelectedImage < 0 && CapturedFrames() > 0 && !m_controls.IsShown(IDC_PREVIEW);
}
