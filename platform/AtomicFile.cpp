#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

namespace {

constexpr const char* kTemporaryInfix = ".tmp.";
constexpr size_t kTemporarySuffixLength = 6;  // as mkstemp's XXXXXX
constexpr time_t kStaleSeconds = 60;

std::mutex g_hookMutex;
WriteFaultHook g_writeFault;
FileStepFault g_stepFault;

// The hook runs outside the lock, so a hook may itself write or change the hook.
bool WriteFaultInjected(const std::string& path) {
    WriteFaultHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_writeFault;
    }
    return hook && hook(path);
}

// 0, or the errno value a test makes the step fail with.
int StepFault(FileStep step, const std::string& path) {
    FileStepFault fault;
    {
        std::lock_guard lock(g_hookMutex);
        fault = g_stepFault;
    }
    return fault ? fault(step, path) : 0;
}

std::string FolderOf(const std::string& path) {
    const std::string folder = ParentFolder(path);
    return folder.empty() ? "." : folder;
}

bool WriteAll(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const std::string& bytes) {
    return WriteAll(fd, bytes.data(), bytes.size());
}

bool ReadBack(int fd, std::string& bytes) {
    bytes.clear();
    char buf[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buf, sizeof buf, at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        bytes.append(buf, static_cast<size_t>(n));
        at += n;
    }
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string StepText(const char* step, int err) {
    return std::string(step) + ": " + std::strerror(err);
}

void AddFailure(std::string* failures, const std::string& text) {
    if (!failures)
        return;
    if (!failures->empty())
        *failures += "; ";
    *failures += text;
}

// Writes a file's whole content into a new file's descriptor (and checks it); false on failure.
using ContentWriter = std::function<bool(int fd)>;

ContentWriter BytesWriter(const std::string& bytes, const WriteCheck& check) {
    return [&bytes, &check](int fd) {
        if (!WriteAll(fd, bytes))
            return false;
        std::string back;
        return !check || (ReadBack(fd, back) && check(back));
    };
}

// Copies the whole content of the file open at `from`.
ContentWriter CopyWriter(int from) {
    return [from](int fd) {
        std::vector<char> chunk(1 << 20);
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(from, chunk.data(), chunk.size(), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            if (n == 0)
                return true;
            if (!WriteAll(fd, chunk.data(), static_cast<size_t>(n)))
                return false;
            at += n;
        }
    };
}

// The file's bytes are written, flushed and checked; a kill before it is named leaves
// nothing when it is unnamed.
class Temporary {
public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() { Discard(); }

    // An unnamed file in the target's folder where the file system has them, else a named one.
    bool Open(const std::string& target, mode_t mode, bool allowUnnamed) {
        Discard();
        if (allowUnnamed && StepFault(FileStep::UnnamedTemporary, target) == 0) {
            fd_ = ::open(FolderOf(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
            if (fd_ >= 0)
                return true;
        }
        name_ = target + kTemporaryInfix + "XXXXXX";
        fd_ = ::mkostemp(name_.data(), O_CLOEXEC);
        if (fd_ < 0)
            name_.clear();
        return fd_ >= 0;
    }

    bool Fill(const std::string& target, mode_t mode, const ContentWriter& content) {
        return ::fchmod(fd_, mode) == 0 && !WriteFaultInjected(target) && content(fd_) && ::fsync(fd_) == 0;
    }

    // Takes over a finished file of the caller's: its descriptor and its name.
    void Adopt(int fd, const std::string& name) {
        Discard();
        fd_ = fd;
        name_ = name;
    }

    // Links the file in under `to`; refuses an existing `to` (EEXIST). Returns 0 or errno.
    int LinkTo(const std::string& to) {
        if (name_.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        }
        return ::link(name_.c_str(), to.c_str()) == 0 ? 0 : errno;
    }

    // Gives an unnamed file a temporary name beside the target, so it can be renamed.
    bool Name(const std::string& target) {
        if (!name_.empty())
            return true;
        static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            unsigned char random[kTemporarySuffixLength];
            if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
                return false;
            std::string name = target + kTemporaryInfix;
            for (unsigned char r : random)
                name += kChars[r % (sizeof kChars - 1)];
            const int err = LinkTo(name);
            if (err == 0) {
                name_ = name;
                return true;
            }
            if (err != EEXIST)
                return false;
        }
        return false;
    }

    // After a successful rename the name belongs to the target.
    void Release() { name_.clear(); }

    const std::string& name() const { return name_; }
    bool unnamed() const { return name_.empty(); }

    void Discard() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        if (!name_.empty())
            ::unlink(name_.c_str());
        name_.clear();
    }

private:
    int fd_ = -1;
    std::string name_;
};

bool IsTemporarySuffix(const std::string& name, size_t at) {
    if (name.size() != at + kTemporarySuffixLength)
        return false;
    for (size_t i = at; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// The temporary copies in a folder for which `matches` holds, a minute old or more.
template <typename Matches>
void SweepFolder(const std::string& folder, Matches matches) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = std::time(nullptr);
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (!matches(name))
            continue;
        const std::string path = JoinPath(folder, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (now - st.st_mtime < kStaleSeconds)
            continue;
        ::unlink(path.c_str());
    }
    ::closedir(dir);
}

}  // namespace

void SetWriteFaultHook(WriteFaultHook hook) {
    std::lock_guard lock(g_hookMutex);
    g_writeFault = std::move(hook);
}

bool IsWriteFaultInjected(const std::string& path) {
    return WriteFaultInjected(path);
}

void SetFileStepFaultForTesting(FileStepFault fault) {
    std::lock_guard lock(g_hookMutex);
    g_stepFault = std::move(fault);
}

void SweepStaleTemporaries(const std::string& target) {
    const std::string prefix = FileNamePart(target) + kTemporaryInfix;
    SweepFolder(FolderOf(target), [&](const std::string& name) {
        return name.compare(0, prefix.size(), prefix) == 0 && IsTemporarySuffix(name, prefix.size());
    });
}

void SweepStaleTemporariesIn(const std::string& folder) {
    SweepFolder(folder,
                [](const std::string& name) { return TemporaryCopyStemLength(name) != std::string::npos; });
}

size_t TemporaryCopyStemLength(const std::string& name) {
    const size_t infix = std::strlen(kTemporaryInfix);
    if (name.size() <= infix + kTemporarySuffixLength)
        return std::string::npos;
    const size_t at = name.size() - kTemporarySuffixLength - infix;
    if (name.compare(at, infix, kTemporaryInfix) != 0 || !IsTemporarySuffix(name, at + infix))
        return std::string::npos;
    return at;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, mode_t mode,
                     const WriteCheck& check) {
    if (path.empty() || IsDirectory(path))
        return false;
    SweepStaleTemporaries(path);
    const ContentWriter content = BytesWriter(bytes, check);
    Temporary tmp;
    if (!tmp.Open(path, mode, true) || !tmp.Fill(path, mode, content))
        return false;
    // The unnamed file needs a name of its own first: linking it straight over the target
    // would refuse the existing file. Where that fails, the bytes go into a named file.
    if (!tmp.Name(path) && (!tmp.Open(path, mode, false) || !tmp.Fill(path, mode, content)))
        return false;
    if (::rename(tmp.name().c_str(), path.c_str()) != 0)
        return false;
    tmp.Release();
    SyncFolder(FolderOf(path));
    return true;
}

namespace {

// Puts the filled temporary file in place as `path` without ever replacing a file. Returns 0,
// EEXIST when a file of that name is there, or the errno of the last step that failed.
int PlaceWithoutReplacing(Temporary& tmp, const std::string& path, mode_t mode, const ContentWriter& content,
                          std::string* failedSteps) {
    // 1. A hard link refuses an existing target, so a record appearing meanwhile stays.
    int err = StepFault(FileStep::HardLink, path);
    if (err == 0)
        err = tmp.LinkTo(path);
    if (err != 0 && err != EEXIST && tmp.unnamed()) {
        // Linking an unnamed file needs /proc; try once more from a named copy.
        if (!tmp.Open(path, mode, false) || !tmp.Fill(path, mode, content))
            return errno ? errno : EIO;
        err = StepFault(FileStep::HardLink, path);
        if (err == 0)
            err = tmp.LinkTo(path);
    }
    if (err == 0) {
        SyncFolder(FolderOf(path));
        return 0;
    }
    if (err == EEXIST)
        return EEXIST;
    AddFailure(failedSteps, StepText("hard link", err));

    // 2. File systems without hard links (FAT, some network shares): a rename that refuses
    // an existing target.
    err = StepFault(FileStep::RenameNoReplace, path);
    if (err == 0) {
        err = ::renameat2(AT_FDCWD, tmp.name().c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0
                  ? 0
                  : errno;
    }
    if (err == 0) {
        tmp.Release();
        SyncFolder(FolderOf(path));
        return 0;
    }
    if (err == EEXIST)
        return EEXIST;
    AddFailure(failedSteps, StepText("rename without replace", err));

    // 3. Last: create the final name exclusively and write into it. A failed write removes
    // the file this call created.
    err = StepFault(FileStep::ExclusiveOpen, path);
    int fd = -1;
    if (err == 0) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0)
            err = errno;
    }
    if (err == EEXIST)
        return EEXIST;
    if (err != 0) {
        AddFailure(failedSteps, StepText("exclusive open", err));
        return err;
    }
    errno = 0;
    bool ok = ::fchmod(fd, mode) == 0 && !WriteFaultInjected(path) && content(fd) && ::fsync(fd) == 0;
    err = errno ? errno : EIO;
    ok = (::close(fd) == 0) && ok;
    tmp.Discard();
    if (!ok) {
        ::unlink(path.c_str());
        AddFailure(failedSteps, "exclusive open: the write failed");
        return err;
    }
    SyncFolder(FolderOf(path));
    return 0;
}

}  // namespace

