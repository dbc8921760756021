// New: the next id after the folders of the data root, and the patient file written for it.
#include "archive/NewPatient.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <functional>
#include <random>

#include "common/UserList.h"
#include "tests/archive/PatientFixture.h"
#include "tests/archive/RandomKill.h"

using platform::DirEntry;

namespace {

DirEntry Folder(const std::string& name) {
    return DirEntry{name, true, false};
}
DirEntry File(const std::string& name) {
    return DirEntry{name, false, false};
}
DirEntry Link(const std::string& name) {
    return DirEntry{name, false, true};
}

const std::string k30Digits = "123456789012345678901234567890";

}  // namespace

TEST(NextPatientIdTest, FollowsTheLargestNumberThatStartsAFolderName) {
    struct Case {
        const char* what;
        std::vector<DirEntry> listing;
        std::optional<std::string> id;
    } cases[] = {
        {"empty root", {}, "0001"},
        {"1, 7, 12", {Folder("0001"), Folder("0007"), Folder("0012")}, "0013"},
        {"an extension", {Folder("0003"), Folder("12.x")}, "0013"},
        {"no leading digits, plain files, links",
         {Folder("abc"), File("0099"), Link("0050"), Folder("x12")},
         "0001"},
        {"past four digits", {Folder("9999")}, "10000"},
        {"the largest number there is", {Folder("18446744073709551614")}, "18446744073709551615"},
        {"nothing after it", {Folder("0001"), Folder("18446744073709551615")}, std::nullopt},
        {"30 digits", {Folder("0001"), Folder(k30Digits + "abc")}, std::nullopt},
    };
    for (const Case& c : cases) {
        std::string blocking;
        EXPECT_EQ(NextPatientId(c.listing, &blocking), c.id) << c.what;
        if (!c.id) {
            EXPECT_EQ(blocking, c.listing.back().name) << c.what;
        }
    }
}

class NewPatientTest : public PatientTest {};

TEST_F(NewPatientTest, WritesThePatientIntoANewFolder) {
    const PatientEntry entry{"Anna", "Female", "1990-05-04", "first visit"};
    const auto created = CreateNewPatient(entry);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->id, "0001");
    EXPECT_EQ(created->name, "Anna");

    CUser user;
    ASSERT_TRUE(user.Load("0001"));
    EXPECT_EQ((PatientEntry{user.m_strName, user.m_strSex, user.m_strBirthdate, user.m_strNote}), entry);
    EXPECT_TRUE(user.m_strLmp.empty());
    EXPECT_EQ(user.m_nLastStoreInfoId, 0u);
    struct stat st {};
    ASSERT_EQ(::stat(PatientFolder("0001").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(CUser::GetXmlPath("0001").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(NewPatientTest, SkipsANameThatAFileAlreadyHolds) {
    AddPatient("0001", "A");
    testsupport::WriteAll(PatientFolder("0002"), "a plain file");
    const auto created = CreateNewPatient(PatientEntry{"B", "Male", "", ""});
    ASSERT_TRUE(created);
    EXPECT_EQ(created->id, "0003");
}

TEST_F(NewPatientTest, AFailedWriteIsReportedAndLeavesNoFolder) {
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(CreateNewPatient(PatientEntry{"Anna", "Female", "", ""}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find(CUser::GetXmlPath("0001")), std::string::npos);
    EXPECT_NE(boxes.shown()[0].text.find("could not be written"), std::string::npos);
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Error);
    EXPECT_FALSE(platform::PathExists(PatientFolder("0001")));

    platform::SetWriteFaultHook(nullptr);
    CUserList list;
    list.LoadAll();  // no "File is not found." for a half-made patient
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(list.m_lstUsers.empty());
}

TEST_F(NewPatientTest, NoNextIdIsRefusedWithTheFolderThatHoldsTheLargestNumber) {
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder(k30Digits)));
    EXPECT_FALSE(CreateNewPatient(PatientEntry{"Anna", "Female", "", ""}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find(k30Digits), std::string::npos);
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(platform::ListDirectory(DataRoot(), entries));
    EXPECT_EQ(entries.size(), 1u);
}

// A New killed at any moment leaves either a whole patient or nothing the patient list
// complains about: no folder without its patient file, no message at the next starts.
TEST_F(NewPatientTest, AKillDuringNewLeavesNoPatientFolderWithoutItsFile) {
    const auto killedChild = [](const std::function<void()>& work) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            work();
            ::_exit(0);
        }
        return pid;
    };
    // The staging folders a killed New leaves go once a minute old: age what is there.
    const auto age = [&] {
        std::vector<platform::DirEntry> entries;
        platform::ListDirectory(DataRoot(), entries);
        const timespec old[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
        for (const auto& e : entries)
            ::utimensat(AT_FDCWD, platform::JoinPath(DataRoot(), e.name).c_str(), old, AT_SYMLINK_NOFOLLOW);
    };
    const auto expectNoDebris = [&](const std::string& what) {
        age();
        CUserList list;
        list.LoadAll();
        list.LoadAll();
        EXPECT_TRUE(boxes.shown().empty()) << what << ": " << boxes.shown().front().text;
        std::vector<platform::DirEntry> entries;
        platform::ListDirectory(DataRoot(), entries);
        EXPECT_EQ(entries.size(), list.m_lstUsers.size()) << what << ": a folder that is no patient";
    };

    // At each write of New: the patient file, the rename into place.
    for (int killAt = 1; killAt <= 2; ++killAt) {
        const pid_t pid = killedChild([killAt] {
            int steps = 0;
            platform::SetWriteFaultHook([&](const std::string&) {
                if (++steps == killAt)
                    ::raise(SIGKILL);
                return false;
            });
            CreateNewPatient(PatientEntry{"Anna", "Female", "", ""});
        });
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status)) << "New finished before its write " << killAt;
        expectNoDebris("killed at write " + std::to_string(killAt));
    }

    // At random moments of News one after the other, after 0, 1 or 2 of them.
    std::mt19937 rng(26);
    size_t created = 0;
    for (int round = 0; round < 40; ++round) {
        const auto create = [] { CreateNewPatient(PatientEntry{"Anna", "Female", "", ""}); };
        ASSERT_TRUE(archivetest::KillDuringSteps(create, round % 3, 20000, rng)) << "round " << round;
        created += static_cast<size_t>(round % 3);
    }
    expectNoDebris("random kills");
    CUserList list;
    list.LoadAll();
    EXPECT_GE(list.m_lstUsers.size(), created) << "the patients created before the kills";
    EXPECT_TRUE(CreateNewPatient(PatientEntry{"Bea", "Female", "", ""}));
}

