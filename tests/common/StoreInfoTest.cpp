#include "common/StoreInfo.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/common/ArchiveTestFixture.h"

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// 2020-08-20 01:02:03 UTC is 10:02:03 in a zone nine hours ahead.
constexpr const char* kStamp = "20200820100203";
constexpr const char* kNineHoursAhead = "JST-9";

class StoreInfoTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        SetTimeZone(kNineHoursAhead);
        clock.SetUtcMicros(kAugust20At010203Utc + 500000);
    }

    CStoreInfo NewRecord(int32_t type) {
        return CStoreInfo(7, type, 1, "0001", "00000001-00000002-0000ABCD", "Helvo Viewer CL", "1.0.0.0");
    }

    void ExpectSameRecord(const CStoreInfo& a, const CStoreInfo& b) {
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.store_type, b.store_type);
        EXPECT_EQ(a.probe_type, b.probe_type);
        EXPECT_EQ(a.user_id, b.user_id);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.store_time, b.store_time);
        EXPECT_EQ(a.hw_info, b.hw_info);
        EXPECT_EQ(a.app_name, b.app_name);
        EXPECT_EQ(a.app_version, b.app_version);
    }

    std::string RecordXml(const std::string& syntax, const std::string& children) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<quarnet><store_info id=\"3\" syntax=\"" +
               syntax + "\">" + children + "</store_info></quarnet>";
    }
};

}  // namespace

TEST_F(StoreInfoTest, NewRecordIsNamedByLocalStampAndWrittenOnceWithExactBytes) {
    const CStoreInfo record = NewRecord(StoreTypeStill);
    EXPECT_EQ(record.store_time, "2020-08-20T01:02:03Z");
    EXPECT_EQ(record.name, kStamp);
    EXPECT_EQ(record.GetXmlPath(), PatientFolder("0001") + "/" + kStamp + ".xml");
    EXPECT_FALSE(record.IsSaved());

    ASSERT_TRUE(record.Save());  // creates the patient folder
    EXPECT_TRUE(record.IsSaved());
    const std::string bytes = ReadAll(record.GetXmlPath());
    EXPECT_EQ(bytes,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <store_info id=\"7\" syntax=\"1\">\r\n"
              "        <store_type>1</store_type>\r\n"
              "        <store_time>2020-08-20T01:02:03Z</store_time>\r\n"
              "        <user_id>0001</user_id>\r\n"
              "        <probe_type>1</probe_type>\r\n"
              "        <hw_info>00000001-00000002-0000ABCD</hw_info>\r\n"
              "        <app_name>Helvo Viewer CL</app_name>\r\n"
              "        <app_version>1.0.0.0</app_version>\r\n"
              "    </store_info>\r\n"
              "</quarnet>\r\n");

    CStoreInfo back;
    ASSERT_TRUE(back.LoadXml(record.GetXmlPath()));
    ExpectSameRecord(back, record);

    // A second item of the same second is refused and the first record stays as it was.
    CStoreInfo again = NewRecord(StoreTypeCine);
    EXPECT_FALSE(again.Save());
    EXPECT_EQ(ReadAll(record.GetXmlPath()), bytes);
}

TEST_F(StoreInfoTest, NamesAndPathsOfEachStoreType) {
    const std::string folder = PatientFolder("0001") + "/";
    EXPECT_EQ(CStoreInfo::GetUserFolder("0001"), folder);

    const CStoreInfo still = NewRecord(StoreTypeStill);
    EXPECT_EQ(still.GetBmpPath(), folder + kStamp + ".bmp");
    EXPECT_EQ(still.GetInfoPath(), folder + kStamp + ".info");
    EXPECT_EQ(still.GetCineFileName(), "");
    EXPECT_EQ(still.GetCinePath(), "");

    const CStoreInfo cine = NewRecord(StoreTypeCine);
    EXPECT_EQ(cine.GetBmpFileName(), std::string(kStamp) + ".cine/001.bmp");
    EXPECT_EQ(cine.GetInfoFileName(), std::string(kStamp) + ".cine/001.info");
    EXPECT_EQ(cine.GetCinePath(), folder + kStamp + ".cine/");

    const CStoreInfo other = NewRecord(StoreTypeUnknown);
    EXPECT_EQ(other.GetBmpFileName(), "");
    EXPECT_EQ(other.GetBmpPath(), folder);
    EXPECT_EQ(other.GetInfoPath(), folder);
    EXPECT_EQ(other.GetCinePath(), "");

    // The stamp shown in the user's date format (day first unless set otherwise).
    EXPECT_EQ(still.GetTimeText(), "20-08-2020 10:02:03");
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::date_format, "MM-DD-YYYY"));
    EXPECT_EQ(still.GetTimeText(), "08-20-2020 10:02:03");
}

