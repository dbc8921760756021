// Start-up without windows: the data root, and the patient a command line names.
#include "archive/StartupChoice.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/archive/PatientFixture.h"

class StartupChoiceTest : public PatientTest {};

TEST_F(StartupChoiceTest, OnlyOneValidIdWhosePatientLoadsOpensAtOnce) {
    AddPatient("0001", "Anna");
    // Files a path-like argument would reach if it were used unchecked.
    const std::string appData = GetAppDataFolder();
    ASSERT_TRUE(platform::CreateDirectories(appData + "/x"));
    const std::string planted =
        "<?xml version=\"1.0\"?><quarnet><user id=\"../x\" syntax=\"2\"><name>Planted</name>"
        "</user></quarnet>";
    testsupport::WriteAll(appData + "/x.xml", planted);
    testsupport::WriteAll(appData + "/x/x.xml", planted);
    ASSERT_TRUE(platform::CreateDirectories(DataRoot() + "a/b"));
    testsupport::WriteAll(DataRoot() + "a/b/b.xml", planted);

    struct Case {
        std::vector<std::string> args;
        bool opens;
    } cases[] = {
        {{}, false},   {{"0001", "0002"}, false}, {{"0001"}, true},  {{"0009"}, false},
        {{""}, false}, {{"a/b"}, false},          {{"../x"}, false}, {{".."}, false},
    };
    for (const Case& c : cases) {
        CUser user;
        EXPECT_EQ(PatientFromCommandLine(c.args, user), c.opens) << (c.args.empty() ? "none" : c.args[0]);
        if (c.opens) {
            EXPECT_EQ(user.m_strId, "0001");
            EXPECT_EQ(user.m_strName, "Anna");
        } else {
            EXPECT_NE(user.m_strName, "Planted");
        }
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartupChoiceTest, TheDataRootIsCreatedPrivate) {
    EXPECT_TRUE(EnsureDataRoot());
    struct stat st {};
    ASSERT_EQ(::stat(DataRoot().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(EnsureDataRoot());  // an existing root is no error
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartupChoiceTest, ADataRootThatCannotBeCreatedIsReportedOnce) {
    // Root would not stop a chmod: put the data root below a regular file instead.
    testsupport::WriteAll(dir / "file", "not a folder");
    testsupport::ScopedEnv below("ProgramData", dir / "file");
    ResetAppFoldersForTesting();
    EXPECT_FALSE(EnsureDataRoot());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find(GetDataFolder()), std::string::npos);
    EXPECT_NE(boxes.shown()[0].text.find("Not a directory"), std::string::npos);
    ResetAppFoldersForTesting();
}

TEST_F(StartupChoiceTest, TheListsMessagesComeOnlyWithAPatientOpenedAtOnce) {
    AddPatient("0001", "Anna");
    ASSERT_TRUE(platform::CreateDirectories(DataRoot() + "0005"));  // a patient folder without its file
    CUser user;
    // No patient to open: the selection dialog's load is the one that reports the folder.
    EXPECT_FALSE(OpenFromCommandLine({"9999"}, user));
    EXPECT_FALSE(OpenFromCommandLine({}, user));
    EXPECT_TRUE(boxes.shown().empty());
    // Opened at once: the list is loaded for its message, as the dialog would have shown it.
    EXPECT_TRUE(OpenFromCommandLine({"0001"}, user));
    EXPECT_EQ(user.m_strName, "Anna");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "File is not found.");
}
