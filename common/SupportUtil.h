// Small services several subsystems share: the message pump of long UI operations,
// permanent recursive folder deletion and the process's microsecond clock.
#pragma once

#include <string>

// Runs the UI thread's waiting work (input and posted work) without waiting; UI thread only.
void PumpWaitingMessages();

// Deletes a folder tree permanently, depth first. Symbolic links are removed, never
// followed; a folder path that is itself a link removes only the link. True when the
// folder (or that link) was removed; false when it did not exist.
bool DeleteFolderRecursive(const std::string& folder);

// Microseconds since the first call (a monotonic clock).
double GetElapsedMicroseconds();
void ResetElapsedMicrosecondsForTesting();
