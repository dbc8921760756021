// Reading and writing the chip's configuration record. A written record makes the chip
// re-enumerate; the handle must then be opened again.
#include <cctype>

#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/HandleList.h"
#include "probe/bridge/RequestTable.h"

using namespace bridge;
using namespace bridge::detail;
using namespace usbdriver;

namespace {

constexpr uint16_t kReservedFeatureBits = (1u << 10) | (1u << 11);

// Checks one string descriptor at `at`: its length byte within limits and each UTF-16
// character passing the test. Advances `at` past it.
bool CheckString(const FT_60XCONFIGURATION& c, size_t& at, unsigned maxLength, bool alphanumeric) {
    const unsigned length = c.StringDescriptors[at];
    if (length < 3 || length > maxLength)
        return false;
    for (size_t i = 0; i < (length - 2) / 2; ++i) {
        const unsigned char low = c.StringDescriptors[at + 2 + 2 * i];
        const unsigned char high = c.StringDescriptors[at + 3 + 2 * i];
        if (high != 0 || (alphanumeric ? !std::isalnum(low) : !std::isprint(low)))
            return false;
    }
    at += length;
    return true;
}

bool ValidStrings(const FT_60XCONFIGURATION& c) {
    size_t at = 0;
    if (!CheckString(c, at, 32, false))
        return false;  // manufacturer
    const size_t productStart = at;
    if (c.StringDescriptors[productStart] + productStart >= sizeof(c.StringDescriptors))
        return false;
    if (!CheckString(c, at, 64, false))
        return false;  // product description
    if (c.StringDescriptors[at] + at > sizeof(c.StringDescriptors))
        return false;
    return CheckString(c, at, 32, true);  // serial number
}

}  // namespace

extern "C" {

Status FT_GetChipConfiguration(Handle handle, FT_60XCONFIGURATION* configuration) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (configuration == nullptr)
        return kStatusInvalidArgs;
    FT_60XCONFIGURATION c{};
    const Status s = Request(*h, kRequestReadChipConfiguration, &c, sizeof(c), &c, sizeof(c));
    if (s == kStatusOk)
        *configuration = c;
    return s;
}

Status FT_SetChipConfiguration(Handle handle, const FT_60XCONFIGURATION* configuration) {
    HandlePtr h = FindHandle(handle);
    if (!h)
        return kStatusInvalidHandle;
    if (configuration == nullptr) {  // back to the chip's defaults
        FT_60XCONFIGURATION zero{};
        return Request(*h, kRequestResetChipConfiguration, &zero, sizeof(zero), &zero, sizeof(zero));
    }
    if (!ValidStrings(*configuration))
        return kStatusInvalidParameter;
    FT_60XCONFIGURATION c = *configuration;  // the caller's record stays as it was
    c.OptionalFeatureSupport &= static_cast<uint16_t>(~kReservedFeatureBits);
    return Request(*h, kRequestWriteChipConfiguration, &c, sizeof(c), &c, sizeof(c));
}

}  // extern "C"
