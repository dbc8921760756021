#include "archive/export/VideoCompressors.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace exportfile {

std::vector<VideoCompressor> AviCompressors() {
    static const VideoCompressor kKnown[] = {
        {"rawvideo", "Uncompressed", false, false}, {"mjpeg", "Motion JPEG", true, true},
        {"mpeg4", "MPEG-4 Part 2", true, true},     {"ffv1", "FFV1 (lossless)", false, false},
        {"libx264", "H.264 (x264)", false, true},
    };
    std::vector<VideoCompressor> available;
    for (const VideoCompressor& c : kKnown)
        if (avcodec_find_encoder_by_name(c.encoder.c_str()))
            available.push_back(c);
    return available;
}

}  // namespace exportfile
