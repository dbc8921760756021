// Composes one recording frame: W x 480 pixels, BGR, rows bottom-up (the AVI's layout).
// With a camera W is 960: the image view on the left, the camera picture scaled to 480 wide
// in the top rows of the right half (at most 360), and the caption block below it.
// Without a camera W is 480 and the frame is the image view alone. The camera's scaling
// tables are computed once per camera size, not per frame.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Image.h"
#include "platform/camera/Camera.h"

namespace recorder {

inline constexpr int kFrameHeight = 480;
inline constexpr int kViewSide = 480;       // the image view's square
inline constexpr int kCameraMaxRows = 360;  // rows of the right half the camera may fill
inline constexpr int kCaptionHeight = kFrameHeight - kCameraMaxRows;  // the caption block: 480 x 120

constexpr int RecorderFrameWidth(bool withCamera) {
    return withCamera ? 2 * kViewSide : kViewSide;
}

// Rows the camera picture takes in the right half: its height at 480 pixels wide, at most 360.
// 0 for a picture without a size.
int CameraRows(int cameraWidth, int cameraHeight);

class FrameComposer {
public:
    explicit FrameComposer(bool withCamera);

    int width() const { return width_; }
    size_t frameBytes() const { return static_cast<size_t>(width_) * kFrameHeight * 3; }

    // Fills `frame` (resized to frameBytes()). `view` is the 480 x 480 image-view render,
    // top-down; another size leaves the left half black. Without a camera sample (or with
    // one whose bytes do not match its size) the camera area stays black; `caption` is the
    // 480 x 120 block, top-down, or nullptr. Both are ignored for a view-only frame.
    void Compose(const Image32& view, const camera::CameraSample* sample, const Image32* caption,
                 std::vector<uint8_t>& frame);

private:
    void PrepareTables(int cameraWidth, int cameraHeight);

    int width_;
    int tableWidth_ = 0;
    int tableHeight_ = 0;
    int rows_ = 0;
    std::vector<int> sourceColumn_;  // byte offset in a sample row for each of the 480 columns
    std::vector<int> sourceRow_;     // sample row (bottom-up) for each scaled row (bottom-up)
};

}  // namespace recorder
