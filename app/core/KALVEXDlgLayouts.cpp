// Screen layouts: the table rows applied through the controls, plus the steps that depend on
// the moment (panels, recorder, OB/GY availability), and their two companions.
#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "measure/MeasureText.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

const std::string& Caption(int id) {
    return resources::LoadString(id);
}

}  // namespace

void CKALVEXDlg::ApplyLayoutRow(const LayoutRow& row) {
    for (const ControlAction& a : row.main) {
        if (a.show != ControlAction::kKeep) {
            if (a.id == IDC_VIEW_MAIN || a.id == IDC_VIEW_LEFT || a.id == IDC_VIEW_RIGHT)
                ShowViewWindow(a.id == IDC_VIEW_MAIN   ? kViewMain
                               : a.id == IDC_VIEW_LEFT ? kViewLeft
                                                       : kViewRight,
                               a.show == 1);
            else
                m_controls.Show(a.id, a.show == 1);
        }
        if (a.enable != ControlAction::kKeep)
            m_controls.Enable(a.id, a.enable == 1);
        if (a.state != ControlAction::kKeep)
            m_controls.SetButtonState(a.id, a.state);
        if (a.caption != ControlAction::kKeep)
            m_controls.SetText(a.id, a.caption ? Caption(a.caption) : std::string());
        if (a.faces.normal)
            m_controls.SetFaces(a.id, a.faces);
    }
    ILivePanel& live = *m_ports.livePanel;
    for (const ControlAction& a : row.live) {
        if (a.enable != ControlAction::kKeep)
            live.EnableButton(a.id, a.enable == 1);
        if (a.state != ControlAction::kKeep)
            live.SetButtonState(a.id, a.state);
        if (a.caption != ControlAction::kKeep)
            live.SetRecButtonText(a.caption ? Caption(a.caption) : std::string());
    }
    if (row.pressedTool) {
        m_nPressedToolButton = row.pressedTool;
        m_ports.window->Redraw();
    }
}

void CKALVEXDlg::ClearResultLabels() {
    for (int id : kResultLabels) {
        m_controls.SetText(id, "");
        m_controls.Show(id, false);
    }
}

// The steps of layouts 0..3 that the table cannot hold.
void CKALVEXDlg::ApplyBaseLayout(int layout, int subItem) {
    ILivePanel& live = *m_ports.livePanel;
    IRecorder& recorder = *m_ports.recorder;
    CImageProc* proc = Live();
    const bool stcUp = proc && proc->m_bStcPanelShown.load();
    const bool recording = recorder.Exists() && recorder.State() == 1;

    if (layout != 0)
        m_ports.measurement->ClearMeasurements();
    if ((layout == 2 || layout == 3) && subItem == 0) {
        m_viewLeft.ClearTraceMarks();
        m_viewRight.ClearTraceMarks();
    }
    if (layout == 0) {
        m_ports.rightPanel->Show(false);
        m_ports.livePanel->Show(false);
        m_ports.stcPanel->Show(false);
        m_ports.obPanel->Show(false);
        m_controls.SetFocus(IDC_FREEZE);
        live.SetButtonKind(IDC_LIVE_REC, kKindNormal);
        m_controls.Enable(IDC_BTN6, m_bObAvailable && m_ports.thumbnails->HasStoredImage());
        if (m_nPressedToolButton >= 1 && m_nPressedToolButton <= 3) {
            static constexpr int kTool[3] = {IDC_DIST, IDC_AREA, IDC_ELLIPSE};
            static constexpr ButtonFaces kNormal[3] = {
                {kBmpDist, kBmpDistPressed}, {kBmpArea, kBmpAreaPressed}, {kBmpEllipse, kBmpEllipsePressed}};
            m_controls.SetFaces(kTool[m_nPressedToolButton - 1], kNormal[m_nPressedToolButton - 1]);
        }
        if (m_nPressedToolButton >= 1)
            m_nPressedToolButton = -1;
    } else {
        m_ports.rightPanel->Show(true);
        if (stcUp) {
            ShowPanel(true, m_ports.stcPanel, IDC_STC_ANCHOR);
            ShowPanel(false, m_ports.livePanel, -1);
            if (!m_ports.stcPanel->IsButtonFocused())
                m_ports.stcPanel->FocusBackButton();
        } else {
            ShowPanel(true, m_ports.livePanel, IDC_LIVE_GRADATION);
            ShowPanel(false, m_ports.stcPanel, -1);
            if (!live.IsButtonFocused())
                live.FocusButton(IDC_LIVE_FREEZE);
        }
        if (layout == 2) {
            live.EnableButton(IDC_LIVE_STC, true);
            live.SetButtonState(IDC_LIVE_STC, stcUp ? kStateHighlighted : kStateNormal);
        } else if (stcUp) {
            m_ports.stcPanel->EnableBackButton(true);
        } else {
            live.EnableButton(IDC_LIVE_STC, true);
            live.SetButtonState(IDC_LIVE_STC, kStateNormal);
        }
        live.EnableButton(IDC_LIVE_REC, true);
        live.SetRecButtonText(Caption(recording ? kStrRecStop : kStrRec));
        live.SetButtonKind(IDC_LIVE_REC, recording ? kKindRecording : kKindRec);
        if (layout == 3)
            live.SetButtonState(IDC_LIVE_BM,
                                proc && proc->m_bMMode.load() ? kStateHighlighted : kStateNormal);
        if ((layout == 1 || layout == 2) && proc)
            proc->m_bMMode = false;
        m_nObSelectedImage = -1;
    }
    if (layout == 0 || layout == 1) {
        const int state = recorder.State();
        live.EnableButton(IDC_LIVE_SYNCVIEW, !(m_bSyncView && (state == 1 || state == 2)));
        live.SetButtonText(IDC_LIVE_SYNCVIEW, Caption(m_bSyncView ? kStrCameraStop : kStrCameraPrep));
    }
    ClearResultLabels();
    if (m_pReviewProc)
        m_pReviewProc->ClearReviewFrames();
}

