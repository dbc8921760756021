#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "archive/recorder/RecordingSession.h"
#include "platform/FileSystem.h"
#include "platform/camera/SimulatedCamera.h"
#include "tests/support/TestSupport.h"

using recorder::FinishProblem;
using recorder::RecordingSession;

namespace {

// Appends one byte per frame to the reserved file; can fail a write or the close.
class FileSink : public recorder::IFrameSink {
public:
    FileSink(std::string path, int failWriteAt, bool failClose, std::vector<std::vector<uint8_t>>* frames,
             std::atomic<int>& written)
        : path_(std::move(path)),
          failWriteAt_(failWriteAt),
          failClose_(failClose),
          frames_(frames),
          writtenSeen_(written) {}
    int WriteFrame(int index, const std::vector<uint8_t>& frame, std::string& reason) override {
        if (written_ == failWriteAt_) {
            reason = "No space left on device";
            return -28;
        }
        ++written_;
        bytes_ += 'F';
        if (frames_ && frames_->size() < 2)
            frames_->push_back(frame);
        (void)index;
        writtenSeen_ = written_;
        return 0;
    }
    bool Close(std::string& reason) override {
        if (failClose_) {
            reason = "index not written";
            return false;
        }
        testsupport::WriteAll(path_, bytes_);
        return true;
    }

private:
    std::string path_;
    int failWriteAt_;
    bool failClose_;
    std::vector<std::vector<uint8_t>>* frames_;
    int written_ = 0;
    std::atomic<int>& writtenSeen_;
    std::string bytes_;
};

struct Harness {
    testsupport::TempDir dir;
    int failWriteAt = -1;
    bool failClose = false;
    bool failOpen = false;
    std::vector<int> widths;
    std::vector<std::vector<uint8_t>> frames;
    std::mutex mutex;
    std::vector<recorder::WriteFailure> failures;
    std::atomic<int> written{0};  // by the running recording's sink

    std::unique_ptr<RecordingSession> Make() {
        return std::make_unique<RecordingSession>(
            [this](const std::string& path, int width,
                   std::string& error) -> std::unique_ptr<recorder::IFrameSink> {
                widths.push_back(width);
                if (failOpen) {
                    error = "codec not found";
                    return nullptr;
                }
                written = 0;
                return std::make_unique<FileSink>(path, failWriteAt, failClose, &frames, written);
            },
            [this](const recorder::WriteFailure& f) {
                std::lock_guard lock(mutex);
                failures.push_back(f);
            });
    }
    recorder::SessionSetup Setup(bool camera, int quality) const {
        return {dir.path(), "0001", "knee", camera, quality};
    }
};

platform::SystemTime Stamp() {
    platform::SystemTime t;
    t.wYear = 2020;
    t.wMonth = 8;
    t.wDay = 20;
    t.wHour = 12;
    t.wMinute = 34;
    t.wSecond = 56;
    return t;
}

void WaitForFrames(Harness& h, int frames) {
    EXPECT_TRUE(testsupport::WaitUntil([&] { return h.written >= frames; },
                                       std::to_string(frames) + " frames written"));
}

recorder::Transcoder Transcode(bool succeed, std::vector<int>* rows = nullptr) {
    return [succeed, rows](const std::string&, const std::string& mp4, int row, std::string& error) {
        if (rows)
            rows->push_back(row);
        testsupport::WriteAll(mp4, succeed ? "movie" : "half a mov");
        if (!succeed)
            error = "encoder refused the stream";
        return succeed;
    };
}

}  // namespace

TEST(RecordingSession, ARecordingBecomesAnMp4AndTheNextOneGetsItsOwnName) {
    Harness h;
    camera::SimulatedCamera cam(false);
    ASSERT_TRUE(cam.SetFormat({camera::kFourccYuyv, 640, 480}) && cam.Start());
    ASSERT_TRUE(cam.WaitForFirstSample(testsupport::kPatience));
    auto session = h.Make();
    session->SetCamera(&cam);
    session->PublishView(Image32(480, 480, 0x00FF00));
    session->PublishCaption(Image32(480, 120, 0x0000FF));

    const recorder::OpenOutcome opened = session->Open(h.Setup(true, recorder::kQualityMiddle), Stamp());
    ASSERT_TRUE(opened.ok) << opened.reason;
    EXPECT_EQ(platform::FileNamePart(opened.path), "0001_20200820_123456_knee_temp.avi");
    EXPECT_TRUE(session->Recording());
    EXPECT_GT(session->RecordStartSeconds(), 0);
    EXPECT_FALSE(session->Open(h.Setup(true, 0), Stamp()).ok);  // one at a time
    WaitForFrames(h, 2);
    std::vector<int> rows;
    const recorder::FinishOutcome done = session->Stop(Transcode(true, &rows));
    cam.Stop();

    EXPECT_EQ(done.problem, FinishProblem::None);
    EXPECT_GE(done.stop.framesWritten, 2);
    EXPECT_EQ(rows, std::vector<int>{1});
    EXPECT_EQ(platform::FileNamePart(done.resultPath), "0001_20200820_123456_knee.mp4");
    EXPECT_FALSE(platform::PathExists(opened.path));  // the temporary AVI is gone
    EXPECT_EQ(session->RecordStartSeconds(), 0);
    EXPECT_EQ(h.widths, std::vector<int>{960});
    ASSERT_FALSE(h.frames.empty());
    const std::vector<uint8_t>& frame = h.frames.front();
    ASSERT_EQ(frame.size(), 960u * 480u * 3u);
    const auto pixel = [&](int x, int ySeen) {
        const uint8_t* p = frame.data() + (static_cast<size_t>(479 - ySeen) * 960 + x) * 3;
        return MakePixel(p[2], p[1], p[0]);
    };
    EXPECT_EQ(pixel(100, 100), 0x00FF00u);             // the view
    EXPECT_EQ(pixel(482, 2), camera::kSimBackground);  // the camera's corner
    EXPECT_EQ(pixel(700, 470), 0x0000FFu);             // the caption block

    // The same second again: a new name, and the first MP4 stays.
    const recorder::OpenOutcome again = session->Open(h.Setup(true, recorder::kQualityMiddle), Stamp());
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(platform::FileNamePart(again.path), "0001_20200820_123456_knee_2_temp.avi");
    WaitForFrames(h, 1);
    EXPECT_EQ(platform::FileNamePart(session->Stop(Transcode(true)).resultPath),
              "0001_20200820_123456_knee_2.mp4");
    EXPECT_EQ(testsupport::ReadAll(done.resultPath), "movie");
}

