#include "platform/FileSystem.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstring>
#include <ctime>
#include <map>

#include "tests/support/TestSupport.h"

using namespace platform;
using testsupport::ReadAll;
using testsupport::TempDir;

class FileSystemTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetWriteFaultHook(nullptr);
        SetFileStepFaultForTesting(nullptr);
    }
    std::vector<std::string> Names() {
        std::vector<DirEntry> entries;
        EXPECT_TRUE(ListDirectory(dir.path(), entries));
        std::vector<std::string> names;
        for (const auto& e : entries)
            names.push_back(e.name);
        return names;
    }
    // Makes a file look as if it was last written `seconds` ago.
    static void Age(const std::string& path, int seconds) {
        const timespec times[2] = {{std::time(nullptr) - seconds, 0}, {std::time(nullptr) - seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    // Fails the given steps with their errno values, as a file system without them would.
    static void FailSteps(std::map<FileStep, int> faults) {
        SetFileStepFaultForTesting([faults](FileStep step, const std::string&) {
            const auto f = faults.find(step);
            return f == faults.end() ? 0 : f->second;
        });
    }
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

TEST_F(FileSystemTest, AWriteCheckSeesTheBytesReadBackAndCanRefuse) {
    const std::string path = dir / "a.xml";
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    std::string seen;
    EXPECT_FALSE(WriteFileAtomic(path, "new", kPrivateFileMode, [&](const std::string& back) {
        seen = back;
        return false;
    }));
    EXPECT_EQ(seen, "new");
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(
        CreateFileExclusive(dir / "r.xml", "rec", kPrivateFileMode, [](const std::string&) { return false; }),
        WriteResult::Failed);
    EXPECT_EQ(Names(), std::vector<std::string>{"a.xml"});
}

// A save killed while it writes leaves no temporary copy where the file system has unnamed
// files; where it has none, the copy is swept at the next save once it is a minute old.
TEST_F(FileSystemTest, ASaveKilledWhileWritingLeavesNoTemporaryBehind) {
    const std::string path = dir / "0001.xml";
    ASSERT_TRUE(WriteFileAtomic(path, "whole"));
    const auto killedSave = [&] {
        SetWriteFaultHook([](const std::string&) {
            std::raise(SIGKILL);
            return true;
        });
        WriteFileAtomic(path, "new");
    };
    EXPECT_EXIT(killedSave(), testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"0001.xml"});
    EXPECT_EQ(ReadAll(path), "whole");
}

TEST_F(FileSystemTest, StaleTemporariesOfTheSameTargetAreSweptAtTheNextSave) {
    const std::string path = dir / "0001.xml";
    testsupport::WriteAll(path + ".tmp.Ab12Cd", "left by a kill");
    testsupport::WriteAll(path + ".tmp.Xy34Zw", "a save under way");
    testsupport::WriteAll(dir / "0002.xml.tmp.Ab12Cd", "another target");
    testsupport::WriteAll(path + ".tmp.notmine", "not a temporary name");
    Age(path + ".tmp.Ab12Cd", 61);
    Age(dir / "0002.xml.tmp.Ab12Cd", 61);
    Age(path + ".tmp.notmine", 61);
    FailSteps({{FileStep::UnnamedTemporary, EOPNOTSUPP}});
    ASSERT_TRUE(WriteFileAtomic(path, "x"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"0001.xml", "0001.xml.tmp.Xy34Zw", "0001.xml.tmp.notmine",
                                                 "0002.xml.tmp.Ab12Cd"}));
    SweepStaleTemporariesIn(dir.path());
    EXPECT_EQ(Names(), (std::vector<std::string>{"0001.xml", "0001.xml.tmp.Xy34Zw", "0001.xml.tmp.notmine"}));
}

TEST_F(FileSystemTest, ExclusiveCreateFallsBackWhereTheFileSystemHasNoHardLinks) {
    struct Case {
        std::map<FileStep, int> faults;
        WriteResult result;
        std::string failedSteps;
    };
    const std::string noLink = std::string("hard link: ") + std::strerror(EPERM);
    const std::string noRename = std::string("rename without replace: ") + std::strerror(EINVAL);
    const std::string noOpen = std::string("exclusive open: ") + std::strerror(EACCES);
    const Case cases[] = {
        {{}, WriteResult::Ok, ""},
        {{{FileStep::UnnamedTemporary, EOPNOTSUPP}}, WriteResult::Ok, ""},
        {{{FileStep::HardLink, EPERM}}, WriteResult::Ok, noLink},
        {{{FileStep::HardLink, EPERM}, {FileStep::RenameNoReplace, EINVAL}},
         WriteResult::Ok,
         noLink + "; " + noRename},
        {{{FileStep::HardLink, EPERM},
          {FileStep::RenameNoReplace, EINVAL},
          {FileStep::ExclusiveOpen, EACCES}},
         WriteResult::Failed,
         noLink + "; " + noRename + "; " + noOpen},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "rec" + std::to_string(n++) + ".xml";
        FailSteps(c.faults);
        std::string failed;
        EXPECT_EQ(CreateFileExclusive(dir / name, "record", kPrivateFileMode, {}, &failed), c.result) << name;
        EXPECT_EQ(failed, c.failedSteps) << name;
        if (c.result == WriteResult::Ok) {
            EXPECT_EQ(ReadAll(dir / name), "record") << name;
            struct stat st {};
            ASSERT_EQ(::stat((dir / name).c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u);
        }
        for (const std::string& left : Names())
            EXPECT_EQ(left.find(".tmp."), std::string::npos) << left;
    }
    EXPECT_FALSE(PathExists(dir / "rec4.xml"));
}

TEST_F(FileSystemTest, EachFallbackRefusesARecordThatAppearedMeanwhile) {
    // Another writer creates the record just before the step runs.
    for (const FileStep step : {FileStep::HardLink, FileStep::RenameNoReplace, FileStep::ExclusiveOpen}) {
        const std::string path = dir / ("rec" + std::to_string(static_cast<int>(step)) + ".xml");
        SetFileStepFaultForTesting([step, path](FileStep at, const std::string&) {
            if (at == step)
                testsupport::WriteAll(path, "theirs");
            return at < step ? EPERM : 0;
        });
        EXPECT_EQ(CreateFileExclusive(path, "mine"), WriteResult::Exists) << path;
        EXPECT_EQ(ReadAll(path), "theirs") << path;
    }
    for (const std::string& left : Names())
        EXPECT_EQ(left.find(".tmp."), std::string::npos) << left;
}

TEST_F(FileSystemTest, AFinishedFileIsPlacedByTheSameFallbacks) {
    // Larger than one copy chunk, so the last fallback copies in several pieces.
    std::string video(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < video.size(); ++i)
        video[i] = static_cast<char>(i * 7 / 5);
    struct Case {
        std::map<FileStep, int> faults;
        int result;
    };
    const Case cases[] = {
        {{}, 0},
        {{{FileStep::HardLink, EPERM}}, 0},
        {{{FileStep::HardLink, EPERM}, {FileStep::RenameNoReplace, EINVAL}}, 0},
        {{{FileStep::HardLink, EPERM},
          {FileStep::RenameNoReplace, EINVAL},
          {FileStep::ExclusiveOpen, EACCES}},
         EACCES},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string target = dir / ("v" + std::to_string(n++) + ".avi");
        testsupport::WriteAll(target + ".tmp.abcdef", video);
        FailSteps(c.faults);
        EXPECT_EQ(PlaceFileExclusive(target + ".tmp.abcdef", target), c.result) << target;
        if (c.result == 0) {
            EXPECT_TRUE(ReadAll(target) == video) << target;
            struct stat st {};
            ASSERT_EQ(::stat(target.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u) << target;
        } else {
            EXPECT_FALSE(PathExists(target));
        }
        for (const std::string& left : Names())
            EXPECT_EQ(left.find(".tmp."), std::string::npos) << left;
    }

    // A file of the name is never replaced, at whichever step it shows up.
    SetFileStepFaultForTesting(nullptr);
    testsupport::WriteAll(dir / "old.avi", "theirs");
    testsupport::WriteAll(dir / "old.avi.tmp.abcdef", video);
    EXPECT_EQ(PlaceFileExclusive(dir / "old.avi.tmp.abcdef", dir / "old.avi"), EEXIST);
    for (const FileStep step : {FileStep::RenameNoReplace, FileStep::ExclusiveOpen}) {
        const std::string path = dir / ("late" + std::to_string(static_cast<int>(step)) + ".avi");
        testsupport::WriteAll(path + ".tmp.abcdef", video);
        SetFileStepFaultForTesting([step, path](FileStep at, const std::string&) {
            if (at == step)
                testsupport::WriteAll(path, "theirs");
            return at < step ? EPERM : 0;
        });
        EXPECT_EQ(PlaceFileExclusive(path + ".tmp.abcdef", path), EEXIST) << path;
        EXPECT_EQ(ReadAll(path), "theirs") << path;
    }
    EXPECT_EQ(ReadAll(dir / "old.avi"), "theirs");
    for (const std::string& left : Names())
        EXPECT_EQ(left.find(".tmp."), std::string::npos) << left;
}

TEST(PathParts, JoinAndSplit) {
    EXPECT_EQ(JoinPath("/a/b/", "c"), "/a/b/c");
    EXPECT_EQ(JoinPath("/a", "/c"), "/a/c");
    EXPECT_EQ(JoinPath("/", "c"), "/c");
    EXPECT_EQ(ParentFolder("/a/b/c.xml"), "/a/b");
    EXPECT_EQ(ParentFolder("c.xml"), "");
    EXPECT_EQ(FileNamePart("/a/b/c.xml"), "c.xml");
}
