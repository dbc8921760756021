// What the SyncView recorder needs from the windows: the "Recording" save dialog, the
// compressor chooser of a "SEL" recording, the camera preview, the maximise box, the
// "Encoding" progress window and the image area's render. The wx frame implements it; tests
// fake it.
#pragma once

#include <string>
#include <vector>

#include "archive/export/VideoFileWriter.h"
#include "archive/recorder/CameraCapture.h"
#include "platform/Image.h"

struct RecordingDialogRequest {
    std::string title;  // "Recording"
    std::string patientId;
    std::string patientName;
    bool withCamera = false;
    std::vector<std::string> cameras;  // shown only with a camera
    std::string camera;                // preselected ("camera" setting)
    std::string folder;                // "camera_outputfolder", resolved
    int quality = 0;                   // from "camera_quality"; "SEL" is 3
};

struct RecordingDialogResult {
    std::string folder;
    std::string fileName;  // the free part of the name
    std::string camera;    // empty without the camera list
    int quality = 0;
};

enum RecordingDialogAnswer : int {
    kRecordingDialogNoCamera = -1,
    kRecordingDialogCancel = 0,
    kRecordingDialogOk = 1
};

class IRecorderUi {
public:
    virtual ~IRecorderUi() = default;
    virtual int RunRecordingDialog(const RecordingDialogRequest& request, RecordingDialogResult& result) = 0;
    // The compressor of a "SEL" recording; false when cancelled.
    virtual bool ChooseCompressor(exportfile::VideoCodecChoice& choice) = 0;
    virtual recorder::ICameraPreviewHost* PreviewHost() = 0;
    // While false a maximise of the main window is undone (a recording runs).
    virtual void SetMaximiseAllowed(bool allowed) = 0;
    // The window-enlargement value of a maximised window (0 otherwise).
    virtual int Enlargement() const = 0;
    virtual void BeginEncoding() = 0;  // "Encoding", under the wait cursor
    virtual void EncodingProgress(int percent) = 0;
    virtual void EndEncoding() = 0;
    // The 480 x 480 render of the main image area, body mark included.
    virtual Image32 RenderImageArea() = 0;
    // The program's icon at 32 x 32 for the caption block.
    virtual Image32 CaptionIcon() = 0;
};
