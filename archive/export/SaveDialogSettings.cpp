#include "archive/export/SaveDialogSettings.h"

#include <glib.h>

#include <cstdlib>

#include "common/SettingsStore.h"

namespace exportfile {

namespace {

SettingKey FolderKey(ExportCaller caller) {
    return caller == ExportCaller::Recorder ? SettingKeyTable::camera_outputfolder
                                            : SettingKeyTable::outputfolder;
}

SettingKey QualityKey(ExportCaller caller) {
    switch (caller) {
        case ExportCaller::Jpeg:
            return SettingKeyTable::jpeg_quality;
        case ExportCaller::Video:
            return SettingKeyTable::avi_quality;
        case ExportCaller::Recorder:
            return SettingKeyTable::camera_quality;
    }
    return SettingKeyTable::jpeg_quality;
}

}  // namespace

std::string UserDocumentsFolder() {
    const char* documents = g_get_user_special_dir(G_USER_DIRECTORY_DOCUMENTS);
    const char* home = std::getenv("HOME");
    return DocumentsFolder(documents ? documents : "", home ? home : g_get_home_dir());
}

SaveDialogStart ReadSaveDialogSettings(ExportCaller caller) {
    SaveDialogStart start;
    start.folder =
        ResolveOutputFolder(GetSettingText(SettingSectionApp, FolderKey(caller), ""), UserDocumentsFolder());
    start.storedWord = GetSettingText(SettingSectionApp, QualityKey(caller), kDefaultQualityWord);
    start.qualityIndex = InitialQualityIndex(caller, start.storedWord);
    if (caller == ExportCaller::Recorder)
        start.cameraPrev = GetSettingText(SettingSectionApp, SettingKeyTable::camera, "");
    return start;
}

bool WriteSaveDialogSettings(ExportCaller caller, const SaveDialogStart& start, const std::string& folder,
                             int qualityIndex, const std::string& camera) {
    bool saved = SetSettingText(SettingSectionApp, FolderKey(caller), folder);
    if (caller == ExportCaller::Recorder)
        saved = SetSettingText(SettingSectionApp, SettingKeyTable::camera, camera) && saved;
    saved = SetSettingText(SettingSectionApp, QualityKey(caller),
                           QualityWordAfterOk(caller, qualityIndex, start.storedWord)) &&
            saved;
    return saved;
}

}  // namespace exportfile
