// Construction, initialisation, the exam's window state and the close handler.
#include "app/core/KALVEXDlg.h"
#include "app/core/MeasureTools.h"

#include <cctype>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

#include "app/core/CoreStrings.h"
#include "app/core/DepthMath.h"
#include "app/core/MainGlobals.h"
#include "app/core/VersionInfo.h"
#include "common/AppFolders.h"
#include "common/DebugLog.h"
#include "common/EventHub.h"
#include "common/GainCurve.h"
#include "common/SettingsStore.h"
#include "imaging/ProcessExit.h"
#include "platform/StringUtil.h"
#include "platform/UiThread.h"
#include "probe/RawBuf.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

class NullLoupe : public IFingerLoupe {
public:
    bool IsShown() const override { return false; }
    void Hide() override {}
    void FollowCursor() override {}
};

template <typename T, typename Default = T>
T* OrDefault(T* port) {
    static Default fallback;
    return port ? port : &fallback;
}

// "auto_stop_time": a decimal number that non-digits end; no digits, or a number beyond the
// int range (which would turn negative and stop the image after a second), give 0: never.
int ParseAutoStopTime(const std::string& text) {
    long long value = 0;
    bool any = false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        any = true;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return 0;
    }
    return any ? static_cast<int>(value) : 0;
}

constexpr SettingKey kTgcKeys[kStcKnotCount] = {
    SettingKeyTable::tgc0, SettingKeyTable::tgc1, SettingKeyTable::tgc2, SettingKeyTable::tgc3,
    SettingKeyTable::tgc4, SettingKeyTable::tgc5, SettingKeyTable::tgc6, SettingKeyTable::tgc7,
    SettingKeyTable::tgc8, SettingKeyTable::tgc9, SettingKeyTable::tgc10};

// Names of the growth-table models by "ob_gamodel".
constexpr const char* kGaModelNames[4] = {"USA", "EURO1", "EURO2", "JSUM"};

}  // namespace

const SettingKey* TgcSettingKeys() {
    return kTgcKeys;
}

CKALVEXDlg::CKALVEXDlg(const MainDlgPorts& ports)
    : m_aMModeStrip(std::make_unique<Image32>(240, 480)),
      m_handle(std::make_shared<CMainDlgHandle>(this)),
      m_nLastPresetDepth(INT_MIN) {
    InitPorts(ports);
    m_fnSleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    m_crText = Colorref{GetSettingHex(SettingSectionApp, SettingKeyTable::FCOLOR, 0xFFFFFF)};
    m_crBack = Colorref{GetSettingHex(SettingSectionApp, SettingKeyTable::BCOLOR, 0x0E0000)};
    const ModifierKeys keys = m_ports.keyboard->Read();
    m_bDeveloper = keys.readable && keys.ctrl && keys.shift;
    m_viewMain.AttachBackBuffer(480, 480);
    m_viewLeft.AttachBackBuffer(240, 480);
    m_viewRight.AttachBackBuffer(240, 480);
    m_frameScratch.Resize(480, 480);
}

CKALVEXDlg::~CKALVEXDlg() {
    m_handle->Revoke();
    if (!m_bClosed && m_bInitialised)
        OnClose();
    if (g_pMainDlg.load() == this)
        g_pMainDlg = nullptr;
}

void CKALVEXDlg::InitPorts(const MainDlgPorts& ports) {
    m_ports = ports;
    m_ports.obPanel = OrDefault(ports.obPanel);
    m_ports.loupe = OrDefault<IFingerLoupe, NullLoupe>(ports.loupe);
    m_ports.stores = OrDefault(ports.stores);
    m_ports.thumbnails = OrDefault(ports.thumbnails);
    m_ports.review = OrDefault(ports.review);
    m_pMeasureTools = std::make_unique<CMeasureTools>(*this);
    m_ports.measurement = ports.measurement ? ports.measurement : m_pMeasureTools.get();
    m_ports.obgy = ports.obgy ? ports.obgy : m_pMeasureTools.get();
    m_ports.measureWindows = OrDefault(ports.measureWindows);
    m_ports.obStills = OrDefault(ports.obStills);
    m_ports.recorder = OrDefault(ports.recorder);
    m_ports.printing = OrDefault(ports.printing);
    m_ports.picker = OrDefault(ports.picker);
    m_ports.patients = OrDefault(ports.patients);
    m_ports.settings = OrDefault(ports.settings);
    m_ports.exports = OrDefault(ports.exports);
    m_controls.Attach(ports.controls);
}