TEST(RecordingSession, EndingsThatCannotMakeAnMp4KeepWhatCanBeKept) {
    struct Case {
        const char* what;
        int quality;
        int failWriteAt;
        bool failClose;
        bool transcodes;
        FinishProblem problem;
        bool aviStays;
        bool mp4Stays;
    };
    for (const Case& c : {
             Case{"view-only SEL keeps its AVI", recorder::kQualitySelect, -1, false, true,
                  FinishProblem::None, true, false},
             Case{"a failed transcode keeps the AVI", recorder::kQualityHigh, -1, false, false,
                  FinishProblem::TranscodeFailed, true, false},
             Case{"a full disk: what was written is transcoded", recorder::kQualityLow, 2, false, true,
                  FinishProblem::None, false, true},
             Case{"a full disk and an AVI that cannot be finished", recorder::kQualityLow, 2, true, true,
                  FinishProblem::NotFinalised, false, false},
             Case{"a full disk at the first frame", recorder::kQualityLow, 0, false, true,
                  FinishProblem::NothingRecorded, false, false},
         }) {
        SCOPED_TRACE(c.what);
        Harness h;
        h.failWriteAt = c.failWriteAt;
        h.failClose = c.failClose;
        auto session = h.Make();
        session->PublishView(Image32(480, 480, 0x808080));
        const recorder::OpenOutcome opened = session->Open(h.Setup(false, c.quality), Stamp());
        ASSERT_TRUE(opened.ok);
        if (c.failWriteAt >= 0) {
            EXPECT_TRUE(testsupport::WaitUntil(
                [&] {
                    std::lock_guard lock(h.mutex);
                    return !h.failures.empty();
                },
                "the write failure's report"));
        } else {
            WaitForFrames(h, 2);
        }
        std::vector<int> rows;
        const recorder::FinishOutcome done = session->Stop(Transcode(c.transcodes, &rows));
        EXPECT_EQ(done.problem, c.problem) << done.reason;
        const std::string mp4 = h.dir / "0001_20200820_123456_knee.mp4";
        EXPECT_EQ(platform::PathExists(opened.path), c.aviStays);
        EXPECT_EQ(platform::PathExists(mp4), c.mp4Stays);
        EXPECT_EQ(h.widths, std::vector<int>{480});
        if (c.failWriteAt >= 0) {
            std::lock_guard lock(h.mutex);
            ASSERT_EQ(h.failures.size(), 1u);  // reported once
            EXPECT_EQ(h.failures[0].code, -28);
        }
        const bool transcoded = c.quality != recorder::kQualitySelect &&
                                c.problem != FinishProblem::NotFinalised &&
                                c.problem != FinishProblem::NothingRecorded;
        EXPECT_EQ(rows, transcoded ? std::vector<int>{c.quality == recorder::kQualityLow ? 5 : 3}
                                   : std::vector<int>{});
    }
}

TEST(RecordingSession, AFileThatCannotBeOpenedIsNoRecording) {
    Harness h;
    h.failOpen = true;
    auto session = h.Make();
    const recorder::OpenOutcome opened = session->Open(h.Setup(true, recorder::kQualityHigh), Stamp());
    EXPECT_FALSE(opened.ok);
    EXPECT_EQ(platform::FileNamePart(opened.path), "0001_20200820_123456_knee_temp.avi");
    EXPECT_EQ(opened.reason, "codec not found");
    EXPECT_FALSE(session->Recording());
    EXPECT_FALSE(platform::PathExists(opened.path));  // the reserved name is given back
    EXPECT_EQ(session->Stop(Transcode(true)).resultPath, "");

    Harness unwritable;
    testsupport::WriteAll(unwritable.dir / "file", "");
    auto other = unwritable.Make();
    recorder::SessionSetup setup = unwritable.Setup(false, 0);
    setup.folder = unwritable.dir / "file";
    const recorder::OpenOutcome refused = other->Open(setup, Stamp());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.path, unwritable.dir / "file/0001_20200820_123456_knee_temp.avi");
    EXPECT_TRUE(unwritable.widths.empty());
}
