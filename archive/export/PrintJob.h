// Printing the frozen image on one page, behind a printer seam: the wx printing framework
// implements IPrinter (the GTK print dialog or the default printer, a printout titled with
// caption 1), tests script it. The page itself is DrawPrintPage.
#pragma once

#include <functional>
#include <string>

#include "platform/Image.h"

typedef struct _cairo cairo_t;

namespace exportfile {

enum class PrintStatus { Printed, Cancelled, Error };

// Draws the one page on the printer's cairo context of width x height device pixels.
using PageDrawer = std::function<void(cairo_t* cr, int width, int height, double dpi)>;

class IPrinter {
public:
    virtual ~IPrinter() = default;
    // With showDialog the user picks the printer first (no selection, page numbers or print to
    // file); without it the default printer takes the page. `title` names the job.
    virtual PrintStatus PrintOnePage(bool showDialog, const std::string& title, const PageDrawer& draw) = 0;
};

// True when the page was sent. Cancelling shows nothing; a printer error, or a missing image,
// shows one message (through the message-box seam) and gives false.
bool PrintImage(IPrinter& printer, bool selectPrinter, const std::string& caption1,
                const std::string& caption2, const Image32& image);

}  // namespace exportfile
