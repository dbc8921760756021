// Creating a new patient from the entry dialog's values: the next free id after the largest
// number that starts a folder name under the data root, and the patient file written into a
// staging folder renamed to that id. Nothing is left behind when the write fails, and a kill
// leaves no folder without its patient file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/ExamEditModel.h"
#include "platform/FileSystem.h"

// The id New gives after the folders of a sorted listing of the data root: the largest
// number formed by the leading digits of a folder name (0 when none), plus one, with at
// least four digits. Plain files and links do not count. Empty when no next id can be
// formed (a folder already holds the largest number); `blockingName` then names it.
std::optional<std::string> NextPatientId(const std::vector<platform::DirEntry>& listing,
                                         std::string* blockingName = nullptr);

struct NewPatient {
    std::string id;
    std::string name;
};

// New: finds the next id, skipping a name that something other than a folder already holds,
// and writes the patient file of the entry there. On failure shows one message (the folder
// that blocks the id, or the file and the reason it could not be written), removes what it
// created, and returns nothing: the dialog stays open.
std::optional<NewPatient> CreateNewPatient(const PatientEntry& entry);
