#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>

namespace platform {

namespace {

std::mutex g_hookMutex;
WriteFaultHook g_writeFault;

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes a complete temporary file beside the target; returns its path, or empty on failure.
std::string WriteTemporary(const std::string& path, const std::string& bytes, mode_t mode) {
    std::string tmpl = path + ".tmp.XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return {};
    bool ok = ::fchmod(fd, mode) == 0;
    ok = ok && !WriteFaultInjected(path) && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return {};
    }
    return tmpl;
}

}  // namespace

bool WriteFaultInjected(const std::string& path) {
    WriteFaultHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_writeFault;
    }
    return hook && hook(path);
}

void SetWriteFaultHook(WriteFaultHook hook) {
    std::lock_guard lock(g_hookMutex);
    g_writeFault = std::move(hook);
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, mode_t mode) {
    if (path.empty() || IsDirectory(path))
        return false;
    const std::string tmp = WriteTemporary(path, bytes, mode);
    if (tmp.empty())
        return false;
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    SyncFolder(ParentFolder(path));
    return true;
}

WriteResult CreateFileExclusive(const std::string& path, const std::string& bytes, mode_t mode) {
    if (path.empty())
        return WriteResult::Failed;
    if (PathExists(path))
        return WriteResult::Exists;
    const std::string tmp = WriteTemporary(path, bytes, mode);
    if (tmp.empty())
        return WriteResult::Failed;
    // link() refuses an existing target, so a record appearing meanwhile is never replaced.
    const int rc = ::link(tmp.c_str(), path.c_str());
    const int err = errno;
    ::unlink(tmp.c_str());
    if (rc != 0)
        return err == EEXIST ? WriteResult::Exists : WriteResult::Failed;
    SyncFolder(ParentFolder(path));
    return WriteResult::Ok;
}

bool ReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CreateDirectories(const std::string& path, mode_t mode) {
    if (path.empty())
        return false;
    if (IsDirectory(path))
        return true;
    std::string parent = ParentFolder(path);
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    if (!parent.empty() && parent != path && !CreateDirectories(parent, mode))
        return false;
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return false;
    return IsDirectory(path);
}

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    std::string out = folder;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    size_t start = 0;
    while (start < name.size() && name[start] == '/')
        ++start;
    if (out != "/")
        out += '/';
    return out + name.substr(start);
}

bool ListDirectory(const std::string& folder, std::vector<DirEntry>& entries) {
    entries.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        DirEntry entry;
        entry.name = name;
        struct stat st {};
        const std::string full = JoinPath(folder, name);
        if (::lstat(full.c_str(), &st) == 0) {
            entry.isSymlink = S_ISLNK(st.st_mode);
            entry.isDirectory = S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return true;
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
