// Probe handling: the raw-frame callback, the five raw frame buffers, the imaging set-up of a
// newly opened probe, its image settings, and system suspend and resume.
#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>
#include <vector>

#include "app/core/CoreStrings.h"
#include "app/core/DepthMath.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainGlobals.h"
#include "common/DebugLog.h"
#include "common/GainCurve.h"
#include "common/SettingsStore.h"
#include "probe/ProbeStrings.h"
#include "probe/RawBuf.h"
#include "resources/StringTable.h"

using namespace maindlg;

const SettingKey* TgcSettingKeys();

void CKALVEXDlg::OnRawBufferEvent(void* payload) {
    auto* buffer = static_cast<CRawBuf*>(payload);
    if (!buffer)
        return;
    switch (RouteOf(*buffer)) {
        case RawBufRoute::ToImageQueue:
            if (CImageProc* proc = g_pImageProc.load())
                proc->QueueRawBuffer(buffer);
            break;
        case RawBufRoute::ToFreeList:
            if (IProbeData* probe = g_pProbe.load())
                probe->ReturnBuffer(buffer);
            break;
        case RawBufRoute::Ignore:
            break;
    }
}

bool CKALVEXDlg::AllocRawBuffers() {
    CImageProc* proc = Live();
    IProbeData* probe = g_pProbe.load();
    if (!proc || !probe)
        return false;
    proc->ClearInputQueue();
    const int samples = probe->GetSamplesPerLine();
    const int lines = probe->GetLineCount();

    std::vector<CRawBuf*> buffers;
    while (CRawBuf* b = m_lstRawBuffers.RemoveHeadLocked())
        buffers.push_back(b);
    const bool keep = !buffers.empty() && buffers.front()->BytesPerLine() == static_cast<uint32_t>(samples) &&
                      buffers.front()->LineCount() == static_cast<uint32_t>(lines);
    if (!keep) {
        for (CRawBuf* b : buffers)
            delete b;
        buffers.clear();
        for (int i = 0; i < 5; ++i) {
            auto* b = new (std::nothrow) CRawBuf(static_cast<uint32_t>(std::max(samples, 0)),
                                                 static_cast<uint32_t>(std::max(lines, 0)));
            if (!b)
                continue;
            // A buffer whose rows could not be allocated never circulates.
            if (!b->IsUsable()) {
                delete b;
                continue;
            }
            buffers.push_back(b);
        }
    }
    for (CRawBuf* b : buffers)
        m_lstRawBuffers.AddTailLocked(b);
    for (CRawBuf* b : buffers) {
        b->Clear();
        PublishRawBuf(b);  // to the probe's free list
    }
    int type = 0;
    probe->GetProbeType(&type);
    m_nProbeType = type;
    m_anProbeIdentity = {static_cast<int>(probe->GetHardwareId()), static_cast<int>(probe->GetVersionB()),
                         static_cast<int>(probe->GetVersionA())};
    return true;
}

ProbeIdentity CKALVEXDlg::GetRememberedProbeIdentity() {
    return {static_cast<uint32_t>(m_anProbeIdentity[0]), static_cast<uint32_t>(m_anProbeIdentity[1]),
            static_cast<uint32_t>(m_anProbeIdentity[2])};
}

void CKALVEXDlg::WaitImageThreadIdle() {
    if (CImageProc* proc = Live())
        proc->WaitIdle();
}

