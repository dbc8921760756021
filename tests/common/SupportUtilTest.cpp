#include "common/SupportUtil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/UiThread.h"
#include "tests/support/TestSupport.h"

using testsupport::WriteAll;

TEST(DeleteFolderRecursive, RemovesTreeButNeverFollowsLinks) {
    testsupport::TempDir dir;
    const std::string outside = dir / "outside";
    ASSERT_TRUE(platform::CreateDirectories(outside));
    WriteAll(outside + "/keep.bmp", "x");

    const std::string cine = dir / "20240101120000.cine";
    ASSERT_TRUE(platform::CreateDirectories(cine + "/sub/deeper"));
    WriteAll(cine + "/001.bmp", "x");
    WriteAll(cine + "/sub/deeper/002.info", "x");
    ASSERT_EQ(::symlink(outside.c_str(), (cine + "/sub/link").c_str()), 0);

    EXPECT_TRUE(DeleteFolderRecursive(cine + "/"));
    EXPECT_FALSE(platform::PathExists(cine));
    EXPECT_TRUE(platform::PathExists(outside + "/keep.bmp"));
    EXPECT_FALSE(DeleteFolderRecursive(cine));  // gone: nothing to delete
}

TEST(ElapsedMicroseconds, CountsFromTheFirstCall) {
    testsupport::FakeClock clock;
    ResetElapsedMicrosecondsForTesting();
    EXPECT_EQ(GetElapsedMicroseconds(), 0.0);
    clock.Advance(1500);
    EXPECT_EQ(GetElapsedMicroseconds(), 1500.0);
    ResetElapsedMicrosecondsForTesting();
}

TEST(PumpWaitingMessages, RunsWorkPostedToTheUiThread) {
    platform::QueuedUiDispatcher ui;
    platform::SetUiDispatcher(&ui);
    int ran = 0;
    platform::PostToUi([&] { ++ran; });
    PumpWaitingMessages();
    platform::SetUiDispatcher(nullptr);
    EXPECT_EQ(ran, 1);
}
