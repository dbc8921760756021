// The settings the save dialog's three callers share, read before the dialog and written
// back only after OK: the output folder (the Documents folder when the stored one is missing
// or is not a folder), the quality word and, for the recorder, the camera.
#pragma once

#include <string>

#include "archive/export/ExportSettings.h"

namespace exportfile {

struct SaveDialogStart {
    std::string folder;      // the folder the dialog offers, ending in '/'
    std::string storedWord;  // the quality word as read ("LOW" when none is stored)
    int qualityIndex = kQualityNone;
    std::string cameraPrev;  // recorder: the "camera" setting
};

// The user's Documents folder: the XDG documents folder when the desktop names an existing
// one, else $HOME; ending in '/'.
std::string UserDocumentsFolder();

SaveDialogStart ReadSaveDialogSettings(ExportCaller caller);

// After OK, in this order: the folder key, "camera" (recorder only), the quality key (the
// word read when the index is none the caller maps). True when every write was saved.
bool WriteSaveDialogSettings(ExportCaller caller, const SaveDialogStart& start, const std::string& folder,
                             int qualityIndex, const std::string& camera = {});

}  // namespace exportfile
