#include "archive/ui/PatientDialogPlacement.h"

#include <wx/display.h>
#include <wx/toplevel.h>

#include "common/SettingKeys.h"
#include "common/SettingsStore.h"

int PatientDialogLeft(int workAreaRight, int windowRight) {
    // Integer division toward zero, as C++ divides.
    return (workAreaRight - windowRight) / 2;
}

void PlacePatientDialog(wxTopLevelWindow* dialog) {
    if (GetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, 1) == 1)
        return;
    const int index = wxDisplay::GetFromWindow(dialog);
    const wxRect work = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
    const wxRect rect = dialog->GetRect();
    dialog->Move(PatientDialogLeft(work.x + work.width, rect.x + rect.width), 0);
}
