#include "archive/ChangePatient.h"

#include "archive/ArchiveStrings.h"
#include "common/AppFolders.h"
#include "platform/MessageBox.h"

bool ConfirmChangePatient(bool stillStored, bool cineStored) {
    if (stillStored && cineStored)
        return true;
    return platform::ShowMessageBox(LoadArchiveText(archive_strings::kChangeWithoutSaving), GetProductName(),
                                    platform::MsgIcon::Exclamation,
                                    platform::MsgButtons::OkCancel) == platform::MsgAnswer::Ok;
}

ChangePatientAction DecideChangePatient(int result, const std::string& currentIdAfterDialog) {
    if (result == kPatientDialogOk)
        return ChangePatientAction::StartExam;
    if (currentIdAfterDialog.empty() && (result == kPatientDialogExit || result == kPatientDialogEscape)) {
        platform::ShowMessageBox(LoadArchiveText(archive_strings::kPatientDeletedFinish), GetProductName(),
                                 platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return ChangePatientAction::Quit;
    }
    return ChangePatientAction::None;
}
