#include <gtest/gtest.h>

#include "archive/recorder/RecordingWriter.h"

using recorder::RecorderState;
using recorder::RecordingWriter;
using recorder::StopResult;
using recorder::WriterStep;

namespace {

// Records what reaches the file, in order: "w<index>" per frame, "close" at the end.
class LogSink : public recorder::IFrameSink {
public:
    int WriteFrame(int index, const std::vector<uint8_t>& frame, std::string& reason) override {
        if (closed)
            ADD_FAILURE() << "frame " << index << " written after the file was closed";
        log.push_back("w" + std::to_string(index));
        EXPECT_EQ(frame.size(), 12u);
        if (index == failAt) {
            reason = "No space left on device";
            return -28;
        }
        return 0;
    }
    bool Close(std::string&) override {
        log.push_back("close");
        closed = true;
        return true;
    }
    std::vector<std::string> log;
    int failAt = -1;
    bool closed = false;
};

constexpr int64_t kStart = 5'000'000;
int64_t AtMs(int ms) {
    return kStart + int64_t{ms} * 1000;
}

}  // namespace

TEST(RecordingWriter, WritesAtMostOneFramePerClockTickWithTheClockAsSampleNumber) {
    struct Step {
        int ms;
        WriterStep expected;
        int clock;
    };
    LogSink sink;
    int composed = 0;
    RecordingWriter writer(
        sink, [&](std::vector<uint8_t>& f) { f.assign(12, 0), ++composed; },
        [](auto&) { ADD_FAILURE() << "no failure expected"; });
    writer.Begin(kStart);
    EXPECT_EQ(writer.State(), RecorderState::Recording);
    EXPECT_EQ(writer.LastWritten(), -1);
    const std::vector<Step> steps = {
        {0, WriterStep::Wrote, 0},        // the first frame at once
        {15, WriterStep::NothingNew, 0},  // same tick
        {76, WriterStep::NothingNew, 0},  {77, WriterStep::Wrote, 1},  {92, WriterStep::NothingNew, 1},
        {400, WriterStep::Wrote, 5},  // a stalled writer: 2, 3 and 4 stay gaps
        {415, WriterStep::NothingNew, 5}, {462, WriterStep::Wrote, 6},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(writer.Step(AtMs(s.ms)), s.expected) << "at " << s.ms << " ms";
        EXPECT_EQ(writer.FrameClock(), s.clock) << "at " << s.ms << " ms";
    }
    EXPECT_EQ(sink.log, (std::vector<std::string>{"w0", "w1", "w5", "w6"}));
    EXPECT_EQ(composed, 4);
    EXPECT_EQ(writer.LastWritten(), 6);
}

TEST(RecordingWriter, ExactlyOneStepAcknowledgesTheStopAndTheFileClosesOnlyAfterIt) {
    LogSink sink;
    RecordingWriter writer(
        sink, [](std::vector<uint8_t>& f) { f.assign(12, 0); }, [](auto&) {});
    writer.Begin(kStart);
    EXPECT_EQ(writer.Step(AtMs(0)), WriterStep::Wrote);
    StopResult result;
    EXPECT_FALSE(writer.Finish(result));  // still recording: the file stays open

    writer.RequestStop();
    EXPECT_EQ(writer.State(), RecorderState::StopRequested);
    EXPECT_FALSE(writer.Finish(result));  // asked, not yet acknowledged
    EXPECT_EQ(sink.log, std::vector<std::string>{"w0"});

    // The acknowledging step comes on a new clock tick and still writes nothing.
    EXPECT_EQ(writer.Step(AtMs(160)), WriterStep::Acknowledged);
    EXPECT_EQ(writer.State(), RecorderState::StopAcknowledged);
    for (int ms : {175, 240, 320})
        EXPECT_EQ(writer.Step(AtMs(ms)), WriterStep::NotRecording);
    EXPECT_EQ(sink.log, std::vector<std::string>{"w0"});

    ASSERT_TRUE(writer.Finish(result));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"w0", "close"}));
    EXPECT_EQ(writer.State(), RecorderState::Stopped);
    EXPECT_EQ(result.framesWritten, 1);
    EXPECT_TRUE(result.closed);
    EXPECT_FALSE(writer.Finish(result));  // closed once

    // The recorder is reused for the next recording (a new file), from clock 0 again.
    sink.closed = false;
    writer.Begin(AtMs(10'000));
    EXPECT_EQ(writer.Step(AtMs(10'000)), WriterStep::Wrote);
    EXPECT_EQ(sink.log.back(), "w0");
}

TEST(RecordingWriter, TheFirstFailedWriteEndsTheWriterAndIsReportedOnce) {
    LogSink sink;
    sink.failAt = 2;
    std::vector<recorder::WriteFailure> failures;
    RecordingWriter writer(
        sink, [](std::vector<uint8_t>& f) { f.assign(12, 0); },
        [&](const recorder::WriteFailure& f) { failures.push_back(f); });
    writer.Begin(kStart);
    EXPECT_EQ(writer.Step(AtMs(0)), WriterStep::Wrote);
    EXPECT_EQ(writer.Step(AtMs(77)), WriterStep::Wrote);
    EXPECT_EQ(writer.Step(AtMs(154)), WriterStep::Failed);
    EXPECT_EQ(writer.Step(AtMs(231)), WriterStep::NotRecording);
    EXPECT_EQ(writer.Step(AtMs(308)), WriterStep::NotRecording);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, -28);
    EXPECT_EQ(failures[0].index, 2);
    EXPECT_EQ(failures[0].reason, "No space left on device");
    EXPECT_TRUE(writer.WriteFailed());

    // The stop that follows has nothing to wait for and finalises what was written.
    const StopResult result = writer.Stop();
    EXPECT_TRUE(result.writeFailed);
    EXPECT_EQ(result.framesWritten, 2);
    EXPECT_EQ(result.lastIndex, 1);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"w0", "w1", "w2", "close"}));
    EXPECT_EQ(writer.State(), RecorderState::Stopped);
}

