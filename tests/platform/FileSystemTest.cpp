#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/TestSupport.h"

using namespace platform;
using testsupport::ReadAll;
using testsupport::TempDir;

class FileSystemTest : public ::testing::Test {
protected:
    void TearDown() override { SetWriteFaultHook(nullptr); }
    TempDir dir;
};

TEST_F(FileSystemTest, AtomicWriteReplacesWholeFileWithPrivateMode) {
    const std::string path = dir / "a.xml";
    ASSERT_TRUE(WriteFileAtomic(path, "first"));
    ASSERT_TRUE(WriteFileAtomic(path, "second, longer"));
    EXPECT_EQ(ReadAll(path), "second, longer");
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.path(), entries));
    EXPECT_EQ(entries.size(), 1u) << "no temporary file may stay behind";
}

TEST_F(FileSystemTest, FailedWriteLeavesOldFileIntact) {
    const std::string path = dir / "settings.xml";
    ASSERT_TRUE(WriteFileAtomic(path, "precious"));
    SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(WriteFileAtomic(path, "replacement"));
    EXPECT_EQ(CreateFileExclusive(dir / "new.xml", "x"), WriteResult::Failed);
    EXPECT_EQ(ReadAll(path), "precious");
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.path(), entries));
    EXPECT_EQ(entries.size(), 1u);
}

TEST_F(FileSystemTest, WriteIntoMissingFolderOrOverFolderFails) {
    EXPECT_FALSE(WriteFileAtomic(dir / "missing/a.xml", "x"));
    ASSERT_TRUE(CreateDirectories(dir / "sub"));
    EXPECT_FALSE(WriteFileAtomic(dir / "sub", "x"));
}

TEST_F(FileSystemTest, ExclusiveCreateNeverReplaces) {
    const std::string path = dir / "20240101120000.xml";
    EXPECT_EQ(CreateFileExclusive(path, "one"), WriteResult::Ok);
    EXPECT_EQ(CreateFileExclusive(path, "two"), WriteResult::Exists);
    EXPECT_EQ(ReadAll(path), "one");
}

TEST_F(FileSystemTest, ListingIsSortedAndMarksFoldersAndLinks) {
    for (const char* n : {"b.txt", "a.txt", "C.txt"}) testsupport::WriteAll(dir / n, "");
    ASSERT_TRUE(CreateDirectories(dir / "d/e/f"));
    ASSERT_EQ(::symlink("/", (dir / "link").c_str()), 0);
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListDirectory(dir.path(), entries));
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"C.txt", "a.txt", "b.txt", "d", "link"}));
    EXPECT_TRUE(entries[3].isDirectory);
    EXPECT_TRUE(entries[4].isSymlink);
    EXPECT_FALSE(entries[4].isDirectory);
    EXPECT_FALSE(ListDirectory(dir / "nothing", entries));
}

TEST(PathParts, JoinAndSplit) {
    EXPECT_EQ(JoinPath("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(JoinPath("/a", "/c"), "/a/c");
    EXPECT_EQ(JoinPath("/", "c"), "/c");
    EXPECT_EQ(ParentFolder("/a/b/c.xml"), "/a/b");
    EXPECT_EQ(ParentFolder("c.xml"), "");
    EXPECT_EQ(FileNamePart("/a/b/c.xml"), "c.xml");
}
