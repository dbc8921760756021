// One SyncView or view-only recorder (g_pCaptureRecorder): the "Recording" dialog's choices,
// the camera with its preview, and the recordings, each written by its own writer thread and
// transcoded to MP4 when it stops. Runs on the UI thread; the writer reaches the UI only by
// posting ("error camera").
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/core/RecorderUi.h"
#include "archive/recorder/CameraCapture.h"
#include "archive/recorder/CaptionBlock.h"
#include "archive/recorder/RecordingSession.h"

class CCaptureRecorder {
public:
    // Makes the sink factory of a recording from the compressor choice (the AVI writer by
    // default); tests give their own.
    using SinkFactoryMaker = std::function<recorder::SinkFactory(const exportfile::VideoCodecChoice&)>;
    using TranscoderMaker = std::function<recorder::Transcoder(std::function<void(int)> progress)>;

    explicit CCaptureRecorder(IRecorderUi& ui, SinkFactoryMaker sinks = {}, TranscoderMaker transcoders = {});
    ~CCaptureRecorder();
    CCaptureRecorder(const CCaptureRecorder&) = delete;
    CCaptureRecorder& operator=(const CCaptureRecorder&) = delete;

    // The "Recording" dialog, its settings, the compressor ("SEL") and, with a camera, the
    // camera and its preview. True when ready to record; a camera that cannot be built
    // leaves the right half black.
    bool Start(const std::string& patientId, const std::string& patientName, bool withCamera, int xOffset);
    // Names, reserves and opens the AVI and starts the writer. False with the path and
    // reason in LastOpen().
    bool OpenAviFile();
    // Ends the recording: the writer acknowledges, the AVI is finalised and transcoded.
    recorder::FinishOutcome Stop();
    recorder::RecorderState RecorderState() const;

    // UI thread, after each drawn frame while recording: the image area and, when depth,
    // gain or contrast changed, the caption block.
    void PublishView(const Image32& view);
    void PublishCaption(const recorder::CaptionValues& values);

    const recorder::OpenOutcome& LastOpen() const { return m_lastOpen; }
    bool HasCamera() const { return !m_strCameraName.empty(); }
    recorder::CCameraCapture& Camera() { return m_camera; }
    bool Stopping() const { return m_bStopping; }
    int FrameClock() const { return m_pSession ? m_pSession->FrameClock() : 0; }

    // Runs on the UI thread after a failed write was reported (the port ends the recording
    // as REC would); not run once the recorder is gone or another recording has opened.
    std::function<void()> m_onWriteFailed;
    // Runs on the UI thread once a recording reached its 30 seconds on the writer's clock
    // (nothing more is written from then on); not run once the recorder is gone or another
    // recording has opened.
    std::function<void()> m_onLimit;
    // The recording's length limit in samples of its clock; tests shorten it. Before Start.
    int m_nLimitFrames = recorder::kRecordLimitFrames;

    // True when the writer's clock moved on since the image area was last handed over: only
    // then is the image area worth rendering again.
    bool WantsView() const;

    // Seconds since 1970 (UTC) when the running recording opened, in microseconds; 0 = none.
    std::atomic<int64_t> m_tRecordStart{0};

    std::string m_strRecId;
    std::string m_strRecName;
    std::string m_strRecFileName;
    std::string m_strRecFolder;
    std::string m_strCameraName;
    int m_nRecQuality = recorder::kQualityHigh;

private:
    IRecorderUi& m_ui;
    SinkFactoryMaker m_makeSinks;
    TranscoderMaker m_makeTranscoder;
    // The compressor chosen at Start; the encoder itself is made per recording.
    exportfile::VideoCodecChoice m_codec;
    recorder::CCameraCapture m_camera;
    std::unique_ptr<recorder::RecordingSession> m_pSession;
    recorder::OpenOutcome m_lastOpen;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);  // posted work checks it is still here
    // Counts the recordings opened: a writer's notice carries the count of its own recording,
    // so a notice still queued when the next recording has opened does not end that one.
    std::atomic<unsigned> m_nRecording{0};
    bool m_bWithCamera = false;
    bool m_bStopping = false;
    bool m_bHaveCaption = false;
    int m_nViewClock = -1;  // the writer's clock when the image area was last handed over
    recorder::CaptionValues m_caption;
};

// The process's recorder; null when none exists.
extern CCaptureRecorder* g_pCaptureRecorder;

// Releases the camera and deletes the recorder.
void DeleteCaptureRecorder(CCaptureRecorder* recorder);

// "error camera" + "(%d)" and the reason, as the writer reports it.
std::string WriteFailureMessage(int code, const std::string& reason);
