#include "app/AssertLog.h"

#include <wx/debug.h>
#include <wx/string.h>

#include <cstdio>

#include "common/DebugLog.h"

std::string AssertLogLine(const char* file, int line, const char* function, const char* condition,
                          const char* message) {
    std::string text = "wx check failed: ";
    text += (condition && *condition) ? condition : "?";
    if (message && *message)
        text += std::string(" (") + message + ")";
    text += std::string(" in ") + ((function && *function) ? function : "?") + " at " + (file ? file : "?") +
            ":" + std::to_string(line);
    return text;
}

void InstallAssertLogging() {
    wxSetAssertHandler(
        [](const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
            const std::string text =
                AssertLogLine(file.utf8_str(), line, func.utf8_str(), cond.utf8_str(), msg.utf8_str());
            std::fprintf(stderr, "%s\n", text.c_str());
            DebugLog("%s\n", text.c_str());
        });
}
