// The recorder's windows over the main frame: the "Recording" save dialog, the "SEL"
// compressor chooser, the camera preview, the
// maximise guard, the "Encoding" progress window and the image area's render.
#pragma once

#include <functional>
#include <memory>

#include <wx/frame.h>

#include "app/CameraPreviewWindow.h"
#include "app/core/RecorderUi.h"

class CKALVEXDlg;
class CProgressDlg;

// The dialog the recorder runs: the export save dialog by default; tests replace it.
using RecordingDialogFn = std::function<int(wxWindow* parent, const RecordingDialogRequest& request,
                                            RecordingDialogResult& result)>;
// The compressor of a "SEL" recording: the export's chooser by default; false when cancelled.
using CompressorChooserFn = std::function<bool(exportfile::VideoCodecChoice& choice)>;

class CWxRecorderUi : public IRecorderUi {
public:
    CWxRecorderUi(wxFrame* frame, wxWindow* client);
    ~CWxRecorderUi() override;
    void Attach(CKALVEXDlg* dlg) { m_pDlg = dlg; }

    RecordingDialogFn dialog;
    CompressorChooserFn compressorChooser;
    // The image area's render; by default the main view's back buffer with its body mark.
    std::function<Image32()> renderImageArea;

    int RunRecordingDialog(const RecordingDialogRequest& request, RecordingDialogResult& result) override;
    bool ChooseCompressor(exportfile::VideoCodecChoice& choice) override;
    recorder::ICameraPreviewHost* PreviewHost() override { return &m_preview; }
    void SetMaximiseAllowed(bool allowed) override;
    int Enlargement() const override;
    void BeginEncoding() override;
    void EncodingProgress(int percent) override;
    void EndEncoding() override;
    Image32 RenderImageArea() override;
    Image32 CaptionIcon() override;

    bool MaximiseAllowed() const { return m_bMaximiseAllowed; }
    // The frame's maximise notice: undone while a recording runs. True when undone.
    bool UndoMaximiseWhileRecording();
    int MaximisesUndone() const { return m_nMaximisesUndone; }
    // How many "Encoding" windows were on the display while their recording was encoded.
    int EncodingWindowsSeen() const { return m_nEncodingWindowsSeen; }
    CCameraPreviewHost& Preview() { return m_preview; }

private:
    void OnCloseWhileEncoding(wxCloseEvent& event);

    wxFrame* m_pFrame;
    wxWindow* m_pClient;
    CKALVEXDlg* m_pDlg = nullptr;
    CCameraPreviewHost m_preview;
    CProgressDlg* m_pProgress = nullptr;
    int m_nShownPercent = 0;
    bool m_bCloseDeferred = false;
    bool m_bMaximiseAllowed = true;
    int m_nMaximisesUndone = 0;
    int m_nEncodingWindowsSeen = 0;
    bool m_bEncodingSeen = false;
    Image32 m_icon;
};
