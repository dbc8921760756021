#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace platform {

bool ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    // Non-blocking: opening a FIFO for reading would otherwise wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uintmax_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return false;
    }
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<size_t>(n) > maxBytes) {  // grew while being read
            ::close(fd);
            bytes.clear();
            return false;
        }
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool PathExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CreateDirectories(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    if (IsDirectory(path)) return true;
    std::string parent = ParentFolder(path);
    while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
    if (!parent.empty() && parent != path && !CreateDirectories(parent, mode)) return false;
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return false;
    return IsDirectory(path);
}

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    std::string out = folder;
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    size_t start = 0;
    while (start < name.size() && name[start] == '/') ++start;
    if (out != "/") out += '/';
    return out + name.substr(start);
}

bool ListDirectory(const std::string& folder, std::vector<DirEntry>& entries) {
    entries.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        DirEntry entry;
        entry.name = name;
        struct stat st{};
        const std::string full = JoinPath(folder, name);
        if (::lstat(full.c_str(), &st) == 0) {
            entry.isSymlink = S_ISLNK(st.st_mode);
            entry.isDirectory = S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return true;
}

}  // namespace platform