bool CKALVEXDlg::InitProbeImaging() {
    IProbeData* probe = g_pProbe.load();
    CImageProc* proc = Live();
    if (!probe || !proc || !AllocRawBuffers())
        return false;
    int type = 0;
    probe->GetProbeType(&type);
    const int samples = probe->GetSamplesPerLine();
    const int lines = probe->GetLineCount();
    const int first = probe->GetScanParam();
    const bool mark = probe->GetScanFlag();
    const double minDepth = probe->GetMinDepth();
    const double maxDepth = probe->GetMaxDepth();
    if (type == ProbeTypeConvex) {
        if (probe->HasSamplePitch()) {
            proc->SetProbeGeometry(ConvexProbeGeometryEx(type, samples, lines, first, mark,
                                                         probe->GetFieldOfView(), probe->GetGeometryExtra(),
                                                         probe->GetSamplePitch(), minDepth, maxDepth));
        } else {
            proc->SetProbeGeometry(ConvexProbeGeometry(type, samples, lines, first, mark,
                                                       probe->GetFieldOfView(), probe->GetConvexRadius(),
                                                       minDepth, maxDepth));
        }
        m_nStcMode = kStcAuto;
    } else if (type == ProbeTypeLinear) {
        proc->SetProbeGeometry(
            LinearProbeGeometry(type, samples, lines, first, mark, minDepth, minDepth, maxDepth));
        for (CCstmPictureCtrl* view : {&m_viewMain, &m_viewLeft, &m_viewRight})
            view->m_nTickStep = 5;
        m_nStcMode = kStcAbsolute;
        m_bObAvailable = false;
    }
    if (type == ProbeTypeConvex || type == ProbeTypeLinear) {
        for (CCstmPictureCtrl* view : {&m_viewMain, &m_viewLeft, &m_viewRight})
            view->m_nBodyMark = CCstmPictureCtrl::kBodyMarkNone;
    }
    const int section = ProbeTypeToConfigSection(type);
    LoadImageSettings(section);

    IRightPanel& right = *m_ports.rightPanel;
    right.SetSliderRange(IDC_R_DEPTH, static_cast<int>(minDepth), static_cast<int>(maxDepth), true);
    right.SetSliderPos(IDC_R_DEPTH, GetSettingInt(section, SettingKeyTable::depth, 225));
    const int depth = right.GetSliderPos(IDC_R_DEPTH);
    proc->SetDepth(depth);
    m_nImageTop = proc->GetImageTop(depth);
    probe->SetDepth(DepthFromPixelScale(proc->GetPixelScale(depth)));

    IStcPanel& stc = *m_ports.stcPanel;
    stc.SetAutoButton(resources::LoadString(m_nStcMode == kStcAbsolute ? kStrStcReset : kStrStcAuto),
                      kStateNormal);
    if (m_nStcMode == kStcAbsolute)
        stc.SetSliderRange(-32, 32);
    else
        stc.SetSliderRange(0, 64);
    const SettingKey* tgc = TgcSettingKeys();
    for (int i = 0; i < kStcKnotCount; ++i)
        g_anStcValue[i] = GetSettingInt(section, tgc[i], 0);
    for (int i = 0; i < IStcPanel::kSliderCount; ++i) {
        stc.SetSliderPos(i, g_anStcValue[i]);
        stc.UpdateValueLabel(i);
    }
    if (m_nStcMode == kStcAbsolute) {
        int code = SB_THUMBPOSITION;
        int force = 1;
        ExecCommand(kCmdApplyDepth, &code, &force);
    } else {
        if (m_nStcMode == kStcAuto)
            m_nStcMode = kStcManual;
        ToggleStcAuto();
    }
    SyncStcSliders();
    UpdateStcCurve();

    if (probe->IsFeatureSupported(ProbeFeatureFocus)) {
        const int current = proc->GetFocus();
        const int focus = current >= 1 ? current : GetSettingInt(section, SettingKeyTable::focus, 100);
        if (probe->SetFocus(focus))
            proc->SetFocus(focus);
    } else {
        proc->SetFocus(0);
    }
    if (probe->IsFeatureSupported(ProbeFeatureTxFrequency)) {
        const int def = probe->GetDefaultTxFrequency();
        UpdatePresetButtons(GetSettingInt(section, SettingKeyTable::tx_freq, def), def,
                            probe->GetTxFrequencyTable());
    } else {
        DisablePresetButtons();
    }
    probe->SetViewState(m_nRunState);
    return true;
}

