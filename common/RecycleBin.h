// Deletion to the user's Recycle Bin: the freedesktop Trash, through GIO. A file or folder
// is moved there with its .trashinfo, so the user can restore it. When the trash cannot
// take the path, the path stays where it is and the failure is reported: nothing is ever
// deleted permanently in its place.
#pragma once

#include <cstdint>
#include <string>

enum class TrashStatus : int32_t {
    Ok = 0,
    NotFound = 1,      // nothing at the path
    NotSupported = 2,  // no trash can hold it (e.g. a file system without a trash folder)
    Failed = 3,        // the trash refused it for another reason; the error text says why
};

// Moves a file or folder (a symbolic link itself, not its target) to the trash.
// On failure `errorText`, when given, receives a message naming the path.
TrashStatus MoveToTrash(const std::string& path, std::string* errorText = nullptr);
