// The start-up decisions that need no window: creating the data root, and the patient a
// command line names.
#pragma once

#include <string>
#include <vector>

#include "common/User.h"

// Creates the data root (GetDataFolder, private, with its parents). When it cannot be
// created, one message names the folder and the reason; start-up goes on. True when it exists.
bool EnsureDataRoot();

// The patient to open at once: exactly one argument (the program name not counted) that is
// a valid patient id and whose patient file loads. An argument that is no valid id is never
// used as a path. False, without a message, otherwise: the selection dialog is then shown.
bool PatientFromCommandLine(const std::vector<std::string>& args, CUser& user);
// PatientFromCommandLine, and when it names a patient, the patient list's load for its
// messages about patient folders that do not load, as the selection dialog would show them
// before opening the patient. When it names none, nothing is loaded or shown: the selection
// dialog's own load shows those messages, once.
bool OpenFromCommandLine(const std::vector<std::string>& args, CUser& user);
