// One recorder's recordings, without windows: each recording reserves its file names,
// opens the video writer through a factory (the export code's AVI writer), runs the frame
// writer thread over the UI thread's published view and caption and the camera's latest
// picture, and on Stop finalises the file and transcodes it to MP4 ("SEL" keeps the AVI).
// The results come back as values; the caller shows the messages through the message-box
// seam and runs this on the UI thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/recorder/FrameComposer.h"
#include "archive/recorder/FrameSink.h"
#include "archive/recorder/RecordingFiles.h"
#include "archive/recorder/RecordingWriter.h"
#include "archive/recorder/SharedImage.h"
#include "platform/camera/Camera.h"

namespace recorder {

// Opens the video file at `aviPath` for frames `width` x 480 at 13 a second; nullptr with
// `error` when it cannot. The file already exists (reserved empty) and is to be overwritten.
using SinkFactory =
    std::function<std::unique_ptr<IFrameSink>(const std::string& aviPath, int width, std::string& error)>;
// Transcodes the finished AVI into the MP4 with a row of the MP4 profile table.
using Transcoder = std::function<bool(const std::string& aviPath, const std::string& mp4Path, int mp4Row,
                                      std::string& error)>;

struct SessionSetup {
    std::string folder;
    std::string patientId;
    std::string fileName;
    bool withCamera = false;  // SyncView: frames 960 wide with the camera half
    int quality = kQualityHigh;
};

struct OpenOutcome {
    bool ok = false;
    std::string path;    // the AVI; on failure the path to name in "save error"
    std::string reason;  // why it failed, for the log
};

enum class FinishProblem {
    None,
    NothingRecorded,  // no frame reached the file; it was removed
    NotFinalised,     // the AVI could not be finished and was removed
    TranscodeFailed,  // the AVI is kept beside no MP4
};

struct FinishOutcome {
    StopResult stop;
    FinishProblem problem = FinishProblem::None;
    std::string reason;
    std::string
        resultPath;  // the MP4, or the AVI kept ("SEL" or a failed transcode); empty when nothing stays
};

class RecordingSession {
public:
    // `onWriteFailure` runs on the writer thread: post it to the UI thread ("error camera").
    RecordingSession(SinkFactory sinkFactory, RecordingWriter::FailureFn onWriteFailure);
    ~RecordingSession();
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    // What runs on the writer's thread, once per recording, when the recording reaches its
    // length limit (post it to the UI thread, which ends the recording as REC does); the
    // limit in samples, 30 seconds by default. Set before Open.
    void SetLimit(std::function<void()> onLimit, int frames = kRecordLimitFrames) {
        onLimit_ = std::move(onLimit);
        limitFrames_ = frames;
    }

    // The camera whose latest picture fills the right half (not owned; nullptr: black).
    // Set before Open; it must outlive the recordings.
    void SetCamera(const camera::ICamera* camera) { camera_ = camera; }

    // UI thread: the image view's render after each drawn frame, and the caption block when
    // depth, gain or contrast change.
    void PublishView(const Image32& view) { view_.Publish(view); }
    void PublishCaption(const Image32& block) { caption_.Publish(block); }

    // Starts a recording stamped with the local time `stamp`. Refused while one runs.
    OpenOutcome Open(const SessionSetup& setup, const platform::SystemTime& stamp);
    // Ends the recording: waits for the writer's acknowledgement, finalises, transcodes.
    FinishOutcome Stop(const Transcoder& transcode);

    RecorderState State() const;
    bool Recording() const { return State() == RecorderState::Recording; }
    // Seconds since 1970 (UTC) when the running recording opened; 0 when none.
    int64_t RecordStartSeconds() const { return recordStart_.load(); }
    int FrameClock() const { return writer_ ? writer_->FrameClock() : 0; }

private:
    void Compose(std::vector<uint8_t>& frame);
    // Drops the sink with any file it has not placed and the empty name the recording reserved.
    void DropReservation();
    // Puts the finished AVI in place under its own name as the result; when it cannot be
    // placed, drops it and reports the recording not finalised.
    void KeepAvi(FinishOutcome& outcome);

    SinkFactory sinkFactory_;
    RecordingWriter::FailureFn onWriteFailure_;
    std::function<void()> onLimit_;
    int limitFrames_ = kRecordLimitFrames;
    const camera::ICamera* camera_ = nullptr;
    SharedImage view_;
    SharedImage caption_;

    SessionSetup setup_;
    RecordingPaths paths_;
    std::unique_ptr<IFrameSink> sink_;
    std::unique_ptr<RecordingWriter> writer_;
    std::atomic<int64_t> recordStart_{0};

    // Writer-thread state for composing.
    std::unique_ptr<FrameComposer> composer_;
    Image32 viewCopy_;
    Image32 captionCopy_;
    camera::CameraSample sample_;
};

}  // namespace recorder
