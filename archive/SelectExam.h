// Saving the main window's patient after the entry dialog, and the header line that names
// the exam's patient.
#pragma once

#include <string>

#include "archive/ExamEditModel.h"

// "ID: <id>  Name: <name>".
std::string FormatPatientHeader(const std::string& id, const std::string& name);

// After OK in the entry dialog: reloads the patient, applies the edit and writes the patient
// file; LMP, BBT and the last stored-item id stay as stored. On success shows the "saved"
// summary and returns true with the new name. A file that no longer loads ("File is not
// found.") or cannot be written (the file and the reason) gives one message and false,
// and the file stays as it was.
bool SaveExamEdit(const std::string& patientId, const ExamEditModel& edit, std::string& newName);
