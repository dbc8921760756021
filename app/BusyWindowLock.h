// Keeps a window out of reach while a progress window works over it, and gives the keys
// back where they were afterwards: disabling the window takes the focus from its control,
// and the frame itself passes no keys on, so without this the keyboard stays dead until a
// click.
#pragma once

#include <type_traits>  // wx/weakref.h needs it first

#include <wx/weakref.h>
#include <wx/window.h>

class CBusyWindowLock {
public:
    explicit CBusyWindowLock(wxWindow* window);
    ~CBusyWindowLock();
    CBusyWindowLock(const CBusyWindowLock&) = delete;
    CBusyWindowLock& operator=(const CBusyWindowLock&) = delete;

    // The window is going away: leave it as it is.
    void Forget() { m_pWindow = nullptr; }

private:
    wxWeakRef<wxWindow> m_pWindow;
    wxWeakRef<wxWindow> m_pFocusBefore;
};
