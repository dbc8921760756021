#include "app/ExportPort.h"

#include <wx/app.h>

#include <wx/utils.h>
#include <wx/window.h>
#include <algorithm>
#include <climits>

#include "app/BusyWindowLock.h"
#include "app/ProgressDlg.h"
#include "archive/export/JpegExport.h"
#include "archive/export/SaveDialogSettings.h"
#include "archive/export/VideoExport.h"
#include "archive/export/VideoResampler.h"
#include "archive/export/ui/CompressorChooser.h"
#include "archive/export/ui/SaveJpegAvi.h"
#include "common/AppFolders.h"
#include "common/SupportUtil.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "resources/StringTable.h"

using namespace exportfile;

namespace {

int RunDialog(CSaveJpegAvi& dialog, const ExportUiHooks& hooks) {
    return hooks.runDialog ? hooks.runDialog(dialog) : dialog.DoModal();
}

// Fills the dialog for a stored item as both exports do.
void FillForItem(CSaveJpegAvi& dialog, const ExportItem& item, const SaveDialogStart& start) {
    const ExportNames names = MakeExportNames(item.itemPath, item.idAndName, item.stampText);
    dialog.m_strIdText = names.idText;
    dialog.m_strNameText = names.nameText;
    dialog.m_strFilePrefix = names.filePrefix;
    dialog.m_strFileName.clear();
    dialog.m_strTimeText = item.caption;
    dialog.m_strOutputFolder = start.folder;
    dialog.m_nQuality = start.qualityIndex;
}

void Show(const ExportOutcome& outcome, const std::string& caption = {}) {
    platform::ShowMessageBox(outcome.message, caption, outcome.icon);
}

}  // namespace

void ExportImagesToJpeg(const ExportItem& item, const Image32& render, const ExportUiHooks& hooks) {
    const SaveDialogStart start = ReadSaveDialogSettings(ExportCaller::Jpeg);
    CSaveJpegAvi dialog(resources::LoadString(strings::kJpegFileOutput));
    FillForItem(dialog, item, start);
    dialog.m_strFileExt = ".jpg";
    dialog.m_bShowQuality = true;
    if (RunDialog(dialog, hooks) != wxID_OK)
        return;
    // Written before the file, so a failed save still remembers the folder and quality.
    WriteSaveDialogSettings(ExportCaller::Jpeg, start, dialog.m_strOutputFolder, dialog.m_nQuality);
    const std::string path = OutputPath(dialog.m_strOutputFolder, dialog.m_strFilePrefix,
                                        dialog.m_strFileName, dialog.m_strFileExt);
    Show(ExportJpeg(path, render, item.caption, dialog.m_nQuality));
}

