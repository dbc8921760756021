// The finger loupe: a small window that shows the pixels under the point being placed.
#pragma once

class IFingerLoupe {
public:
    virtual ~IFingerLoupe() = default;
    virtual bool IsShown() const = 0;
    virtual void Hide() = 0;
    // Shows the loupe over the point being placed.
    virtual void Show() {}
    // Follows the mouse cursor and repaints without erasing; called after each draw while shown.
    virtual void FollowCursor() = 0;
    // Moved to the main window's top-left corner (its own size kept), then shown or hidden.
    virtual void ShowAtWindowCorner(bool show) {
        if (!show)
            Hide();
    }
};
