// The measuring's windows over wx: the pointer put back onto a caliper end in a view window,
// the sizing cursor while an ellipse handle is dragged, the LMP/BBT date picker and the
// results table.
#pragma once

#include <functional>

#include "app/core/IMeasureWindows.h"

class wxWindow;

class CMeasureWindowsWx : public IMeasureWindows {
public:
    // viewWindow gives the window of a view code (1, 11, 12); parent owns the dialogs.
    CMeasureWindowsWx(wxWindow* parent, std::function<wxWindow*(int viewCode)> viewWindow);

    void WarpPointer(int viewCode, draw::Point clientPoint) override;
    void SetSizingCursor(bool on) override;
    bool PickDate(const std::string& title, platform::SystemTime& date) override;
    void ShowResults(const ObEvaluationResult& result) override;

    // Run instead of the modal results table (tests).
    std::function<void(const ObEvaluationResult&)> onShowResults;

private:
    wxWindow* m_pParent;
    std::function<wxWindow*(int)> m_fnViewWindow;
};
