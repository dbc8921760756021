#include "archive/recorder/RecordingWriter.h"

#include <chrono>

namespace recorder {

RecordingWriter::RecordingWriter(IFrameSink& sink, ComposeFn compose, FailureFn onFailure)
    : sink_(sink), compose_(std::move(compose)), onFailure_(std::move(onFailure)) {}

RecordingWriter::~RecordingWriter() {
    const RecorderState s = state_.load();
    if (thread_.joinable() || (s != RecorderState::Idle && s != RecorderState::Stopped))
        Stop();
}

int64_t RecordingWriter::SteadyMicros() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void RecordingWriter::Begin(int64_t startMicros) {
    startMicros_ = startMicros;
    frameClock_ = 0;
    lastWritten_ = -1;
    lastGood_ = -1;
    framesWritten_ = 0;
    failed_ = false;
    limitReported_ = false;
    {
        std::lock_guard lock(mutex_);
        ended_ = false;
        stopping_ = false;
    }
    state_ = RecorderState::Recording;
}

void RecordingWriter::MarkEnded() {
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}

WriterStep RecordingWriter::Step(int64_t nowMicros) {
    const int64_t elapsed = nowMicros - startMicros_;
    int clock = elapsed > 0 ? static_cast<int>(elapsed / kFrameClockMicros) : 0;
    frameClock_ = clock;

    RecorderState expected = RecorderState::StopRequested;
    if (state_.compare_exchange_strong(expected, RecorderState::StopAcknowledged)) {
        MarkEnded();
        return WriterStep::Acknowledged;
    }
    if (expected != RecorderState::Recording || failed_)
        return WriterStep::NotRecording;
    if (limitFrames_ > 0 && clock >= limitFrames_) {
        if (!limitReported_) {
            limitReported_ = true;
            if (onLimit_)
                onLimit_();
        }
        // Late over the last sample, the writer still takes it: the file lasts its full time.
        if (lastWritten_ >= limitFrames_ - 1)
            return WriterStep::NothingNew;
        clock = limitFrames_ - 1;
    }
    if (lastWritten_ >= clock)
        return WriterStep::NothingNew;

    lastWritten_ = clock;
    compose_(frame_);
    std::string reason;
    const int code = sink_.WriteFrame(clock, frame_, reason);
    if (code != 0) {
        failed_ = true;
        onFailure_(WriteFailure{code, clock, reason});
        MarkEnded();
        return WriterStep::Failed;
    }
    ++framesWritten_;
    lastGood_ = clock;
    return WriterStep::Wrote;
}

void RecordingWriter::RequestStop() {
    RecorderState expected = RecorderState::Recording;
    state_.compare_exchange_strong(expected, RecorderState::StopRequested);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
}

bool RecordingWriter::Finish(StopResult& result) {
    {
        std::lock_guard lock(mutex_);
        if (!ended_)
            return false;
    }
    const RecorderState s = state_.load();
    if (s == RecorderState::Idle || s == RecorderState::Stopped)
        return false;
    result.framesWritten = framesWritten_;
    result.lastIndex = lastGood_;
    result.writeFailed = failed_;
    result.closed = sink_.Close(result.closeError);
    state_ = RecorderState::Stopped;
    return true;
}

void RecordingWriter::Start() {
    if (thread_.joinable())
        return;
    Begin(SteadyMicros());
    thread_ = std::thread([this] { Run(); });
}

void RecordingWriter::Run() {
    const auto period = std::chrono::microseconds(kWriterPeriodMicros);
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        const WriterStep step = Step(SteadyMicros());
        if (step == WriterStep::Acknowledged || step == WriterStep::Failed ||
            step == WriterStep::NotRecording)
            return;
        next += period;
        std::unique_lock lock(mutex_);
        changed_.wait_until(lock, next, [this] { return stopping_; });
    }
}

StopResult RecordingWriter::Stop() {
    std::lock_guard serial(stopMutex_);
    StopResult result;
    const RecorderState s = state_.load();
    if (!thread_.joinable() && (s == RecorderState::Idle || s == RecorderState::Stopped))
        return result;
    RequestStop();
    if (thread_.joinable()) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_; });
    } else {
        // No thread to acknowledge: nothing can be writing.
        RecorderState expected = RecorderState::StopRequested;
        state_.compare_exchange_strong(expected, RecorderState::StopAcknowledged);
        MarkEnded();
    }
    if (thread_.joinable())
        thread_.join();
    Finish(result);
    return result;
}

}  // namespace recorder
