// Why a write into a folder failed, for messages that must tell the user more than "failed":
// the writers report only success, so the reason is found afterwards from the file system
// the path lies on.
#pragma once

#include <string>

namespace platform {

enum class WriteFailureReason { DiskFull, ReadOnly, PermissionDenied, Other };

// Looks at the file system of the path's nearest existing folder: read-only, no free space
// left for the user, or a folder the user may not write into; Other when none of these.
WriteFailureReason DiagnoseWriteFailure(const std::string& path);

// The reason for an errno value of a failed file call.
WriteFailureReason WriteFailureFromErrno(int error);

}  // namespace platform