WriteResult CreateFileExclusive(const std::string& path, const std::string& bytes, mode_t mode,
                                const WriteCheck& check, std::string* failedSteps) {
    if (path.empty())
        return WriteResult::Failed;
    if (PathExists(path))
        return WriteResult::Exists;
    const ContentWriter content = BytesWriter(bytes, check);
    Temporary tmp;
    if (!tmp.Open(path, mode, true) || !tmp.Fill(path, mode, content))
        return WriteResult::Failed;
    switch (PlaceWithoutReplacing(tmp, path, mode, content, failedSteps)) {
        case 0:
            return WriteResult::Ok;
        case EEXIST:
            return WriteResult::Exists;
        default:
            return WriteResult::Failed;
    }
}

int PlaceFileExclusive(const std::string& temporary, const std::string& path, mode_t mode,
                       std::string* failedSteps) {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        ::unlink(temporary.c_str());
        return err;
    }
    Temporary tmp;
    tmp.Adopt(fd, temporary);  // removed when tmp goes, unless renamed into place
    if (path.empty())
        return ENOENT;
    if (::fchmod(fd, mode) != 0)  // the mode it lands with, whichever step places it
        return errno;
    return PlaceWithoutReplacing(tmp, path, mode, CopyWriter(fd), failedSteps);
}

WriteResult CreateFileUnsynced(const std::string& path, const std::string& bytes, mode_t mode) {
    if (path.empty())
        return WriteResult::Failed;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return errno == EEXIST ? WriteResult::Exists : WriteResult::Failed;
    bool ok = !WriteFaultInjected(path) && WriteAll(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(path.c_str());
        return WriteResult::Failed;
    }
    return WriteResult::Ok;
}

bool SyncFileSystem(const std::string& path) {
    if (WriteFaultInjected(path))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || WriteFaultInjected(to))
        return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        return false;
    SyncFolder(ParentFolder(to));
    return true;
}

bool FreeDiskBytes(const std::string& path, uint64_t& bytes) {
    struct statvfs st {};
    if (::statvfs(path.c_str(), &st) != 0)
        return false;
    bytes = static_cast<uint64_t>(st.f_bavail) * static_cast<uint64_t>(st.f_frsize);
    return true;
}

}  // namespace platform
