// The check every patient id passes before it names anything on disk. A patient id is the
// name of the patient's folder under the data root and of the patient file in it, so an id
// that could climb out of the archive or name no file is refused wherever ids enter: the
// records, the patient list, the command line and the patient dialogs.
#pragma once

#include <string>

// True when the id can name a patient folder: not empty, valid UTF-8, no '/' or '\',
// no "..", not ".", no control characters, and short enough for the patient file name.
bool IsValidPatientId(const std::string& id);
