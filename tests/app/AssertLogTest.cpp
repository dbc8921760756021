// A failed wx check in the viewer goes to standard error and the program goes on, instead of
// wx's dialog whose "Stop" ends the viewer.
#include <gtest/gtest.h>
#include <wx/debug.h>

#include <algorithm>

#include "app/AssertLog.h"

TEST(AssertLogTest, AFailedCheckIsWrittenToStandardErrorAndTheProgramGoesOn) {
    const wxAssertHandler_t before = wxSetAssertHandler(nullptr);
    InstallAssertLogging();
    testing::internal::CaptureStderr();
    bool reached = false;
    wxFAIL_MSG("invalid itemid value");
    reached = true;
    const std::string err = testing::internal::GetCapturedStderr();
    wxSetAssertHandler(before);
    EXPECT_TRUE(reached);
    EXPECT_NE(err.find("invalid itemid value"), std::string::npos) << err;
    EXPECT_NE(err.find("AssertLogTest.cpp:"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}
