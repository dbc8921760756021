#include "app/core/VersionInfo.h"

#include "common/AppFolders.h"
#include "platform/StringUtil.h"

std::string FormatFileVersion(int major, int minor, int third, int fourth) {
    if (fourth == 0)
        return platform::Format("%d.%d.%d", major, minor, third);
    return platform::Format("%d.%d.%d_beta%02d", major, minor, third, fourth);
}

std::string GetFileVersionString() {
    return FormatFileVersion(TORVIK_VERSION_MAJOR, TORVIK_VERSION_MINOR, TORVIK_VERSION_PATCH,
                             TORVIK_VERSION_TWEAK + 0);
}

std::string GetAppTitle() {
    return platform::Format("%s Ver%s", GetProductName().c_str(), GetFileVersionString().c_str());
}
