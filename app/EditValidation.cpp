#include "app/EditValidation.h"

#include <algorithm>
#include <cstdint>

#include "platform/StringUtil.h"

EditCheck CheckEditText(const std::string& text, int minimum, int maximum, int lastAccepted) {
    EditCheck r;
    r.lastAccepted = lastAccepted;
    if (text.empty())
        return r;
    if (text.find_first_not_of("0123456789") != std::string::npos) {
        r.replace = true;
        r.text = platform::Format("%d", lastAccepted);
        r.balloon = true;
        return r;
    }
    const size_t firstNonZero = text.find_first_not_of('0');
    const std::string digits = firstNonZero == std::string::npos ? "0" : text.substr(firstNonZero);
    r.replace = digits != text;
    r.text = digits;

    // Bounded conversion: ten or more significant digits are above any int maximum.
    int64_t value = 0;
    bool huge = digits.size() > 10;
    for (size_t i = 0; !huge && i < digits.size(); ++i) {
        value = value * 10 + (digits[i] - '0');
        huge = value > INT32_MAX;
    }
    if (!huge && value >= minimum && value <= maximum) {
        r.lastAccepted = static_cast<int>(value);
        return r;
    }
    const int clamped = (huge || value > maximum) ? maximum : minimum;
    r.replace = true;
    r.text = platform::Format("%d", clamped);
    r.balloon = true;
    return r;
}
