#include "common/ArchiveNames.h"

#include <cstdio>

#include "platform/StringUtil.h"

namespace {

bool ToSystemTime(int year, int month, int day, int hour, int minute, int second,
                  platform::SystemTime& time) {
    if (!platform::IsValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        return false;
    }
    time = platform::SystemTime{};
    time.wYear = static_cast<uint16_t>(year);
    time.wMonth = static_cast<uint16_t>(month);
    time.wDay = static_cast<uint16_t>(day);
    time.wHour = static_cast<uint16_t>(hour);
    time.wMinute = static_cast<uint16_t>(minute);
    time.wSecond = static_cast<uint16_t>(second);
    time.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(year, month, day));
    return true;
}

}  // namespace

std::string MakeStamp(int year, int month, int day, int hour, int minute, int second) {
    return platform::Format("%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
}

std::string MakeStamp(const platform::SystemTime& local) {
    return MakeStamp(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
}

bool IsStamp(const std::string& text) {
    if (text.size() != kStampLength)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool ReadStamp(const std::string& text, platform::SystemTime& time) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::sscanf(text.c_str(), "%04d%02d%02d%02d%02d%02d", &year, &month, &day, &hour, &minute, &second);
    return ToSystemTime(year, month, day, hour, minute, second, time);
}

std::string FormatStoreTime(const platform::SystemTime& utc) {
    return platform::Format("%04d-%02d-%02dT%02d:%02d:%02dZ", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                            utc.wMinute, utc.wSecond);
}

bool ParseStoreTime(const std::string& text, platform::SystemTime& utc) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    return std::sscanf(text.c_str(), "%04d-%02d-%02dT%02d:%02d:%02dZ", &year, &month, &day, &hour, &minute,
                       &second) == 6 &&
           ToSystemTime(year, month, day, hour, minute, second, utc);
}

std::string MakeCineFramePath(const std::string& cineFolder, int frame, const char* extension) {
    return platform::Format("%s%03d%s", cineFolder.c_str(), frame, extension);
}
