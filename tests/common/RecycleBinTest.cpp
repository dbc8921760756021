#include "common/RecycleBin.h"

#include <gtest/gtest.h>

#include "common/CommonUtil.h"
#include "tests/common/ArchiveTestFixture.h"

using testsupport::ReadAll;
using testsupport::WriteAll;

using RecycleBinTest = ArchiveTest;

TEST_F(RecycleBinTest, FileAndFolderGoToTheTrashWithTheirTrashInfo) {
    ASSERT_TRUE(platform::CreateDirectories(dir / "data/20200820100203.cine"));
    WriteAll(dir / "data/20200820100203.bmp", "BM");
    WriteAll(dir / "data/20200820100203.cine/001.bmp", "BM1");

    EXPECT_EQ(CCommonUtil::DeleteToRecycleBin(dir / "data/20200820100203.bmp"), 0);
    EXPECT_EQ(MoveToTrash(dir / "data/20200820100203.cine/"), TrashStatus::Ok);

    EXPECT_FALSE(platform::PathExists(dir / "data/20200820100203.bmp"));
    EXPECT_FALSE(platform::PathExists(dir / "data/20200820100203.cine"));
    EXPECT_EQ(ReadAll(TrashFiles() + "/20200820100203.bmp"), "BM");
    EXPECT_EQ(ReadAll(TrashFiles() + "/20200820100203.cine/001.bmp"), "BM1");
    const std::string info = ReadAll(TrashInfo() + "/20200820100203.bmp.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\n", 0), 0u) << info;
    EXPECT_NE(info.find("\nPath=" + dir.path() + "/data/20200820100203.bmp\n"), std::string::npos) << info;
    EXPECT_NE(info.find("\nDeletionDate="), std::string::npos) << info;
    EXPECT_TRUE(platform::IsRegularFile(TrashInfo() + "/20200820100203.cine.trashinfo"));
}

TEST_F(RecycleBinTest, WhenTheTrashCannotTakeAFileItStaysAndTheFailureIsReported) {
    WriteAll(dir / "blocker", "");
    testsupport::ScopedEnv noTrash("XDG_DATA_HOME", dir / "blocker");
    WriteAll(dir / "keep.bmp", "BM");

    std::string error;
    const TrashStatus status = MoveToTrash(dir / "keep.bmp", &error);
    EXPECT_NE(status, TrashStatus::Ok);
    EXPECT_NE(status, TrashStatus::NotFound);
    EXPECT_EQ(ReadAll(dir / "keep.bmp"), "BM");
    EXPECT_NE(error.find(dir / "keep.bmp"), std::string::npos) << error;
    EXPECT_NE(CCommonUtil::DeleteToRecycleBin(dir / "keep.bmp"), 0);
    EXPECT_TRUE(platform::PathExists(dir / "keep.bmp"));
}

TEST_F(RecycleBinTest, NothingToMoveIsReportedAsNotFound) {
    std::string error;
    EXPECT_EQ(MoveToTrash(dir / "missing.bmp", &error), TrashStatus::NotFound);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(MoveToTrash(""), TrashStatus::NotFound);
}
