// The date picker of the LMP and BBT dates: a calendar with OK and Cancel.
#pragma once

#include <wx/calctrl.h>
#include <wx/dialog.h>

#include <string>

#include "platform/Clock.h"

class CObDateDialog : public wxDialog {
public:
    CObDateDialog(wxWindow* parent, const std::string& title, const platform::SystemTime& start);
    // The chosen date (year, month, day; the rest zero).
    platform::SystemTime Date() const;
    wxCalendarCtrl* Calendar() const { return m_pCalendar; }

private:
    wxCalendarCtrl* m_pCalendar = nullptr;
};
