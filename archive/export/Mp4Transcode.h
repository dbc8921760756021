// Transcoding of an exported or recorded AVI into an MP4 with one H.264 (Baseline) video
// stream and no audio, keeping the source's timestamps, so a recording made at 13 frames per
// second keeps its length. The MP4 is linked into place only when complete.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace exportfile {

struct Mp4ProfileParams {
    uint32_t profile;             // H.264 profile number: 66, Baseline
    uint32_t frameRateNumerator;  // the declared frame rate
    uint32_t frameRateDenominator;
    uint32_t width;
    uint32_t height;
    uint32_t averageBitRate;  // bits per second
};

// The recorder's rows: 0-2 with a camera picture (High, Middle, Low), 3-5 the view alone.
extern const Mp4ProfileParams g_aMp4ProfileParams[6];

// Progress in percent of the source's duration, reported at most every 500 ms.
using TranscodeProgress = std::function<void(int percent)>;

// 0 when the MP4 was written, else the first negative AVERROR; then no MP4 is left (an
// existing file of the destination's name is never replaced: AVERROR(EEXIST)).
int TranscodeToMp4(const TranscodeProgress& progress, const Mp4ProfileParams& params,
                   const std::string& source, const std::string& destination);

}  // namespace exportfile
