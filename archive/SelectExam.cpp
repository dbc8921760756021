#include "archive/SelectExam.h"

#include "archive/ArchiveStrings.h"
#include "archive/TextTemplate.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/PatientId.h"
#include "common/User.h"
#include "platform/MessageBox.h"
#include "platform/WriteFailure.h"

std::string FormatPatientHeader(const std::string& id, const std::string& name) {
    return FillTextTemplate(LoadArchiveText(archive_strings::kPatientHeader), {id, name});
}

bool SaveExamEdit(const std::string& patientId, const ExamEditModel& edit, std::string& newName) {
    CUser user;
    if (!IsValidPatientId(patientId) || !user.Load(patientId)) {
        platform::ShowMessageBox(LoadArchiveText(archive_strings::kFileNotFound), GetProductName(),
                                 platform::MsgIcon::None, platform::MsgButtons::Ok);
        return false;
    }
    edit.ApplyTo(user);
    const std::string path = CUser::GetXmlPath(patientId);
    if (!user.SaveXml(path)) {
        platform::ShowMessageBox(
            FillTextTemplate(LoadArchiveText(archive_strings::kPatientEditNotSaved),
                             {path, WriteFailureText(platform::DiagnoseWriteFailure(path))}),
            LoadArchiveText(archive_strings::kPatient), platform::MsgIcon::Error, platform::MsgButtons::Ok);
        return false;
    }
    newName = user.m_strName;
    const std::string summary = "ID:" + user.m_strId + "\n" + "Name:" + user.m_strName + "\n" +
                                "Sex:" + user.m_strSex + "\n" + "Birth:" + user.m_strBirthdateText + "\n" +
                                "Note:" + user.m_strNote + "\n";
    platform::ShowMessageBox(FillTextTemplate(LoadArchiveText(archive_strings::kSaved), {summary}),
                             LoadArchiveText(archive_strings::kPatient), platform::MsgIcon::None,
                             platform::MsgButtons::Ok);
    return true;
}
