#include "archive/recorder/CameraCapture.h"

#include <numeric>

#include "archive/recorder/CaptureFormatRule.h"

namespace recorder {

std::vector<std::string> CCameraCapture::EnumDeviceNames() {
    return camera::EnumerateCameraNames();
}

bool CCameraCapture::BuildGraph(const std::string& name, int minWidth, int minHeight,
                                ICameraPreviewHost* owner, int xOffset, std::string& error) {
    ReleaseGraph();
    (void)minWidth;  // the recorder's minimum, which StartRecorderCamera applies
    (void)minHeight;
    std::unique_ptr<camera::ICamera> cam = StartRecorderCamera(name, error);
    if (!cam)
        return false;
    const camera::CameraFormat format = cam->Format();
    if (format.width <= 0 || format.height <= 0) {
        error = name + ": the camera reports no picture size";
        return false;
    }
    camera_ = std::move(cam);
    owner_ = owner;
    placement_ = PreviewPlacementFor(xOffset, format.width, format.height);
    if (owner_)
        owner_->CreatePreview(*camera_, placement_);
    return true;
}

bool CCameraCapture::SelectFormat(camera::ICamera& device, int minWidth, int minHeight) {
    return ChooseCaptureFormat(device.Capabilities(), minWidth, minHeight,
                               [&](const camera::CameraFormat& f) { return device.SetFormat(f); }) >= 0;
}

bool CCameraCapture::ReadCapability(const camera::CameraFormat& format, int& aspectWidth, int& aspectHeight) {
    if (!camera::IsVideoFormat(format))
        return false;
    const int g = std::gcd(format.width, format.height);
    aspectWidth = format.width / g;
    aspectHeight = format.height / g;
    return true;
}

void CCameraCapture::ReleaseGraph() {
    if (owner_) {
        owner_->ShowPreview(false);
        owner_->DestroyPreview();  // the window stops painting before the camera goes
        owner_ = nullptr;
    }
    if (camera_) {
        camera_->Stop();
        camera_.reset();
    }
    placement_ = {};
}

void CCameraCapture::MovePreview(int xOffset) {
    if (!camera_)
        return;
    const camera::CameraFormat format = camera_->Format();
    placement_ = PreviewPlacementFor(xOffset, format.width, format.height);
    if (owner_)
        owner_->PlacePreview(placement_);
}

void CCameraCapture::ShowPreview(bool show) {
    if (owner_ && camera_)
        owner_->ShowPreview(show);
}

}  // namespace recorder
