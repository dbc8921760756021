#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace testsupport {

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
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        ::setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        ::unsetenv(name_.c_str());
    }
}

FakeClock::FakeClock() { platform::SetClock(this); }
FakeClock::~FakeClock() { platform::SetClock(nullptr); }

MessageBoxRecorder::MessageBoxRecorder(platform::MsgAnswer answer) : answer_(answer) {
    platform::SetMessageBoxHandler([this](const platform::MessageBoxRequest& r) {
        shown_.push_back(r);
        return answer_;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { platform::SetMessageBoxHandler(nullptr); }

}  // namespace testsupport
