#include "common/SupportUtil.h"

#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/UiThread.h"

void PumpWaitingMessages() { platform::UiDispatcher().Pump(); }

bool DeleteFolderRecursive(const std::string& folder) {
    std::string base = folder;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    // A link given as the folder goes itself; the files behind it belong to someone else.
    struct stat st {};
    if (::lstat(base.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return ::unlink(base.c_str()) == 0;
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(base, entries)) return false;
    for (const platform::DirEntry& e : entries) {
        const std::string path = platform::JoinPath(base, e.name);
        if (e.isDirectory && !e.isSymlink) {
            DeleteFolderRecursive(path);
        } else {
            ::unlink(path.c_str());  // a link goes, its target stays
        }
    }
    return ::rmdir(base.c_str()) == 0;
}

namespace {
constexpr int64_t kNotStarted = INT64_MIN;
std::atomic<int64_t> g_elapsedStart{kNotStarted};
}  // namespace

double GetElapsedMicroseconds() {
    int64_t start = g_elapsedStart.load(std::memory_order_acquire);
    if (start == kNotStarted) {
        const int64_t first = platform::Clock().MonotonicMicros();
        // Only the first caller sets the start; a racing second caller takes the first's value.
        if (g_elapsedStart.compare_exchange_strong(start, first, std::memory_order_acq_rel)) start = first;
    }
    return static_cast<double>(platform::Clock().MonotonicMicros() - start);
}

void ResetElapsedMicrosecondsForTesting() { g_elapsedStart.store(kNotStarted, std::memory_order_release); }
