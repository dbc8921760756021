#include "archive/recorder/RecorderCamera.h"

#include "archive/recorder/CaptureFormatRule.h"

namespace recorder {

std::unique_ptr<camera::ICamera> StartRecorderCamera(const std::string& name, std::string& error,
                                                     std::chrono::milliseconds firstPictureTimeout) {
    std::unique_ptr<camera::ICamera> cam = camera::OpenCamera(name);
    if (!cam) {
        error = name + ": no such camera";
        return nullptr;
    }
    // A message from the device when it gave one for this step, else the step's own.
    std::string before = cam->LastError();
    const auto fail = [&](const std::string& fallback) {
        const std::string why = cam->LastError();
        error = why.empty() || why == before ? fallback : why;
        cam.reset();  // stops the thread and closes the device
        return nullptr;
    };
    // Nothing that fits: the device's own format. A format the device refused or answered
    // with another size fails the build rather than record a picture of an unknown size.
    bool tried = false;
    const int chosen = ChooseCaptureFormat(cam->Capabilities(), kCameraMinWidth, kCameraMinHeight,
                                           [&](const camera::CameraFormat& f) {
                                               tried = true;
                                               return cam->SetFormat(f);
                                           });
    if (chosen < 0 && (tried || !cam->AdoptCurrentFormat())) {
        before.clear();
        return fail(name + ": no usable capture format");
    }
    before = cam->LastError();
    if (!cam->Start())
        return fail(name + ": the camera does not start");
    before = cam->LastError();
    if (!cam->WaitForFirstSample(firstPictureTimeout))
        return fail(name + ": the camera sends no pictures");
    return cam;
}

PreviewPlacement PreviewPlacementFor(int enlargement, int cameraWidth, int cameraHeight) {
    // Just right of the right panel, whose right edge is the start-up client's (900) plus the
    // enlargement: the 480-px image leaves no 240-px column beside it in a 900-px client.
    constexpr int kLeft = 908, kTop = 372, kWidth = 240;
    const int height = cameraWidth > 0 && cameraHeight > 0 ? kWidth * cameraHeight / cameraWidth : 0;
    return {kLeft + enlargement, kTop, kWidth, height};
}

}  // namespace recorder
