#include "common/SupportUtil.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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

TEST(DeleteFolderRecursive, GivenALinkRemovesTheLinkAndNothingBehindIt) {
    testsupport::TempDir dir;
    const std::string target = dir / "patient";
    ASSERT_TRUE(platform::CreateDirectories(target + "/sub"));
    WriteAll(target + "/1.bmp", "x");
    WriteAll(target + "/sub/2.bmp", "x");
    const std::string link = dir / "20240101120000.cine";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);

    for (const std::string& given : {link, link + "/"}) {
        if (given.back() == '/') {
            ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        }
        EXPECT_TRUE(DeleteFolderRecursive(given)) << given;
        struct stat st {};
        EXPECT_NE(::lstat(link.c_str(), &st), 0) << given;
        EXPECT_TRUE(platform::PathExists(target + "/1.bmp")) << given;
        EXPECT_TRUE(platform::PathExists(target + "/sub/2.bmp")) << given;
    }
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
