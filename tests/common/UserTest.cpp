#include "common/User.h"

#include <gtest/gtest.h>

#include "tests/common/ArchiveTestFixture.h"

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

class UserTest : public ArchiveTest {
protected:
    std::string UserXml(const std::string& syntax, const std::string& id, const std::string& children) {
        return "<?xml version=\"1.0\"?>\r\n<quarnet><user id=\"" + id + "\" syntax=\"" + syntax + "\">" +
               children + "</user></quarnet>";
    }
    std::string WritePatientFile(const std::string& id, const std::string& xml) {
        EXPECT_TRUE(platform::CreateDirectories(PatientFolder(id)));
        const std::string path = CUser::GetXmlPath(id);
        WriteAll(path, xml);
        return path;
    }
    void Touch(const std::string& path) { WriteAll(path, ""); }
};

}  // namespace

TEST_F(UserTest, PatientFileRoundTripWithExactBytes) {
    CUser user;
    user.m_strId = "0012";
    user.m_strName = "Ana M\xC3\xBCller & <Co>";
    user.m_strSex = "Female";
    user.m_strBirthdate = "1990-08-20";
    user.m_strLmp = "2020-06-01";
    user.m_strNote = "";
    user.m_nLastStoreInfoId = 18446744073709551615ULL;
    ASSERT_TRUE(user.Save());  // creates the patient folder

    const std::string path = CUser::GetXmlPath("0012");
    EXPECT_EQ(path, PatientFolder("0012") + "/0012.xml");
    EXPECT_EQ(ReadAll(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <user id=\"0012\" syntax=\"2\">\r\n"
              "        <name>Ana M\xC3\xBCller &amp; &lt;Co&gt;</name>\r\n"
              "        <sex>Female</sex>\r\n"
              "        <birthdate>1990-08-20</birthdate>\r\n"
              "        <last_menstrual_period>2020-06-01</last_menstrual_period>\r\n"
              "        <basal_body_temperature></basal_body_temperature>\r\n"
              "        <note></note>\r\n"
              "        <last_store_info_id>18446744073709551615</last_store_info_id>\r\n"
              "    </user>\r\n"
              "</quarnet>\r\n");

    CUser back;
    ASSERT_TRUE(back.Load("0012"));
    EXPECT_EQ(back.m_strId, "0012");
    EXPECT_EQ(back.m_strName, user.m_strName);
    EXPECT_EQ(back.m_strSex, "Female");
    EXPECT_EQ(back.m_strSexText, "Female");
    EXPECT_EQ(back.m_strBirthdate, "1990-08-20");
    EXPECT_EQ(back.m_strBirthdateText, "20-08-1990");
    EXPECT_EQ(back.m_strLmp, "2020-06-01");
    EXPECT_EQ(back.m_strBbt, "");
    EXPECT_EQ(back.m_nLastStoreInfoId, user.m_nLastStoreInfoId);
    EXPECT_EQ(back.m_strFolder, PatientFolder("0012"));
}

TEST_F(UserTest, SyntaxOneLoadsWithoutLastIdAndIsRewrittenAsSyntaxTwo) {
    const std::string path = WritePatientFile(
        "7", UserXml("1", "7",
                     "<name>N</name><last_store_info_id>99</last_store_info_id><sex>male</sex>"
                     "<birthdate>1990-8</birthdate>"));
    CUser user;
    ASSERT_TRUE(user.LoadXml(path));
    EXPECT_EQ(user.m_nLastStoreInfoId, 0u);
    EXPECT_EQ(user.m_strSex, "male");
    EXPECT_EQ(user.m_strSexText, "");  // only "Male" and "Female" have a display text
    EXPECT_EQ(user.m_strBirthdate, "1990-8");
    EXPECT_EQ(user.m_strBirthdateText, "");

    ASSERT_TRUE(user.Save());
    const std::string bytes = ReadAll(path);
    EXPECT_NE(bytes.find("syntax=\"2\""), std::string::npos);
    EXPECT_NE(bytes.find("<last_store_info_id>0</last_store_info_id>"), std::string::npos);
    EXPECT_NE(bytes.find("<birthdate>1990-8</birthdate>"), std::string::npos);
}

TEST_F(UserTest, FilesThatDoNotHoldAPatientDoNotLoad) {
    struct Case {
        std::string xml;
        std::string expectedName;  // what stays read
    };
    const Case cases[] = {
        {UserXml("3", "5", "<name>N</name>"), ""},
        {UserXml("0", "5", "<name>N</name>"), ""},
        {UserXml("2", "", "<name>N</name>"), "N"},  // fields read, but no id
        {UserXml("2", "../5", "<name>N</name>"), "N"},
        {"<quarnet><store_info syntax=\"2\"/></quarnet>", ""},
        {"<other><user id=\"5\" syntax=\"2\"/></other>", ""},
        {"garbage", ""},
    };
    for (const Case& c : cases) {
        const std::string path = WritePatientFile("5", c.xml);
        CUser user;
        EXPECT_FALSE(user.LoadXml(path)) << c.xml;
        EXPECT_EQ(user.m_strName, c.expectedName) << c.xml;
    }
    CUser user;
    EXPECT_FALSE(user.Load("404"));
    EXPECT_FALSE(user.LoadXml(PatientFolder("5")));  // a folder
    EXPECT_FALSE(user.Load("../5"));
}

TEST_F(UserTest, SaveRebuildsTheWholeFileAndRefusesBadIds) {
    const std::string path =
        WritePatientFile("9", UserXml("2", "9", "<name>Old</name><note>old note</note><extra>kept?</extra>"));
    CUser user;
    ASSERT_TRUE(user.LoadXml(path));
    user.m_strNote.clear();
    ASSERT_TRUE(user.Save());
    const std::string bytes = ReadAll(path);
    EXPECT_EQ(bytes.find("extra"), std::string::npos);
    EXPECT_EQ(bytes.find("old note"), std::string::npos);

    // A failed write keeps the old file whole.
    user.m_strName = "New";
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(user.Save());
    platform::SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadAll(path), bytes);

    CUser bad;
    bad.m_strId = "../../escape";
    EXPECT_EQ(CUser::GetXmlPath(bad.m_strId), "");
    EXPECT_FALSE(bad.Save());
    EXPECT_FALSE(bad.SaveXml(dir / "x/escape.xml"));
    EXPECT_FALSE(platform::PathExists(dir / "x"));
}

