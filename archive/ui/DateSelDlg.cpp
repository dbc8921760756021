#include "archive/ui/DateSelDlg.h"

#include "app/DialogLook.h"
#include "archive/ArchiveStrings.h"

namespace {

// Client pixels (the template's dialog units at 1.5 px, the calendar taller for GTK's
// month choice and year spin).
const wxSize kClient{300, 262};
constexpr DialogItem kCalendar{10, 10, 280, 200};
constexpr DialogItem kOk{94, 222, 94, 30};
constexpr DialogItem kCancel{196, 222, 94, 30};

wxDateTime ToDateTime(const platform::SystemTime& date) {
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(date.wDay),
                      static_cast<wxDateTime::Month>(date.wMonth - 1), static_cast<int>(date.wYear));
}

}  // namespace

CDateSelDlg::CDateSelDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxCLOSE_BOX) {
    SetFont(DialogFont());
    SetClientSize(kClient);
    m_calendar = new wxGenericCalendarCtrl(this, IDC_CALENDAR, wxDefaultDateTime, kCalendar.Pos(),
                                           kCalendar.Size(), wxCAL_SUNDAY_FIRST | wxCAL_SHOW_SURROUNDING_WEEKS);
    m_btnOk = new wxButton(this, IDC_OK, wxString::FromUTF8(LoadArchiveText(archive_strings::kOk)), kOk.Pos(),
                           kOk.Size());
    m_btnCancel = new wxButton(this, IDC_CANCEL, wxString::FromUTF8(LoadArchiveText(archive_strings::kCancel)),
                               kCancel.Pos(), kCancel.Size());
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
    m_calendar->SetDate(platform::IsValidDate(in.wYear, in.wMonth, in.wDay) ? ToDateTime(in) : wxDateTime::Today());
    m_calendar->SetFocus();
    CentreOnParent();
    return ShowModal();
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
