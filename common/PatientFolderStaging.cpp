#include "common/PatientFolderStaging.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "platform/FileSystem.h"

namespace {

// ".." in the name keeps it out of the patient ids.
constexpr char kStagingPrefix[] = "..new-patient.";
constexpr size_t kStagingSuffixLength = 6;  // mkdtemp's XXXXXX
constexpr time_t kStaleSeconds = 60;

// Removes a staging folder and the plain files in it (the patient file and its temporaries);
// anything else in it stays, and so does the folder then.
void RemoveStagingFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    for (const std::string& name : names)
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    ::closedir(dir);
    ::rmdir(folder.c_str());
}

}  // namespace

std::string CreatePatientStagingFolder(const std::string& root) {
    if (!platform::CreateDirectories(root))
        return {};
    std::string path = platform::JoinPath(root, std::string(kStagingPrefix) + "XXXXXX");
    if (!::mkdtemp(path.data()))  // mode 0700
        return {};
    return path;
}

bool IsPatientStagingName(const std::string& name) {
    const size_t prefix = sizeof(kStagingPrefix) - 1;
    return name.size() == prefix + kStagingSuffixLength && name.compare(0, prefix, kStagingPrefix) == 0;
}

void SweepStalePatientStaging(const std::string& root, const std::vector<platform::DirEntry>& entries) {
    const time_t now = std::time(nullptr);
    for (const platform::DirEntry& e : entries) {
        if (!IsPatientStagingName(e.name) || !e.isDirectory || e.isSymlink)
            continue;
        const std::string path = platform::JoinPath(root, e.name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || now - st.st_mtime < kStaleSeconds)
            continue;
        RemoveStagingFolder(path);
    }
}
