// The recorder's caller of the export save dialog: "Recording" with the patient's id and
// name, the camera list in place of the time line (SyncView), the stored folder and camera
// preselected, the prefix "date_time_" and ".mp4" shown, no quality buttons (the stored
// word rides through unchanged, "SEL" included).
#pragma once

#include <functional>

#include "app/core/RecorderUi.h"

class CSaveJpegAvi;

// Runs the filled dialog; DoModal by default, tests script it.
using SaveDialogRun = std::function<int(CSaveJpegAvi&)>;

// kRecordingDialogOk with `result` filled, kRecordingDialogCancel, or kRecordingDialogNoCamera
// when the camera list was asked for and `request.cameras` is empty.
int RunRecordingSaveDialog(const RecordingDialogRequest& request, RecordingDialogResult& result,
                           const SaveDialogRun& run = {});
