// The camera side of building the recorder's camera: open the chosen device, set its
// format by the 4:3 rule (or keep the device's own when nothing matches), start it and wait
// for a first picture. A build that fails says why and leaves nothing running. Also where
// the preview goes in the main window.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/camera/Camera.h"

namespace recorder {

inline constexpr int kCameraMinWidth = 480;
inline constexpr int kCameraMinHeight = 360;
inline constexpr std::chrono::milliseconds kFirstPictureTimeout{3000};

// The started camera, or nullptr with `error` (a device of that name is missing, busy,
// answers another format, or sends no picture in time).
std::unique_ptr<camera::ICamera> StartRecorderCamera(
    const std::string& name, std::string& error,
    std::chrono::milliseconds firstPictureTimeout = kFirstPictureTimeout);

struct PreviewPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The preview's place in the main window's client coordinates: at (908 + enlargement, 372),
// right of the right panel, 240 wide and as high as the camera's aspect gives (integer
// division); 0 high for a picture without size. It lies past the start-up client's right
// edge: the window shows it floating beside the main window.
PreviewPlacement PreviewPlacementFor(int enlargement, int cameraWidth, int cameraHeight);

}  // namespace recorder
