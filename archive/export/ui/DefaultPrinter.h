// The system's default printer, looked up through GTK's printer enumeration with a bounded
// wait. GTK's own lookup before a print without the dialog waits for every print backend to
// finish listing; a backend whose print server cannot be reached never does, so printing
// straight to the default printer looks it up here first and then names it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace exportui {

// The name of the default printer, or nothing when none turns up within `bound`, the
// backends finish listing without one, or GTK's printer calls are not in the process. Runs
// the GLib main loop while it waits; call it on the window thread.
std::optional<std::string> FindDefaultPrinter(std::chrono::milliseconds bound);

}  // namespace exportui