CCstmPictureCtrl& CKALVEXDlg::View(int viewCode) {
    if (viewCode == kViewLeft)
        return m_viewLeft;
    if (viewCode == kViewRight)
        return m_viewRight;
    return m_viewMain;
}

void CKALVEXDlg::SetMeasureNumbers(bool frozen) {
    m_viewMain.m_nMeasureNumber = frozen ? kViewMain : 0;
    m_viewLeft.m_nMeasureNumber = frozen ? kViewLeft : 0;
    m_viewRight.m_nMeasureNumber = frozen ? kViewRight : 0;
}

bool CKALVEXDlg::OnInitDialog() {
    m_ports.window->SetTitle(GetAppTitle());
    SetMeasureNumbers(true);
    m_strExamStamp.clear();
    m_bExamList = true;
    m_controls.Show(IDC_THUMBNAILS, false);
    m_ports.thumbnails->InitThumbnailList();
    m_strAppVersion = GetFileVersionString();

    m_ports.livePanel->Show(false);
    m_ports.stcPanel->Show(false);
    // The hub has no lock for its callers' sake: register before any worker thread starts.
    g_pMainDlg = this;
    CEventHub& hub = CEventHub::GetInstance();
    hub.Subscribe(EventKindCommand, &CKALVEXDlg::OnPanelCommand);
    hub.Subscribe(EventKindScroll, &CKALVEXDlg::OnPanelValueChanged);
    hub.Subscribe(EventKindSliderFocus, &CKALVEXDlg::OnPanelNotify);
    hub.Subscribe(EventKindRawFrame, &CKALVEXDlg::OnRawBufferEvent);
    m_ports.obPanel->Show(false);
    m_ports.rightPanel->Show(false);

    for (size_t i = 0; i < m_astrCaptions.size(); ++i)
        m_astrCaptions[i] = resources::LoadString(kCaptionIds[i]);
    m_controls.SetText(IDC_MEASURE_CAPTION, resources::LoadString(kStrMeasure));
    m_controls.SetText(IDC_STORE_CAPTION, resources::LoadString(kStrStore));
    m_controls.SetText(IDC_QUIT, resources::LoadString(kStrQuit));
    m_controls.SetFaces(IDC_REVIEW_NEXT, {kBmpReviewNext});
    m_controls.SetFaces(IDC_REVIEW_PREV, {kBmpReviewPrev});
    m_controls.SetFaces(IDC_REVIEW_PLAY, {kBmpReviewPlay});
    m_controls.SetFaces(IDC_REVIEW_STOP, {kBmpReviewStop});
    m_controls.SetFaces(IDC_CINE_NEXT, {kBmpCineNext});
    m_controls.SetFaces(IDC_CINE_PREV, {kBmpCinePrev});

    m_nRunState = kLive;
    m_nDisplayMode = kDisplayB;
    m_nTool = kToolNone;
    m_nObItem = 0;
    m_nObSelItem = 0;

    EnableStoreMeasureButtons(false);
    m_controls.SetFaces(IDC_BTN6, {kBmpObgy, kBmpObgyPressed, kBmpObgy, kBmpObgyDisabled});
    m_controls.SetFaces(IDC_SETTINGS, {kBmpSettings});
    m_controls.SetText(IDC_BTN7, resources::LoadString(kStrArchive));
    m_ports.stcPanel->SetSliderRange(0, 64);
    m_bSyncView = false;

    if (!g_pProbe.load()) {
        m_pLiveProc = std::make_unique<CImageProc>();
        m_pLiveProc->SetFrameNotify([handle = m_handle](int slot) {
            platform::PostToUi([handle, slot] {
                if (CKALVEXDlg* dlg = handle->Get())
                    dlg->OnOrvProbeData(slot);
            });
        });
        g_pImageProc = m_pLiveProc.get();
        m_pLiveProc->StartImageThread();
        m_pReviewProc = std::make_unique<CImageProc>();
        g_pReviewImageProc = m_pReviewProc.get();
        OpenProbe(this);
    }
    if (IProbeData* probe = g_pProbe.load())
        probe->SetViewState(m_nRunState);

    // Gamma: the stored value, limited to the slider's range, shown on the slider and the bar.
    IRightPanel& right = *m_ports.rightPanel;
    const int gMin = right.GetSliderMin(IDC_R_GAMMA);
    const int gMax = right.GetSliderMax(IDC_R_GAMMA);
    double gamma = GetSettingDouble(SettingSectionApp, SettingKeyTable::gamma, 1.0);
    if (!std::isfinite(gamma))
        gamma = 1.0;
    gamma = std::clamp(gamma, gMin / 100.0, gMax / 100.0);
    if (CImageProc* proc = Live())
        proc->SetGamma(gamma);
    m_ports.livePanel->SetGamma(gamma);
    if (CImageProc* proc = Live()) {
        const ImagingParams p = proc->GetParams();
        right.SetValueText(IDC_R_GAIN, platform::Format("%d", p.gain));
        right.SetValueText(IDC_R_CONTRAST, platform::Format("%d", p.contrast));
        right.SetValueText(IDC_R_DEPTH,
                           platform::Format("%d", DepthFromPixelScale(proc->GetPixelScale(p.depth))));
    }
    right.SetValueText(IDC_R_GAMMA, platform::Format("%3.2f", gamma));
    right.SetSliderPos(IDC_R_GAMMA, GammaToSliderPosition(gamma, gMin, gMax));

    auto flag = [](const SettingKey& key, int def) {
        return GetSettingInt(SettingSectionApp, key, def) == 1;
    };
    m_ports.stcPanel->SetShowValues(flag(SettingKeyTable::SHOW_STC_VALUE, 0));
    m_bShowFps = flag(SettingKeyTable::SHOW_FPS, 0);
    m_bShowTemperature = flag(SettingKeyTable::SHOW_TEMPERATURE, 0);
    m_controls.SetText(IDC_STATUS, "");
    g_bDebugLog = flag(SettingKeyTable::LOG, 0);
    if (CImageProc* proc = Live()) {
        ImagingParams p = proc->GetParams();
        p.rawDisp = flag(SettingKeyTable::RAWDISP, 0);
        proc->SetParams(p);
    }
    m_bSelPrinter = flag(SettingKeyTable::SELPRINTER, 1);
    m_bPcMode = flag(SettingKeyTable::PCMODE, 1);
    MeasureClickState = 0;
    m_nPressView = 0;
    m_nAutoStopTime =
        ParseAutoStopTime(GetSettingText(SettingSectionApp, SettingKeyTable::auto_stop_time, "7200"));
    // Kept as read (the OB/GY layout tests it); every lookup by it is bounded.
    m_nObGaModel = GetSettingInt(SettingSectionApp, SettingKeyTable::ob_gamodel);

    m_ports.obPanel->SetGaModelText(m_nObGaModel >= 0 && m_nObGaModel < 4 ? kGaModelNames[m_nObGaModel]
                                                                          : "-");
    m_ports.obPanel->SetItemCaption(IDC_OB_BPD, m_astrCaptions[17]);
    m_ports.obPanel->SetItemCaption(IDC_OB_FL, m_astrCaptions[18]);
    m_ports.obPanel->SetItemCaption(IDC_OB_CRL, m_astrCaptions[19]);
    m_ports.obPanel->SetItemCaption(IDC_OB_AC, m_astrCaptions[20]);
    m_ports.obPanel->SetItemCaption(IDC_OB_GS, m_astrCaptions[21]);
    m_astrEfwModels = {resources::LoadString(kStrJsum), resources::LoadString(kStrHadlock)};
    const std::string display =
        GetSettingText(SettingSectionApp, SettingKeyTable::ob_display, m_astrEfwModels[0]);
    m_nEfwEquation = display == m_astrEfwModels[1] ? 1 : 0;
    m_ports.obPanel->SetModelCaption(m_astrEfwModels[0]);

    m_controls.SetText(IDC_CLOCK, "");
    m_nRunState = kFrozen;
    m_nTool = kToolNone;
    if (IProbeData* probe = g_pProbe.load())
        probe->SetViewState(m_nRunState);
    m_controls.SetChecked(IDC_FREEZE, true);
    m_controls.Repaint(IDC_FREEZE, false);
    m_nTraceView = 0;
    m_nMouseButtons = 0;
    m_bBusy = false;
    m_bCineStoreRunning = false;

    m_ports.timers->StartTick(kTickPeriodMs);
    m_nHeldPicButton = 0;
    m_nHeldTicks = 0;
    m_ports.timers->StartTimer(kTimerHeldButton, kHeldButtonPeriodMs);
    if (!m_bPcMode)
        m_ports.loupe->Hide();

    m_controls.SetFaces(IDC_DELETE, {kBmpDelete, kBmpDeletePressed, kBmpDelete});
    m_controls.SetFaces(IDC_EXP_JPEG, {kBmpJpeg, kBmpJpegPressed, kBmpJpeg});
    m_controls.SetFaces(IDC_EXP_VIDEO, {kBmpVideo, kBmpVideo, kBmpVideo, kBmpVideoDisabled});
    m_controls.SetFaces(IDC_PRINT, {kBmpPrint, kBmpPrint, kBmpPrint});

    m_timingWindow.m_nSize = 16;
    m_timingWindow.Reset();
    StartExam(m_strPatientId, m_strPatientName);
    DebugLog("%s Start\n", GetProductName().c_str());
    m_bInitialised = true;
    return true;
}

