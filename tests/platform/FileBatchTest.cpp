// The file steps of stores that write many files and make them durable together.
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

namespace {

using platform::WriteResult;

class FileBatchTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetWriteFaultHook(nullptr); }
    testsupport::TempDir dir;
};

TEST_F(FileBatchTest, UnsyncedCreateNeverReplacesAndLeavesNothingOnFailure) {
    const std::string path = dir / "001.bmp";
    EXPECT_EQ(platform::CreateFileUnsynced(path, "first"), WriteResult::Ok);
    EXPECT_EQ(platform::CreateFileUnsynced(path, "second"), WriteResult::Exists);
    EXPECT_EQ(testsupport::ReadAll(path), "first");
    platform::SetWriteFaultHook([](const std::string& p) { return p.ends_with("002.bmp"); });
    EXPECT_EQ(platform::CreateFileUnsynced(dir / "002.bmp", "x"), WriteResult::Failed);
    EXPECT_FALSE(platform::PathExists(dir / "002.bmp"));
    EXPECT_EQ(platform::CreateFileUnsynced(dir / "missing/003.bmp", "x"), WriteResult::Failed);
}

TEST_F(FileBatchTest, RenameNeverReplacesAFolder) {
    ASSERT_TRUE(platform::CreateDirectories(dir / "a.cine.part"));
    ASSERT_TRUE(platform::CreateDirectories(dir / "b.cine"));
    EXPECT_FALSE(platform::RenameNoReplace(dir / "a.cine.part", dir / "b.cine"));
    EXPECT_TRUE(platform::IsDirectory(dir / "a.cine.part"));
    EXPECT_TRUE(platform::RenameNoReplace(dir / "a.cine.part", dir / "a.cine"));
    EXPECT_TRUE(platform::IsDirectory(dir / "a.cine"));
    EXPECT_FALSE(platform::PathExists(dir / "a.cine.part"));
}

TEST_F(FileBatchTest, FlushAndFreeSpace) {
    EXPECT_TRUE(platform::SyncFileSystem(dir.path()));
    EXPECT_FALSE(platform::SyncFileSystem(dir / "missing"));
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(platform::SyncFileSystem(dir.path()));
    uint64_t bytes = 0;
    EXPECT_TRUE(platform::FreeDiskBytes(dir.path(), bytes));
    EXPECT_GT(bytes, 0u);
    EXPECT_FALSE(platform::FreeDiskBytes(dir / "missing", bytes));
}

}  // namespace
