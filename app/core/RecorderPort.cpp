#include "app/core/RecorderPort.h"

#include "app/core/CoreStrings.h"
#include "app/core/DepthMath.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainGlobals.h"
#include "archive/export/JpegExport.h"
#include "common/AppFolders.h"
#include "imaging/ImageProc.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using namespace maindlg;

recorder::CaptionValues CaptionValuesOf(const CImageProc& proc) {
    const ImagingParams params = proc.GetParams();
    recorder::CaptionValues values;
    values.depth = DepthFromPixelScale(proc.GetPixelScale(proc.GetDepth()));
    values.gain = params.gain;
    values.contrast = params.contrast;
    return values;
}

CRecorderPort::CRecorderPort(IRecorderUi& ui, RecorderFactory factory)
    : m_ui(ui), m_factory(std::move(factory)) {
    if (!m_factory)
        m_factory = [](IRecorderUi& u) { return new CCaptureRecorder(u); };
}

CRecorderPort::~CRecorderPort() {
    DeleteRecorder();
}

int CRecorderPort::State() const {
    if (!g_pCaptureRecorder)
        return 0;
    switch (g_pCaptureRecorder->RecorderState()) {
        case recorder::RecorderState::Recording:
            return 1;
        case recorder::RecorderState::StopRequested:
        case recorder::RecorderState::StopAcknowledged:
            return 2;
        default:
            return 0;
    }
}

int64_t CRecorderPort::StartMicros() const {
    return g_pCaptureRecorder ? g_pCaptureRecorder->m_tRecordStart.load() : 0;
}

bool CRecorderPort::HasCamera() const {
    return g_pCaptureRecorder && g_pCaptureRecorder->HasCamera();
}

bool CRecorderPort::HasVideoWindow() const {
    return g_pCaptureRecorder && g_pCaptureRecorder->Camera().HasGraph();
}

void CRecorderPort::ShowPreview(bool show) {
    if (g_pCaptureRecorder)
        g_pCaptureRecorder->Camera().ShowPreview(show);
}

void CRecorderPort::MoveSyncViewWindow() {
    if (m_pDlg && m_pDlg->m_bSyncView && g_pCaptureRecorder)
        g_pCaptureRecorder->Camera().MovePreview(m_ui.Enlargement());
}

void CRecorderPort::Stop() {
    if (!g_pCaptureRecorder)
        return;
    m_ui.SetMaximiseAllowed(true);
    m_lastFinish = g_pCaptureRecorder->Stop();
    ReportFinish(m_lastFinish);
    if (m_bDeletePending)
        DeleteRecorder();  // asked for while the stop ran
}

void CRecorderPort::Delete() {
    DeleteRecorder();
}

void CRecorderPort::DeleteRecorder() {
    if (!g_pCaptureRecorder)
        return;
    if (g_pCaptureRecorder->Stopping()) {
        // Deleting the recorder under its own Stop would pull the file out from under it.
        m_bDeletePending = true;
        return;
    }
    CCaptureRecorder* recorder = g_pCaptureRecorder;
    g_pCaptureRecorder = nullptr;
    DeleteCaptureRecorder(recorder);
    m_bDeletePending = false;
}

CCaptureRecorder* CRecorderPort::NewRecorder() {
    CCaptureRecorder* recorder = m_factory(m_ui);
    // A failed write ends the recording as REC would, once the message was shown.
    recorder->m_onWriteFailed = [this] {
        if (m_pDlg && m_pDlg->m_nRunState != kFrozen && State() == 1)
            ToggleRecord();
    };
    // The 30 seconds are up on the writer's clock: the window ends the recording as REC does.
    recorder->m_onLimit = [this] {
        if (m_pDlg && m_pDlg->m_nRunState != kFrozen && State() == 1)
            m_pDlg->OnRecordLimit();
    };
    return recorder;
}

void CRecorderPort::ToggleCamera() {
    if (!m_pDlg || !m_pLive)
        return;
    CKALVEXDlg& dlg = *m_pDlg;
    ILivePanel& live = *m_pLive;
    if (dlg.m_bSyncView) {
        dlg.m_bSyncView = false;
        live.SetButtonText(IDC_LIVE_SYNCVIEW, resources::LoadString(kStrCameraPrep));
        live.SetButtonKind(IDC_LIVE_SYNCVIEW, kKindNormal);
        DeleteRecorder();
        return;
    }
    dlg.m_bSyncView = true;
    live.SetButtonText(IDC_LIVE_SYNCVIEW, resources::LoadString(kStrCameraStop));
    live.SetButtonKind(IDC_LIVE_SYNCVIEW, kKindRecording);
    DeleteRecorder();
    g_pCaptureRecorder = NewRecorder();
    if (!g_pCaptureRecorder->Start(dlg.m_strPatientId, dlg.m_strPatientName, true, m_ui.Enlargement()))
        ToggleCamera();
}

