#include "archive/export/PrintJob.h"

#include "archive/export/PrintPage.h"
#include "platform/MessageBox.h"

namespace exportfile {

bool PrintImage(IPrinter& printer, bool selectPrinter, const std::string& caption1,
                const std::string& caption2, const Image32& image) {
    if (image.empty()) {
        platform::ShowMessageBox("Bitmap Load Error.", "", platform::MsgIcon::Exclamation);
        return false;
    }
    const PrintStatus status =
        printer.PrintOnePage(selectPrinter, caption1, [&](cairo_t* cr, int width, int height, double dpi) {
            DrawPrintPage(cr, ComputePrintLayout(width, height), image, caption1, caption2, dpi);
        });
    if (status == PrintStatus::Error)
        platform::ShowMessageBox("The page could not be printed.\nPlease check the printer.", "",
                                 platform::MsgIcon::Error);
    return status == PrintStatus::Printed;
}

}  // namespace exportfile
