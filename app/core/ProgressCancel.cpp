#include "app/core/ProgressCancel.h"

#include "common/SettingsStore.h"
#include "resources/StringTable.h"

bool ProgressShowsCancelButton() {
    return GetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, 1) != 1;
}

std::string ProgressCancelCaption() {
    return resources::LoadString(kStrProgressCancel);
}
