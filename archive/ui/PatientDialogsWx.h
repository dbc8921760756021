// The main window's patient dialogs on the display: the entry dialog for command 14 and the
// selection dialog in its change-of-patient form for command 16.
#pragma once

#include "app/core/IPatientDialogs.h"

class wxWindow;

class CPatientDialogsWx : public IPatientDialogs {
public:
    explicit CPatientDialogsWx(wxWindow* parent) : m_pParent(parent) {}

    bool RunExamDialog(ExamEditModel& edit) override;
    PatientChoice RunChangePatientDialog(const std::string& currentId) override;

private:
    wxWindow* m_pParent;
};
