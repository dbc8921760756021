// Measurement handlers (distance, M-mode, area trace, ellipse, OB/GY marks). Views are
// given by their view code (1, 11, 12). The default measures nothing.
#pragma once

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

// Mouse messages of the measuring calls (the window system's numbers).
enum MeasureMessage : int {
    kMsgMouseMove = 0x200,
    kMsgLButtonDown = 0x201,
    kMsgLButtonUp = 0x202,
    kMsgRButtonUp = 0x205,
};

// A mouse event over a view: the message, the point in client pixels relative to the view's
// window, and whether the point lies inside that window.
struct MeasurePointer {
    int message = kMsgMouseMove;
    draw::Point point;
    bool inside = true;
};

class IMeasurement {
public:
    virtual ~IMeasurement() = default;
    virtual void ClearMeasurements() {}
    virtual bool IsMeasureMode() const { return false; }
    // A left-button message on a view (commands 46, 50, 54); otherView 0 for none.
    virtual void OnMeasureMouse(int /*viewCode*/, int /*otherViewCode*/, int /*depth*/, int /*message*/) {}
    virtual bool ClearUnfinishedMeasures(int /*viewCode*/) { return false; }
    virtual void SetOverlayFlags(int /*viewCode*/) {}
    virtual void ResetObMeasureResults(int /*viewCode*/) {}
    virtual void UpdateObMeasureHighlight(int /*viewCode*/) {}
    // The click sequence of a left-button event over a view (1, 11, 12); it hands the event
    // on as the view's mouse command (46, 50, 54), which calls OnMeasureMouse.
    virtual void OnMeasureLButton(int /*viewCode*/, const MeasurePointer& /*pointer*/) {}
    // A mouse move and a right-button release over a view while frozen.
    virtual void OnMeasureMouseMove(int /*viewCode*/, const MeasurePointer& /*pointer*/) {}
    virtual void OnMeasureRButtonUp(int /*viewCode*/, const MeasurePointer& /*pointer*/) {}
    // A left button released outside the view of the press: the running sequence ends and
    // whatever it left half placed is removed.
    virtual void CancelMeasureSequence() {}
    // The depth (mm) of the still shown in OB/GY, from its sidecar; -1 unknown.
    virtual void SetShownStillDepth(int /*depth*/) {}
    // Draws the OB/GY results onto the main view's buffer.
    virtual void DrawObgyResults(Image32& /*buffer*/) {}

};
