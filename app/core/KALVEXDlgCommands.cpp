// The command dispatcher: every action of the main window ends in one numbered command.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "imaging/ProcessExit.h"
#include "platform/MessageBox.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

// OB/GY items selected by commands 17..22 and 84.
int ObItemOfCommand(int command) {
    switch (command) {
        case 17:
            return 1;  // BPD
        case 18:
            return 2;  // CRL
        case 19:
            return 3;  // GS
        case 20:
            return 4;  // SL
        case 21:
            return 5;  // FL
        case 22:
            return 6;  // AC
        case 84:
            return 7;  // HC
        default:
            return 0;
    }
}

// Frozen layouts of the tools by display mode B, BB and anything else.
int ToolLayout(int first, int displayMode) {
    return first + (displayMode == kDisplayB ? 0 : displayMode == kDisplayBB ? 1 : 2);
}

}  // namespace

bool CKALVEXDlg::IsFrozenIdle() const {
    return m_nRunState == kFrozen && m_nObSelItem == 0 && m_ports.obPanel->GetState() != 1;
}

void CKALVEXDlg::SetLayout(int layout, int subItem) {
    m_nScreenLayout = layout;
    m_nObSelItem = subItem;
    SetScreenLayout(layout, subItem, true);
}

void CKALVEXDlg::ExecCommand(int command, int* data, int* extra) {
    // Nothing reaches a window that is closing.
    if (m_bClosing)
        return;
    const bool live = m_nRunState == kLive;
    switch (command) {
        case kCmdFreeze:
            ToggleFreeze(data, extra);
            break;
        case kCmdQuit:
            Quit();
            break;
        case kCmdDisplayB:
            SetDisplayB();
            break;
        case kCmdDisplayBB:
            SetDisplayBB();
            break;
        case kCmdDisplayBM:
            ToggleBM();
            break;
        case kCmdInvert:
            ToggleInvert();
            break;
        case kCmdDistance:
            ToggleDistance();
            break;
        case kCmdArea:
            ToggleArea();
            break;
        case kCmdObgy:
            m_ports.obgy->ToggleObMode();
            break;
        case kCmdStoreStill:
            StoreStill();
            break;
        case kCmdStoreCine:
            StoreCineCmd();
            break;
        case kCmdPrintRecord:
            PrintOrRecord();
            break;
        case kCmdZoom:
            if (m_nDisplayMode == kDisplayB)
                ZoomStep();
            break;
        case kCmdSelectExam:
            SelectExam();
            break;
        case kCmdViewer:
            ShowViewer();
            break;
        case kCmdNewPatient:
            ChangePatient();
            break;
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
        case 22:
        case 84:
            m_ports.obgy->SelectObItem(ObItemOfCommand(command));
            break;
        case kCmdApplyDepth:
            ApplyDepth(data, extra);
            break;
        case kCmdGain:
            GainFromSlider(data);
            break;
        case kCmdContrast:
            ContrastFromSlider(data);
            break;
        case 26:  // SPACE
            ExecCommand(kCmdFreeze);
            break;
        case 27:  // F1
            if (!live && m_ports.obPanel->IsButtonEnabled(IDC_OB_BPD)) {
                m_bBusy = true;
                ExecCommand(kCmdSelectExam);
                m_bBusy = false;
            }
            break;
        case 28:  // F2
            if (live && m_ports.livePanel->IsButtonEnabled(IDC_LIVE_BB))
                ExecCommand(m_nScreenLayout == 2 ? kCmdDisplayB : kCmdDisplayBB);
            break;
        case 29:  // F3
            if (live)
                ExecCommand(kCmdDisplayBM);
            break;
        case 30:  // F4
            if (live) {
                ExecCommand(kCmdInvert);
            } else if (m_nTool != kToolObgy && m_ports.obPanel->IsButtonEnabled(IDC_OB_CRL)) {
                m_bBusy = true;
                ExecCommand(kCmdNewPatient);
                m_bBusy = false;
            }
            break;
        case 31:
            IncreaseDepth();
            break;
        case 32:
            DecreaseDepth();
            break;
        case 33:
            GainDown();
            break;
        case 34:
            GainUp();
            break;
        case 35:
            ContrastDown();
            break;
        case 36:
            ContrastUp();
            break;
        case kCmdCinePrev:
            CineStep(-1);
            break;
        case kCmdCineNext:
            CineStep(1);
            break;
        case 39:  // I
            if (!live)
                ExecCommand(kCmdStoreStill);
            break;
        case 40:  // C
            if (!live)
                ExecCommand(kCmdStoreCine);
            break;
        case 41:  // P
            if (!live)
                ExecCommand(kCmdPrintRecord);
            break;
        case kCmdBbLeft:
            if (m_nDisplayMode == kDisplayBB)
                BbLeft();
            break;
        case kCmdBbRight:
            if (m_nDisplayMode == kDisplayBB)
                BbRight();
            break;
        case 46:
            OnMeasureMain(data);
            break;
        case 50:
            OnClickLeftImage(data);
            break;
        case 52:
            if (live && m_nDisplayMode == kDisplayBB)
                ExecCommand(kCmdBbLeft);
            break;
        case 54:
            OnClickRightImage(data);
            break;
        case 56:
            if (live && m_nDisplayMode == kDisplayBB)
                ExecCommand(kCmdBbRight);
            break;
        case kCmdTick:
            OnTick();
            break;
        case kCmdNewFrame:
            OnNewFrame(data);
            break;
        case kCmdMeasureSlot:
            if (data)
                SelectMeasureSlot(*data);
            break;
        case 64:
        case 65:
        case 66:
        case 67:
        case 68:
        case 69:
        case 70:
            SelectMeasureSlot(command - kCmdMeasureSlot);
            break;
        case 71:  // UP
            if (live)
                ExecCommand(32);
            break;
        case 72:  // DOWN
            if (live)
                ExecCommand(31);
            break;
        case 73:
        case 74:
        case 75:
        case 76:
        case 77:
        case 78:
        case 79:
        case 80:
            if (m_bDeveloper)
                DeveloperCommand(command);
            break;
        case kCmdBodyMark:
            m_ports.picker->OpenSaveDialog();
            break;
        case 82:  // D
            if (IsFrozenIdle() && m_bExamList && !IsPreviewShown())
                ExecCommand(kCmdDistance);
            break;
        case 83:  // O
            if (!live && m_bExamList && m_nDisplayMode != kDisplayBM)
                ExecCommand(kCmdObgy);
            break;
        case kCmdEnter:
            PressFocusedButton();
            break;
        case kCmdStcPanel:
            ToggleStcPanel();
            break;
        case kCmdStcKnot:
            StcKnot(data);
            break;
        case kCmdGammaStep:
            GammaStep();
            break;
        default:  // 44, 45, 47..49, 51, 53, 55, 57..60, 85 and anything outside 1..89
            break;
    }
}

