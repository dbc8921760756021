#include "measure/PregnancyDates.h"

namespace {
bool IsRealDate(const CivilDate& d) {
    return platform::IsValidDate(d.year, d.month, d.day);
}
}  // namespace

std::optional<CivilDate> ToCivilDate(const platform::SystemTime& time) {
    const CivilDate d{time.wYear, time.wMonth, time.wDay};
    if (!IsRealDate(d))
        return std::nullopt;
    return d;
}

std::optional<CivilDate> AddCivilDays(const CivilDate& date, int days) {
    if (!IsRealDate(date))
        return std::nullopt;
    CivilDate out;
    platform::CivilFromDays(platform::DaysFromCivil(date.year, date.month, date.day) + days, out.year,
                            out.month, out.day);
    if (!IsRealDate(out))
        return std::nullopt;
    return out;
}
