#include "archive/recorder/RecordingSession.h"

#include <unistd.h>

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace recorder {

RecordingSession::RecordingSession(SinkFactory sinkFactory, RecordingWriter::FailureFn onWriteFailure)
    : sinkFactory_(std::move(sinkFactory)), onWriteFailure_(std::move(onWriteFailure)) {}

RecordingSession::~RecordingSession() {
    // A recorder deleted mid-recording (the window closes) still leaves a finished AVI.
    if (writer_)
        writer_->Stop();
}

RecorderState RecordingSession::State() const {
    return writer_ ? writer_->State() : RecorderState::Idle;
}

OpenOutcome RecordingSession::Open(const SessionSetup& setup, const platform::SystemTime& stamp) {
    OpenOutcome outcome;
    const RecorderState state = State();
    if (state != RecorderState::Idle && state != RecorderState::Stopped) {
        outcome.reason = "a recording is running";
        return outcome;
    }
    RecordingName name;
    name.folder = setup.folder;
    name.patientId = setup.patientId;
    name.fileName = setup.fileName;
    name.stamp = stamp;
    name.select = setup.quality == kQualitySelect;
    std::string error;
    if (!CreateRecordingFile(name, paths_, error)) {
        outcome.path = MakeRecordingPaths(name).avi;
        outcome.reason = error;
        return outcome;
    }
    const int width = RecorderFrameWidth(setup.withCamera);
    writer_.reset();
    sink_ = sinkFactory_(paths_.avi, width, error);
    if (!sink_) {
        ::unlink(paths_.avi.c_str());  // the empty file reserved for it
        outcome.path = paths_.avi;
        outcome.reason = error;
        return outcome;
    }
    setup_ = setup;
    composer_ = std::make_unique<FrameComposer>(setup.withCamera);
    writer_ = std::make_unique<RecordingWriter>(
        *sink_, [this](std::vector<uint8_t>& frame) { Compose(frame); }, onWriteFailure_);
    recordStart_ = platform::Clock().UtcMicros() / 1'000'000;
    writer_->Start();
    outcome.ok = true;
    outcome.path = paths_.avi;
    return outcome;
}

void RecordingSession::Compose(std::vector<uint8_t>& frame) {
    if (!view_.Copy(viewCopy_))
        viewCopy_ = Image32();
    if (composer_->width() == kViewSide) {
        composer_->Compose(viewCopy_, nullptr, nullptr, frame);
        return;
    }
    const bool haveCaption = caption_.Copy(captionCopy_);
    const bool haveSample = camera_ && camera_->LatestSample(sample_);
    composer_->Compose(viewCopy_, haveSample ? &sample_ : nullptr, haveCaption ? &captionCopy_ : nullptr,
                       frame);
}

FinishOutcome RecordingSession::Stop(const Transcoder& transcode) {
    FinishOutcome outcome;
    if (!writer_ || !sink_ || State() == RecorderState::Stopped || State() == RecorderState::Idle)
        return outcome;
    outcome.stop = writer_->Stop();
    sink_.reset();
    recordStart_ = 0;

    if (!outcome.stop.closed || outcome.stop.framesWritten == 0) {
        ::unlink(paths_.avi.c_str());
        outcome.problem = outcome.stop.closed ? FinishProblem::NothingRecorded : FinishProblem::NotFinalised;
        outcome.reason = outcome.stop.closeError;
        return outcome;
    }
    const std::optional<int> row = Mp4RowFor(setup_.withCamera, setup_.quality);
    if (!row) {
        outcome.resultPath = paths_.avi;
        return outcome;
    }
    std::string error;
    if (transcode && transcode(paths_.avi, paths_.mp4, *row, error)) {
        ::unlink(paths_.avi.c_str());
        outcome.resultPath = paths_.mp4;
        return outcome;
    }
    // Keep the recording: a half-written MP4 goes, the AVI stays and is reported.
    ::unlink(paths_.mp4.c_str());
    outcome.problem = FinishProblem::TranscodeFailed;
    outcome.reason = transcode ? error : "no transcoder";
    outcome.resultPath = paths_.avi;
    return outcome;
}

}  // namespace recorder
