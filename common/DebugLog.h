// The developer's debug log: when on (the setting LOG is 1), each line goes to a file
// "_YYYYMMDDhhmmss.log" in the current folder, prefixed with the time since the first line
// and the step since the previous line.
#pragma once

#include <atomic>
#include <string>

extern std::atomic<bool> g_bDebugLog;

void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The prefix of a line written `totalMicros` after the first line and `stepMicros` after
// the previous one.
std::string DebugLogPrefix(int64_t totalMicros, int64_t stepMicros);

// Closes the log file and restarts the clock (tests).
void ResetDebugLogForTesting();
