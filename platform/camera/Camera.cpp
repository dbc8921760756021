#include "platform/camera/Camera.h"

#include <cstdlib>

#include "platform/camera/SimulatedCamera.h"
#include "platform/camera/V4l2Camera.h"

namespace camera {

namespace {

// TORVIK_CAMERA: "sim" or "sim-wide" puts the simulated camera in place of the devices.
enum class Source { Devices, Simulated, SimulatedWide };

Source SourceFromEnvironment() {
    const char* value = std::getenv("TORVIK_CAMERA");
    const std::string v = value ? value : "";
    if (v == "sim")
        return Source::Simulated;
    if (v == "sim-wide")
        return Source::SimulatedWide;
    return Source::Devices;
}

}  // namespace

bool IsVideoFormat(const CameraFormat& format) {
    return (format.fourcc == kFourccYuyv || format.fourcc == kFourccMjpeg) && format.width > 0 &&
           format.height > 0 && format.width <= 16384 && format.height <= 16384;
}

std::vector<std::string> EnumerateCameraNames() {
    if (SourceFromEnvironment() != Source::Devices)
        return {kSimulatedCameraName};
    std::vector<std::string> names;
    for (const V4l2Node& node : ListV4l2Cameras(V4l2Io()))
        names.push_back(node.name);
    return names;
}

std::unique_ptr<ICamera> OpenCamera(const std::string& name) {
    const Source source = SourceFromEnvironment();
    if (source != Source::Devices) {
        if (name != kSimulatedCameraName)
            return nullptr;
        return std::make_unique<SimulatedCamera>(source == Source::SimulatedWide);
    }
    for (V4l2Node& node : ListV4l2Cameras(V4l2Io())) {
        if (node.name != name)
            continue;
        // The first device of that name, even when it cannot be opened: its error tells why.
        auto device = std::make_unique<V4l2Camera>(V4l2Io(), std::move(node));
        device->Open();
        return device;
    }
    return nullptr;
}

}  // namespace camera
