#include "common/DebugLog.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "platform/Clock.h"
#include "platform/StringUtil.h"

std::atomic<bool> g_bDebugLog{false};

namespace {
std::mutex g_mutex;  // one line at a time: lines of two threads never mix
FILE* g_file = nullptr;
bool g_started = false;
int64_t g_start = 0;
int64_t g_previous = 0;
}  // namespace

std::string DebugLogPrefix(int64_t totalMicros, int64_t stepMicros) {
    const int64_t seconds = totalMicros / 1000000;
    const int64_t millis = (totalMicros - seconds * 1000000) / 1000;
    const int64_t micros = totalMicros - (millis * 1000 + seconds * 1000000);
    // The unit after the seconds is the two bytes 0x95 0x62, written as they stand.
    return platform::Format("%lld\x95\x62 %03lld.%03lld (%5lld) : ", static_cast<long long>(seconds),
                            static_cast<long long>(millis), static_cast<long long>(micros),
                            static_cast<long long>(stepMicros));
}

void DebugLog(const char* format, ...) {
    if (!g_bDebugLog.load(std::memory_order_relaxed)) return;
    std::lock_guard lock(g_mutex);
    const int64_t now = platform::Clock().MonotonicMicros();
    if (!g_started) {
        g_started = true;
        g_start = now;
        g_previous = now;
    }
    const int64_t total = now - g_start;
    const int64_t step = now - g_previous;
    g_previous = now;

    if (!g_file) {
        const platform::SystemTime t = platform::GetLocalTime();
        const std::string name = platform::Format("_%04d%02d%02d%02d%02d%02d.log", t.wYear, t.wMonth, t.wDay,
                                                  t.wHour, t.wMinute, t.wSecond);
        g_file = std::fopen(name.c_str(), "w");
        if (!g_file) return;
    }
    const std::string prefix = DebugLogPrefix(total, step);
    std::fputs(prefix.c_str(), g_file);
    va_list args;
    va_start(args, format);
    std::vfprintf(g_file, format, args);
    va_end(args);
    std::fflush(g_file);
}

void ResetDebugLogForTesting() {
    std::lock_guard lock(g_mutex);
    if (g_file) std::fclose(g_file);
    g_file = nullptr;
    g_started = false;
}