bool CKALVEXDlg::StartExam(const std::string& id, const std::string& name) {
    m_strPatientId = id;
    m_strPatientName = name;
    m_strPatientHeader =
        platform::Format(resources::LoadString(kStrPatientHeader).c_str(), id.c_str(), name.c_str());
    m_controls.SetText(IDC_HEADER, m_strPatientHeader);
    m_strPatientFolder = GetDataFolder() + id + "/";
    m_bStillStored = m_bCineStored = true;
    m_bAskBeforeQuit = true;
    m_userList.LoadAll();
    {
        const platform::SystemTime t = platform::GetLocalTime();
        m_strExamStamp = platform::Format("%04d%02d%02d%02d%02d%02d", t.wYear, t.wMonth, t.wDay, t.wHour,
                                          t.wMinute, t.wSecond);
    }
    // The exam's stills and stored names belong to the old exam; the exam list starts empty.
    m_ports.stores->ResetExamStills();
    {
        const bool examList = m_bExamList;
        m_bExamList = true;
        m_ports.thumbnails->FillThumbnailList(0, 1, 1);
        m_bExamList = examList;
    }
    if (CImageProc* proc = Live())
        proc->Cine().Reset(0);
    m_viewMain.m_dZoom = 1.0;
    m_nDisplayMode = kDisplayB;
    m_nRunState = kFrozen;
    if (IProbeData* probe = g_pProbe.load())
        probe->SetViewState(kFrozen);
    m_nTool = kToolNone;
    for (CCstmPictureCtrl* view : {&m_viewMain, &m_viewLeft, &m_viewRight}) {
        view->ClearTraceMarks();
        view->ClearDistanceMarks();
    }
    m_nObSelectedImage = -1;
    m_ports.obgy->ClearExamStills();
    if (CImageProc* proc = Live()) {
        const int current = proc->Cine().GetCurrentIndex();
        m_frameScratch.Fill(0);
        proc->Cine().StoreFrame(current, m_frameScratch);
        DrawFrame(current, true);
        DrawFrame(-1, true);
    }
    m_ports.obgy->LoadPatientDates();
    for (const int item : {1, 5, 2, 6, 3, 4, 7})
        m_ports.obgy->ClearObgyMeasure(item);
    m_nScreenLayout = 0;
    m_nObSelItem = 0;
    EnableStoreMeasureButtons(false);
    SetScreenLayout(0, 0, true);
    if (!g_pProbe.load()) {
        if (m_controls.IsEnabled(IDC_BTN7)) {
            if (m_bProbeLost && !m_bExamList)
                m_ports.thumbnails->ShowThumbnailList();
            else
                ExecCommand(kCmdViewer);
            m_controls.Enable(IDC_BTN7, false);
        }
    } else if (!m_bExamList) {
        m_ports.thumbnails->ShowThumbnailList();
    }
    return true;
}

