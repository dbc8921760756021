#include "imaging/ProcessExit.h"

#include <unistd.h>
#include <cstdio>
#include <mutex>

namespace {
std::mutex g_mutex;
ProcessExitHandler g_handler;
}  // namespace

void SetProcessExitHandler(ProcessExitHandler handler) {
    std::lock_guard lock(g_mutex);
    g_handler = std::move(handler);
}

void EndProcess(int exitCode) {
    ProcessExitHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler) {
        handler(exitCode);
        return;
    }
    std::fflush(nullptr);
    _exit(exitCode);
}
