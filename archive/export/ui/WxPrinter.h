// Printing through the wx printing framework over GTK print: a one-page printout titled with
// the job's name, drawn by the export's page drawer on the printer's cairo context in device
// pixels. The print dialog offers no selection or page numbers; GTK's own "Print to File"
// printer offers the export folder and the job's name.
#pragma once

#include <wx/print.h>

#include "archive/export/PrintJob.h"

class CImagePrintout : public wxPrintout {
public:
    CImagePrintout(const std::string& title, exportfile::PageDrawer draw);
    bool OnPrintPage(int page) override;
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

private:
    exportfile::PageDrawer m_draw;
};

class CWxPrinter : public exportfile::IPrinter {
public:
    // `start` is the print data the job begins from: the printer and its settings the dialog
    // preselects (tests point it at a file printer). A file it names is where "Print to File"
    // writes; without one, each job offers its own name in the export folder.
    explicit CWxPrinter(const wxPrintData& start = wxPrintData());

    // Without the dialog the page goes to the default printer; when none is found within a
    // few seconds, or GTK gives up, that is an error the user must hear about, not a cancel.
    exportfile::PrintStatus PrintOnePage(bool showDialog, const std::string& title,
                                         const exportfile::PageDrawer& draw) override;

private:
    wxPrintData m_start;
    bool m_callerNamedFile = false;
};
