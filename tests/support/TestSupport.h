// Shared test helpers: a private temporary folder per test, a clock tests drive by hand,
// environment overrides, a recorder for message boxes and waits on conditions.
#pragma once

#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);

// Sets an environment variable for the lifetime of the object (unset when value is nullopt).
// GLib reads HOME and the XDG folders once per process (the trash, the Documents folder):
// when one of them changes, GLib is told, so each test gets the folders it set.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value);
    ~ScopedEnv();

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A clock whose wall time and monotonic counter move only when the test says so.
class FakeClock : public platform::IClock {
public:
    FakeClock();
    ~FakeClock() override;  // restores the system clock
    int64_t UtcMicros() override { return utc_; }
    int64_t MonotonicMicros() override { return mono_; }
    void SetUtcMicros(int64_t v) { utc_ = v; }
    void Advance(int64_t micros) {
        utc_ += micros;
        mono_ += micros;
    }

private:
    int64_t utc_ = 1'700'000'000'000'000;  // 2023-11-14
    int64_t mono_ = 1'000'000'000;
};

// The system's clocks, but the test may move the wall time on to the next second: stores that
// must land in a second of their own get one without waiting for it. Restores the system
// clock on exit.
class SteppedWallClock : public platform::IClock {
public:
    SteppedWallClock();
    ~SteppedWallClock() override;
    int64_t UtcMicros() override { return system_.UtcMicros() + offset_; }
    int64_t MonotonicMicros() override { return system_.MonotonicMicros(); }
    // Moves the wall time to the start of the next second.
    void NextSecond();

private:
    platform::IClock& system_;
    std::atomic<int64_t> offset_{0};
};

// Records every message box and answers with a chosen answer; restores the default on exit.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(platform::MsgAnswer answer = platform::MsgAnswer::Ok);
    ~MessageBoxRecorder();
    const std::vector<platform::MessageBoxRequest>& shown() const { return shown_; }
    void SetAnswer(platform::MsgAnswer answer) { answer_ = answer; }

private:
    std::vector<platform::MessageBoxRequest> shown_;
    platform::MsgAnswer answer_;
};

// How long a test waits for something that takes milliseconds on an idle machine: long enough
// for a sanitizer build on two cores shared with other work, short of CTest's time-out.
inline constexpr std::chrono::milliseconds kPatience = std::chrono::seconds(120);

// Checks `done` until it holds, running `between` (a UI queue, an event loop) or sleeping a
// millisecond between checks. Fails after `timeout` with "timed out after N s waiting for
// <what>".
::testing::AssertionResult WaitUntil(const std::function<bool()>& done, const std::string& what,
                                     std::chrono::milliseconds timeout = kPatience,
                                     const std::function<void()>& between = {});

}  // namespace testsupport
