// File and folder operations in place of the Win32 and shell calls. Every rewritten file
// goes through WriteFileAtomic, so a full disk or a crash leaves the old file whole;
// records that must never be overwritten go through CreateFileExclusive.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Modes for files and folders holding patient data, and for everything else.
inline constexpr mode_t kPrivateFileMode = 0600;
inline constexpr mode_t kPrivateDirMode = 0700;

enum class WriteResult { Ok, Exists, Failed };

// Writes the bytes to a temporary file in the target's folder, checks the write, flushes
// it to disk and renames it over the target. False (old file untouched) on any failure.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, mode_t mode = kPrivateFileMode);

// Like WriteFileAtomic, but never replaces an existing file: Exists when the target is there.
WriteResult CreateFileExclusive(const std::string& path, const std::string& bytes,
                                mode_t mode = kPrivateFileMode);

// Reads a whole regular file. False when it cannot be opened or read.
bool ReadFile(const std::string& path, std::string& bytes);

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

// Test hook: when set, called before each write of WriteFileAtomic/CreateFileExclusive with
// the target path; returning true makes that write fail as a full disk would.
using WriteFaultHook = std::function<bool(const std::string& path)>;
void SetWriteFaultHook(WriteFaultHook hook);
// Asks the write-fault hook about a write step that is not a plain file write (a rename, a
// flush): true when the test wants it to fail.
bool WriteFaultInjected(const std::string& path);

// For many files made durable together: creates a new file with the bytes, checked, but not
// flushed; SyncFileSystem later makes them all durable at once. Exists for an existing path;
// a failed write removes the file again. Goes through the write-fault hook.
WriteResult CreateFileUnsynced(const std::string& path, const std::string& bytes,
                               mode_t mode = kPrivateFileMode);
// Flushes the whole file system holding the path (syncfs). False when it reports an error.
bool SyncFileSystem(const std::string& path);
// Renames without ever replacing the target (renameat2 RENAME_NOREPLACE); folders included.
// False when the target exists or the rename fails; the source then stays.
bool RenameNoReplace(const std::string& from, const std::string& to);
// Bytes an unprivileged user may still write on the file system holding the path (statvfs).
bool FreeDiskBytes(const std::string& path, uint64_t& bytes);

}  // namespace platform
