// Ending the process from the user-interface thread after a fatal error. Tests replace the
// handler to see the exit instead of dying.
#pragma once

#include <functional>

using ProcessExitHandler = std::function<void(int exitCode)>;

// An empty handler restores the default: flush the C streams and end the process at once,
// without running static destructors under threads that still run.
void SetProcessExitHandler(ProcessExitHandler handler);
void EndProcess(int exitCode);
