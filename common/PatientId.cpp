#include "common/PatientId.h"

#include "platform/StringUtil.h"

namespace {

// The patient file is the id plus ".xml"; a file name holds at most 255 bytes.
constexpr size_t kMaxIdBytes = 255 - 4;

bool HasControlCharacter(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            return true;
        // C1 controls U+0080..U+009F are encoded as C2 80..C2 9F.
        if (c == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F)
                return true;
        }
    }
    return false;
}

}  // namespace

bool IsValidPatientId(const std::string& id) {
    if (id.empty() || id.size() > kMaxIdBytes || id == ".")
        return false;
    if (id.find_first_of("/\\") != std::string::npos)
        return false;
    if (id.find("..") != std::string::npos)
        return false;
    if (!platform::IsValidUtf8(id))
        return false;
    return !HasControlCharacter(id);
}
