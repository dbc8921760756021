// File and folder operations in place of the Win32 and shell calls. Every rewritten file
// goes through WriteFileAtomic, so a full disk or a crash leaves the old file whole;
// records that must never be overwritten go through CreateFileExclusive.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"

namespace platform {

// Reads a whole regular file of at most `maxBytes`. False when it cannot be opened or read,
// is no regular file (a FIFO or a device is never waited on) or is larger.
bool ReadFile(const std::string& path, std::string& bytes, size_t maxBytes = SIZE_MAX);

bool PathExists(const std::string& path);  // file, folder or anything else; symbolic links followed
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);

// Creates the folder and its missing parents. True when it exists as a folder afterwards.
bool CreateDirectories(const std::string& path, mode_t mode = kPrivateDirMode);

// The part of a path before its last '/', or empty when there is none.
std::string ParentFolder(const std::string& path);
// The part after the last '/'.
std::string FileNamePart(const std::string& path);
// Joins a folder and a name with exactly one '/' between them.
std::string JoinPath(const std::string& folder, const std::string& name);

struct DirEntry {
    std::string name;
    bool isDirectory = false;
    bool isSymlink = false;
};

// The entries of a folder other than "." and "..", sorted by name (byte order).
// False when the folder cannot be read.
bool ListDirectory(const std::string& folder, std::vector<DirEntry>& entries);

}  // namespace platform
