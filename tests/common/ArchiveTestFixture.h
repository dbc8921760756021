// A private archive for one test: the data root, the settings file and the user's trash all
// live in a temporary folder, the clock stands still until the test moves it, and the time
// zone is the test's choice.
#pragma once

#include <gtest/gtest.h>
#include <ctime>
#include <optional>
#include <string>

#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

inline platform::SystemTime MakeTime(int year, int month, int day, int hour = 0, int minute = 0,
                                     int second = 0, int milliseconds = 0) {
    platform::SystemTime t;
    t.wYear = static_cast<uint16_t>(year);
    t.wMonth = static_cast<uint16_t>(month);
    t.wDay = static_cast<uint16_t>(day);
    t.wHour = static_cast<uint16_t>(hour);
    t.wMinute = static_cast<uint16_t>(minute);
    t.wSecond = static_cast<uint16_t>(second);
    t.wMilliseconds = static_cast<uint16_t>(milliseconds);
    return t;
}

// 2020-08-20 01:02:03 UTC, in microseconds.
inline constexpr int64_t kAugust20At010203Utc = 1597885323LL * 1000000;

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsForTesting();
        SetTimeZone("UTC0");
    }
    void TearDown() override {
        platform::SetWriteFaultHook(nullptr);
        ResetSettingsForTesting();
    }

    // A POSIX TZ value, so the tests need no time-zone database.
    void SetTimeZone(const std::string& tz) {
        tz_.emplace("TZ", tz);
        ::tzset();
    }

    std::string DataRoot() { return GetDataFolder(); }
    std::string PatientFolder(const std::string& id) { return DataRoot() + id; }
    std::string TrashFiles() { return dir / "xdg/Trash/files"; }
    std::string TrashInfo() { return dir / "xdg/Trash/info"; }

    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
    // The trash GIO uses lies on the same file system as the archive.
    testsupport::ScopedEnv home{"HOME", dir.path()};
    testsupport::ScopedEnv dataHome{"XDG_DATA_HOME", dir / "xdg"};
    testsupport::FakeClock clock;
    testsupport::MessageBoxRecorder boxes;

private:
    std::optional<testsupport::ScopedEnv> tz_;
};
