#include "common/UserList.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>
#include <ctime>

#include "tests/common/ArchiveTestFixture.h"

using testsupport::WriteAll;

namespace {

class UserListTest : public ArchiveTest {
protected:
    void AddPatient(const std::string& folder, const std::string& id, const std::string& name,
                    const std::string& birthdate = "") {
        ASSERT_TRUE(platform::CreateDirectories(PatientFolder(folder)));
        WriteAll(PatientFolder(folder) + "/" + folder + ".xml",
                 "<?xml version=\"1.0\"?><quarnet><user id=\"" + id + "\" syntax=\"2\"><name>" + name +
                     "</name><birthdate>" + birthdate + "</birthdate></user></quarnet>");
    }

    std::vector<std::string> Ids(const CUserList& list) {
        std::vector<std::string> ids;
        for (const CUser& u : list.m_lstUsers)
            ids.push_back(u.m_strId);
        return ids;
    }

    std::vector<std::string> Found(CUserList& list) {
        std::vector<std::string> ids;
        while (list.FindNext())
            ids.push_back(list.m_lstUsers[list.m_nCursor++].m_strId);
        return ids;
    }
};

}  // namespace

TEST_F(UserListTest, ListsEveryLoadablePatientWhateverTheIdLength) {
    AddPatient("0002", "0002", "B");
    AddPatient("0001", "0001", "A");
    AddPatient("12345", "12345", "Long id");
    AddPatient("ab", "ab", "Letters");
    AddPatient("A.B", "A.B", "Dotted");

    CUserList list;
    list.LoadAll();
    EXPECT_EQ(Ids(list), (std::vector<std::string>{"0001", "0002", "12345", "A.B", "ab"}));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(list.m_bSearchBegun);
}

TEST_F(UserListTest, FoldersThatDoNotLoadAreReportedAndLeftOut) {
    AddPatient("0001", "0001", "A");
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder("0003")));  // a stray short folder
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder("0004")));
    WriteAll(PatientFolder("0004") + "/0004.xml", "<quarnet><user id=\"0004\" syntax=\"2\">");  // corrupt
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder("10000")));
    WriteAll(PatientFolder("10000") + "/10000.xml", "<quarnet><user id=\"\" syntax=\"2\"/></quarnet>");
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder("exports 2020")));  // not a patient: silent
    WriteAll(PatientFolder("0005"), "a file, not a folder");

    CUserList list;
    list.LoadAll();
    EXPECT_EQ(Ids(list), std::vector<std::string>{"0001"});
    ASSERT_EQ(boxes.shown().size(), 3u);
    for (const platform::MessageBoxRequest& box : boxes.shown()) {
        EXPECT_EQ(box.text, "File is not found.");
        EXPECT_EQ(box.caption, GetProductName());
        EXPECT_EQ(box.icon, platform::MsgIcon::None);
        EXPECT_EQ(box.buttons, platform::MsgButtons::Ok);
    }
}

TEST_F(UserListTest, LinksInTheDataRootAreNotPatients) {
    AddPatient("0001", "0001", "A");
    // A patient folder outside the archive, linked into the data root under its own id.
    const std::string outside = dir / "outside/0002";
    ASSERT_TRUE(platform::CreateDirectories(outside));
    WriteAll(
        outside + "/0002.xml",
        "<?xml version=\"1.0\"?><quarnet><user id=\"0002\" syntax=\"2\"><name>B</name></user></quarnet>");
    ASSERT_EQ(::symlink(outside.c_str(), PatientFolder("0002").c_str()), 0);

    CUserList list;
    list.LoadAll();
    EXPECT_EQ(Ids(list), std::vector<std::string>{"0001"});
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(UserListTest, LoadingSweepsTemporariesLeftByAKilledSave) {
    AddPatient("0001", "0001", "A");
    const std::string folder = PatientFolder("0001");
    const std::string stale = folder + "/0001.xml.tmp.a1B2c3";
    const std::string staleRecord = folder + "/20200820100203.xml.tmp.Q9w8E7";
    const std::string fresh = folder + "/0001.xml.tmp.z9Y8x7";
    for (const std::string& path : {stale, staleRecord, fresh})
        WriteAll(path, "<quarnet><user id=\"0001\"");
    const timespec old[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, stale.c_str(), old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, staleRecord.c_str(), old, 0), 0);

    CUserList list;
    list.LoadAll();
    EXPECT_EQ(Ids(list), std::vector<std::string>{"0001"});
    EXPECT_FALSE(platform::PathExists(stale));
    EXPECT_FALSE(platform::PathExists(staleRecord));
    EXPECT_TRUE(platform::PathExists(fresh));  // may belong to a save under way
    EXPECT_TRUE(platform::PathExists(folder + "/0001.xml"));
}

TEST_F(UserListTest, APatientFileNamingAnotherPatientIsNotTakenForIt) {
    // A folder copied by hand still names the patient it was copied from: listed as that
    // patient, a later save of it would overwrite the other patient's file.
    AddPatient("0004", "0004", "Real");
    AddPatient("0005", "0004", "Copy");
    CUserList list;
    list.LoadAll();
    ASSERT_EQ(Ids(list), std::vector<std::string>{"0004"});
    EXPECT_EQ(list.m_lstUsers[0].m_strName, "Real");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "File is not found.");

    CUser user;
    EXPECT_FALSE(CUserList::LoadUser("0005", user));
    EXPECT_TRUE(CUserList::LoadUser("0004", user));
}

TEST_F(UserListTest, EmptyOrMissingDataRootGivesAnEmptyListWithoutMessage) {
    CUserList list;
    list.LoadAll();
    EXPECT_TRUE(list.m_lstUsers.empty());
    ASSERT_TRUE(platform::CreateDirectories(DataRoot()));
    list.LoadAll();
    EXPECT_TRUE(list.m_lstUsers.empty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(UserListTest, SearchesByIdNameAndStoredBirthdate) {
    AddPatient("0001", "0001", "anna smith", "1990-08-20");
    AddPatient("0002", "0002", "ANNA SMITH", "1985-01-02");
    AddPatient("0003", "0003", "Bob", "1990-08-20");
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::date_format, "MM-DD-YYYY"));
    CUserList list;
    list.LoadAll();
    EXPECT_EQ(list.m_lstUsers[0].m_strBirthdateText, "08-20-1990");

    list.BeginSearch("  \t ");
    EXPECT_TRUE(list.m_bMatchAll);
    EXPECT_EQ(Found(list).size(), 3u);

    list.BeginSearch(" 0002 ");
    EXPECT_EQ(Found(list), std::vector<std::string>{"0002"});
    list.BeginSearch("002");
    EXPECT_TRUE(Found(list).empty());  // ids compare whole

    list.BeginSearch("anna", UserSearchByName);
    EXPECT_EQ(Found(list), std::vector<std::string>{"0001"});  // case matters

    list.BeginSearch("1990-08-20", UserSearchByBirthdate);
    EXPECT_EQ(Found(list), (std::vector<std::string>{"0001", "0003"}));
    list.BeginSearch("08-20-1990", UserSearchByBirthdate);
    EXPECT_TRUE(Found(list).empty());  // the display form is not the stored one

    // A match leaves the cursor on it.
    list.BeginSearch("0003");
    EXPECT_TRUE(list.FindNext());
    EXPECT_TRUE(list.FindNext());
    EXPECT_EQ(list.m_nCursor, 2);

    CUser user;
    EXPECT_TRUE(CUserList::LoadUser("0003", user));
    EXPECT_EQ(user.m_strName, "Bob");
    EXPECT_FALSE(CUserList::LoadUser("../0003", user));
}
