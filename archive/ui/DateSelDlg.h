// The date picker (birthdate, the birthdate search, and the OB/GY LMP and BBT dates): a month
// calendar drawn by wx itself, so it looks the same on every desktop, starts the week on
// Sunday and names months in English, with a month choice and a year spin above it that reach
// any birthdate in a few clicks. OK gives the chosen date with a zero time part; Cancel, Esc and the
// close box give 2 and leave m_stDateOut as it was.
#pragma once

#include <wx/button.h>
#include <wx/calctrl.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/generic/calctrlg.h>
#include <wx/spinctrl.h>

#include <string>

#include "platform/Clock.h"

class CDateSelDlg : public wxDialog {
public:
    enum : int { IDC_CALENDAR = 1137, IDC_OK = 1, IDC_CANCEL = 2 };
    static constexpr int kFirstYear = 1900;
    static constexpr int kLastYear = 2100;

    explicit CDateSelDlg(wxWindow* parent = nullptr);

    // Sets the caption and opens the calendar on m_stDateIn (today when that is no date).
    int DoModal();

    platform::SystemTime m_stDateIn;
    platform::SystemTime m_stDateOut;
    std::string m_strTitle;

    wxChoice* m_choMonth = nullptr;
    wxSpinCtrl* m_spnYear = nullptr;
    wxGenericCalendarCtrl* m_calendar = nullptr;
    wxButton* m_btnOk = nullptr;
    wxButton* m_btnCancel = nullptr;

    // The calendar's date as the dialog hands it out: time zero, weekday set.
    static platform::SystemTime ToSystemTime(const wxDateTime& date);

    // Shows the month of the date (clamped to the years the spin offers) and selects the date.
    void SelectDate(const wxDateTime& date);

private:
    void OnMonthOrYear();
    void OnOk();
    void OnCharHook(wxKeyEvent& event);
};
