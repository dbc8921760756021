// The program's folders and names: application data folder, settings file, archive root.
// The data root follows ProgramData when it is set, else the XDG data home, else
// ~/.local/share with the home folder from HOME or the password database.
#pragma once

#include <optional>
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

// The folders above are empty when no home folder is known (no ProgramData, no absolute
// XDG_DATA_HOME, no HOME, none in the password database): patient data then has no private
// place, and the program must not start. This gives the message to show, or nothing when
// the folders are known.
std::optional<std::string> GetAppDataFolderProblem();

// Forgets the kept folder paths (tests that move ProgramData between cases).
void ResetAppFoldersForTesting();
