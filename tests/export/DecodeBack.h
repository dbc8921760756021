// Reads a written video back with libavformat and libavcodec, as a player would.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace exporttest {

struct DecodedVideo {
    int status = 0;  // 0, or the first negative AVERROR
    int videoStreams = 0;
    int otherStreams = 0;
    std::string codec;
    std::string pixelFormat;
    std::string title;
    int profile = -1;
    int width = 0;
    int height = 0;
    int bitsPerCodedSample = 0;
    int timeBaseNum = 0;
    int timeBaseDen = 0;
    int64_t packets = 0;
    int64_t frames = 0;
    bool allKeyFrames = true;
    double durationSeconds = 0;      // end of the last frame
    std::vector<Image8> greyFrames;  // top-down, when asked for
    Image32 lastColourFrame;         // top-down 0x00RRGGBB, when frames are kept
};

DecodedVideo DecodeVideo(const std::string& path, bool keepFrames = false);

// Mean grey of rows [top, bottom) of an image.
double MeanGrey(const Image8& image, int top, int bottom);

// Mean red, green and blue over [left, right) x [top, bottom) of an image.
struct MeanRgb {
    double r = 0, g = 0, b = 0;
};
MeanRgb MeanColour(const Image32& image, int left, int top, int right, int bottom);

}  // namespace exporttest
