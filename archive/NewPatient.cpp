#include "archive/NewPatient.h"

#include <unistd.h>

#include <cstdint>
#include <limits>

#include "archive/ArchiveStrings.h"
#include "archive/TextTemplate.h"
#include "common/AppFolders.h"
#include "common/PatientFolderStaging.h"
#include "common/User.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "platform/WriteFailure.h"

namespace {

constexpr uint64_t kSaturated = std::numeric_limits<uint64_t>::max();

// The leading decimal digits of a name, saturating instead of overflowing.
uint64_t LeadingNumber(const std::string& name) {
    uint64_t value = 0;
    for (const char c : name) {
        if (c < '0' || c > '9')
            break;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (value > (kSaturated - digit) / 10)
            return kSaturated;
        value = value * 10 + digit;
    }
    return value;
}

std::string FormatId(uint64_t value) {
    return platform::Format("%04llu", static_cast<unsigned long long>(value));
}

}  // namespace

std::optional<std::string> NextPatientId(const std::vector<platform::DirEntry>& listing,
                                         std::string* blockingName) {
    uint64_t largest = 0;
    std::string largestName;
    for (const platform::DirEntry& e : listing) {
        if (!e.isDirectory || e.isSymlink)
            continue;
        const uint64_t value = LeadingNumber(e.name);
        if (value > largest) {
            largest = value;
            largestName = e.name;
        }
    }
    if (largest == kSaturated) {
        if (blockingName)
            *blockingName = largestName;
        return std::nullopt;
    }
    return FormatId(largest + 1);
}

std::optional<NewPatient> CreateNewPatient(const PatientEntry& entry) {
    const std::string root = GetDataFolder();
    std::vector<platform::DirEntry> listing;
    platform::ListDirectory(root, listing);  // a missing root: the first patient creates it

    std::string blocking;
    std::optional<std::string> id = NextPatientId(listing, &blocking);
    // A plain file or a link may hold the name: take the next number after it.
    for (size_t tries = 0; id && platform::PathExists(root + *id) && tries <= listing.size(); ++tries) {
        const uint64_t value = LeadingNumber(*id);
        if (value == kSaturated - 1) {
            blocking = *id;
            id.reset();
        } else {
            id = FormatId(value + 1);
        }
    }
    if (!id || platform::PathExists(root + *id)) {
        platform::ShowMessageBox(
            FillTextTemplate(LoadArchiveText(archive_strings::kNoNewPatientId), {blocking, root}),
            GetProductName(), platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return std::nullopt;
    }

    CUser user;
    user.m_strId = *id;
    user.m_strName = entry.name;
    user.m_strSex = entry.sex;
    user.m_strBirthdate = entry.birthdate;
    user.m_strNote = entry.note;
    // The folder is filled under a staging name and renamed into place whole: a kill on the
    // way leaves no patient folder without its file, which would bring "File is not found."
    // at every later start.
    const std::string path = CUser::GetXmlPath(*id);
    const std::string staging = CreatePatientStagingFolder(root);
    const std::string stagedPath =
        staging.empty() ? std::string() : platform::JoinPath(staging, *id + ".xml");
    if (staging.empty() || !user.SaveXml(stagedPath) || !platform::RenameNoReplace(staging, root + *id)) {
        const std::string reason =
            WriteFailureText(platform::DiagnoseWriteFailure(staging.empty() ? path : stagedPath));
        if (!staging.empty()) {
            ::unlink(stagedPath.c_str());
            ::rmdir(staging.c_str());
        }
        platform::ShowMessageBox(
            FillTextTemplate(LoadArchiveText(archive_strings::kPatientFileNotWritten), {path, reason}),
            GetProductName(), platform::MsgIcon::Error, platform::MsgButtons::Ok);
        return std::nullopt;
    }
    return NewPatient{*id, entry.name};
}