TEST_F(StoreInfoTest, ItemKeepsItsNameAfterTheTimeZoneChanges) {
    const CStoreInfo stored = NewRecord(StoreTypeStill);
    ASSERT_TRUE(stored.Save());
    WriteAll(stored.GetBmpPath(), "BM");

    // The archive moves to a machine in UTC (or the zone of this one changes).
    SetTimeZone("UTC0");
    EXPECT_EQ(CStoreInfo::MakeNameFromStoreTime(stored.store_time), "20200820010203");

    const CStoreInfo listed = CStoreInfo::FromUserFile("0001", std::string(kStamp) + ".bmp");
    EXPECT_EQ(listed.name, kStamp);
    EXPECT_EQ(listed.store_time, "2020-08-20T01:02:03Z");
    EXPECT_EQ(listed.id, 7u);
    EXPECT_TRUE(platform::IsRegularFile(listed.GetBmpPath()));

    CStoreInfo loaded;
    ASSERT_TRUE(loaded.LoadXml(stored.GetXmlPath()));
    EXPECT_EQ(loaded.name, kStamp);
}

TEST_F(StoreInfoTest, LoadAcceptsOnlySyntaxOneAndACompleteRecord) {
    const std::string complete =
        "<store_type>2</store_type><store_time>2020-08-20T01:02:03Z</store_time>"
        "<user_id>0001</user_id><probe_type>7</probe_type>";
    const std::string path = dir / "20200820100203.xml";
    struct Case {
        std::string xml;
        bool loads;
    };
    const Case cases[] = {
        {RecordXml("1", complete), true},
        {RecordXml("2", complete), false},
        {RecordXml("0", complete), false},
        {RecordXml("1", "<store_type>2</store_type><user_id>0001</user_id>"), true},
        {RecordXml("1", "<store_type>0</store_type><user_id>0001</user_id>"), false},
        {RecordXml("1", "<store_type>2</store_type><user_id></user_id>"), false},
        {RecordXml("1", "<store_type>2</store_type><user_id>../0001</user_id>"), false},
        {"<quarnet><user syntax=\"1\"/></quarnet>", false},
        {"not xml", false},
    };
    for (const Case& c : cases) {
        ::unlink(path.c_str());
        WriteAll(path, c.xml);
        CStoreInfo record;
        EXPECT_EQ(record.LoadXml(path), c.loads) << c.xml;
    }

    WriteAll(path, RecordXml("1", complete));
    CStoreInfo record;
    ASSERT_TRUE(record.LoadXml(path));
    EXPECT_EQ(record.id, 3u);
    EXPECT_EQ(record.probe_type, 0);  // not a known probe type
    EXPECT_EQ(record.name, "20200820100203");
    EXPECT_FALSE(record.LoadXml(dir / "missing.xml"));
    EXPECT_FALSE(record.LoadXml(dir.path()));
    EXPECT_EQ(record.user_id, "");
}

TEST_F(StoreInfoTest, RecordDerivedFromAnItemFileWithoutRecord) {
    struct Case {
        std::string userId;
        std::string fileName;
        int32_t type;
        std::string storeTime;
    };
    const Case cases[] = {
        {"0001", std::string(kStamp) + ".bmp", StoreTypeStill, "2020-08-20T01:02:03Z"},
        {"0001", std::string(kStamp) + ".cine", StoreTypeCine, "2020-08-20T01:02:03Z"},
        {"0001", std::string(kStamp) + ".BMP", StoreTypeUnknown, "2020-08-20T01:02:03Z"},
        {"0001", "2020082010020.bmp", StoreTypeUnknown, ""},  // 17 characters: nothing
        {"../x", std::string(kStamp) + ".bmp", StoreTypeUnknown, ""},
    };
    for (const Case& c : cases) {
        const CStoreInfo record = CStoreInfo::FromUserFile(c.userId, c.fileName);
        EXPECT_EQ(record.store_type, c.type) << c.fileName;
        EXPECT_EQ(record.store_time, c.storeTime) << c.fileName;
        EXPECT_EQ(record.id, 0u);
        EXPECT_EQ(record.user_id, c.storeTime.empty() ? "" : c.userId) << c.fileName;
    }

    const CStoreInfo fromPath = CStoreInfo::FromFilePath(PatientFolder("0001") + "/" + kStamp + ".bmp");
    EXPECT_EQ(fromPath.user_id, "0001");
    EXPECT_EQ(fromPath.name, kStamp);
    EXPECT_EQ(fromPath.store_type, StoreTypeStill);
    // A path outside the archive names no item.
    EXPECT_EQ(CStoreInfo::FromFilePath(dir / "elsewhere/0001/20200820100203.bmp").user_id, "");

    const CStoreInfo saved = NewRecord(StoreTypeCine);
    ASSERT_TRUE(saved.Save());
    EXPECT_EQ(CStoreInfo::FromFilePath(saved.GetXmlPath()).id, 7u);
    EXPECT_EQ(CStoreInfo::FromFilePath(saved.GetCinePath() + "001.bmp").id, 7u);
}

