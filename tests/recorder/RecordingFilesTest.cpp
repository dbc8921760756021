#include <gtest/gtest.h>
#include <unistd.h>

#include "archive/recorder/RecordingFiles.h"
#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

using recorder::RecordingName;
using recorder::RecordingPaths;

namespace {

RecordingName Name(const std::string& folder, bool select = false) {
    RecordingName n;
    n.folder = folder;
    n.patientId = "0001";
    n.fileName = "knee";
    n.stamp.wYear = 2020;
    n.stamp.wMonth = 8;
    n.stamp.wDay = 20;
    n.stamp.wHour = 12;
    n.stamp.wMinute = 34;
    n.stamp.wSecond = 56;
    n.select = select;
    return n;
}

}  // namespace

TEST(RecordingFiles, NamesCarryIdStampAndTypedName) {
    const RecordingPaths mp4 = recorder::MakeRecordingPaths(Name("/rec"));
    EXPECT_EQ(mp4.avi, "/rec/0001_20200820_123456_knee_temp.avi");
    EXPECT_EQ(mp4.mp4, "/rec/0001_20200820_123456_knee.mp4");
    const RecordingPaths sel = recorder::MakeRecordingPaths(Name("/rec/", true));
    EXPECT_EQ(sel.avi, "/rec/0001_20200820_123456_knee.avi");
    EXPECT_EQ(sel.mp4, "");
    EXPECT_EQ(recorder::MakeRecordingPaths(Name("/rec"), 3).mp4, "/rec/0001_20200820_123456_knee_3.mp4");
    RecordingName slash = Name("/rec");
    slash.fileName = "../etc/x";
    EXPECT_EQ(recorder::MakeRecordingPaths(slash).avi, "/rec/0001_20200820_123456_.._etc_x_temp.avi");
}

TEST(RecordingFiles, RecordingsInTheSameSecondGetASuffixInsteadOfOverwriting) {
    testsupport::TempDir dir;
    RecordingPaths first, second, third, select;
    std::string error;
    ASSERT_TRUE(recorder::CreateRecordingFile(Name(dir.path()), first, error)) << error;
    EXPECT_EQ(platform::FileNamePart(first.avi), "0001_20200820_123456_knee_temp.avi");
    testsupport::WriteAll(first.avi, "frames");
    ASSERT_TRUE(recorder::CreateRecordingFile(Name(dir.path()), second, error)) << error;
    EXPECT_EQ(platform::FileNamePart(second.avi), "0001_20200820_123456_knee_2_temp.avi");
    EXPECT_EQ(platform::FileNamePart(second.mp4), "0001_20200820_123456_knee_2.mp4");
    EXPECT_EQ(testsupport::ReadAll(first.avi), "frames");
    // The first recording's AVI is gone after its transcode: its MP4 still holds the name.
    ::unlink(second.avi.c_str());
    testsupport::WriteAll(second.mp4, "movie");
    ASSERT_TRUE(recorder::CreateRecordingFile(Name(dir.path()), third, error)) << error;
    EXPECT_EQ(platform::FileNamePart(third.avi), "0001_20200820_123456_knee_3_temp.avi");
    ASSERT_TRUE(recorder::CreateRecordingFile(Name(dir.path(), true), select, error)) << error;
    EXPECT_EQ(platform::FileNamePart(select.avi), "0001_20200820_123456_knee.avi");
}

TEST(RecordingFiles, AFolderThatCannotTakeTheFileIsAnErrorWithThePath) {
    testsupport::TempDir dir;
    testsupport::WriteAll(dir / "notafolder", "");  // even root cannot create files under a file
    RecordingPaths paths;
    std::string error;
    EXPECT_FALSE(recorder::CreateRecordingFile(Name(dir / "notafolder"), paths, error));
    EXPECT_NE(error.find("notafolder/0001_20200820_123456_knee_temp.avi"), std::string::npos) << error;
}

TEST(RecordingFiles, Mp4RowByCameraAndQuality) {
    struct Case {
        int quality;
        std::optional<int> withCamera, viewOnly;
    };
    for (const Case& c :
         {Case{0, 0, 3}, Case{1, 1, 4}, Case{2, 2, 5}, Case{3, std::nullopt, std::nullopt}, Case{-1, 2, 5}}) {
        EXPECT_EQ(recorder::Mp4RowFor(true, c.quality), c.withCamera) << c.quality;
        EXPECT_EQ(recorder::Mp4RowFor(false, c.quality), c.viewOnly) << c.quality;
    }
}
