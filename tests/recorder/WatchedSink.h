// A recording's real sink, counting the frames it took and noting the clock number of the
// last, so a test can wait for frames written instead of for time.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "archive/recorder/FrameSink.h"
#include "archive/recorder/RecordingSession.h"

namespace recordertest {

struct WrittenFrames {
    std::atomic<int> count{0};
    std::atomic<int> lastIndex{-1};
};

class WatchedSink : public recorder::IFrameSink {
public:
    WatchedSink(std::unique_ptr<recorder::IFrameSink> inner, WrittenFrames& seen)
        : inner_(std::move(inner)), seen_(seen) {}
    int WriteFrame(int index, const std::vector<uint8_t>& frame, std::string& reason) override {
        const int code = inner_->WriteFrame(index, frame, reason);
        if (code == 0) {
            seen_.lastIndex = index;
            ++seen_.count;
        }
        return code;
    }
    bool Close(std::string& reason) override { return inner_->Close(reason); }

private:
    std::unique_ptr<recorder::IFrameSink> inner_;
    WrittenFrames& seen_;
};

// `factory`'s sinks, watched by `seen`.
inline recorder::SinkFactory Watched(recorder::SinkFactory factory, WrittenFrames& seen) {
    return
        [factory = std::move(factory), &seen](const std::string& path, int width,
                                              std::string& error) -> std::unique_ptr<recorder::IFrameSink> {
            auto sink = factory(path, width, error);
            return sink ? std::make_unique<WatchedSink>(std::move(sink), seen) : nullptr;
        };
}

}  // namespace recordertest
