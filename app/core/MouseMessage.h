// A mouse message of the main window as the core sees it: the message code and the point in
// the main dialog's client coordinates (the frame converts every view's and child's point).
// Commands 46, 50 and 54 take the code as their data; the point is the core's last routed one.
#pragma once

#include "platform/draw/Geometry.h"

namespace maindlg {

enum MouseCode : int {
    WM_MOUSEMOVE = 0x200,
    WM_LBUTTONDOWN = 0x201,
    WM_LBUTTONUP = 0x202,
    WM_LBUTTONDBLCLK = 0x203,
    WM_RBUTTONDOWN = 0x204,
    WM_RBUTTONUP = 0x205,
};

// Touch gestures (the ids the gesture handler knows).
enum GestureId : int {
    GID_BEGIN = 1,
    GID_END = 2,
    GID_ZOOM = 3,
    GID_PAN = 4,
    GID_ROTATE = 5,
    GID_TWOFINGERTAP = 6,
    GID_PRESSANDTAP = 7,
};

}  // namespace maindlg

struct MouseMessage {
    int message = 0;    // maindlg::MouseCode
    draw::Point point;  // main dialog client coordinates

    bool IsLeftDown() const {
        return message == maindlg::WM_LBUTTONDOWN || message == maindlg::WM_LBUTTONDBLCLK;
    }
    bool IsLeftUp() const { return message == maindlg::WM_LBUTTONUP; }
};