TEST_F(UserTest, ScanListsStampedStillsAndCineFoldersInNameOrder) {
    const std::string path = WritePatientFile("1", UserXml("2", "1", ""));
    const std::string folder = PatientFolder("1") + "/";
    Touch(folder + "20200820100204.bmp");
    Touch(folder + "20200820100203.bmp");
    Touch(folder + "20200820100203.xml");
    ASSERT_TRUE(platform::CreateDirectories(folder + "20200821090000.cine"));
    ASSERT_TRUE(platform::CreateDirectories(folder + "20200821090001.bmp"));  // a folder counts too
    Touch(folder + "20200821090002.cine");                                    // a file does not
    Touch(folder + "20200821090003.BMP");
    Touch(folder + "2020082109000.bmp");
    Touch(folder + "obgy_20200821.bmp");

    CUser user;
    ASSERT_TRUE(user.LoadXml(path));
    user.ScanStoreFiles();
    EXPECT_EQ(user.m_lstStoreNames, (std::vector<std::string>{"20200820100203.bmp", "20200820100204.bmp",
                                                              "20200821090000.cine", "20200821090001.bmp"}));

    CUser notLoaded;
    notLoaded.ScanStoreFiles();
    EXPECT_TRUE(notLoaded.m_lstStoreNames.empty());
}

TEST_F(UserTest, DateAndStampFiltersWalkTheScannedItems) {
    CUser user;
    user.m_lstStoreNames = {"20200819235959.bmp", "20200820100203.bmp", "20200821090000.cine"};
    const auto accepted = [&user]() {
        std::vector<std::string> names;
        while (user.FindNextStore())
            names.push_back(user.m_lstStoreNames[user.m_nScanPos++]);
        return names;
    };

    user.SetDateFilter("20200820", "  ");
    EXPECT_EQ(accepted(), (std::vector<std::string>{"20200820100203.bmp", "20200821090000.cine"}));
    user.SetDateFilter("20200819", "20200820");
    EXPECT_EQ(accepted(), (std::vector<std::string>{"20200819235959.bmp", "20200820100203.bmp"}));
    user.SetDateFilter(" ", "");
    EXPECT_EQ(accepted().size(), 3u);

    user.m_nScanMode = StoreScanFromStamp;
    user.m_bScanAll = false;
    user.m_strScanStamp = "20200820100203";
    user.m_nScanPos = 0;
    EXPECT_EQ(accepted(), (std::vector<std::string>{"20200820100203.bmp", "20200821090000.cine"}));
    user.m_strScanStamp.clear();
    user.m_nScanPos = 0;
    EXPECT_TRUE(accepted().empty());

    // A match leaves the cursor on it.
    user.SetDateFilter("", "");
    EXPECT_TRUE(user.FindNextStore());
    EXPECT_TRUE(user.FindNextStore());
    EXPECT_EQ(user.m_nScanPos, 0);
}

TEST(UserWildcardTest, MatchesLikeTheFileSearchPatterns) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"", "", true},
        {"", "a", false},
        {"*", "", true},
        {"*", "anything", true},
        {"?", "", false},
        {"??.bmp", "12.bmp", true},
        {"??.bmp", "1.bmp", false},
        {"??.bmp", "123.bmp", false},
        {"??.bmp", "12.BMP", false},
        {"?", "\xC3\xBC", true},  // one character, two bytes
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"*.cine", "x.cine.cine", true},
        {"**?", "a", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CUser::MatchWildcard(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;
    }
}
