// Whole-file writes that never leave a half-written file: rewrites replace the target
// atomically, records that must never be overwritten are created exclusively. Temporary
// copies are unnamed where the file system allows, so a killed process leaves none behind;
// named ones left by a kill are swept once they are a minute old.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// Modes for files and folders holding patient data.
inline constexpr mode_t kPrivateFileMode = 0600;
inline constexpr mode_t kPrivateDirMode = 0700;

enum class WriteResult { Ok, Exists, Failed };

// Checks the bytes of the temporary file, read back from it, before it takes the target's
// place: false refuses the write.
using WriteCheck = std::function<bool(const std::string& bytesReadBack)>;

// Writes the bytes to a temporary file in the target's folder, checks the write, flushes
// it to disk and renames it over the target. False (old file untouched) on any failure.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, mode_t mode = kPrivateFileMode,
                     const WriteCheck& check = {});

// Like WriteFileAtomic, but never replaces an existing file: Exists when the target is there.
// The file is put in place by a hard link; where the file system has none, by a rename that
// refuses an existing target, and last by an exclusive open of the final name. When a step
// fails, `failedSteps` (when given) names each step that failed and why, also when a later
// step succeeded.
WriteResult CreateFileExclusive(const std::string& path, const std::string& bytes,
                                mode_t mode = kPrivateFileMode, const WriteCheck& check = {},
                                std::string* failedSteps = nullptr);

// Puts a finished file, written and flushed under the temporary name `temporary` in the
// target's folder, in place as `path` by the same steps, never replacing a file; in the last
// step its bytes are copied into the exclusively created target. The temporary name is gone
// afterwards. Returns 0, EEXIST when a file of that name is there, or the errno of the last
// step that failed (each failed step also named in `failedSteps`, when given).
int PlaceFileExclusive(const std::string& temporary, const std::string& path, mode_t mode = kPrivateFileMode,
                       std::string* failedSteps = nullptr);

// Removes the temporary copies of one target ("<target>.tmp.XXXXXX") that a killed save left
// and that are older than a minute; younger ones may belong to a save under way.
void SweepStaleTemporaries(const std::string& target);
// The same for the temporary copies of every file in a folder.
void SweepStaleTemporariesIn(const std::string& folder);
// For the name of a temporary copy ("<name>.tmp.XXXXXX"), the length of <name>; npos for any
// other name.
size_t TemporaryCopyStemLength(const std::string& name);

// Test hook: when set, called before each write of WriteFileAtomic/CreateFileExclusive with
// the target path; returning true makes that write fail as a full disk would.
using WriteFaultHook = std::function<bool(const std::string& path)>;
void SetWriteFaultHook(WriteFaultHook hook);
// For writers with their own write loop (the video files): asks the hook about one write.
bool IsWriteFaultInjected(const std::string& path);

// Steps of putting a file in place, for tests of file systems that lack some of them.
enum class FileStep { UnnamedTemporary, HardLink, RenameNoReplace, ExclusiveOpen };
// Test seam: when set, called before each step with the target; a non-zero result makes the
// step fail with that errno value, as a file system without it would.
using FileStepFault = std::function<int(FileStep step, const std::string& path)>;
void SetFileStepFaultForTesting(FileStepFault fault);

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
