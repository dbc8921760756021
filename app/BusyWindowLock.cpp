#include "app/BusyWindowLock.h"

CBusyWindowLock::CBusyWindowLock(wxWindow* window) : m_pWindow(window) {
    wxWindow* focus = wxWindow::FindFocus();
    if (window && focus && wxGetTopLevelParent(focus) == wxGetTopLevelParent(window))
        m_pFocusBefore = focus;
    if (window)
        window->Enable(false);
}

CBusyWindowLock::~CBusyWindowLock() {
    wxWindow* window = m_pWindow.get();
    if (!window)
        return;
    window->Enable(true);
    window->Raise();
    wxWindow* back = m_pFocusBefore.get();
    if (back && back->IsShownOnScreen() && back->IsEnabled())
        back->SetFocus();
    else
        window->SetFocus();
}
