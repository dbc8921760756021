// The process's utility object: the current date display format, gestational age, deletion
// to the Recycle Bin, greatest common divisor, file listing, folder test and the STC curve.
// It holds no state; EnsureInstance exists so callers may create it in passing, and every
// operation is static.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/DateFormatter.h"
#include "platform/Clock.h"

struct GestationalAge {
    int32_t weeks = 0;
    int32_t days = 0;
    bool valid = true;  // false for a missing or impossible date: show no age at all
};

class CCommonUtil {
public:
    // The one instance, created on first use and kept until the process ends.
    static CCommonUtil& EnsureInstance();

    // The DateFormatter named by the setting "date_format" (day first when unset or unknown).
    static DateFormatter GetDateFormatter();

    // Whole calendar days from the date to today (local), as weeks and days; negative for a
    // date ahead. The date's time of day is set to 0:00:00.000 (the caller's value changes).
    static GestationalAge CalcGestationalAge(platform::SystemTime* date);

    // Moves a file or a whole folder to the Recycle Bin: 0 on success, else a TrashStatus
    // code, with the path left in place. Nothing is shown to the user.
    static int32_t DeleteToRecycleBin(const std::string& path, std::string* errorText = nullptr);

    // Greatest common divisor of the magnitudes; Gcd(0, 0) is 0.
    static int32_t Gcd(int32_t a, int32_t b);

    // The names of the folder's entries that are not folders, sorted; empty when the folder
    // cannot be read.
    static std::vector<std::string> ListFiles(const std::string& folder);

    static bool IsDirectory(const std::string& path);

    // The STC curve through the knots g_anStcOffset[i] + g_anStcValue[i] (see GainCurve.h).
    static void MakeGainCurve(int32_t first, int32_t* out, int32_t count, double segment);

    CCommonUtil(const CCommonUtil&) = delete;
    CCommonUtil& operator=(const CCommonUtil&) = delete;

private:
    CCommonUtil() = default;
};
