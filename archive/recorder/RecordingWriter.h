// The recording's clock and its writer. The clock counts 77 ms ticks since the recording
// opened; every 15 ms the writer reads it and, when it moved on, composes and writes one
// frame as sample number = clock value. A writer that falls behind leaves gaps: the file's
// timing stays the clock's.
//
// Stopping is a handshake: the UI thread asks (StopRequested), the writer's next step
// acknowledges it without writing (StopAcknowledged), and only then is the file closed. A
// frame write under way is never cut short. The first failed write ends the writer and is
// reported once through the failure callback (the caller posts it to the UI thread).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "archive/recorder/FrameSink.h"

namespace recorder {

enum class RecorderState : int {
    Idle = 0,
    Recording = 1,
    StopRequested = 2,
    StopAcknowledged = 3,
    Stopped = 4,
};

inline constexpr int64_t kFrameClockMicros = 77'000;  // 13 frames a second
inline constexpr int64_t kWriterPeriodMicros = 15'000;
// A recording lasts at most 30 seconds of its own clock: samples 0..389 at 13 a second.
inline constexpr int kRecordLimitFrames = 390;

struct WriteFailure {
    int code = 0;
    int index = 0;  // the sample that could not be written
    std::string reason;
};

enum class WriterStep {
    NothingNew,    // the clock has not moved since the last frame, or it reached the limit
    Wrote,         // one frame written
    Acknowledged,  // the stop request was acknowledged; nothing written
    NotRecording,  // idle, stopped, acknowledged earlier, or after a failed write
    Failed,        // this step's write failed; the writer ends
};

struct StopResult {
    int framesWritten = 0;
    int lastIndex = -1;  // sample number of the last frame written
    bool writeFailed = false;
    bool closed = false;  // the sink finalised the file
    std::string closeError;
};

class RecordingWriter {
public:
    using ComposeFn = std::function<void(std::vector<uint8_t>& frame)>;
    using FailureFn = std::function<void(const WriteFailure&)>;

    RecordingWriter(IFrameSink& sink, ComposeFn compose, FailureFn onFailure);

    // The length limit in samples (0: none) and what to run, once, on the writer's thread
    // when the clock reaches it: from then on nothing more is written, however late the UI
    // thread comes to stop the recording. Set before Start.
    void SetLimit(int frames, std::function<void()> onLimit) {
        limitFrames_ = frames;
        onLimit_ = std::move(onLimit);
    }
    ~RecordingWriter();  // stops a running writer
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // --- the steps, driven by the thread below or by a test's fake clock ---
    // Opens the recording at monotonic time `startMicros`: clock 0, nothing written yet.
    void Begin(int64_t startMicros);
    // One writer tick at monotonic time `nowMicros`.
    WriterStep Step(int64_t nowMicros);
    void RequestStop();
    // Closes the sink once the writer acknowledged the stop (or ended on a failed write);
    // before that it refuses and touches nothing.
    bool Finish(StopResult& result);

    // --- the writer thread ---
    // Begin at the steady clock's now and run Step every 15 ms on a std::thread.
    void Start();
    // UI thread: request the stop, wait on a condition variable for the acknowledgement (at
    // most one frame write; no events are dispatched), join the thread, close the sink.
    // A second caller during a stop waits for the first.
    StopResult Stop();
    bool Running() const { return thread_.joinable(); }

    RecorderState State() const { return state_.load(); }
    int FrameClock() const { return frameClock_.load(); }
    int LastWritten() const { return lastWritten_.load(); }
    bool WriteFailed() const { return failed_.load(); }

    static int64_t SteadyMicros();

private:
    void Run();
    void MarkEnded();

    IFrameSink& sink_;
    ComposeFn compose_;
    FailureFn onFailure_;
    int limitFrames_ = kRecordLimitFrames;
    std::function<void()> onLimit_;
    bool limitReported_ = false;

    std::atomic<RecorderState> state_{RecorderState::Idle};
    std::atomic<int> frameClock_{0};
    std::atomic<int> lastWritten_{-1};
    std::atomic<bool> failed_{false};
    int64_t startMicros_ = 0;
    int framesWritten_ = 0;
    int lastGood_ = -1;
    std::vector<uint8_t> frame_;

    std::mutex mutex_;                 // guards the fields below
    std::condition_variable changed_;  // a step ended the writer, a stop was asked or finished
    bool ended_ = true;                // no step will acknowledge any more
    bool stopping_ = false;
    std::mutex stopMutex_;  // one Stop at a time
    std::thread thread_;
};

}  // namespace recorder
