// Measurement handlers (distance, M-mode, area trace, ellipse, OB/GY marks). Views are
// given by their view code (1, 11, 12). The default measures nothing.
#pragma once

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
};
