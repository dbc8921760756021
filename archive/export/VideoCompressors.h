// The compressors a "SEL" video export can write into an AVI, for the chooser to offer:
// those of the list that this FFmpeg build has.
#pragma once

#include <string>
#include <vector>

namespace exportfile {

struct VideoCompressor {
    std::string encoder;  // the libavcodec encoder name, as VideoCodecChoice::encoder takes it
    std::string label;    // what the chooser shows
    bool takesQuality;    // a quality setting means something to it
    bool takesDataRate;   // a data rate means something to it
};

std::vector<VideoCompressor> AviCompressors();

}  // namespace exportfile
