// The recorder's camera: the device list for the save dialog, the started camera whose
// newest picture fills the right half of a SyncView frame, and its preview in the main
// window. The preview itself is a window the host makes; this keeps where it goes.
// Runs on the UI thread; the writer only reads the camera's latest sample.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archive/recorder/RecorderCamera.h"
#include "platform/camera/Camera.h"

namespace recorder {

// The window side of the preview: a child of the main window painting the camera's newest
// picture about 20 times a second.
class ICameraPreviewHost {
public:
    virtual ~ICameraPreviewHost() = default;
    virtual void CreatePreview(const camera::ICamera& camera, const PreviewPlacement& placement) = 0;
    virtual void PlacePreview(const PreviewPlacement& placement) = 0;
    virtual void ShowPreview(bool show) = 0;
    virtual void DestroyPreview() = 0;
};

class CCameraCapture {
public:
    CCameraCapture() = default;
    ~CCameraCapture() { ReleaseGraph(); }
    CCameraCapture(const CCameraCapture&) = delete;
    CCameraCapture& operator=(const CCameraCapture&) = delete;

    // The names of the video input devices, UTF-8, in the system's order.
    static std::vector<std::string> EnumDeviceNames();

    // Opens the first device of that name, sets its format by the 4:3 rule, starts it, waits
    // for a first picture and puts the preview at PreviewPlacementFor(xOffset, ...). False with `error`
    // when any step fails: nothing stays built.
    bool BuildGraph(const std::string& name, int minWidth, int minHeight, ICameraPreviewHost* owner,
                    int xOffset, std::string& error);
    // Chooses and sets the capture format of an opened device; true when one was set.
    static bool SelectFormat(camera::ICamera& device, int minWidth, int minHeight);
    // A video format's aspect reduced by the greatest common divisor; false for anything else.
    static bool ReadCapability(const camera::CameraFormat& format, int& aspectWidth, int& aspectHeight);
    // Takes the preview down and stops and closes the device.
    void ReleaseGraph();

    bool HasGraph() const { return camera_ != nullptr; }
    const camera::ICamera* Camera() const { return camera_.get(); }
    // The negotiated picture size (zero without a graph).
    camera::CameraFormat Format() const { return camera_ ? camera_->Format() : camera::CameraFormat{}; }

    // Preview placement for the window enlargement `xOffset`, and its visibility.
    void MovePreview(int xOffset);
    void ShowPreview(bool show);
    PreviewPlacement Placement() const { return placement_; }

private:
    std::unique_ptr<camera::ICamera> camera_;
    ICameraPreviewHost* owner_ = nullptr;
    PreviewPlacement placement_;
};

}  // namespace recorder
