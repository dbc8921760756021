// Measurement handlers (distance, M-mode, area trace, ellipse, OB/GY marks). Views are
// given by their view code (1, 11, 12). The default measures nothing.
#pragma once

#include "app/core/MouseMessage.h"
#include "platform/Image.h"

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
    // Draws the OB/GY results onto the main view's buffer.
    virtual void DrawObgyResults(Image32& /*buffer*/) {}

    // ---- the mouse, as the main window routes it (views by their code)
    // A left-button event inside a view that the click sequence takes: false to ignore it
    // (the OB/GY tool while the thumbnail list holds no item).
    virtual bool AcceptsClick(const MouseMessage& /*msg*/, int /*viewCode*/) { return true; }
    // A measuring press begins in the view (state 0 to 1): drop what a new press replaces
    // (an open distance pair, a lone OB/GY point).
    virtual void OnPressBegins(int /*viewCode*/) {}
    // Placing and moving points on a half view (commands 50 and 54), with the trace-slot
    // flags of the view and of the other half.
    virtual void OnMeasureMouse(int viewCode, int otherViewCode, int depth, const MouseMessage& msg,
                                bool /*traceFlag*/, bool /*otherTraceFlag*/) {
        OnMeasureMouse(viewCode, otherViewCode, depth, msg.message);
    }
    virtual void OnMeasureRButtonUp(const MouseMessage& /*msg*/, int /*viewCode*/, int /*depth*/) {}
    virtual void OnMeasureMouseMove(const MouseMessage& /*msg*/, int /*viewCode*/, bool /*isBImage*/,
                                    int /*depth*/) {}
    // The length of the pair starting at the point index into result label `label`; depth
    // -1 writes "Dist:-----".
    virtual void ShowDistanceText(int /*viewCode*/, int /*pointIndex*/, int /*label*/, int /*depth*/) {}
    // The strip's pair into label 4 + 3 pair; depth -1 writes "------".
    virtual void ShowMModeMeasureText(int /*pointIndex*/, int /*pair*/, int /*depth*/) {}
};
