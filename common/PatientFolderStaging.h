// A new patient's folder is put together under a name no patient id can have and renamed into
// place whole, so a process killed on the way never leaves a patient folder without its file.
// What such a kill leaves behind is swept when the patients are next listed.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

// Creates an empty private staging folder under the data root `root` (created when missing).
// Empty when it cannot be created.
std::string CreatePatientStagingFolder(const std::string& root);

// True for the names staging folders have; they are never patient ids.
bool IsPatientStagingName(const std::string& name);

// Removes, of `entries` (the listing of `root`), the staging folders that are a minute old or
// more, with what they hold; younger ones may belong to a New under way.
void SweepStalePatientStaging(const std::string& root, const std::vector<platform::DirEntry>& entries);
