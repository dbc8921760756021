// The sidecar of one stored bitmap (a still, or one frame of a cine): the frame's capture
// time and the imaging settings in force when it was acquired. It lies beside the bitmap,
// named like it with ".info" in place of ".bmp", and is written once, never overwritten.
#pragma once

#include <cstdint>
#include <string>

#include "common/XmlInfo.h"
#include "platform/Clock.h"

class CBitmapInfo : public CXmlInfo {
public:
    std::string path;           // the record's own file, used by Save
    platform::SystemTime time;  // capture time of the frame, local time
    int32_t depth = 0;          // millimetres
    int32_t focus = 0;
    int32_t freq_mode = 0;  // transmit-frequency index
    int32_t gain = 0;
    int32_t contrast = 0;
    double gamma = 0.0;

    // A cleared record (its time is now).
    CBitmapInfo();
    CBitmapInfo(const std::string& path, const platform::SystemTime& time, int32_t depth, int32_t focus,
                int32_t freq_mode, int32_t gain, int32_t contrast, double gamma);

    bool Save() const override;
    // Path empty, time the current local time, every value 0.
    void Clear() override;
    // Reads a sidecar. False for a missing file, a wrong element or syntax, and also when
    // any of the seven values is missing or empty; the values that were there stay read.
    // The loaded path is not kept.
    bool LoadXml(const std::string& path) override;
    // Creates the sidecar; false when it exists already, or cannot be written.
    bool SaveXml(const std::string& path) const override;
    // The exact bytes SaveXml writes, for callers that write many sidecars and make them
    // durable together (the frames of a cine).
    std::string PrintXml() const;
};
