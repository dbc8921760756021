#include "app/WxRecorderUi.h"

#include <wx/evtloop.h>
#include <wx/time.h>
#include <wx/utils.h>
#include <algorithm>

#include "app/IconLoader.h"
#include "app/ProgressDlg.h"
#include "app/RecordingSaveDialog.h"
#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainDialogIds.h"
#include "archive/export/ui/CompressorChooser.h"
#include "resources/StringTable.h"

CWxRecorderUi::CWxRecorderUi(wxFrame* frame, wxWindow* client)
    : dialog([](wxWindow*, const RecordingDialogRequest& request, RecordingDialogResult& result) {
          return RunRecordingSaveDialog(request, result);
      }),
      compressorChooser([](exportfile::VideoCodecChoice& choice) {
          const auto chosen = ChooseCompressorDialog();
          if (chosen)
              choice = *chosen;
          return chosen.has_value();
      }),
      m_pFrame(frame),
      m_pClient(client),
      m_preview(client) {}

CWxRecorderUi::~CWxRecorderUi() {
    EndEncoding();
}

int CWxRecorderUi::RunRecordingDialog(const RecordingDialogRequest& request, RecordingDialogResult& result) {
    return dialog ? dialog(m_pFrame, request, result) : kRecordingDialogCancel;
}

bool CWxRecorderUi::ChooseCompressor(exportfile::VideoCodecChoice& choice) {
    return compressorChooser && compressorChooser(choice);
}

void CWxRecorderUi::SetMaximiseAllowed(bool allowed) {
    m_bMaximiseAllowed = allowed;
    // GTK cannot take the maximise box away alone: a maximise during a recording is undone.
    if (!allowed && m_pFrame->IsMaximized())
        m_pFrame->Maximize(false);
}

bool CWxRecorderUi::UndoMaximiseWhileRecording() {
    if (m_bMaximiseAllowed)
        return false;
    ++m_nMaximisesUndone;
    wxFrame* frame = m_pFrame;
    frame->CallAfter([frame] { frame->Maximize(false); });
    return true;
}

int CWxRecorderUi::Enlargement() const {
    return m_pDlg ? m_pDlg->m_nEnlargement : 0;
}

namespace {

// Lets the window system map and paint the "Encoding" window: only drawing and layout
// events, no input and nothing posted, so nothing re-enters the stop that shows it.
void DrawPendingWindows() {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
        loop->YieldFor(wxEVT_CATEGORY_UI);
}

}  // namespace

void CWxRecorderUi::BeginEncoding() {
    wxBeginBusyCursor();
    // A close asked for while the recording is encoded waits for the end of it.
    m_bCloseDeferred = false;
    m_pFrame->Bind(wxEVT_CLOSE_WINDOW, &CWxRecorderUi::OnCloseWhileEncoding, this);
    m_pProgress = new CProgressDlg();
    m_pProgress->Create(m_pFrame);
    m_pProgress->CentreOnParent();
    m_pProgress->m_ctlCaption->SetLabel(wxString::FromUTF8(resources::LoadString(kStrEncoding)));
    m_pProgress->m_ctlProgress->SetValue(0);
    m_pProgress->ShowDrawn();
    m_nShownPercent = 0;
    m_bEncodingSeen = m_pProgress->Painted();
}

void CWxRecorderUi::EncodingProgress(int percent) {
    if (!m_pProgress)
        return;
    percent = std::clamp(percent, 0, 100);
    if (percent == m_nShownPercent)
        return;
    m_nShownPercent = percent;
    m_pProgress->m_ctlProgress->SetValue(percent);
    DrawPendingWindows();
    m_pProgress->Update();
    m_bEncodingSeen = m_bEncodingSeen || m_pProgress->IsShownOnScreen();
}

void CWxRecorderUi::EndEncoding() {
    if (!m_pProgress)
        return;
    if (m_bEncodingSeen || m_pProgress->IsShownOnScreen())
        ++m_nEncodingWindowsSeen;
    m_pProgress->Destroy();
    m_pProgress = nullptr;
    wxEndBusyCursor();
    m_pFrame->Unbind(wxEVT_CLOSE_WINDOW, &CWxRecorderUi::OnCloseWhileEncoding, this);
    if (m_bCloseDeferred) {
        m_bCloseDeferred = false;
        wxFrame* frame = m_pFrame;
        frame->CallAfter([frame] { frame->Close(); });
    }
}

void CWxRecorderUi::OnCloseWhileEncoding(wxCloseEvent& event) {
    if (m_pProgress && event.CanVeto()) {
        m_bCloseDeferred = true;
        event.Veto();
        return;
    }
    event.Skip();
}

Image32 CWxRecorderUi::RenderImageArea() {
    if (renderImageArea)
        return renderImageArea();
    if (!m_pDlg)
        return {};
    const CCstmPictureCtrl& view = m_pDlg->View(maindlg::kViewMain);
    Image32 image = view.BackBuffer();
    view.DrawBodyMark(image);
    return image;
}

Image32 CWxRecorderUi::CaptionIcon() {
    if (m_icon.empty())
        m_icon = LoadIcon(90, 32, 32);
    return m_icon;
}
