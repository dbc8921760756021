// The video export of a loaded cine, from the checked frames to the message the user sees:
// the cine resampled to 12 frames per second into an AVI, then (unless the user chose a
// compressor) transcoded to an MP4 that replaces the temporary AVI. The main window calls it
// after the save dialog, with its progress dialog behind the callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/export/ExportSettings.h"
#include "archive/export/JpegExport.h"
#include "archive/export/Mp4Transcode.h"
#include "archive/export/VideoFileWriter.h"
#include "platform/Image.h"

namespace exportfile {

// Why a cine cannot be exported, checked before the save dialog: "No data" for fewer than
// two frames (nothing could be written), or how many frames failed to load.
std::optional<std::string> VideoExportRefusal(int frameCount, int failedFrames);

struct VideoExportCallbacks {
    // Before output frame k of 0..last; false cancels (Esc, or the progress dialog's Cancel).
    std::function<bool(int64_t k, int64_t last)> aviFrame;
    // The AVI is complete and the transcode begins ("Encoding").
    std::function<void()> encodingStarts;
    TranscodeProgress encodeProgress;
};

enum class VideoExportStatus { Saved, Cancelled, Failed };

struct VideoExportResult {
    VideoExportStatus status = VideoExportStatus::Failed;
    std::string path;  // the file the user now has, if any
    ExportOutcome outcome;
};

// The reason line of a failed video write, for a negative AVERROR.
std::string VideoFailureReason(int averror);

// `times` are the frames' capture times in ms from frame 0; `frame(i)` is stored frame i as a
// 480 x 480 grey image. Never replaces a file; a failure leaves no partial file, except that
// a failed transcode keeps the complete AVI and says so.
VideoExportResult RunVideoExport(const VideoPaths& paths, const std::vector<int64_t>& times,
                                 const std::function<const Image8&(int index)>& frame,
                                 const VideoCodecChoice& codec, unsigned bitRate,
                                 const VideoExportCallbacks& callbacks = {});

}  // namespace exportfile
