// The exam's patient: editing the current patient (command 14) and changing to another one
// (command 16). The dialogs run behind the patient-dialog port; the records are read and
// written here, so both commands work without a toolkit.
#include "app/core/KALVEXDlg.h"
#include "archive/ChangePatient.h"
#include "archive/ExamEditModel.h"
#include "archive/SelectExam.h"

using namespace maindlg;

void CKALVEXDlg::SelectExam() {
    ExamEditModel edit;
    edit.m_strEditId = m_strPatientId;
    if (!m_ports.patients->RunExamDialog(edit))
        return;
    // A record that does not load or cannot be written has been reported; the header stays.
    std::string name;
    if (!SaveExamEdit(m_strPatientId, edit, name))
        return;
    m_strPatientName = name;
    m_strPatientHeader = FormatPatientHeader(m_strPatientId, m_strPatientName);
    m_controls.SetText(IDC_HEADER, m_strPatientHeader);
}

void CKALVEXDlg::ChangePatient() {
    if (!ConfirmChangePatient(m_bStillStored, m_bCineStored))
        return;
    const PatientChoice choice = m_ports.patients->RunChangePatientDialog(m_strPatientId);
    switch (DecideChangePatient(choice.result, choice.currentId)) {
        case ChangePatientAction::StartExam:
            StartExam(choice.selId, choice.selName);
            break;
        case ChangePatientAction::Quit:
            // The patient's folder is gone: nothing is left to store, so quit without asking.
            m_bStillStored = m_bCineStored = true;
            m_bAskBeforeQuit = false;
            ExecCommand(kCmdQuit);
            break;
        case ChangePatientAction::None:
            break;
    }
}
