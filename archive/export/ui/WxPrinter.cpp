#include "archive/export/ui/WxPrinter.h"

#include <cairo.h>
#include <dlfcn.h>
#include <glib.h>
#include <wx/dc.h>
#include <wx/dcprint.h>
#include <wx/gtk/print.h>

#include "archive/export/SaveDialogSettings.h"
#include "archive/export/ui/DefaultPrinter.h"

namespace {

// Long enough for a print server on the network to answer, short enough that a missing one
// reads as an error rather than a frozen viewer.
constexpr std::chrono::seconds kDefaultPrinterWait{5};

constexpr size_t kMaxFileNameBytes = 255;

using GetSetting = const char* (*)(GtkPrintSettings*, const char*);
using SetSetting = void (*)(GtkPrintSettings*, const char*, const char*);

GtkPrintSettings* NativeSettings(const wxPrintData& data) {
    auto* native = dynamic_cast<wxGtkPrintNativeData*>(data.GetNativeData());
    return native ? native->GetPrintConfig() : nullptr;
}

const char* GetPrintSetting(const wxPrintData& data, const char* key) {
    static const auto get = reinterpret_cast<GetSetting>(dlsym(RTLD_DEFAULT, "gtk_print_settings_get"));
    GtkPrintSettings* settings = NativeSettings(data);
    return get && settings ? get(settings, key) : nullptr;
}

// GTK's "Print to File" writes where the job's print settings say: the export folder (the
// Documents folder when none is set or it is gone) and the job's name, not "output.pdf" in
// whatever folder the viewer was started from. The settings outlive the job (the dialog keeps
// its choices in them), so each job sets its own name.
void OfferExportFolderForFile(const wxPrintData& data, const std::string& title) {
    static const auto set = reinterpret_cast<SetSetting>(dlsym(RTLD_DEFAULT, "gtk_print_settings_set"));
    GtkPrintSettings* settings = NativeSettings(data);
    if (!set || !settings)
        return;
    std::string name = title.empty() ? std::string("output") : title;
    for (char& c : name)
        if (c == '/')
            c = '_';
    const char* format = GetPrintSetting(data, "output-file-format");
    const std::string extension = std::string(".") + (format && *format ? format : "pdf");
    // A file name holds 255 bytes: a long id and name in Japanese run over; the name is cut at
    // a character's start.
    const size_t room = kMaxFileNameBytes - extension.size();
    if (name.size() > room) {
        size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    const std::string path =
        exportfile::ReadSaveDialogSettings(exportfile::ExportCaller::Jpeg).folder + name + extension;
    if (gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr)) {
        set(settings, "output-uri", uri);
        g_free(uri);
    }
}

}  // namespace

CImagePrintout::CImagePrintout(const std::string& title, exportfile::PageDrawer draw)
    : wxPrintout(wxString::FromUTF8(title)), m_draw(std::move(draw)) {}

void CImagePrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

bool CImagePrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (page != 1 || !dc || !m_draw)
        return false;
    // The GTK printer DC is cairo, scaled so that one unit is one device pixel at the DC's
    // resolution; its size is the page in those pixels.
    auto* cr = static_cast<cairo_t*>(dc->GetHandle());
    if (!cr)
        return false;
    const wxSize size = dc->GetSize();
    const double dpi = dc->GetPPI().y > 0 ? dc->GetPPI().y : 72.0;
    cairo_save(cr);
    // A context still in points (the surface's own units) gets the device-pixel scale here.
    double unitX = 1.0, unitY = 0.0;
    cairo_user_to_device_distance(cr, &unitX, &unitY);
    if (unitX == 1.0 && unitY == 0.0 && dpi != 72.0 && dynamic_cast<wxPrinterDC*>(dc))
        cairo_scale(cr, 72.0 / dpi, 72.0 / dpi);
    m_draw(cr, size.x, size.y, dpi);
    cairo_restore(cr);
    return true;
}

CWxPrinter::CWxPrinter(const wxPrintData& start)
    : m_start(start), m_callerNamedFile(GetPrintSetting(start, "output-uri") != nullptr) {}

exportfile::PrintStatus CWxPrinter::PrintOnePage(bool showDialog, const std::string& title,
                                                 const exportfile::PageDrawer& draw) {
    wxPrintDialogData data(m_start);
    if (showDialog && !m_callerNamedFile)
        OfferExportFolderForFile(data.GetPrintData(), title);
    data.EnableSelection(false);
    data.EnablePageNumbers(false);
    data.EnablePrintToFile(false);
    data.SetMinPage(1);
    data.SetMaxPage(1);
    data.SetFromPage(1);
    data.SetToPage(1);
    if (!showDialog) {
        // GTK's own lookup of the default printer can wait forever; name the printer instead.
        const std::optional<std::string> name = exportui::FindDefaultPrinter(kDefaultPrinterWait);
        if (!name)
            return exportfile::PrintStatus::Error;
        data.GetPrintData().SetPrinterName(wxString::FromUTF8(*name));
    }
    wxPrinter printer(&data);
    CImagePrintout printout(title, draw);
    if (printer.Print(nullptr, &printout, showDialog))
        return exportfile::PrintStatus::Printed;
    return wxPrinter::GetLastError() == wxPRINTER_CANCELLED && showDialog ? exportfile::PrintStatus::Cancelled
                                                                          : exportfile::PrintStatus::Error;
}
