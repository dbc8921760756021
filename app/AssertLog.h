// wx's own consistency checks in the running viewer: a failed one is written to standard error
// and the debug log, and the program goes on. wx's default would stop on a dialog whose "Stop"
// ends the viewer in the middle of an exam.
#pragma once

#include <string>

// The line written for one failed check.
std::string AssertLogLine(const char* file, int line, const char* function, const char* condition,
                          const char* message);

// Replaces wx's assertion dialog with the log line, for the whole process.
void InstallAssertLogging();
