// Where the recording's frames go: the video file writer of the export code (an AVI at 13
// frames a second, rows bottom-up). The writer thread calls WriteFrame; Close runs on the UI
// thread only after the writer acknowledged the stop, so the two never overlap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace recorder {

class IFrameSink {
public:
    virtual ~IFrameSink() = default;
    // Writes `frame` as sample `index` (a key frame). 0, or the failure's code with `reason`.
    virtual int WriteFrame(int index, const std::vector<uint8_t>& frame, std::string& reason) = 0;
    // Finishes the file. False with `reason` when it cannot be finalised.
    virtual bool Close(std::string& reason) = 0;
    // After Close: where the finished file can be read, when it is not yet under its own
    // name (empty: it is at the name given to the factory).
    virtual std::string CompletedPath() const { return {}; }
    // Puts a closed file under its own name. False with `reason` when it cannot.
    virtual bool Place(std::string& /*reason*/) { return true; }
};

}  // namespace recorder
