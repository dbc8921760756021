#include "archive/recorder/AviFrameSink.h"

#include "archive/export/Mp4Transcode.h"
#include "archive/export/VideoExport.h"

namespace recorder {

namespace {

class AviFrameSink : public IFrameSink {
public:
    int Open(const std::string& path, int width, const exportfile::VideoCodecChoice& codec) {
        exportfile::VideoStreamFormat format;
        format.width = width;
        format.height = kFrameHeight;
        format.framesPerSecond = kRecordingFramesPerSecond;
        format.replaceReservedFile = true;
        // No free-space guess up front: a disk that fills ends the recording at its first
        // failed write, and what was written stays.
        return writer_.Open(path, 0, codec, format);
    }

    int WriteFrame(int index, const std::vector<uint8_t>& frame, std::string& reason) override {
        const int rc = writer_.WriteBgrFrame(index, frame.data(), frame.size());
        if (rc < 0)
            reason = exportfile::VideoFailureReason(rc);
        return rc;
    }

    // The finished AVI stays under the writer's temporary name until it is placed: a kill
    // during the transcode leaves only temporaries, which the next start sweeps.
    bool Close(std::string& reason) override {
        const int rc = writer_.Complete();
        if (rc < 0)
            reason = exportfile::VideoFailureReason(rc);
        return rc >= 0;
    }

    std::string CompletedPath() const override { return writer_.CompletedPath(); }

    bool Place(std::string& reason) override {
        const int rc = writer_.Place();
        if (rc < 0)
            reason = exportfile::VideoFailureReason(rc);
        return rc >= 0;
    }

private:
    exportfile::VideoFileWriter writer_;
};

}  // namespace

SinkFactory AviSinkFactory(exportfile::VideoCodecChoice codec) {
    return [codec](const std::string& path, int width, std::string& error) -> std::unique_ptr<IFrameSink> {
        auto sink = std::make_unique<AviFrameSink>();
        const int rc = sink->Open(path, width, codec);
        if (rc < 0) {
            error = exportfile::VideoFailureReason(rc);
            return nullptr;
        }
        return sink;
    };
}

Transcoder Mp4Transcoder(std::function<void(int percent)> progress) {
    return [progress](const std::string& avi, const std::string& mp4, int row, std::string& error) {
        if (row < 0 || row > 5) {
            error = "no MP4 profile for row " + std::to_string(row);
            return false;
        }
        const int rc = exportfile::TranscodeToMp4(progress, exportfile::g_aMp4ProfileParams[row], avi, mp4);
        if (rc < 0)
            error = exportfile::VideoFailureReason(rc);
        return rc >= 0;
    };
}

}  // namespace recorder
