// The main window's exports and printing: the handlers of buttons 1164 (JPEG) and 1166
// (video) and the print of the frozen image, over what the window shows (IExportSource).
// Each export checks that there is something to export before the save dialog, runs the
// dialog with the shared settings protocol, writes and reports in one message box.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "app/core/IExports.h"
#include "app/core/IPrinting.h"
#include "archive/export/ExportItem.h"
#include "archive/export/ExportSource.h"
#include "archive/export/PrintJob.h"
#include "archive/export/VideoFileWriter.h"

class CSaveJpegAvi;
class CProgressDlg;
class wxWindow;

// What tests replace: the modal save dialog and the compressor chooser, and a look at the
// progress window between frames.
struct ExportUiHooks {
    std::function<int(CSaveJpegAvi&)> runDialog;
    std::function<std::optional<exportfile::VideoCodecChoice>()> chooseCompressor;
    std::function<void(CProgressDlg&, int64_t k)> onAviFrame;
};

// The save dialog, the settings written back after OK, the picture written and reported.
void ExportImagesToJpeg(const exportfile::ExportItem& item, const Image32& render,
                        const ExportUiHooks& hooks = {});

// The save dialog, then the AVI phase (the owner disabled, the progress window, Esc or its
// Cancel button ends it), then the MP4 transcode ("Encoding"). True when it reported "saved".
bool ExportCineToVideo(wxWindow* owner, const exportfile::ExportItem& item,
                       const exportfile::IExportSource& source, const std::vector<int64_t>& times,
                       const ExportUiHooks& hooks = {});

class CExportPort : public IExports, public IPrinting {
public:
    CExportPort(exportfile::IExportSource& source, wxWindow* owner, exportfile::IPrinter& printer);

    // OnBnClickedExpJpeg / OnBnClickedExpVideo of the main window.
    void ExportJpeg() override;
    void ExportVideo() override;
    // Command 12 while frozen.
    void Print() override;

    ExportUiHooks hooks;

private:
    // The selected item with its record, or none after "No data".
    std::optional<std::pair<exportfile::ExportItem, archive::StoreItemRecord>> SelectedItem();

    exportfile::IExportSource& m_source;
    wxWindow* m_pOwner;
    exportfile::IPrinter& m_printer;
};