void CKALVEXDlg::SetScreenLayout(int layout, int subItem, bool redraw) {
    const LayoutRow* row = FindLayoutRow(layout);
    if (row) {
        int base = row->base;
        if (layout == 4)
            base = m_nDisplayMode == kDisplayB ? 1 : 2;
        if (base >= 0)
            SetScreenLayout(base, subItem, false);
        ApplyLayoutRow(*row);
        if (layout <= 3)
            ApplyBaseLayout(layout, subItem);
        if (layout == 18 || layout == 19)
            ApplyObLayout(layout, subItem, redraw);
        if (layout == 3) {
            // Cleared again together with their distance marks.
            for (CCstmPictureCtrl* view : {&m_viewLeft, &m_viewRight}) {
                view->ClearTraceMarks();
                view->ClearDistanceMarks();
            }
        }
    }
    LayoutEnd(redraw);
}

// The OB/GY item screen's steps beyond the table: the panel's buttons and texts.
void CKALVEXDlg::ApplyObLayout(int layout, int subItem, bool redraw) {
    IObPanel& ob = *m_ports.obPanel;
    m_ports.livePanel->Show(false);
    // A model outside the four tables has no items to measure (and no name to index).
    ob.EnableItemButtons(m_nObGaModel >= 0 && m_nObGaModel <= 3);
    struct Item {
        int button;
        int item;  // ObItem
    };
    static constexpr Item kItems[] = {
        {IDC_OB_BPD, 1}, {IDC_OB_FL, 5}, {IDC_OB_CRL, 2}, {IDC_OB_AC, 6}, {IDC_OB_GS, 3}};
    for (const Item& it : kItems) {
        const double value = m_ports.obgy->ObValue(it.item);
        if (value > 0)
            ob.SetItemSubCaption(it.button, FormatLengthMm(value));
    }
    ob.SetAcSubCaptionColour(CCstmPictureCtrl::kOverlayColours[5]);
    ClearResultLabels();
    ob.SetModelCaption(m_astrEfwModels[m_nEfwEquation == 1 ? 1 : 0]);
    ob.SetMode(layout, subItem, redraw);
}

void CKALVEXDlg::LayoutEnd(bool redraw) {
    const bool show = !m_bPcMode && m_nRunState == kFrozen && CapturedFrames() >= 1;
    m_controls.Show(IDC_CINE_PREV, show);
    m_controls.Show(IDC_CINE_NEXT, show);
    if (m_bProbeGone)
        ShowProbeGone();
    if (redraw)
        m_ports.window->Redraw();
}

void CKALVEXDlg::EnableStoreMeasureButtons(bool enable) {
    if (enable) {
        m_controls.SetFaces(IDC_BTN4, {kBmpStill, kBmpStillPressed});
        m_controls.SetFaces(IDC_BTN5, {kBmpCine, kBmpCinePressed});
        m_controls.SetFaces(IDC_DIST, {kBmpDist});
        m_controls.SetFaces(IDC_AREA, {kBmpArea});
        m_controls.SetFaces(IDC_ELLIPSE, {kBmpEllipse});
    } else {
        m_controls.SetFaces(IDC_BTN4, {kBmpStillDisabled});
        m_controls.SetFaces(IDC_BTN5, {kBmpCineDisabled});
        m_controls.SetFaces(IDC_DIST, {kBmpDistDisabled});
        m_controls.SetFaces(IDC_AREA, {kBmpAreaDisabled});
        m_controls.SetFaces(IDC_ELLIPSE, {kBmpEllipseDisabled});
    }
    for (int id : {IDC_BTN4, IDC_BTN5, IDC_DIST, IDC_AREA, IDC_ELLIPSE})
        m_controls.Enable(id, enable);
    m_nPressedToolButton = enable ? -1 : -2;
}

void CKALVEXDlg::SetBtn7Locked(bool lock) {
    if (lock && m_controls.IsEnabled(IDC_BTN7))
        OnBnClickedBtn7();
    m_controls.Enable(IDC_BTN7, !lock);
}

void CKALVEXDlg::ShowPanel(bool show, ISidePanel* panel, int anchorId) {
    if (!panel)
        return;
    if (!show) {
        panel->Show(false);
        return;
    }
    // The client area's height: the outer height would reach below the window.
    const draw::Point client = m_ports.window->GetClientSize();
    int width = client.x;
    if (anchorId != -1)
        width = panel->AnchorRight(anchorId) + 1;
    panel->PlaceAndShow(draw::RectOfSize(0, 0, width, client.y));
}

void CKALVEXDlg::ShowViewWindow(int viewCode, bool show) {
    const int id = viewCode == kViewLeft    ? IDC_VIEW_LEFT
                   : viewCode == kViewRight ? IDC_VIEW_RIGHT
                                            : IDC_VIEW_MAIN;
    m_controls.Keep(id, show);
    m_ports.views->ShowView(viewCode, show);
}

int CKALVEXDlg::CapturedFrames() const {
    return m_pLiveProc ? m_pLiveProc->GetFrameCount() : 0;
}