TEST_F(StoreInfoTest, FailedWritesAreReportedAndLeaveNoRecord) {
    const CStoreInfo record = NewRecord(StoreTypeStill);
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(record.Save());
    platform::SetWriteFaultHook(nullptr);
    EXPECT_FALSE(record.IsSaved());

    // An id that would leave the archive names no path at all.
    CStoreInfo escaping = record;
    escaping.user_id = "../outside";
    EXPECT_EQ(escaping.GetXmlPath(), "");
    EXPECT_FALSE(escaping.Save());
    EXPECT_FALSE(escaping.SaveXml(dir / "r.xml"));
    EXPECT_FALSE(platform::PathExists(dir / "r.xml"));
}

TEST_F(StoreInfoTest, DeleteFilesMovesEveryFileOfTheItemToTheTrash) {
    const CStoreInfo still = NewRecord(StoreTypeStill);
    ASSERT_TRUE(still.Save());
    WriteAll(still.GetBmpPath(), "BM");  // no sidecar: skipped

    clock.Advance(1000000);
    const CStoreInfo cine = NewRecord(StoreTypeCine);
    ASSERT_TRUE(cine.Save());
    ASSERT_TRUE(platform::CreateDirectories(cine.GetCinePath()));
    WriteAll(cine.GetBmpPath(), "BM");
    WriteAll(cine.GetInfoPath(), "<quarnet/>");

    std::string error;
    EXPECT_TRUE(still.DeleteFiles(&error)) << error;
    EXPECT_TRUE(cine.DeleteFiles(&error)) << error;

    std::vector<platform::DirEntry> left;
    ASSERT_TRUE(platform::ListDirectory(PatientFolder("0001"), left));
    EXPECT_TRUE(left.empty());
    std::vector<platform::DirEntry> trashed;
    ASSERT_TRUE(platform::ListDirectory(TrashFiles(), trashed));
    std::vector<std::string> names;
    for (const auto& e : trashed)
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"20200820100203.bmp", "20200820100203.xml",
                                               "20200820100204.cine", "20200820100204.xml"}));
    EXPECT_TRUE(platform::IsRegularFile(TrashFiles() + "/20200820100204.cine/001.info"));
}

TEST_F(StoreInfoTest, AnItemBelongsToTheFolderItLiesIn) {
    // A patient folder copied by hand keeps records that name the patient it came from.
    const CStoreInfo original = NewRecord(StoreTypeStill);
    ASSERT_TRUE(original.Save());
    WriteAll(original.GetBmpPath(), "BM");
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder("0002")));
    const std::string copy = PatientFolder("0002") + "/" + kStamp;
    WriteAll(copy + ".xml", ReadAll(original.GetXmlPath()));
    WriteAll(copy + ".bmp", "BM");

    for (const CStoreInfo& item : {CStoreInfo::FromUserFile("0002", std::string(kStamp) + ".bmp"),
                                   CStoreInfo::FromFilePath(copy + ".xml")}) {
        EXPECT_EQ(item.user_id, "0002");
        EXPECT_EQ(item.id, 7u);  // the rest of the record is still read
        EXPECT_EQ(item.GetBmpPath(), copy + ".bmp");
    }
    // Deleting the copy's item leaves the original patient's item alone.
    std::string error;
    EXPECT_TRUE(CStoreInfo::FromUserFile("0002", std::string(kStamp) + ".bmp").DeleteFiles(&error)) << error;
    EXPECT_FALSE(platform::PathExists(copy + ".bmp"));
    EXPECT_EQ(ReadAll(original.GetBmpPath()), "BM");
    EXPECT_TRUE(original.IsSaved());
}

TEST_F(StoreInfoTest, DeleteFilesReportsWhatTheTrashCouldNotTake) {
    const CStoreInfo still = NewRecord(StoreTypeStill);
    ASSERT_TRUE(still.Save());
    WriteAll(still.GetBmpPath(), "BM");
    WriteAll(dir / "blocker", "");
    testsupport::ScopedEnv noTrash("XDG_DATA_HOME", dir / "blocker");  // no trash can be made there

    std::string error;
    EXPECT_FALSE(still.DeleteFiles(&error));
    EXPECT_NE(error.find(still.GetBmpPath()), std::string::npos) << error;
    EXPECT_EQ(ReadAll(still.GetBmpPath()), "BM");
    EXPECT_TRUE(still.IsSaved());
}
