#include "archive/ui/DateSelDlg.h"

#include "app/DialogLook.h"
#include "archive/ArchiveStrings.h"

#include <algorithm>

namespace {

// Client pixels (the template's dialog units at 1.5 px): the width, the margins, and the least
// sizes of the month choice and year spin above the calendar and of the buttons under it. GTK's
// controls may need more; the rows grow to what they need.
constexpr int kWidth = 300;
constexpr int kMargin = 10;
constexpr int kGap = 6;
constexpr DialogItem kMonth{kMargin, 10, 160, 34};
constexpr DialogItem kYear{176, 10, 114, 34};
constexpr DialogItem kOk{94, 0, 94, 30};
constexpr DialogItem kCancel{196, 0, 94, 30};
// The calendar's text grows up to this size while its rows fit between the margins.
constexpr int kLargestCalendarTextPx = 24;

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
    m_choMonth = new wxChoice(this, wxID_ANY);
    for (const char* name : kMonthNames)
        m_choMonth->Append(name);
    m_spnYear = new wxSpinCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS,
                               kFirstYear, kLastYear, kFirstYear);
    // The year spin gets at least the width GTK lays its entry and two buttons out in; the month
    // choice takes the rest of the row.
    const wxSize yearBest = m_spnYear->GetBestSize();
    const int rowHeight = std::max({kMonth.h, yearBest.y, m_choMonth->GetBestSize().y});
    const int yearWidth = std::max(kYear.w, yearBest.x);
    m_spnYear->SetSize(kWidth - kMargin - yearWidth, kMonth.y, yearWidth, rowHeight);
    m_choMonth->SetSize(kMonth.x, kMonth.y, kWidth - kMargin - yearWidth - kGap - kMonth.x, rowHeight);

    // The calendar's own month and year controls do not fit GTK's taller widgets; ours sit above.
    // It draws its rows at its font's size from its top-left corner: its text grows while the
    // rows fit the dialog's width, and its box is just what it draws.
    m_calendar = new wxGenericCalendarCtrl(
        this, IDC_CALENDAR, wxDateTime::Today(), wxDefaultPosition, wxDefaultSize,
        wxCAL_SUNDAY_FIRST | wxCAL_SHOW_SURROUNDING_WEEKS | wxCAL_SEQUENTIAL_MONTH_SELECTION);
    const int widest = kWidth - 2 * kMargin;
    wxFont text = GetFont();
    for (int px = text.GetPixelSize().y + 1; px <= kLargestCalendarTextPx; ++px) {
        wxFont larger = text;
        larger.SetPixelSize(wxSize(0, px));
        m_calendar->SetFont(larger);
        m_calendar->InvalidateBestSize();
        if (m_calendar->GetBestSize().x > widest)
            break;
        text = larger;
    }
    m_calendar->SetFont(text);
    m_calendar->InvalidateBestSize();
    const wxSize calendar = m_calendar->GetBestSize();
    const int calendarTop = kMonth.y + rowHeight + kGap;
    m_calendar->SetSize((kWidth - calendar.x) / 2, calendarTop, calendar.x, calendar.y);
    const int buttonsTop = calendarTop + calendar.y + kMargin;
    SetClientSize(kWidth, buttonsTop + kOk.h + kMargin);
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