int CKALVEXDlg::SliderValue(int sliderId) const {
    const IRightPanel& right = *m_ports.rightPanel;
    const int pos = right.GetSliderPos(sliderId);
    if (!right.IsSliderReversed(sliderId))
        return pos;
    return ReversedSliderValue(pos, right.GetSliderMin(sliderId), right.GetSliderMax(sliderId));
}

void CKALVEXDlg::SetSliderValue(int sliderId, int value) {
    IRightPanel& right = *m_ports.rightPanel;
    if (right.IsSliderReversed(sliderId))
        value = ReversedSliderValue(value, right.GetSliderMin(sliderId), right.GetSliderMax(sliderId));
    right.SetSliderPos(sliderId, value);
}

double CKALVEXDlg::GammaFromSlider() const {
    const IRightPanel& right = *m_ports.rightPanel;
    return ReversedSliderValue(right.GetSliderPos(IDC_R_GAMMA), right.GetSliderMin(IDC_R_GAMMA),
                               right.GetSliderMax(IDC_R_GAMMA)) /
           100.0;
}

void CKALVEXDlg::SaveSettingsOnClose() {
    SetSettingDouble(SettingSectionApp, SettingKeyTable::gamma, GammaFromSlider());
    IProbeData* probe = g_pProbe.load();
    if (!probe)
        return;
    int type = 0;
    probe->GetProbeType(&type);
    const int section = ProbeTypeToConfigSection(type);
    SetSettingInt(section, SettingKeyTable::gain, SliderValue(IDC_R_GAIN));
    SetSettingInt(section, SettingKeyTable::contrast, SliderValue(IDC_R_CONTRAST));
    SetSettingInt(section, SettingKeyTable::depth, m_ports.rightPanel->GetSliderPos(IDC_R_DEPTH));
    for (int i = 0; i < kStcKnotCount; ++i)
        SetSettingInt(section, kTgcKeys[i], g_anStcValue[i]);
    SetSettingInt(section, SettingKeyTable::invert, Live() && Live()->GetParams().invert ? 1 : 0);
    if (probe->IsFeatureSupported(ProbeFeatureFocus)) {
        const int focus = probe->GetFocus();
        if (focus > 0)
            SetSettingInt(section, SettingKeyTable::focus, focus);
    }
    if (probe->IsFeatureSupported(ProbeFeatureTxFrequency)) {
        const int freq = probe->GetTxFrequency();
        if (freq >= 0)
            SetSettingInt(section, SettingKeyTable::tx_freq, freq);
    }
}

