// Which capture format the recorder asks a camera for: the first 4:3 format at least the
// minimum width, else the first format at least the minimum size, in the device's order.
#pragma once

#include <functional>
#include <vector>

#include "platform/camera/Camera.h"

namespace recorder {

// Sets formats through `setFormat` by the rule; returns the index of the format that was set,
// or -1 when none was (the device keeps its own). A 4:3 format that the device refuses ends
// the search: the fallback remembered before it is tried instead. Entries that are not
// video formats are never chosen.
int ChooseCaptureFormat(const std::vector<camera::CameraFormat>& capabilities, int minWidth, int minHeight,
                        const std::function<bool(const camera::CameraFormat&)>& setFormat);

}  // namespace recorder
