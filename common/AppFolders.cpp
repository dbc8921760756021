#include "common/AppFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/FileSystem.h"
#include "resources/StringTable.h"

namespace {

std::mutex g_mutex;
std::string g_appDataFolder;
std::string g_configFilePath;
std::string g_dataFolder;

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

constexpr int kStringNoHomeFolder = 4901;

// The user's home folder: HOME, else the password database; empty when neither names an
// absolute folder. Never a shared folder such as /tmp, where others could reach patient data.
std::string HomeFolder() {
    const std::string home = EnvOrEmpty("HOME");
    if (!home.empty() && home[0] == '/')
        return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (!found || !found->pw_dir || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

// The folder that plays the part of ProgramData; empty when there is none.
std::string ProgramDataFolder() {
    std::string root = EnvOrEmpty("ProgramData");
    if (!root.empty()) return root;
    root = EnvOrEmpty("XDG_DATA_HOME");
    if (!root.empty() && root[0] == '/') return root;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : platform::JoinPath(home, ".local/share");
}

// The kept value while its path exists; recomputed otherwise (the folders may appear later).
std::string Kept(std::string& kept, std::string (*compute)()) {
    std::lock_guard lock(g_mutex);
    if (kept.empty() || !platform::PathExists(kept)) kept = compute();
    return kept;
}

std::string ComputeAppDataFolder() {
    const std::string programData = ProgramDataFolder();
    if (programData.empty())
        return {};
    return platform::JoinPath(platform::JoinPath(programData, "Quarnet"), GetProductFolderName());
}

std::string ComputeConfigFilePath() {
    const std::string folder = ComputeAppDataFolder();
    if (folder.empty())
        return {};
    std::string name = GetProductFolderName();
    std::erase(name, ' ');
    return platform::JoinPath(folder, name + ".xml");
}

std::string ComputeDataFolder() {
    const std::string folder = ComputeAppDataFolder();
    return folder.empty() ? folder : platform::JoinPath(folder, "Data") + "/";
}

}  // namespace

std::string GetProductName() { return "Helvo Viewer CL"; }
std::string GetProductFolderName() { return "Torvik Viewer CL"; }
std::string GetAppDataFolder() { return Kept(g_appDataFolder, ComputeAppDataFolder); }
std::string GetConfigFilePath() { return Kept(g_configFilePath, ComputeConfigFilePath); }
std::string GetDataFolder() { return Kept(g_dataFolder, ComputeDataFolder); }

std::optional<std::string> GetAppDataFolderProblem() {
    if (!ProgramDataFolder().empty())
        return std::nullopt;
    return resources::LoadString(kStringNoHomeFolder);
}

void ResetAppFoldersForTesting() {
    std::lock_guard lock(g_mutex);
    g_appDataFolder.clear();
    g_configFilePath.clear();
    g_dataFolder.clear();
}
