#include "archive/ArchiveStrings.h"

#include <algorithm>

#include "resources/StringTable.h"

std::string LoadArchiveText(int id) {
    std::string text = resources::LoadString(id);
    std::erase(text, '\r');
    return text;
}

std::string WriteFailureText(platform::WriteFailureReason reason) {
    using platform::WriteFailureReason;
    switch (reason) {
        case WriteFailureReason::DiskFull:
            return LoadArchiveText(archive_strings::kReasonDiskFull);
        case WriteFailureReason::ReadOnly:
            return LoadArchiveText(archive_strings::kReasonReadOnly);
        case WriteFailureReason::PermissionDenied:
            return LoadArchiveText(archive_strings::kReasonPermissionDenied);
        case WriteFailureReason::Other:
            break;
    }
    return LoadArchiveText(archive_strings::kReasonNotWritten);
}