bool ExportCineToVideo(wxWindow* owner, const ExportItem& item, const IExportSource& source,
                       const std::vector<int64_t>& times, const ExportUiHooks& hooks) {
    const SaveDialogStart start = ReadSaveDialogSettings(ExportCaller::Video);
    CSaveJpegAvi dialog(resources::LoadString(strings::kMp4FileOutput));
    FillForItem(dialog, item, start);
    dialog.m_strFileExt = ".mp4";
    dialog.m_bShowQuality = false;
    if (RunDialog(dialog, hooks) != wxID_OK)
        return false;
    WriteSaveDialogSettings(ExportCaller::Video, start, dialog.m_strOutputFolder, dialog.m_nQuality);
    const VideoPaths paths = MakeVideoPaths(dialog.m_strOutputFolder, dialog.m_strFilePrefix,
                                            dialog.m_strFileName, dialog.m_nQuality);

    VideoCodecChoice codec;
    if (dialog.m_nQuality == kQualitySelect) {
        const auto chosen = hooks.chooseCompressor ? hooks.chooseCompressor() : ChooseCompressorDialog();
        if (!chosen)
            return false;
        codec = *chosen;
    }

    wxBusyCursor wait;
    VideoExportResult result;
    {
        CBusyWindowLock disabled(owner);  // whatever way the AVI phase ends
        CProgressDlg progress;
        progress.Create(nullptr);
        progress.m_ctlCaption->SetLabel(wxString::FromUTF8(resources::LoadString(strings::kAviExport)));
        // The bar's range is the planned output frames, 0 to M; the writing ends a little
        // before M, where the nearest stored frame would be the last one.
        const int64_t planned = PlannedOutputFrames(RepairFrameTimes(times));
        progress.m_ctlProgress->SetRange(static_cast<int>(std::clamp<int64_t>(planned - 1, 1, INT_MAX)));
        progress.CentreOnScreen();
        progress.Show();
        // Esc and the Cancel button reach the progress window as events: it takes the focus.
        progress.SetFocus();

        Image8 frame;
        VideoExportCallbacks callbacks;
        callbacks.aviFrame = [&](int64_t k, int64_t) {
            PumpWaitingMessages();
            if (hooks.onAviFrame)
                hooks.onAviFrame(progress, k);
            if (progress.m_bCancel)
                return false;
            progress.m_ctlProgress->SetValue(
                static_cast<int>(std::min<int64_t>(k, progress.m_ctlProgress->GetRange())));
            progress.Update();
            return true;
        };
        callbacks.encodingStarts = [&] {
            progress.m_ctlCaption->SetLabel(wxString::FromUTF8(resources::LoadString(strings::kEncoding)));
            progress.m_ctlProgress->SetRange(100);
            progress.m_ctlProgress->SetValue(0);
            // The encode dispatches nothing: the new caption is drawn before it starts.
            progress.DrawNow();
        };
        callbacks.encodeProgress = [&](int percent) {
            progress.m_ctlProgress->SetValue(std::clamp(percent, 0, 100));
            progress.Update();
        };
        const auto frameAt = [&](int index) -> const Image8& {
            if (!source.ReviewFrame(index, frame) || frame.width() != kVideoSize ||
                frame.height() != kVideoSize)
                frame = Image8(kVideoSize, kVideoSize);
            return frame;
        };
        result = RunVideoExport(paths, times, frameAt, codec, VideoBitRateFor(dialog.m_nQuality), callbacks);
        progress.Destroy();
    }
    Show(result.outcome, GetProductName());
    return result.status == VideoExportStatus::Saved;
}

CExportPort::CExportPort(IExportSource& source, wxWindow* owner, IPrinter& printer)
    : m_source(source), m_pOwner(owner), m_printer(printer) {}

std::optional<std::pair<ExportItem, archive::StoreItemRecord>> CExportPort::SelectedItem() {
    const std::optional<archive::StoreItemRecord> record = m_source.SelectedItem();
    if (!record) {
        platform::ShowMessageBox(resources::LoadString(strings::kNoData), "", platform::MsgIcon::Exclamation);
        return std::nullopt;
    }
    return std::pair{MakeExportItem(*record, m_source.PatientId(), m_source.PatientName(),
                                    m_source.ShownReviewRecord(), m_source.Dates()),
                     *record};
}

void CExportPort::ExportJpeg() {
    const auto selected = SelectedItem();
    if (!selected)
        return;
    const auto& [item, record] = *selected;
    // A still whose picture is gone shows nothing worth exporting.
    const bool pictureMissing = !item.isCine && !platform::IsRegularFile(record.imagePath);
    const Image32 render = pictureMissing ? Image32() : m_source.RenderImageArea();
    if (render.empty()) {
        platform::ShowMessageBox(resources::LoadString(strings::kBitmapLoadError), "",
                                 platform::MsgIcon::Exclamation);
        return;
    }
    ExportImagesToJpeg(item, render, hooks);
}

void CExportPort::ExportVideo() {
    const auto selected = SelectedItem();
    if (!selected)
        return;
    const ReviewTimes times = CollectReviewTimes(m_source);
    if (const auto refusal = VideoExportRefusal(static_cast<int>(times.times.size()), times.missing)) {
        platform::ShowMessageBox(*refusal, "", platform::MsgIcon::Exclamation);
        return;
    }
    ExportCineToVideo(m_pOwner, selected->first, m_source, times.times, hooks);
}

void CExportPort::Print() {
    const PrintCaptions captions = MakePrintCaptions(m_source);
    if (PrintImage(m_printer, m_source.SelectPrinter(), captions.caption1, captions.caption2,
                   m_source.RenderImageArea()))
        for (int i = 0; i < 2; ++i)
            PumpWaitingMessages();
}
