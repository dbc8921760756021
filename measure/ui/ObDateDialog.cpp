#include "measure/ui/ObDateDialog.h"

#include <wx/calctrl.h>
#include <wx/sizer.h>

CObDateDialog::CObDateDialog(wxWindow* parent, const std::string& title, const platform::SystemTime& start)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(title.c_str())) {
    wxDateTime date = wxDateTime::Today();
    if (start.wYear >= 1900 && start.wMonth >= 1 && start.wMonth <= 12 && start.wDay >= 1 &&
        start.wDay <=
            wxDateTime::GetNumberOfDays(static_cast<wxDateTime::Month>(start.wMonth - 1), start.wYear))
        date.Set(static_cast<wxDateTime::wxDateTime_t>(start.wDay),
                 static_cast<wxDateTime::Month>(start.wMonth - 1), static_cast<int>(start.wYear));
    m_pCalendar = new wxCalendarCtrl(this, wxID_ANY, date, wxDefaultPosition, wxDefaultSize,
                                     wxCAL_MONDAY_FIRST | wxCAL_SHOW_SURROUNDING_WEEKS);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pCalendar, 0, wxALL, 8);
    sizer->Add(CreateButtonSizer(wxOK | wxCANCEL), 0, wxALL | wxALIGN_RIGHT, 8);
    SetSizerAndFit(sizer);
    CentreOnParent();
}

platform::SystemTime CObDateDialog::Date() const {
    const wxDateTime d = m_pCalendar->GetDate();
    platform::SystemTime t{};
    t.wYear = static_cast<decltype(t.wYear)>(d.GetYear());
    t.wMonth = static_cast<decltype(t.wMonth)>(d.GetMonth() + 1);
    t.wDay = static_cast<decltype(t.wDay)>(d.GetDay());
    return t;
}