void CKALVEXDlg::Quit() {
    if (m_bAskBeforeQuit &&
        platform::ShowMessageBox(resources::LoadString(kStrConfirmClose), GetProductName(),
                                 platform::MsgIcon::Exclamation,
                                 platform::MsgButtons::OkCancel) != platform::MsgAnswer::Ok)
        return;
    m_bAskBeforeQuit = false;
    m_bStillStored = m_bCineStored = true;
    OnClose();
    m_ports.window->EndDialog(1);
    EndProcess(0);
}

void CKALVEXDlg::SetDisplayB() {
    m_nDisplayMode = kDisplayB;
    m_nTool = kToolNone;
    SetLayout(1, 0);
}

void CKALVEXDlg::SetDisplayBB() {
    if (m_nDisplayMode == kDisplayB || m_nDisplayMode == kDisplayBM)
        m_nBbSide = 0;
    m_nDisplayMode = kDisplayBB;
    m_nTool = kToolNone;
    SetLayout(2, 0);
}

void CKALVEXDlg::ToggleBM() {
    CImageProc* proc = Live();
    if (!proc || !m_ports.livePanel->IsButtonEnabled(IDC_LIVE_BM))
        return;
    const bool on = !proc->m_bMMode.load();
    proc->m_bMMode = on;
    if (on)
        proc->SetMLineAngle(3.0 * std::numbers::pi / 2.0);
    ClearMModeSweep();
    m_nTool = kToolNone;
    m_nDisplayMode = on ? kDisplayBM : kDisplayB;
    SetLayout(on ? 3 : 1, 0);
}

void CKALVEXDlg::ToggleInvert() {
    CImageProc* proc = Live();
    if (!proc)
        return;
    proc->SetInvert(!proc->GetParams().invert);
    SetScreenLayout(m_nScreenLayout, m_nObSelItem, true);
    if (m_nDisplayMode == kDisplayBM)
        ClearMModeSweep();
}

void CKALVEXDlg::ToggleTool(int tool, int firstLayout) {
    m_viewMain.m_dZoom = 1.0;
    if (m_nTool == tool) {
        m_nTool = kToolNone;
        SetLayout(ToolLayout(5, m_nDisplayMode), 0);
    } else {
        m_nTool = tool;
        SetLayout(ToolLayout(firstLayout, m_nDisplayMode), 0);
    }
    m_ports.measurement->ClearMeasurements();
    RedrawImages();
}