void CRecorderPort::ToggleRecord() {
    if (!m_pDlg || !m_pLive || m_pDlg->m_nRunState == kFrozen)
        return;
    CKALVEXDlg& dlg = *m_pDlg;
    ILivePanel& live = *m_pLive;
    if (dlg.m_bSyncView && g_pCaptureRecorder) {
        const recorder::RecorderState state = g_pCaptureRecorder->RecorderState();
        if (state == recorder::RecorderState::Idle || state == recorder::RecorderState::Stopped) {
            BeginRecording();
        } else if (state == recorder::RecorderState::Recording) {
            EndRecording();
            if (!g_pCaptureRecorder || !g_pCaptureRecorder->HasCamera()) {
                dlg.m_bSyncView = false;
                DeleteRecorder();
                live.SetButtonText(IDC_LIVE_SYNCVIEW, resources::LoadString(kStrCameraPrep));
            }
            live.EnableButton(IDC_LIVE_SYNCVIEW, true);
        }
        return;
    }
    if (dlg.m_bSyncView)
        return;  // the flag without a recorder: nothing to act on
    // A view-only recording.
    dlg.m_bSyncView = true;
    g_pCaptureRecorder = NewRecorder();
    if (!g_pCaptureRecorder->Start(dlg.m_strPatientId, dlg.m_strPatientName, false, 0)) {
        dlg.m_bSyncView = false;
        DeleteRecorder();
        return;
    }
    BeginRecording();
}

void CRecorderPort::BeginRecording() {
    CKALVEXDlg& dlg = *m_pDlg;
    ILivePanel& live = *m_pLive;
    m_ui.SetMaximiseAllowed(false);
    live.EnableButton(IDC_LIVE_SYNCVIEW, false);
    if (!g_pCaptureRecorder->OpenAviFile()) {
        // Nothing records: say so, and give back what the start took.
        const recorder::OpenOutcome failure = g_pCaptureRecorder->LastOpen();
        m_ui.SetMaximiseAllowed(true);
        if (!g_pCaptureRecorder->HasCamera()) {
            dlg.m_bSyncView = false;
            DeleteRecorder();
            live.SetButtonText(IDC_LIVE_SYNCVIEW, resources::LoadString(kStrCameraPrep));
        }
        live.EnableButton(IDC_LIVE_SYNCVIEW, true);
        platform::ShowMessageBox(exportfile::SaveErrorOutcome(failure.path, failure.reason).message,
                                 GetProductName(), platform::MsgIcon::Error);
        return;
    }
    CaptureViewToRecorderFrame();  // the first frames show the image, not black
    live.SetRecTimeText("00:00");
    live.SetButtonKind(IDC_LIVE_REC, kKindRecording);
    live.SetButtonState(IDC_LIVE_REC, kStateNormal);
    live.SetRecButtonText(resources::LoadString(kStrRecStop));
}

void CRecorderPort::EndRecording() {
    ILivePanel& live = *m_pLive;
    Stop();
    live.SetRecTimeText("00:00");
    live.SetRecButtonText(resources::LoadString(kStrRec));
    live.SetButtonKind(IDC_LIVE_REC, kKindRec);
    live.SetButtonState(IDC_LIVE_REC, kStateNormal);
}

void CRecorderPort::ReportFinish(const recorder::FinishOutcome& outcome) {
    using recorder::FinishProblem;
    if (outcome.problem == FinishProblem::TranscodeFailed) {
        std::string text = exportfile::SaveErrorOutcome(outcome.resultPath, outcome.reason).message;
        platform::ShowMessageBox(text, GetProductName(), platform::MsgIcon::Error);
    } else if (outcome.problem == FinishProblem::NotFinalised) {
        const std::string& path = g_pCaptureRecorder->LastOpen().path;
        platform::ShowMessageBox(exportfile::SaveErrorOutcome(path, outcome.reason).message, GetProductName(),
                                 platform::MsgIcon::Error);
    }
}

void CRecorderPort::OnFrameDrawn() {
    // The writer takes 13 pictures a second: render the image area again only when it has
    // taken the last one, not for every drawn frame.
    if (g_pCaptureRecorder && g_pCaptureRecorder->RecorderState() == recorder::RecorderState::Recording &&
        g_pCaptureRecorder->WantsView())
        CaptureViewToRecorderFrame();
}

void CRecorderPort::CaptureViewToRecorderFrame() {
    if (!g_pCaptureRecorder)
        return;
    g_pCaptureRecorder->PublishView(m_ui.RenderImageArea());
    if (const CImageProc* proc = g_pImageProc.load())
        g_pCaptureRecorder->PublishCaption(CaptionValuesOf(*proc));
}
