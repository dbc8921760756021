#include "app/core/CaptureRecorder.h"

#include "app/core/CoreStrings.h"
#include "archive/export/SaveDialogSettings.h"
#include "archive/recorder/AviFrameSink.h"
#include "archive/recorder/CaptionBlock.h"
#include "common/AppFolders.h"
#include "common/DebugLog.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "platform/UiThread.h"
#include "resources/StringTable.h"

CCaptureRecorder* g_pCaptureRecorder = nullptr;

std::string WriteFailureMessage(int code, const std::string& reason) {
    std::string text = resources::LoadString(kStrErrorCamera) + platform::Format("(%d)", code);
    if (!reason.empty())
        text += "\n" + reason;
    return text;
}

CCaptureRecorder::CCaptureRecorder(IRecorderUi& ui, SinkFactoryMaker sinks, TranscoderMaker transcoders)
    : m_ui(ui), m_makeSinks(std::move(sinks)), m_makeTranscoder(std::move(transcoders)) {
    if (!m_makeSinks)
        m_makeSinks = [](const exportfile::VideoCodecChoice& codec) {
            return recorder::AviSinkFactory(codec);
        };
    if (!m_makeTranscoder)
        m_makeTranscoder = [](std::function<void(int)> progress) {
            return recorder::Mp4Transcoder(std::move(progress));
        };
}

CCaptureRecorder::~CCaptureRecorder() {
    // The writer goes first (it reads the camera's sample), then the camera.
    m_pSession.reset();
    m_camera.ReleaseGraph();
}

bool CCaptureRecorder::Start(const std::string& patientId, const std::string& patientName, bool withCamera,
                             int xOffset) {
    m_strRecId = patientId;
    m_strRecName = patientName;

    const exportfile::SaveDialogStart start =
        exportfile::ReadSaveDialogSettings(exportfile::ExportCaller::Recorder);
    RecordingDialogRequest request;
    request.title = resources::LoadString(kStrRecording);
    request.patientId = patientId;
    request.patientName = patientName;
    request.withCamera = withCamera;
    if (withCamera)
        request.cameras = recorder::CCameraCapture::EnumDeviceNames();
    request.camera = start.cameraPrev;
    request.folder = start.folder;
    request.quality = start.qualityIndex;

    RecordingDialogResult result;
    const int answer = withCamera && request.cameras.empty() ? kRecordingDialogNoCamera
                                                             : m_ui.RunRecordingDialog(request, result);
    if (answer == kRecordingDialogNoCamera) {
        platform::ShowMessageBox(resources::LoadString(kStrNoCamera), GetProductName(),
                                 platform::MsgIcon::Error);
        return false;
    }
    if (answer != kRecordingDialogOk)
        return false;

    exportfile::WriteSaveDialogSettings(exportfile::ExportCaller::Recorder, start, result.folder,
                                        result.quality, withCamera ? result.camera : "");
    m_strRecFolder = result.folder;
    m_strRecFileName = result.fileName;
    m_strCameraName = withCamera ? result.camera : "";
    m_bWithCamera = withCamera;
    m_nRecQuality = result.quality;

    m_codec = {};
    if (m_nRecQuality == recorder::kQualitySelect && !m_ui.ChooseCompressor(m_codec))
        return false;

    if (withCamera) {
        std::string error;
        if (!m_camera.BuildGraph(m_strCameraName, recorder::kCameraMinWidth, recorder::kCameraMinHeight,
                                 m_ui.PreviewHost(), xOffset, error))
            DebugLog("SyncView camera: %s\n", error.c_str());
    }

    m_pSession = std::make_unique<recorder::RecordingSession>(
        m_makeSinks(m_codec),
        [this, alive = std::weak_ptr<int>(m_alive)](const recorder::WriteFailure& failure) {
            // The writer thread never shows a window: the message goes to the UI thread, which
            // then ends the recording (the recorder may be gone by then).
            platform::PostToUi([this, alive, recording = m_nRecording.load(),
                                text = WriteFailureMessage(failure.code, failure.reason)] {
                platform::ShowMessageBox(text, GetProductName(), platform::MsgIcon::Error);
                if (!alive.expired() && recording == m_nRecording && m_onWriteFailed)
                    m_onWriteFailed();
            });
        });
    // The limit stands on the writer's clock: a busy UI thread cannot make a recording longer.
    m_pSession->SetLimit(
        [this, alive = std::weak_ptr<int>(m_alive)] {
            platform::PostToUi([this, alive, recording = m_nRecording.load()] {
                if (!alive.expired() && recording == m_nRecording && m_onLimit)
                    m_onLimit();
            });
        },
        m_nLimitFrames);
    m_pSession->SetCamera(m_camera.Camera());
    return true;
}

bool CCaptureRecorder::OpenAviFile() {
    m_lastOpen = {};
    if (!m_pSession) {
        m_lastOpen.reason = "the recorder is not ready";
        return false;
    }
    recorder::SessionSetup setup;
    setup.folder = m_strRecFolder;
    setup.patientId = m_strRecId;
    setup.fileName = m_strRecFileName;
    setup.withCamera = m_bWithCamera;
    setup.quality = m_nRecQuality;
    m_bHaveCaption = false;
    m_nViewClock = -1;
    ++m_nRecording;  // before its writer starts, which posts under this count
    m_lastOpen = m_pSession->Open(setup, platform::GetLocalTime());
    if (!m_lastOpen.ok)
        return false;
    m_tRecordStart = platform::Clock().UtcMicros();
    return true;
}

recorder::FinishOutcome CCaptureRecorder::Stop() {
    if (!m_pSession || m_bStopping)
        return {};
    m_bStopping = true;
    m_tRecordStart = 0;
    recorder::FinishOutcome outcome;
    const recorder::RecorderState state = m_pSession->State();
    if (state == recorder::RecorderState::Recording || state == recorder::RecorderState::StopRequested) {
        m_ui.BeginEncoding();
        outcome = m_pSession->Stop(m_makeTranscoder([this](int percent) { m_ui.EncodingProgress(percent); }));
        m_ui.EndEncoding();
    }
    m_bStopping = false;
    return outcome;
}

recorder::RecorderState CCaptureRecorder::RecorderState() const {
    return m_pSession ? m_pSession->State() : recorder::RecorderState::Idle;
}

bool CCaptureRecorder::WantsView() const {
    return m_pSession && m_pSession->FrameClock() != m_nViewClock;
}

void CCaptureRecorder::PublishView(const Image32& view) {
    if (!m_pSession)
        return;
    m_nViewClock = m_pSession->FrameClock();
    m_pSession->PublishView(view);
}

void CCaptureRecorder::PublishCaption(const recorder::CaptionValues& values) {
    if (!m_pSession || !m_bWithCamera || (m_bHaveCaption && values == m_caption))
        return;
    m_caption = values;
    m_bHaveCaption = true;
    m_pSession->PublishCaption(recorder::RenderCaptionBlock(values, GetProductName(), m_ui.CaptionIcon()));
}

void DeleteCaptureRecorder(CCaptureRecorder* recorder) {
    delete recorder;
}
