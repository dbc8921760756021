// The patient and exam dialogs (commands 14 and 16).
#pragma once

class IPatientDialogs {
public:
    virtual ~IPatientDialogs() = default;
    // Edits the current patient's record.
    virtual void SelectExam() {}
    // Picks or creates another patient; the implementation calls StartExam on the core.
    virtual void ChangePatient() {}
};
