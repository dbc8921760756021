// The patient dialogs the main window runs (commands 14 and 16): they only collect the
// user's choice; the core saves the record and starts the exam. The default runs no dialog
// and changes nothing.
#pragma once

#include <string>

class ExamEditModel;

// What the patient selection dialog ended with, in its change-of-patient form.
struct PatientChoice {
    int result = 2;  // 1 a patient was chosen or created, 1032 Exit/Cancel, 2 Esc or close
    std::string selId;
    std::string selName;
    // The main window's patient after the dialog; emptied when it was deleted there.
    std::string currentId;
};

class IPatientDialogs {
public:
    virtual ~IPatientDialogs() = default;
    // The patient entry dialog for the patient `edit.m_strEditId`; true on OK, with the
    // entered values in `edit`.
    virtual bool RunExamDialog(ExamEditModel& /*edit*/) { return false; }
    // The patient selection dialog in its change-of-patient form.
    virtual PatientChoice RunChangePatientDialog(const std::string& currentId) {
        PatientChoice choice;
        choice.currentId = currentId;
        return choice;
    }
};
