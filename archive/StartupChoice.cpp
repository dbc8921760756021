#include "archive/StartupChoice.h"

#include <cerrno>
#include <cstring>

#include "archive/ArchiveStrings.h"
#include "archive/TextTemplate.h"
#include "common/AppFolders.h"
#include "common/PatientId.h"
#include "common/UserList.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/WriteFailure.h"

bool EnsureDataRoot() {
    const std::string root = GetDataFolder();
    errno = 0;
    if (platform::CreateDirectories(root, platform::kPrivateDirMode))
        return true;
    const int error = errno;
    // The usual cause: something that is not a folder stands where a folder must be.
    std::string blocker = root;
    while (blocker.size() > 1 && blocker.back() == '/')
        blocker.pop_back();
    while (!blocker.empty() && blocker != "/" && !platform::PathExists(blocker))
        blocker = platform::ParentFolder(blocker);
    std::string reasonText;
    if (!blocker.empty() && !platform::IsDirectory(blocker)) {
        reasonText = std::string(std::strerror(ENOTDIR)) + ": " + blocker;
    } else {
        const platform::WriteFailureReason reason = platform::WriteFailureFromErrno(error);
        reasonText = reason == platform::WriteFailureReason::Other && error != 0 ? std::strerror(error)
                                                                                 : WriteFailureText(reason);
    }
    platform::ShowMessageBox(
        FillTextTemplate(LoadArchiveText(archive_strings::kDataFolderNotCreated), {root, reasonText}),
        GetProductName(), platform::MsgIcon::Error, platform::MsgButtons::Ok);
    return false;
}

bool PatientFromCommandLine(const std::vector<std::string>& args, CUser& user) {
    user.Clear();
    if (args.size() != 1 || !IsValidPatientId(args[0]))
        return false;
    return user.Load(args[0]);
}

bool OpenFromCommandLine(const std::vector<std::string>& args, CUser& user) {
    if (!PatientFromCommandLine(args, user))
        return false;
    CUserList users;
    users.LoadAll();
    return true;
}
