#include "common/AppFolders.h"

#include <cstdlib>
#include <mutex>

#include "platform/FileSystem.h"

namespace {

std::mutex g_mutex;
std::string g_appDataFolder;
std::string g_configFilePath;
std::string g_dataFolder;

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// The folder that plays the part of ProgramData.
std::string ProgramDataFolder() {
    std::string root = EnvOrEmpty("ProgramData");
    if (!root.empty()) return root;
    root = EnvOrEmpty("XDG_DATA_HOME");
    if (!root.empty() && root[0] == '/') return root;
    const std::string home = EnvOrEmpty("HOME");
    return platform::JoinPath(home.empty() ? "/tmp" : home, ".local/share");
}

// The kept value while its path exists; recomputed otherwise (the folders may appear later).
std::string Kept(std::string& kept, std::string (*compute)()) {
    std::lock_guard lock(g_mutex);
    if (kept.empty() || !platform::PathExists(kept)) kept = compute();
    return kept;
}

std::string ComputeAppDataFolder() {
    return platform::JoinPath(platform::JoinPath(ProgramDataFolder(), "Quarnet"), GetProductFolderName());
}

std::string ComputeConfigFilePath() {
    std::string name = GetProductFolderName();
    std::erase(name, ' ');
    return platform::JoinPath(ComputeAppDataFolder(), name + ".xml");
}

std::string ComputeDataFolder() { return platform::JoinPath(ComputeAppDataFolder(), "Data") + "/"; }

}  // namespace

std::string GetProductName() { return "Helvo Viewer CL"; }
std::string GetProductFolderName() { return "Torvik Viewer CL"; }
std::string GetAppDataFolder() { return Kept(g_appDataFolder, ComputeAppDataFolder); }
std::string GetConfigFilePath() { return Kept(g_configFilePath, ComputeConfigFilePath); }
std::string GetDataFolder() { return Kept(g_dataFolder, ComputeDataFolder); }

void ResetAppFoldersForTesting() {
    std::lock_guard lock(g_mutex);
    g_appDataFolder.clear();
    g_configFilePath.clear();
    g_dataFolder.clear();
}
