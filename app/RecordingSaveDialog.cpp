#include "app/RecordingSaveDialog.h"

#include "archive/export/ui/SaveJpegAvi.h"

int RunRecordingSaveDialog(const RecordingDialogRequest& request, RecordingDialogResult& result,
                           const SaveDialogRun& run) {
    // No parent, as every caller of this dialog: it stays modal over the whole program.
    CSaveJpegAvi dialog(request.title, nullptr, [&request] { return request.cameras; });
    dialog.m_strIdText = request.patientId;
    dialog.m_strNameText = request.patientName;
    dialog.m_strTimeText.clear();
    dialog.m_strFilePrefix = "date_time_";  // shown only: the recorder names its files itself
    dialog.m_strFileName.clear();
    dialog.m_strFileExt = ".mp4";
    dialog.m_bShowQuality = false;
    dialog.m_bCameraList = request.withCamera;
    dialog.m_strCameraPrev = request.camera;
    dialog.m_strOutputFolder = request.folder;
    dialog.m_nQuality = request.quality;

    const int answer = run ? run(dialog) : dialog.DoModal();
    if (answer == CSaveJpegAvi::kNoCamera)
        return kRecordingDialogNoCamera;
    if (answer != wxID_OK)
        return kRecordingDialogCancel;
    result.folder = dialog.m_strOutputFolder;
    result.fileName = dialog.m_strFileName;
    result.camera = request.withCamera ? dialog.m_strCamera : std::string();
    result.quality = dialog.m_nQuality;
    return kRecordingDialogOk;
}