void CKALVEXDlg::ToggleDistance() {
    ToggleTool(kToolDistance, 8);
}

void CKALVEXDlg::ToggleArea() {
    ToggleTool(kToolArea, 11);
}

void CKALVEXDlg::OnBnClickedEllipse() {
    // Unlike distance and area, the zoom stays.
    if (m_nTool == kToolEllipse) {
        m_nTool = kToolNone;
        SetLayout(ToolLayout(5, m_nDisplayMode), 0);
    } else {
        m_nTool = kToolEllipse;
        SetLayout(ToolLayout(14, m_nDisplayMode), 0);
    }
    m_ports.measurement->ClearMeasurements();
    RedrawImages();
}

void CKALVEXDlg::StoreStill() {
    const bool frozen = m_nRunState == kFrozen;
    if ((frozen && !m_bExamList) || IsPreviewShown() || (frozen && !IsFrozenIdle()))
        return;
    if (CapturedFrames() == 0) {
        platform::ShowMessageBox(resources::LoadString(kStrNoData), GetProductName(),
                                 platform::MsgIcon::Exclamation);
        return;
    }
    if (m_ports.stores->StoreImage(false)) {
        m_bStillStored = true;
        m_controls.Repaint(IDC_BTN4, true);
        m_ports.thumbnails->FillThumbnailList(1, 0, 1);
        if (m_ports.thumbnails->GetItemCount() == 1)
            m_controls.Show(IDC_THUMB_CAPTION, true);
    }
}

void CKALVEXDlg::StoreCineCmd() {
    const bool frozen = m_nRunState == kFrozen;
    if (!frozen || !m_bExamList || IsPreviewShown() || !IsFrozenIdle())
        return;
    if (CapturedFrames() == 0) {
        platform::ShowMessageBox(resources::LoadString(kStrNoData), GetProductName(),
                                 platform::MsgIcon::Exclamation);
        return;
    }
    if (m_ports.stores->StoreCine()) {
        m_bCineStored = true;
        m_ports.thumbnails->FillThumbnailList(1, 0, 1);
        // The first item of an empty list brings its caption, as after a still.
        if (m_ports.thumbnails->GetItemCount() == 1)
            m_controls.Show(IDC_THUMB_CAPTION, true);
    }
    m_controls.Repaint(IDC_BTN5, true);
}

void CKALVEXDlg::PrintOrRecord() {
    if (m_nRunState == kFrozen)
        m_ports.printing->Print();
    else
        m_ports.recorder->ToggleRecord();
}

void CKALVEXDlg::ZoomStep() {
    m_nTool = kToolZoom;
    SetLayout(17, 0);
    double& zoom = m_viewMain.m_dZoom;
    if (zoom == 0.7)
        zoom = 1.0;
    else if (zoom == 1.0)
        zoom = 1.4;
    else if (zoom == 1.4)
        zoom = 1.7;
    else if (zoom == 1.7)
        zoom = 2.0;
    else
        zoom = 0.7;
    if (CImageProc* proc = Live())
        DrawFrame(proc->Cine().GetCurrentIndex(), true);
}

void CKALVEXDlg::ShowViewer() {
    for (int id : {IDC_BTN4, IDC_BTN5, IDC_BTN6, IDC_DIST, IDC_AREA, IDC_ELLIPSE, IDC_SETTINGS,
                   IDC_STORE_CAPTION, IDC_MEASURE_CAPTION})
        m_controls.Show(id, false);
    m_controls.Show(IDC_THUMBNAILS, true);
    m_controls.SetText(IDC_THUMB_CAPTION, resources::LoadString(kStrViewer));
    m_controls.Show(IDC_THUMB_CAPTION, true);
    m_bExamList = false;
    m_bStoredItemShown = false;
    m_ports.thumbnails->FillThumbnailList(0, 1, 1);
}

void CKALVEXDlg::CineStep(int direction) {
    CImageProc* proc = Live();
    if (!proc)
        return;
    if (m_nRunState == kLive) {
        // Live, the arrows aim the M-line and nothing else.
        if (m_nDisplayMode != kDisplayBM)
            return;
        const ScanGeometry g = proc->GetGeometry();
        if (g.probeType == ProbeTypeConvex) {
            const double angle = proc->GetParams().mLineAngle;
            proc->SetMLineAngle(direction < 0 ? std::max(angle - g.lineStep, g.sectorStart + g.lineStep)
                                              : std::min(angle + g.lineStep, g.sectorEnd - g.lineStep));
        }
        ClearMModeSweep();
        return;
    }
    if (!IsFrozenIdle())
        return;
    const bool obImage = m_nObSelectedImage >= 0;
    if (IsPreviewShown() && !obImage)
        return;
    if (!m_bExamList && m_controls.IsShown(IDC_PREVIEW) && !obImage)
        return;
    const int n = std::min(proc->GetFrameCount(), kCineFrames);
    if (n <= 0)
        return;
    CCineRing& cine = proc->Cine();
    if (CanPlayCine()) {
        const int position = cine.GetCinePosition();
        if (direction < 0 ? position <= 1 : position >= n)
            return;
    }
    const int before = cine.GetCurrentIndex();
    int index = before + direction;
    if (index < 0)
        index = n - 1;
    else if (index >= n)
        index = 0;
    if (index != before && cine.SetCurrentIndex(index))
        SelectCineFrame();
}

