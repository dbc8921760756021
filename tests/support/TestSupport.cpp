#include "tests/support/TestSupport.h"

#include <glib.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/FileSystem.h"

namespace {
void RemoveTree(const std::string& path) {
    std::vector<platform::DirEntry> entries;
    if (platform::ListDirectory(path, entries)) {
        for (const auto& e : entries) {
            const std::string child = path + "/" + e.name;
            if (e.isDirectory && !e.isSymlink) {
                ::chmod(child.c_str(), 0700);
                RemoveTree(child);
            } else {
                ::unlink(child.c_str());
            }
        }
    }
    ::rmdir(path.c_str());
}
}  // namespace

// GLib's own hook for tests that move the user's folders (exported since 2.60, declared in a
// header GLib does not install).
extern "C" void g_set_user_dirs(const char* first_dir_type, ...) G_GNUC_NULL_TERMINATED;

namespace testsupport {
namespace {

bool IsGLibUserDir(const std::string& name) {
    return name == "HOME" || name == "XDG_DATA_HOME" || name == "XDG_CONFIG_HOME" ||
           name == "XDG_CACHE_HOME" || name == "XDG_RUNTIME_DIR";
}

// The folders as GLib would find them in a fresh process with the current environment.
void TellGLibTheUserDirs() {
    const auto env = [](const char* name) -> std::string {
        const char* v = std::getenv(name);
        return v && *v ? v : "";
    };
    std::string home = env("HOME");
    if (home.empty()) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : "/";
    }
    const auto xdg = [&](const char* name, const char* fallback) {
        const std::string v = env(name);
        return v.empty() ? home + fallback : v;
    };
    const std::string data = xdg("XDG_DATA_HOME", "/.local/share");
    const std::string config = xdg("XDG_CONFIG_HOME", "/.config");
    const std::string cache = xdg("XDG_CACHE_HOME", "/.cache");
    const std::string runtime = env("XDG_RUNTIME_DIR").empty() ? cache : env("XDG_RUNTIME_DIR");
    g_set_user_dirs("HOME", home.c_str(), "XDG_DATA_HOME", data.c_str(), "XDG_CONFIG_HOME", config.c_str(),
                    "XDG_CACHE_HOME", cache.c_str(), "XDG_RUNTIME_DIR", runtime.c_str(), nullptr);
    g_reload_user_special_dirs_cache();
}

}  // namespace

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/torvik-test-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl;
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
        ::setenv(name, value->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
    if (IsGLibUserDir(name_))
        TellGLibTheUserDirs();
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
    if (IsGLibUserDir(name_))
        TellGLibTheUserDirs();
}

FakeClock::FakeClock() { platform::SetClock(this); }
FakeClock::~FakeClock() { platform::SetClock(nullptr); }

SteppedWallClock::SteppedWallClock() : system_(platform::Clock()) {
    platform::SetClock(this);
}
SteppedWallClock::~SteppedWallClock() {
    platform::SetClock(nullptr);
}

void SteppedWallClock::NextSecond() {
    offset_ += 1'000'000 - UtcMicros() % 1'000'000;
}

MessageBoxRecorder::MessageBoxRecorder(platform::MsgAnswer answer) : answer_(answer) {
    platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& r) {
        shown_.push_back(r);
        return answer_;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { platform::SetMessageBoxHandler(nullptr); }

::testing::AssertionResult WaitUntil(const std::function<bool()>& done, const std::string& what,
                                     std::chrono::milliseconds timeout,
                                     const std::function<void()>& between) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (between)
            between();
        if (done())
            return ::testing::AssertionSuccess();
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited > timeout) {
            const auto s = std::chrono::duration_cast<std::chrono::duration<double>>(waited).count();
            return ::testing::AssertionFailure() << "timed out after " << s << " s waiting for " << what;
        }
        if (!between)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace testsupport
