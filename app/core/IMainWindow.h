// The main window itself, as far as the core needs it.
#pragma once

#include <string>

#include "platform/draw/Geometry.h"

class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual void SetTitle(const std::string& title) = 0;
    // The client area's size in pixels.
    virtual draw::Point GetClientSize() const = 0;
    // Updates and invalidates the whole window without erasing.
    virtual void Redraw() = 0;
    // The wait cursor on (true) or back to normal.
    virtual void SetWaitCursor(bool wait) = 0;
    // Ends the window after the close handler ran (the dialog's OnOK / default WM_CLOSE).
    virtual void EndDialog(int result) = 0;
};
