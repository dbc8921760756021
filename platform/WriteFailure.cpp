#include "platform/WriteFailure.h"

#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>

#include "platform/FileSystem.h"

namespace platform {

WriteFailureReason DiagnoseWriteFailure(const std::string& path) {
    std::string folder = ParentFolder(path);
    while (!folder.empty() && !IsDirectory(folder))
        folder = folder == "/" ? std::string() : ParentFolder(folder);
    if (folder.empty())
        return WriteFailureReason::Other;
    struct statvfs fs {};
    if (::statvfs(folder.c_str(), &fs) == 0) {
        if (fs.f_flag & ST_RDONLY)
            return WriteFailureReason::ReadOnly;
        if (fs.f_bavail == 0 || (fs.f_favail == 0 && fs.f_files != 0))
            return WriteFailureReason::DiskFull;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return WriteFailureFromErrno(errno);
    return WriteFailureReason::Other;
}

WriteFailureReason WriteFailureFromErrno(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return WriteFailureReason::DiskFull;
        case EROFS:
            return WriteFailureReason::ReadOnly;
        case EACCES:
        case EPERM:
            return WriteFailureReason::PermissionDenied;
        default:
            return WriteFailureReason::Other;
    }
}

}  // namespace platform
