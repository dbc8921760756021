// Freeze and unfreeze (command 1).
#include <algorithm>
#include <utility>

#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "common/SupportUtil.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

// The wait for the stopped state looks every 10 ms for about a second; the image thread then
// gets as long to finish the frames it still holds.
constexpr int kStopWaitTurns = 100;
constexpr uint32_t kIdleWaitMs = 1000;

}  // namespace

void CKALVEXDlg::ToggleFreeze(int*, int*) {
    // Input run inside the freeze's own wait must not start a second freeze.
    if (m_bFreezing)
        return;
    if (m_nRunState == kFrozen && (m_nObSelItem != 0 || m_ports.obPanel->GetState() == 1))
        return;
    const bool reopening = m_bProbeLost && m_nRunState != kLive;
    if (!g_pProbe.load() && (!m_bProbeLost || reopening)) {
        m_ports.window->SetWaitCursor(true);
        const bool opened = OpenProbe(this);
        m_ports.window->SetWaitCursor(false);
        if (!opened) {
            if (reopening && m_bProbeLost)
                SetBtn7Locked(true);
            return;
        }
        if (reopening) {
            m_bProbeLost = false;
            m_bProbeGone = false;
            m_controls.SetText(IDC_STATUS, "");  // "probe not found" of a lost probe
        }
        m_controls.Enable(IDC_BTN7, true);
        UpdateStcCurve();
    }
    if (m_nObSelItem == 0)
        m_viewMain.m_dZoom = 1.0;
    m_bStoredItemShown = false;
    if (m_ports.livePanel->IsFreezeChecked())
        UnfreezeNow();
    else
        FreezeNow();
}

// Waits until the probe reports the stopped state, dispatching what waits on the UI thread
// every 10 ms (frames, timers and input run meanwhile). The driver is looked up again each
// turn; after about a second the stream is stopped directly, which always ends stopped.
void CKALVEXDlg::WaitForStopped() {
    for (int turn = 0;; ++turn) {
        IProbeData* probe = g_pProbe.load();
        if (!probe || probe->GetScanState() == ProbeScanStopped)
            return;
        if (turn >= kStopWaitTurns) {
            probe->StopStreaming();
            return;
        }
        m_fnSleep(10);
        PumpWaitingMessages();
    }
}

void CKALVEXDlg::FreezeNow() {
    if (!m_bExamList) {
        m_bExamList = true;
        m_ports.thumbnails->FillThumbnailList(0, 1, 1);
    }
    m_controls.SetText(IDC_THUMB_CAPTION, resources::LoadString(kStrThumbnailList));
    m_controls.Show(IDC_THUMB_CAPTION, m_ports.thumbnails->GetItemCount() > 0);
    m_ports.thumbnails->Deselect();

    if (IProbeData* probe = g_pProbe.load()) {
        m_bFreezing = true;
        probe->SetScanState(ProbeScanStopRequested);
        WaitForStopped();
        // Frames already queued would move the frozen cine afterwards: let the image thread
        // finish them and draw their notices while the window is still live.
        if (CImageProc* proc = Live())
            proc->WaitIdle(kIdleWaitMs);
        PumpWaitingMessages();
        m_bFreezing = false;
    }
    m_nRunState = kFrozen;
    if (IProbeData* probe = g_pProbe.load())
        probe->SetViewState(kFrozen);

    m_nTool = kToolNone;
    if (m_nObSelItem != 0) {
        m_nScreenLayout = 18;
        SetScreenLayout(18, m_nObSelItem, true);
        m_nTool = kToolObgy;
        m_nObItem = m_nObSelItem >= 1 && m_nObSelItem <= 7 ? m_nObSelItem : 0;
    } else {
        m_nScreenLayout = m_nDisplayMode == kDisplayB ? 5 : m_nDisplayMode == kDisplayBB ? 6 : 7;
        SetScreenLayout(m_nScreenLayout, 0, true);
    }

    if (m_bSyncView) {
        IRecorder& recorder = *m_ports.recorder;
        if (recorder.HasVideoWindow())
            recorder.ShowPreview(false);
        if (recorder.State() == 1) {
            recorder.Stop();
            if (!recorder.HasCamera()) {
                m_bSyncView = false;
                recorder.Delete();
                m_ports.livePanel->SetButtonText(IDC_LIVE_SYNCVIEW, resources::LoadString(kStrCameraPrep));
            }
            m_ports.livePanel->EnableButton(IDC_LIVE_SYNCVIEW, true);
        }
    }

    SetMeasureNumbers(true);
    m_ports.measurement->UpdateObMeasureHighlight(kViewMain);
    CImageProc* proc = Live();
    const int taken = proc ? proc->Cine().GetCount() : 0;
    if (taken < kCineFrames)
        DrawFrame(-2, true);
    const int n = std::min(taken, kCineFrames);
    if (n > 0)
        m_bStillStored = m_bCineStored = false;
    m_nLiveSeconds = 0;
    if (m_nDisplayMode == kDisplayBM || m_nDisplayMode == kDisplayBB) {
        *m_aMModeStrip = m_viewRight.BackBuffer();
        if (m_nDisplayMode == kDisplayBB && proc)
            DrawFrame(m_nBbSide == 2 ? kSpecialFrameA : kSpecialFrameB, false);
    }
    if (n > 0)
        SelectCineFrame();
    EnableStoreMeasureButtons(true);
    m_controls.SetChecked(IDC_FREEZE, true);
    m_controls.Repaint(IDC_FREEZE, false);
    m_ports.livePanel->SetFreezeChecked(true);
    m_nLiveSeconds = 0;

    // A power event that came during the wait.
    if (const int pending = std::exchange(m_nPendingPower, 0))
        OnPowerBroadcast(pending);
}