// A writer with the recording length limit, begun at kStart, counting the limit's reports.
class RecordingWriterAtTheLimit : public ::testing::Test {
protected:
    RecordingWriterAtTheLimit() {
        writer.SetLimit(recorder::kRecordLimitFrames, [this] { ++limits; });
        writer.Begin(kStart);
    }
    LogSink sink;
    int limits = 0;
    RecordingWriter writer{sink, [](std::vector<uint8_t>& f) { f.assign(12, 0); },
                           [](auto&) { ADD_FAILURE() << "no failure"; }};
};

// 30 seconds of the recording's own clock are 390 samples, 0 to 389: the clock reaching 390
// writes nothing more and reports the limit once, however late the stop then comes.
TEST_F(RecordingWriterAtTheLimit, TheLimitStandsOnTheWritersClock) {
    EXPECT_EQ(writer.Step(AtMs(389 * 77)), WriterStep::Wrote);
    EXPECT_EQ(limits, 0);
    EXPECT_EQ(writer.Step(AtMs(390 * 77)), WriterStep::NothingNew);
    EXPECT_EQ(limits, 1);
    EXPECT_EQ(writer.Step(AtMs(31'000)), WriterStep::NothingNew);
    EXPECT_EQ(writer.Step(AtMs(90'000)), WriterStep::NothingNew);
    EXPECT_EQ(limits, 1) << "reported once";
    writer.RequestStop();
    EXPECT_EQ(writer.Step(AtMs(90'015)), WriterStep::Acknowledged);
    StopResult result;
    ASSERT_TRUE(writer.Finish(result));
    EXPECT_EQ(result.lastIndex, 389);
    EXPECT_EQ(sink.log.back(), "close");
    EXPECT_EQ(sink.log[sink.log.size() - 2], "w389");
    EXPECT_EQ(389 + 1, 30 * 13) << "the file lasts 30.0 s at 13 a second";
}

// A writer that comes late over the last sample (a busy machine) still takes it, so the file
// lasts its full 30.0 s and not a sample less.
TEST_F(RecordingWriterAtTheLimit, ALateWriterStillTakesTheLastSampleBeforeTheLimit) {
    EXPECT_EQ(writer.Step(AtMs(388 * 77)), WriterStep::Wrote);
    EXPECT_EQ(writer.Step(AtMs(393 * 77)), WriterStep::Wrote);
    EXPECT_EQ(limits, 1);
    EXPECT_EQ(writer.Step(AtMs(394 * 77)), WriterStep::NothingNew);
    EXPECT_EQ(limits, 1) << "reported once";
    writer.RequestStop();
    EXPECT_EQ(writer.Step(AtMs(395 * 77)), WriterStep::Acknowledged);
    StopResult result;
    ASSERT_TRUE(writer.Finish(result));
    EXPECT_EQ(result.lastIndex, 389);
    EXPECT_EQ(sink.log[sink.log.size() - 2], "w389");
}
