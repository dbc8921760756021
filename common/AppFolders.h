// The program's folders and names: application data folder, settings file, archive root.
// The data root follows ProgramData when it is set, else the XDG data home.
#pragma once

#include <string>

// The product display name (titles, app_name of stored items, videos, the first log line).
std::string GetProductName();
// The product folder name under the vendor folder.
std::string GetProductFolderName();
// ".../Quarnet/Torvik Viewer CL", without a trailing '/'.
std::string GetAppDataFolder();
// GetAppDataFolder() + "/TorvikViewerCL.xml".
std::string GetConfigFilePath();
// GetAppDataFolder() + "/Data/": the archive root; ends with '/'.
std::string GetDataFolder();

// Forgets the kept folder paths (tests that move ProgramData between cases).
void ResetAppFoldersForTesting();
