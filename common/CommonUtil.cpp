#include "common/CommonUtil.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "common/GainCurve.h"
#include "common/RecycleBin.h"
#include "common/SettingsStore.h"
#include "platform/FileSystem.h"

CCommonUtil& CCommonUtil::EnsureInstance() {
    static CCommonUtil* instance = new CCommonUtil;  // never freed, like every singleton here
    return *instance;
}

DateFormatter CCommonUtil::GetDateFormatter() {
    return DateFormatter::FromName(GetSettingText(SettingSectionApp, SettingKeyTable::date_format));
}

GestationalAge CCommonUtil::CalcGestationalAge(platform::SystemTime* date) {
    GestationalAge age;
    if (!date) {
        age.valid = false;
        return age;
    }
    date->wHour = date->wMinute = date->wSecond = date->wMilliseconds = 0;
    if (!platform::IsValidDate(date->wYear, date->wMonth, date->wDay)) {
        age.valid = false;
        return age;
    }
    // Calendar days, never seconds / 86400: a day of 23 or 25 hours is still one day.
    const platform::SystemTime today = platform::GetLocalTime();
    const int64_t days = platform::DaysFromCivil(today.wYear, today.wMonth, today.wDay) -
                         platform::DaysFromCivil(date->wYear, date->wMonth, date->wDay);
    age.weeks = static_cast<int32_t>(days / 7);
    age.days = static_cast<int32_t>(days - 7 * (days / 7));
    return age;
}

int32_t CCommonUtil::DeleteToRecycleBin(const std::string& path, std::string* errorText) {
    return static_cast<int32_t>(MoveToTrash(path, errorText));
}

int32_t CCommonUtil::Gcd(int32_t a, int32_t b) {
    // On magnitudes in 64 bits: INT32_MIN % -1 would trap.
    int64_t x = std::llabs(a), y = std::llabs(b);
    while (y != 0) {
        const int64_t r = x % y;
        x = y;
        y = r;
    }
    return x > INT32_MAX ? INT32_MAX : static_cast<int32_t>(x);
}

std::vector<std::string> CCommonUtil::ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(folder, entries))
        return names;
    for (const platform::DirEntry& e : entries) {
        if (!platform::IsDirectory(platform::JoinPath(folder, e.name)))
            names.push_back(e.name);
    }
    return names;
}

bool CCommonUtil::IsDirectory(const std::string& path) {
    return platform::IsDirectory(path);
}

void CCommonUtil::MakeGainCurve(int32_t first, int32_t* out, int32_t count, double segment) {
    StcKnots knots;
    for (int i = 0; i < kStcKnotCount; ++i) {
        const int64_t sum = static_cast<int64_t>(g_anStcOffset[i]) + g_anStcValue[i];
        knots[i] = static_cast<int32_t>(std::clamp<int64_t>(sum, INT32_MIN, INT32_MAX));
    }
    ::MakeGainCurve(first, out, count, segment, knots);
}
