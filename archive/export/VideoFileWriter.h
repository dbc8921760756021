// Writes the exported cine as an AVI of 480 x 480 frames at 12 frames per second: by default
// uncompressed bottom-up BGR24 (every frame a key frame), or with an encoder the user chose.
// The file is built beside its target and linked into place by Finish, never replacing one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Image.h"

namespace exportfile {

inline constexpr int kVideoSize = 480;
inline constexpr int kVideoFrameBytes = kVideoSize * kVideoSize * 3;

// The compressor of a "SEL" export. The default is the uncompressed stream.
struct VideoCodecChoice {
    std::string encoder = "rawvideo";  // rawvideo, mjpeg, mpeg4, ffv1, libx264
    int keyFrameEvery = 0;             // 0: the encoder's default
    int quality = -1;                  // 0..10000 as the chooser shows it; -1: default
    int64_t bytesPerSecond = 0;        // 0: no data rate
};

// The stream's picture and rate; the export's default is 480 x 480 at 12 a second. The
// recorder writes 960 or 480 x 480 at 13 into a name it reserved with an empty file.
struct VideoStreamFormat {
    int width = kVideoSize;
    int height = kVideoSize;
    int framesPerSecond = 12;
    bool replaceReservedFile = false;  // the target is the caller's empty placeholder
    bool replaceLeftover = false;      // the target is a temporary name a cancelled export left
};

// Bytes an AVI of `frames` uncompressed frames needs, with room for headers and the index.
int64_t EstimatedAviBytes(int64_t frames);

class VideoFileWriter {
public:
    VideoFileWriter();
    ~VideoFileWriter();  // an unfinished file is removed
    VideoFileWriter(const VideoFileWriter&) = delete;
    VideoFileWriter& operator=(const VideoFileWriter&) = delete;

    // 0 or a negative AVERROR: AVERROR(EEXIST) when the file exists, AVERROR(ENOSPC) when the
    // folder has less free space than `plannedFrames` need.
    int Open(const std::string& path, int64_t plannedFrames, const VideoCodecChoice& codec = {});
    int Open(const std::string& path, int64_t plannedFrames, const VideoCodecChoice& codec,
             const VideoStreamFormat& format);
    // One grey frame of the stream's size (top-down), as the next sample. 0 or a negative AVERROR.
    int WriteGreyFrame(const Image8& frame);
    // One frame of the stream's size, 3 bytes a pixel (blue, green, red), rows bottom-up, as
    // sample `index` (a key frame); numbers skipped since the last frame stay empty.
    int WriteBgrFrame(int64_t index, const uint8_t* bottomUpBgr, size_t bytes);
    // Completes the file (index, lengths) and links it into place: a cancelled export ends
    // here too, so what was written so far stays playable. 0 or a negative AVERROR.
    int Finish();
    // Completes the file but leaves it under its temporary name (CompletedPath), where a
    // kill leaves only a temporary that the next export sweeps; then Place puts it in place,
    // or Abort drops it. 0 or a negative AVERROR (the file is dropped).
    int Complete();
    const std::string& CompletedPath() const;
    int Place();
    // Drops the unfinished file.
    void Abort();

    int64_t framesWritten() const { return frames_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int64_t frames_ = 0;
};

}  // namespace exportfile