void CKALVEXDlg::UnfreezeNow() {
    IProbeData* probe = g_pProbe.load();
    CImageProc* proc = Live();
    if (!probe || !proc)
        return;
    if (m_bShowFps)
        m_timingWindow.Reset();
    if (m_bShowFps || m_bShowTemperature) {
        m_controls.SetText(IDC_STATUS, "");
        m_controls.Repaint(IDC_STATUS, true);
    }
    SetMeasureNumbers(false);
    probe->SetLastReceiveTime(GetElapsedMicroseconds());
    m_nRunState = kLive;
    probe->SetViewState(kLive);
    m_nObItem = 0;
    proc->Cine().Reset(0);
    for (CCstmPictureCtrl* view : {&m_viewMain, &m_viewLeft, &m_viewRight})
        view->m_nObgyEllipseShown = 0;
    MeasureClickState = 0;
    m_nTraceView = 0;
    m_ports.loupe->Hide();
    m_bStillStored = m_bCineStored = true;
    m_nMColumnsThisSecond = -1;
    m_nMColumnsPerSecond = -1;
    m_nMSweepColumn = 0;
    proc->m_nMSettleCountdown = 0;
    proc->m_bStcPanelShown = false;
    m_bStopPosted = false;

    if (m_nObSelItem != 0) {
        m_nScreenLayout = 4;
        SetScreenLayout(4, m_nObSelItem, true);
        if (m_nDisplayMode == kDisplayBB)
            DrawFrame(m_nBbSide == 1 ? kSpecialFrameB : kSpecialFrameA, false);
    } else {
        m_nObSelItem = 0;
        m_nScreenLayout = m_nDisplayMode == kDisplayB ? 1 : m_nDisplayMode == kDisplayBB ? 2 : 3;
        SetScreenLayout(m_nScreenLayout, 0, true);
        if (m_nDisplayMode == kDisplayBB) {
            DrawFrame(m_nBbSide == 1 ? kSpecialFrameB : kSpecialFrameA, false);
        } else if (m_nDisplayMode == kDisplayBM) {
            m_viewRight.BackBuffer().Fill(0);
            m_nMStripDepth = -1;
            m_ports.views->RepaintView(kViewRight);
        }
    }
    probe->SetLastReceiveTime(GetElapsedMicroseconds());
    probe->SetFocus(proc->GetFocus());
    probe->StartStreaming();
    m_controls.SetChecked(IDC_FREEZE, false);
    m_controls.Repaint(IDC_FREEZE, false);
    m_ports.livePanel->SetFreezeChecked(false);
    probe->SetScanState(ProbeScanLive);
    if (m_bSyncView && m_ports.recorder->HasVideoWindow()) {
        m_ports.recorder->ShowPreview(true);
        m_ports.recorder->MoveSyncViewWindow();
    }
    m_ports.timers->KillTimer(kTimerPlayback);
    m_bPlaying = false;
    m_controls.Show(IDC_PREVIEW, false);
    m_nLiveSeconds = 0;
}
