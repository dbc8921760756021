#include "common/RecycleBin.h"

#include <gio/gio.h>
#include <sys/stat.h>

namespace {

TrashStatus Fail(TrashStatus status, const std::string& path, const char* reason, std::string* errorText) {
    if (errorText)
        *errorText = "Cannot move \"" + path + "\" to the trash: " + reason;
    return status;
}

}  // namespace

TrashStatus MoveToTrash(const std::string& folderOrFile, std::string* errorText) {
    if (errorText)
        errorText->clear();
    std::string path = folderOrFile;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) {
        return Fail(TrashStatus::NotFound, path, "it does not exist", errorText);
    }
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (moved)
        return TrashStatus::Ok;

    TrashStatus status = TrashStatus::Failed;
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND))
        status = TrashStatus::NotFound;
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED))
        status = TrashStatus::NotSupported;
    const std::string reason = error && error->message ? error->message : "unknown error";
    g_clear_error(&error);
    return Fail(status, path, reason.c_str(), errorText);
}
