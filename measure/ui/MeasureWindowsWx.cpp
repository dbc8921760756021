#include "measure/ui/MeasureWindowsWx.h"

#include <wx/window.h>

#include "measure/ui/ObDateDialog.h"
#include "measure/ui/ResultsTable.h"

CMeasureWindowsWx::CMeasureWindowsWx(wxWindow* parent, std::function<wxWindow*(int viewCode)> viewWindow)
    : m_pParent(parent), m_fnViewWindow(std::move(viewWindow)) {}

void CMeasureWindowsWx::WarpPointer(int viewCode, draw::Point clientPoint) {
    if (wxWindow* w = m_fnViewWindow ? m_fnViewWindow(viewCode) : nullptr)
        w->WarpPointer(clientPoint.x, clientPoint.y);
}

void CMeasureWindowsWx::SetSizingCursor(bool on) {
    for (int code : {1, 11, 12})
        if (wxWindow* w = m_fnViewWindow ? m_fnViewWindow(code) : nullptr)
            w->SetCursor(on ? wxCursor(wxCURSOR_SIZING) : wxNullCursor);
}

bool CMeasureWindowsWx::PickDate(const std::string& title, platform::SystemTime& date) {
    CObDateDialog dialog(m_pParent, title, date);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    date = dialog.Date();
    return true;
}

void CMeasureWindowsWx::ShowResults(const ObEvaluationResult& result) {
    if (onShowResults) {
        onShowResults(result);
        return;
    }
    CResultsTable table(m_pParent, result);
    table.ShowModal();
}
