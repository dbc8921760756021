#include "archive/ui/DateSelDlg.h"

#include "app/DialogLook.h"
#include "archive/ArchiveStrings.h"

#include <algorithm>

namespace {

// Client pixels (the template's dialog units at 1.5 px, the calendar taller for GTK's
// month choice and year spin).
const wxSize kClient{300, 286};
constexpr DialogItem kMonth{10, 10, 160, 34};
constexpr DialogItem kYear{176, 10, 114, 34};
constexpr DialogItem kCalendar{10, 50, 280, 184};
constexpr DialogItem kOk{94, 246, 94, 30};
constexpr DialogItem kCancel{196, 246, 94, 30};

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

wxDateTime ToDateTime(const platform::SystemTime& date) {
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(date.wDay),
                      static_cast<wxDateTime::Month>(date.wMonth - 1), static_cast<int>(date.wYear));
}

}  // namespace

CDateSelDlg::CDateSelDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxCLOSE_BOX) {
    SetFont(DialogFont());
    SetClientSize(kClient);
    m_choMonth = new wxChoice(this, wxID_ANY, kMonth.Pos(), kMonth.Size());
    for (const char* name : kMonthNames)
        m_choMonth->Append(name);
    m_spnYear = new wxSpinCtrl(this, wxID_ANY, "", kYear.Pos(), kYear.Size(), wxSP_ARROW_KEYS, kFirstYear,
                               kLastYear, kFirstYear);
    // The calendar's own month and year controls do not fit GTK's taller widgets; ours sit above.
    m_calendar = new wxGenericCalendarCtrl(
        this, IDC_CALENDAR, wxDateTime::Today(), kCalendar.Pos(), kCalendar.Size(),
        wxCAL_SUNDAY_FIRST | wxCAL_SHOW_SURROUNDING_WEEKS | wxCAL_SEQUENTIAL_MONTH_SELECTION);
    // The calendar draws at its own size: centre it and close the dialog around it.
    const wxSize best = m_calendar->GetBestSize();
    m_calendar->SetSize((kClient.x - best.x) / 2, kCalendar.y, best.x, best.y);
    const int buttonsTop = kCalendar.y + best.y + 12;
    SetClientSize(kClient.x, buttonsTop + kOk.h + 10);
    m_choMonth->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnMonthOrYear(); });
    m_spnYear->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { OnMonthOrYear(); });
    m_calendar->Bind(wxEVT_CALENDAR_SEL_CHANGED, [this](wxCalendarEvent& event) {
        SelectDate(event.GetDate());
        event.Skip();
    });
    m_calendar->Bind(wxEVT_CALENDAR_PAGE_CHANGED, [this](wxCalendarEvent& event) {
        SelectDate(m_calendar->GetDate());
        event.Skip();
    });
    m_btnOk = new wxButton(this, IDC_OK, wxString::FromUTF8(LoadArchiveText(archive_strings::kOk)),
                           wxPoint(kOk.x, buttonsTop), kOk.Size());
    m_btnCancel =
        new wxButton(this, IDC_CANCEL, wxString::FromUTF8(LoadArchiveText(archive_strings::kCancel)),
                     wxPoint(kCancel.x, buttonsTop), kCancel.Size());
    m_btnOk->SetDefault();
    m_btnOk->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); });
    m_btnCancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(IDC_CANCEL); });
    m_calendar->Bind(wxEVT_CALENDAR_DOUBLECLICKED, [this](wxCalendarEvent&) { OnOk(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(IDC_CANCEL); });
    Bind(wxEVT_CHAR_HOOK, &CDateSelDlg::OnCharHook, this);
}

int CDateSelDlg::DoModal() {
    SetTitle(wxString::FromUTF8(m_strTitle));
    // wx asserts on dates that do not exist; those open on today.
    const platform::SystemTime& in = m_stDateIn;
    SelectDate(platform::IsValidDate(in.wYear, in.wMonth, in.wDay) ? ToDateTime(in) : wxDateTime::Today());
    m_calendar->SetFocus();
    CentreOnParent();
    return ShowModal();
}

void CDateSelDlg::SelectDate(const wxDateTime& date) {
    wxDateTime shown = date;
    if (shown.GetYear() < kFirstYear)
        shown.SetYear(kFirstYear);
    else if (shown.GetYear() > kLastYear)
        shown.SetYear(kLastYear);
    if (!m_calendar->GetDate().IsSameDate(shown))
        m_calendar->SetDate(shown);
    m_choMonth->SetSelection(static_cast<int>(shown.GetMonth()));
    m_spnYear->SetValue(shown.GetYear());
}

void CDateSelDlg::OnMonthOrYear() {
    const wxDateTime current = m_calendar->GetDate();
    const auto month = static_cast<wxDateTime::Month>(m_choMonth->GetSelection());
    const int year = m_spnYear->GetValue();
    // The day stays where the new month has it; the 31st becomes the month's last day.
    const wxDateTime::wxDateTime_t day = std::min(current.GetDay(), wxDateTime::GetNumberOfDays(month, year));
    SelectDate(wxDateTime(day, month, year));
}

platform::SystemTime CDateSelDlg::ToSystemTime(const wxDateTime& date) {
    platform::SystemTime out;
    out.wYear = static_cast<uint16_t>(date.GetYear());
    out.wMonth = static_cast<uint16_t>(date.GetMonth() + 1);
    out.wDay = static_cast<uint16_t>(date.GetDay());
    out.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(out.wYear, out.wMonth, out.wDay));
    return out;  // hour, minute, second and milliseconds stay 0
}

void CDateSelDlg::OnOk() {
    m_stDateOut = ToSystemTime(m_calendar->GetDate());
    EndModal(IDC_OK);
}

void CDateSelDlg::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            EndModal(IDC_CANCEL);
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            if (FindFocus() != m_btnCancel) {
                OnOk();
                return;
            }
            break;
        default:
            break;
    }
    event.Skip();
}
