#include "common/DebugLog.h"

#include <gtest/gtest.h>
#include <regex>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

namespace {
// Runs the body with the current folder set to a fresh temporary folder.
class InTempFolder {
public:
    InTempFolder() {
        char buf[4096];
        old_ = ::getcwd(buf, sizeof buf) ? buf : "/";
        EXPECT_EQ(::chdir(dir_.path().c_str()), 0);
    }
    ~InTempFolder() { EXPECT_EQ(::chdir(old_.c_str()), 0); }
    const testsupport::TempDir& dir() const { return dir_; }

private:
    testsupport::TempDir dir_;
    std::string old_;
};
}  // namespace

TEST(DebugLog, PrefixFieldsForKnownOffsets) {
    EXPECT_EQ(DebugLogPrefix(1234567, 2000), "1\x95\x62 234.567 ( 2000) : ");
    EXPECT_EQ(DebugLogPrefix(5, 5), "0\x95\x62 000.005 (    5) : ");
    // A step of more than 2^31 microseconds (about 36 minutes) is not folded into 32 bits.
    EXPECT_EQ(DebugLogPrefix(3'000'000'000, 2'500'000'000), "3000\x95\x62 000.000 (2500000000) : ");
}

TEST(DebugLog, WritesNamedFileOnlyWhenOn) {
    testsupport::ScopedEnv tz("TZ", "UTC");
    tzset();
    InTempFolder cwd;
    testsupport::FakeClock clock;
    clock.SetUtcMicros(int64_t{1718454225} * 1000000);  // 2024-06-15 12:23:45 UTC
    ResetDebugLogForTesting();

    g_bDebugLog = false;
    DebugLog("ignored\n");
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(platform::ListDirectory(cwd.dir().path(), entries));
    EXPECT_TRUE(entries.empty());

    g_bDebugLog = true;
    DebugLog("%s Start\n", "Helvo Viewer CL");
    clock.Advance(1234567);
    DebugLog("PostMessage(%d)\n", 17);
    g_bDebugLog = false;
    ResetDebugLogForTesting();

    ASSERT_TRUE(platform::ListDirectory(cwd.dir().path(), entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "_20240615122345.log");
    EXPECT_EQ(testsupport::ReadAll(cwd.dir() / entries[0].name),
              "0\x95\x62 000.000 (    0) : Helvo Viewer CL Start\n"
              "1\x95\x62 234.567 (1234567) : PostMessage(17)\n");
}