void CKALVEXDlg::LoadImageSettings(int section) {
    CImageProc* proc = Live();
    if (!proc)
        return;
    IRightPanel& right = *m_ports.rightPanel;
    SetSliderValue(IDC_R_GAIN, GetSettingInt(section, SettingKeyTable::gain, 50));
    SetSliderValue(IDC_R_CONTRAST, GetSettingInt(section, SettingKeyTable::contrast, 50));
    right.SetSliderPos(IDC_R_DEPTH, GetSettingInt(section, SettingKeyTable::depth, 225));

    ImagingParams p = proc->GetParams();
    p.gain = SliderValue(IDC_R_GAIN);
    p.contrast = SliderValue(IDC_R_CONTRAST);
    p.depth = right.GetSliderPos(IDC_R_DEPTH);
    auto on = [section](const SettingKey& key, int def) { return GetSettingInt(section, key, def) == 1; };
    p.invert = on(SettingKeyTable::invert, 0);
    const double smooth = GetSettingDouble(section, SettingKeyTable::smooth, 0.0);
    p.smooth = std::isnan(smooth) ? 0.0 : std::clamp(smooth, 0.0, 1.0);
    p.ave = on(SettingKeyTable::AVE, 0);
    p.aveY = on(SettingKeyTable::AVE_Y, 0);
    p.aveMode = GetSettingInt(section, SettingKeyTable::AVE_MODE, 4) == 9 ? 9 : 4;
    p.gainMin = GetSettingDouble(section, SettingKeyTable::GAIN_MIN, -100.0);
    p.gainMax = m_bDeveloper ? 100.0 : GetSettingDouble(section, SettingKeyTable::GAIN_MAX, 0.0);
    p.gainBase = GetSettingDouble(section, SettingKeyTable::GAIN_BASE, -60.0);
    p.contrastMin = GetSettingDouble(section, SettingKeyTable::CONTRAST_MIN, 0.5);
    p.contrastMax = GetSettingDouble(section, SettingKeyTable::CONTRAST_MAX, 1.5);
    p.bicubic = on(SettingKeyTable::BICUBIC, 0);
    p.bicubicA = GetSettingDouble(section, SettingKeyTable::BICUBIC_A, -1.0);
    p.raw2Bitmap = GetSettingInt(section, SettingKeyTable::RAW2BITMAP, 1);
    proc->SetParams(p);
    proc->m_bMScroll = on(SettingKeyTable::mscroll, 0);
    m_nImageTop = proc->GetImageTop(proc->GetDepth());
}

void CKALVEXDlg::OnPowerBroadcast(int event) {
    // Power events are handled one at a time.
    static std::mutex powerMutex;
    std::lock_guard lock(powerMutex);
    if (m_bClosing || !m_bInitialised)
        return;
    // The freeze is waiting for the probe: a suspend handled inside its pump would delete the
    // driver it polls. Handle it once the wait has ended.
    if (m_bFreezing) {
        m_nPendingPower = event;
        return;
    }
    if (event == PBT_APMSUSPEND) {
        SuspendProbe();
    } else if (event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMEAUTOMATIC) {
        if (m_nRunState == kLive)
            ExecCommand(kCmdFreeze);
    }
}

// The probe went away while live (unplugged, or it stopped answering): no frame will come, so
// the window must not look live. The driver is closed as for a suspend, the next unfreeze
// opens the probe again, and the window freezes and says why.
void CKALVEXDlg::OnProbeGone() {
    if (!g_pProbe.load() || m_nRunState != kLive || m_bFreezing)
        return;
    DebugLog("probe lost while live\n");
    SuspendProbe();
    ExecCommand(kCmdFreeze);
    m_bProbeGone = true;
    ShowProbeGone();
}

// Shown again by every layout and over the frame rate, until the probe is opened again: a
// status that vanished while the probe is away would look as if it were back.
void CKALVEXDlg::ShowProbeGone() {
    m_controls.SetText(IDC_STATUS, resources::LoadString(IDS_PROBE_NOT_FOUND));
    m_controls.Show(IDC_STATUS, true);
    m_controls.Repaint(IDC_STATUS, true);
}

void CKALVEXDlg::SuspendProbe() {
    IProbeData* probe = g_pProbe.load();
    if (!probe)
        return;
    m_bProbeLost = true;
    if (m_nRunState == kLive) {
        probe->SetScanState(ProbeScanStopRequested);
        for (int i = 0; i < 1000 && probe->GetScanState() != ProbeScanStopped; ++i)
            m_fnSleep(1);
    }
    // Stops the stream when it has not stopped, ends and joins the watch loop, clears g_pProbe
    // and waits for the image thread's hand-backs before the driver is deleted.
    ShutdownProbe(this);
}