void CKALVEXDlg::BbLeft() {
    if (m_nRunState == kLive) {
        if (m_nBbSide == 2)
            m_nBbSide = -1;
    } else if (m_nBbSide == 2) {
        m_nBbSide = 1;
        RedrawImages();
    }
}

void CKALVEXDlg::BbRight() {
    if (m_nRunState == kLive) {
        if (m_nBbSide == 1)
            m_nBbSide = -2;
    } else if (m_nBbSide == 1) {
        m_nBbSide = 2;
        RedrawImages();
    }
}

void CKALVEXDlg::OnMeasureMain(int* data) {
    m_ports.measurement->OnMeasureMouse(kViewMain, 0, ViewDepth(kViewMain), data ? *data : 0);
}

void CKALVEXDlg::PressFocusedButton() {
    // Enter presses only these buttons; each does what its click does.
    switch (const int id = m_controls.Focused()) {
        case IDC_FREEZE:
        case IDC_QUIT:
        case IDC_BTN4:
        case IDC_BTN5:
        case IDC_BTN6:
        case IDC_BTN7:
            OnButtonClicked(id);
            break;
        default:
            break;
    }
}

void CKALVEXDlg::ToggleStcPanel() {
    CImageProc* proc = Live();
    if (!proc)
        return;
    proc->m_bStcPanelShown = !proc->m_bStcPanelShown.load();
    SetScreenLayout(m_nScreenLayout, m_nObSelItem, true);
    if (m_nDisplayMode == kDisplayBM)
        ClearMModeSweep();
}

void CKALVEXDlg::StcKnot(int* data) {
    if (!data || *data < 0 || *data >= IStcPanel::kSliderCount)
        return;
    const int i = *data;
    const int p = m_ports.stcPanel->GetSliderPos(i);
    g_anStcValue[i] = p - (m_nStcMode == kStcAbsolute ? 0 : g_anStcOffset[i]);
    if (m_nStcMode == kStcAuto)
        ToggleStcAuto();
    if (Live())
        UpdateStcCurve();
}

void CKALVEXDlg::DeveloperCommand(int command) {
    CImageProc* proc = Live();
    if (!proc)
        return;
    ImagingParams p = proc->GetParams();
    switch (command) {
        case 73:
            p.smooth += 0.25;
            if (p.smooth > 1.0)
                p.smooth = 0.0;
            break;
        case 74:
            p.ave = !p.ave;
            break;
        case 75:
            p.aveY = !p.aveY;
            break;
        case 76:
            p.bicubic = !p.bicubic;
            break;
        case 77:
            p.aveMode = p.aveMode == 9 ? 4 : 9;
            break;
        case 78: {
            const ModifierKeys keys = m_ports.keyboard->Read();
            if (keys.readable)
                p.bicubicA += keys.shift ? -0.25 : 0.25;
            if (p.bicubicA > 0.0)
                p.bicubicA = -2.0;
            else if (p.bicubicA < -2.0)
                p.bicubicA = 0.0;
            break;
        }
        case 79:
            p.rawDisp = !p.rawDisp;
            break;
        case 80: {
            const ModifierKeys keys = m_ports.keyboard->Read();
            if (!keys.readable || !keys.ctrl)
                return;
            ExecCommand(kCmdFreeze);
            if (IProbeData* probe = g_pProbe.load()) {
                const ImagingParams now = proc->GetParams();
                const double gainMax = (now.gainMax - now.gainMin) / 100.0 * now.gain + now.gainMin;
                int type = 0;
                probe->GetProbeType(&type);
                SetSettingDouble(ProbeTypeToConfigSection(type), SettingKeyTable::GAIN_MAX, gainMax);
                platform::ShowMessageBox(resources::LoadString(kStrPleaseRestart), GetProductName(),
                                         platform::MsgIcon::Information);
            }
            return;
        }
        default:
            return;
    }
    proc->SetParams(p);
}