// What a killed New left goes once it is a minute old, with the files in it. A younger one
// may be a New under way, and nothing else under the data root is touched: a look-alike
// name, a plain file or a link under a staging name, or a staging folder holding a folder.
TEST_F(NewPatientTest, OnlyStaleStagingFoldersAreSwept) {
    const std::string root = DataRoot();
    const auto folderWithFile = [&](const std::string& name) {
        ASSERT_TRUE(platform::CreateDirectories(root + name));
        testsupport::WriteAll(root + name + "/0001.xml", "half");
    };
    folderWithFile("..new-patient.young1");
    folderWithFile("..new-patient.stale1");
    testsupport::WriteAll(root + "..new-patient.stale1/0001.xml.tmp.Ab12Cd", "half");
    folderWithFile("..new-patient.holds");
    ASSERT_TRUE(platform::CreateDirectories(root + "..new-patient.holds/kept"));
    folderWithFile("..new-patient.longer1");
    testsupport::WriteAll(root + "..new-patient.plain1", "a file");
    folderWithFile("elsewhere");
    ASSERT_EQ(::symlink((root + "elsewhere").c_str(), (root + "..new-patient.link01").c_str()), 0);
    const timespec old[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
    for (const char* name : {"..new-patient.stale1", "..new-patient.holds", "..new-patient.longer1",
                             "..new-patient.plain1", "..new-patient.link01", "elsewhere"})
        ASSERT_EQ(::utimensat(AT_FDCWD, (root + name).c_str(), old, AT_SYMLINK_NOFOLLOW), 0) << name;

    CUserList list;
    list.LoadAll();
    EXPECT_FALSE(platform::PathExists(root + "..new-patient.stale1"));
    EXPECT_TRUE(platform::IsRegularFile(root + "..new-patient.young1/0001.xml"));
    EXPECT_TRUE(platform::IsDirectory(root + "..new-patient.holds/kept"));
    EXPECT_TRUE(platform::IsRegularFile(root + "..new-patient.longer1/0001.xml"));
    EXPECT_TRUE(platform::IsRegularFile(root + "..new-patient.plain1"));
    EXPECT_TRUE(platform::IsRegularFile(root + "elsewhere/0001.xml"));
    EXPECT_TRUE(list.m_lstUsers.empty());
    EXPECT_TRUE(boxes.shown().empty());
}
