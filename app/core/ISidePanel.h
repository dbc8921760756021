// What every side panel window offers the core: placing, showing and hiding it.
#pragma once

#include "platform/draw/Geometry.h"

class ISidePanel {
public:
    virtual ~ISidePanel() = default;
    // Places the panel in the main dialog's client coordinates, on top of its siblings, and shows it.
    virtual void PlaceAndShow(const draw::Rect& rect) = 0;
    virtual void Show(bool show) = 0;
    virtual bool IsShown() const = 0;
    // Right edge (exclusive) of one of the panel's controls in the main dialog's client
    // coordinates; -1 when the panel has no such control.
    virtual int AnchorRight(int controlId) const = 0;
};
