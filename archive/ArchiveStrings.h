// Ids of the texts the patient dialogs and the exam show (resources/strings/archive.inc),
// and the one place their messages are put together.
#pragma once

#include <string>

#include "platform/WriteFailure.h"

namespace archive_strings {

inline constexpr int kId = 102;
inline constexpr int kName = 103;
inline constexpr int kBirthdate = 104;
inline constexpr int kNew = 108;
inline constexpr int kSex = 110;
inline constexpr int kMale = 111;
inline constexpr int kFemale = 112;
inline constexpr int kNote = 113;
inline constexpr int kPatient = 120;
inline constexpr int kExit = 136;
inline constexpr int kMayIDeleteIt = 183;
inline constexpr int kCancel = 210;
inline constexpr int kPatientDeletedFinish = 211;
inline constexpr int kOk = 214;
inline constexpr int kChangeWithoutSaving = 232;
inline constexpr int kDataNotChosen = 235;
inline constexpr int kDiscardChanges = 236;
inline constexpr int kFileNotFound = 239;
inline constexpr int kNameNotInput = 249;
inline constexpr int kSaved = 260;
inline constexpr int kBirthdateSearch = 272;
inline constexpr int kIdSearch = 296;
inline constexpr int kNameSearch = 307;
inline constexpr int kPatientHeader = 345;

// Our own messages.
inline constexpr int kPatientFileNotWritten = 60101;
inline constexpr int kNoNewPatientId = 60102;
inline constexpr int kTrashFailed = 60103;
inline constexpr int kDataFolderNotCreated = 60104;
inline constexpr int kPatientEditNotSaved = 60105;
inline constexpr int kReasonDiskFull = 60110;
inline constexpr int kReasonReadOnly = 60111;
inline constexpr int kReasonPermissionDenied = 60112;
inline constexpr int kReasonNotWritten = 60113;

}  // namespace archive_strings

// A text of the table with its CR LF line ends turned into LF (GTK shows a CR as a box).
std::string LoadArchiveText(int id);

// The reason of a failed write, for a message.
std::string WriteFailureText(platform::WriteFailureReason reason);
