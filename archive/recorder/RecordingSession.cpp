#include "archive/recorder/RecordingSession.h"

#include <sys/stat.h>
#include <unistd.h>

#include "archive/export/VideoLeftovers.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace recorder {

RecordingSession::RecordingSession(SinkFactory sinkFactory, RecordingWriter::FailureFn onWriteFailure)
    : sinkFactory_(std::move(sinkFactory)), onWriteFailure_(std::move(onWriteFailure)) {}

RecordingSession::~RecordingSession() {
    // A recorder deleted mid-recording (the window closes) still leaves a finished AVI.
    if (writer_ && sink_) {
        const StopResult stop = writer_->Stop();
        std::string reason;
        if (!stop.closed || stop.framesWritten == 0 || !sink_->Place(reason))
            DropReservation();
    }
    writer_.reset();
    sink_.reset();
    exportfile::ReleaseVideoFile(paths_.avi);
}

void RecordingSession::DropReservation() {
    sink_.reset();  // an unplaced file goes with its writer
    // Only the empty placeholder that reserved the name, never a recording.
    struct stat st {};
    if (::lstat(paths_.avi.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0)
        ::unlink(paths_.avi.c_str());
    exportfile::ReleaseVideoFile(paths_.avi);
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
    // What killed recordings left in the folder goes first.
    exportfile::SweepVideoLeftovers(setup.folder);
    exportfile::ReleaseVideoFile(paths_.avi);
    std::string error;
    {
        const std::unique_lock noSweep = exportfile::HoldOffSweeps();
        if (!CreateRecordingFile(name, paths_, error)) {
            outcome.path = MakeRecordingPaths(name).avi;
            outcome.reason = error;
            return outcome;
        }
        exportfile::ClaimVideoFile(paths_.avi);
    }
    const int width = RecorderFrameWidth(setup.withCamera);
    writer_.reset();
    sink_ = sinkFactory_(paths_.avi, width, error);
    if (!sink_) {
        DropReservation();  // the empty file reserved for it
        outcome.path = paths_.avi;
        outcome.reason = error;
        return outcome;
    }
    setup_ = setup;
    composer_ = std::make_unique<FrameComposer>(setup.withCamera);
    writer_ = std::make_unique<RecordingWriter>(
        *sink_, [this](std::vector<uint8_t>& frame) { Compose(frame); }, onWriteFailure_);
    writer_->SetLimit(limitFrames_, onLimit_);
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
    recordStart_ = 0;

    if (!outcome.stop.closed || outcome.stop.framesWritten == 0) {
        DropReservation();
        outcome.problem = outcome.stop.closed ? FinishProblem::NothingRecorded : FinishProblem::NotFinalised;
        outcome.reason = outcome.stop.closeError;
        return outcome;
    }
    const std::optional<int> row = Mp4RowFor(setup_.withCamera, setup_.quality);
    if (!row) {
        KeepAvi(outcome);
        return outcome;
    }
    // The AVI is read where the sink finished it; it takes its own name only when it is kept.
    const std::string completed = sink_->CompletedPath();
    const std::string& source = completed.empty() ? paths_.avi : completed;
    std::string error;
    if (transcode && transcode(source, paths_.mp4, *row, error)) {
        if (completed.empty())
            ::unlink(paths_.avi.c_str());
        DropReservation();
        outcome.resultPath = paths_.mp4;
        return outcome;
    }
    // Keep the recording: a half-written MP4 goes, the AVI stays and is reported.
    ::unlink(paths_.mp4.c_str());
    outcome.problem = FinishProblem::TranscodeFailed;
    outcome.reason = transcode ? error : "no transcoder";
    KeepAvi(outcome);
    return outcome;
}

void RecordingSession::KeepAvi(FinishOutcome& outcome) {
    std::string error;
    if (!sink_->Place(error)) {
        DropReservation();
        outcome.problem = FinishProblem::NotFinalised;
        outcome.reason = error;
        return;
    }
    sink_.reset();
    exportfile::ReleaseVideoFile(paths_.avi);
    outcome.resultPath = paths_.avi;
}

}  // namespace recorder
