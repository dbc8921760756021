// The main window's recorder operations behind IRecorder: SyncView on and off (button 1048),
// REC while live (command 12), the end of a recording by REC, the 30-second limit or a
// freeze, the preview's place, and the image area handed to a running recording after each
// drawn frame. It owns g_pCaptureRecorder.
#pragma once

#include <functional>

#include "app/core/CaptureRecorder.h"
#include "app/core/ILivePanel.h"
#include "app/core/IRecorder.h"
#include "app/core/RecorderUi.h"
#include "archive/recorder/CaptionBlock.h"

class CKALVEXDlg;
class CImageProc;

// The caption's values from the live processor: depth by the main window's one depth
// function, gain and contrast.
recorder::CaptionValues CaptionValuesOf(const CImageProc& proc);

class CRecorderPort : public IRecorder {
public:
    using RecorderFactory = std::function<CCaptureRecorder*(IRecorderUi& ui)>;

    explicit CRecorderPort(IRecorderUi& ui, RecorderFactory factory = {});
    ~CRecorderPort() override;
    // The main dialog and its live panel, once both exist.
    void Attach(CKALVEXDlg* dlg, ILivePanel* live) {
        m_pDlg = dlg;
        m_pLive = live;
    }

    // IRecorder
    void ToggleRecord() override;
    void ToggleCamera() override;
    bool Exists() const override { return g_pCaptureRecorder != nullptr; }
    int State() const override;
    int64_t StartMicros() const override;
    bool HasCamera() const override;
    bool HasVideoWindow() const override;
    void ShowPreview(bool show) override;
    void MoveSyncViewWindow() override;
    void Stop() override;
    void Delete() override;
    void OnFrameDrawn() override;

    // How the last recording ended (frames written, gaps, problems).
    const recorder::FinishOutcome& LastFinish() const { return m_lastFinish; }

    // The image area into the running recording (and the caption when its values changed).
    void CaptureViewToRecorderFrame();

private:
    CCaptureRecorder* NewRecorder();
    void BeginRecording();
    void EndRecording();
    void DeleteRecorder();
    void ReportFinish(const recorder::FinishOutcome& outcome);

    IRecorderUi& m_ui;
    RecorderFactory m_factory;
    CKALVEXDlg* m_pDlg = nullptr;
    ILivePanel* m_pLive = nullptr;
    bool m_bDeletePending = false;
    recorder::FinishOutcome m_lastFinish;  // a delete asked for while Stop was on the stack
};
