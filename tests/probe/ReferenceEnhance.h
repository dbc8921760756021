// The host's compression and image filter written the plain way, straight from their
// description, sample by sample: what the module's fast filter must match byte for byte.
#pragma once

#include <cstdint>
#include <vector>

#include "probe/ProbeProtocol.h"

namespace probetest {

struct ReferenceWeights {
    float compressed = 60;
    float median = 40;
    float edge = 10;
};

// 128 x 1024 compressed samples in, 128 x 1024 bytes out.
std::vector<uint8_t> ReferenceEnhance(bool linear, const std::vector<float>& plane, int depthMm,
                                      ReferenceWeights weights, bool filterOn = true);

// The compressed plane of a frame's 128 line packets.
std::vector<float> ReferenceCompress(const std::vector<ProbeStreamPacket>& lines,
                                     ProbeCompression compression);

}  // namespace probetest
