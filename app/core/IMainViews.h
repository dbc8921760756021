// The three image views as windows. The core owns their models (CCstmPictureCtrl: back
// buffer, calipers, overlays) and draws into them; the frame's windows paint the model's
// RenderClient and are shown, hidden and repainted through this interface.
#pragma once

#include "platform/draw/Geometry.h"

class IMainViews {
public:
    virtual ~IMainViews() = default;
    // viewCode: 1 main (control 1011), 11 left (1012), 12 right (1014).
    virtual void ShowView(int viewCode, bool show) = 0;
    // Repaint from the model without erasing (Refresh(false)); cheap, called once per frame.
    virtual void RepaintView(int viewCode) = 0;
    // Moves a view to a rectangle of the client area, repainting it.
    virtual void MoveView(int /*viewCode*/, const draw::Rect& /*rect*/) {}
};
