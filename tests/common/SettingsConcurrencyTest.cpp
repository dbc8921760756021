#include <gtest/gtest.h>
#include <thread>

#include "common/SettingsStore.h"
#include "tests/support/TestSupport.h"

using namespace SettingKeyTable;

// The tick reads the date format once a second while the settings dialog writes.
TEST(SettingsConcurrency, ReadsOnOneThreadWhileWritingOnAnother) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData("ProgramData", dir.path());
    ResetSettingsForTesting();
    std::thread reader([] {
        for (int i = 0; i < 2000; ++i) {
            const std::string f = GetSettingText(SettingSectionApp, date_format, "DD-MM-YYYY");
            ASSERT_TRUE(f == "DD-MM-YYYY" || f == "YYYY-MM-DD" || f == "MM-DD-YYYY") << f;
        }
    });
    const char* formats[] = {"YYYY-MM-DD", "MM-DD-YYYY", "DD-MM-YYYY"};
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(SetSettingText(SettingSectionApp, date_format, formats[i % 3]));
    reader.join();
    EXPECT_EQ(GetSettingText(SettingSectionApp, date_format, "x"), formats[29 % 3]);
    ResetSettingsForTesting();
}
