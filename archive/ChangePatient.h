// The main window's change of patient without its windows: whether to ask before the
// selection dialog opens, and what the dialog's result means for the running exam.
#pragma once

#include <string>

// Results of the patient selection dialog.
inline constexpr int kPatientDialogOk = 1;       // a patient was chosen or created
inline constexpr int kPatientDialogEscape = 2;   // Esc or the window manager's close
inline constexpr int kPatientDialogExit = 1032;  // the Exit / Cancel button

// Before the dialog: unless a still and a cine were both stored since the last images were
// taken, asks "Change without saving". False when the user cancels the change.
bool ConfirmChangePatient(bool stillStored, bool cineStored);

enum class ChangePatientAction {
    None,       // keep the current exam
    StartExam,  // start an exam for the dialog's chosen patient
    Quit,       // the current patient is gone: end the program without asking
};

// After the dialog, given its result and what became of the current patient's id there
// (emptied when that patient was deleted). A deleted current patient ends the program after
// "Patient information was deleted." whether the dialog was left with Exit or with Esc: the
// window must not go on storing into a folder that is gone.
ChangePatientAction DecideChangePatient(int result, const std::string& currentIdAfterDialog);