void CKALVEXDlg::OnClose() {
    if (m_bClosing)
        return;
    m_bClosing = true;
    // Work posted from now on (frame notices, the tick's messages, power events) finds no window.
    m_handle->Revoke();
    m_bActive = false;
    m_bProbeLost = true;
    IProbeData* probe = g_pProbe.load();
    if (m_nRunState == kLive && probe)
        probe->SetScanState(ProbeScanStopRequested);
    SaveSettingsOnClose();
    if (probe) {
        const int state = probe->GetScanState();
        if (state != ProbeScanNeverStarted && state != ProbeScanStopped)
            probe->StopStreaming();
        probe->RequestStop();
    }
    if (CImageProc* proc = Live())
        proc->StopImageThread();
    if (m_ports.recorder->Exists()) {
        if (m_ports.recorder->State() == 1)
            m_ports.recorder->Stop();
        m_ports.recorder->Delete();
    }
    JoinProbeThread();
    m_ports.timers->StopTick();
    for (int id : {kTimerPlayback, kTimerRestoreButton, kTimerHeldButton})
        m_ports.timers->KillTimer(id);
    m_fnSleep(500);
    CEventHub& hub = CEventHub::GetInstance();
    hub.Unsubscribe(EventKindRawFrame, &CKALVEXDlg::OnRawBufferEvent);
    if (probe)
        probe->Close();
    g_pImageProc = nullptr;
    m_pLiveProc.reset();
    g_pProbe = nullptr;
    delete probe;
    hub.Unsubscribe(EventKindCommand, &CKALVEXDlg::OnPanelCommand);
    hub.Unsubscribe(EventKindScroll, &CKALVEXDlg::OnPanelValueChanged);
    hub.Unsubscribe(EventKindSliderFocus, &CKALVEXDlg::OnPanelNotify);
    g_pMainDlg = nullptr;
    for (;;) {
        CRawBuf* buffer = m_lstRawBuffers.RemoveHeadLocked();
        if (!buffer)
            break;
        delete buffer;
    }
    if (m_ports.recorder->Exists())
        m_ports.recorder->Delete();
    m_ports.loupe->Hide();
    g_pReviewImageProc = nullptr;
    m_pReviewProc.reset();
    m_viewMain.ReleaseResources();
    m_viewLeft.ReleaseResources();
    m_viewRight.ReleaseResources();
    m_bClosed = true;
}

void CKALVEXDlg::OnSysCommandClose() {
    // A cine store holds the frozen ring and a half-written folder: it ends first.
    if (m_bClosing || m_bCineStoreRunning)
        return;
    m_bStillStored = m_bCineStored = true;
    m_bAskBeforeQuit = false;
    OnClose();
    m_ports.window->EndDialog(2);
    EndProcess(0);
}
