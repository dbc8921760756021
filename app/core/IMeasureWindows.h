// What the measuring code needs of windows beyond the views and labels: the mouse cursor
// (put back onto a caliper end, the four-way arrow while an ellipse handle is dragged), the
// date picker of the LMP and BBT dates and the OB/GY results table. The default does nothing
// and picks no date.
#pragma once

#include <string>

#include "measure/ObEvaluation.h"
#include "platform/Clock.h"
#include "platform/draw/Geometry.h"

class IMeasureWindows {
public:
    virtual ~IMeasureWindows() = default;
    // Moves the mouse pointer to a point given in client pixels of the view (1, 11, 12).
    virtual void WarpPointer(int /*viewCode*/, draw::Point /*clientPoint*/) {}
    // The four-way sizing cursor on (true) or the normal cursor back.
    virtual void SetSizingCursor(bool /*on*/) {}
    // A modal date picker titled `title`, opening at `date`; true and the chosen date on OK.
    virtual bool PickDate(const std::string& /*title*/, platform::SystemTime& /*date*/) { return false; }
    // The modal results table of the evaluation.
    virtual void ShowResults(const ObEvaluationResult& /*result*/) {}
};
