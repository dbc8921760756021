#include "measure/PatientDates.h"

#include <optional>

#include "common/User.h"
#include "measure/PregnancyDates.h"

namespace {

platform::SystemTime DateOnly(const platform::SystemTime& t) {
    platform::SystemTime d;
    d.wYear = t.wYear;
    d.wMonth = t.wMonth;
    d.wDay = t.wDay;
    if (platform::IsValidDate(t.wYear, t.wMonth, t.wDay))
        d.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(t.wYear, t.wMonth, t.wDay));
    return d;
}

void ReadOne(const std::string& stored, const DateFormatter& format, platform::SystemTime& date,
             std::string& text) {
    const std::optional<CivilDate> d = ParseStoredDate(stored);
    if (!d)
        return;
    date = platform::SystemTime{};
    date.wYear = static_cast<uint16_t>(d->year);
    date.wMonth = static_cast<uint16_t>(d->month);
    date.wDay = static_cast<uint16_t>(d->day);
    date.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(d->year, d->month, d->day));
    text = format.FormatDate(d->year, d->month, d->day);
}

void WriteOne(const std::string& text, const platform::SystemTime& date, std::string& stored) {
    if (text.empty())
        return;
    if (const std::optional<CivilDate> d = ToCivilDate(date))
        stored = FormatStoredDate(*d);
}

void SetOne(platform::SystemTime& date, std::string& text, const platform::SystemTime& picked,
            const DateFormatter& format) {
    date = DateOnly(picked);
    text = format.FormatDate(picked.wYear, picked.wMonth, picked.wDay);
}

}  // namespace

void ReadPatientDates(const CUser* user, const DateFormatter& format, ObPatientDates& dates) {
    dates.lmpText.clear();
    dates.bbtText.clear();
    if (!user)
        return;
    ReadOne(user->m_strLmp, format, dates.lmpDate, dates.lmpText);
    ReadOne(user->m_strBbt, format, dates.bbtDate, dates.bbtText);
}

void WritePatientDates(const ObPatientDates& dates, CUser& user) {
    WriteOne(dates.lmpText, dates.lmpDate, user.m_strLmp);
    WriteOne(dates.bbtText, dates.bbtDate, user.m_strBbt);
}

platform::SystemTime LmpPickerStart(const ObPatientDates& dates) {
    return !dates.lmpText.empty() ? DateOnly(dates.lmpDate) : DateOnly(platform::GetLocalTime());
}

platform::SystemTime BbtPickerStart(const ObPatientDates& dates) {
    if (!dates.bbtText.empty())
        return DateOnly(dates.bbtDate);
    return LmpPickerStart(dates);
}

void SetLmpDate(ObPatientDates& dates, const platform::SystemTime& picked, const DateFormatter& format) {
    SetOne(dates.lmpDate, dates.lmpText, picked, format);
}

void SetBbtDate(ObPatientDates& dates, const platform::SystemTime& picked, const DateFormatter& format) {
    SetOne(dates.bbtDate, dates.bbtText, picked, format);
}
