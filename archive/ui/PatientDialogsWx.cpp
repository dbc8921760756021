#include "archive/ui/PatientDialogsWx.h"

#include "archive/ui/ExamDlg.h"
#include "archive/ui/StartupDlg.h"

bool CPatientDialogsWx::RunExamDialog(ExamEditModel& edit) {
    CExamDlg dialog(edit, m_pParent);
    return dialog.DoModal() == 1;
}

PatientChoice CPatientDialogsWx::RunChangePatientDialog(const std::string& currentId) {
    CStartupDlg dialog(currentId, m_pParent);
    PatientChoice choice;
    choice.result = dialog.DoModal();
    choice.selId = dialog.SelId();
    choice.selName = dialog.SelName();
    choice.currentId = dialog.CurrentId();
    return choice;
}
