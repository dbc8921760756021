#include "common/SettingsStore.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <vector>

#include "common/AppFolders.h"
#include "common/User.h"
#include "platform/FileSystem.h"
#include "resources/StringTable.h"
#include "tests/support/TestSupport.h"

using namespace SettingKeyTable;
using testsupport::ReadAll;
using testsupport::WriteAll;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsForTesting(); }
    void TearDown() override {
        platform::SetWriteFaultHook(nullptr);
        ResetSettingsForTesting();
    }
    // Forgets the cache, as a restart of the program would.
    void Restart() { ResetSettingsForTesting(); }
    void WriteConfig(const std::string& xml) {
        ASSERT_TRUE(platform::CreateDirectories(GetAppDataFolder()));
        WriteAll(GetConfigFilePath(), xml);
    }

    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
};

TEST_F(SettingsTest, FoldersFollowProgramDataThenXdgDataHome) {
    EXPECT_EQ(GetConfigFilePath(), dir.path() + "/Quarnet/Torvik Viewer CL/TorvikViewerCL.xml");
    EXPECT_EQ(GetDataFolder(), dir.path() + "/Quarnet/Torvik Viewer CL/Data/");
    testsupport::ScopedEnv noProgramData("ProgramData", std::nullopt);
    testsupport::ScopedEnv xdg("XDG_DATA_HOME", dir.path() + "/xdg");
    Restart();
    EXPECT_EQ(GetAppDataFolder(), dir.path() + "/xdg/Quarnet/Torvik Viewer CL");
    EXPECT_EQ(GetProductName(), "Helvo Viewer CL");
}

TEST_F(SettingsTest, WithoutHomeTheFoldersComeFromThePasswordDatabaseOrNowhere) {
    testsupport::ScopedEnv noProgramData("ProgramData", std::nullopt);
    testsupport::ScopedEnv noXdg("XDG_DATA_HOME", std::nullopt);
    testsupport::ScopedEnv noHome("HOME", std::nullopt);
    Restart();
    const passwd* me = ::getpwuid(::geteuid());
    ASSERT_NE(me, nullptr);
    const std::string folder = std::string(me->pw_dir) + "/.local/share/Quarnet/Torvik Viewer CL";
    EXPECT_EQ(GetAppDataFolder(), folder);
    EXPECT_EQ(GetDataFolder(), folder + "/Data/");
    EXPECT_EQ(GetAppDataFolderProblem(), std::nullopt);

    // A user the password database does not know has no private place: nothing is named,
    // nothing is written, and start-up gets the message to show.
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become a user without an entry";
    uid_t stranger = 54321;
    while (::getpwuid(stranger))
        ++stranger;
    const auto asStranger = [stranger] {
        if (::setresgid(stranger, stranger, stranger) != 0 || ::setresuid(stranger, stranger, stranger) != 0)
            std::_Exit(2);
        ResetSettingsForTesting();
        const auto problem = GetAppDataFolderProblem();
        const bool refused = problem && problem->find("home folder") != std::string::npos;
        const bool nothing =
            GetAppDataFolder().empty() && GetConfigFilePath().empty() && GetDataFolder().empty();
        const bool noWrite =
            !SetSettingInt(SettingSectionApp, PCMODE, 0) && CUser::GetXmlPath("0001").empty();
        std::_Exit(refused && nothing && noWrite ? 0 : 1);
    };
    EXPECT_EXIT(asStranger(), testing::ExitedWithCode(0), "");
}

TEST_F(SettingsTest, DefaultIsCachedWithoutWritingThenWriteGivesExactFile) {
    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 1);
    EXPECT_FALSE(platform::PathExists(GetConfigFilePath()));
    EXPECT_TRUE(platform::IsDirectory(GetAppDataFolder()));

    ASSERT_TRUE(SetSettingInt(SettingSectionApp, PCMODE, 0));
    EXPECT_EQ(ReadAll(GetConfigFilePath()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <app syntax=\"1\">\r\n"
              "        <PCMODE>0</PCMODE>\r\n"
              "    </app>\r\n"
              "</quarnet>\r\n");

    // Served from the cache: a change behind the store's back is not seen until a restart.
    WriteConfig("<?xml version=\"1.0\"?><quarnet><app syntax=\"1\"><PCMODE>7</PCMODE></app></quarnet>");
    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 0);
    Restart();
    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 7);
}

TEST_F(SettingsTest, FirstDefaultWinsForTheWholeRun) {
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 0);
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 5), 0);
}

TEST_F(SettingsTest, WritesKeepKeyOrderPerSectionAndReadBackAfterRestart) {
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, depth, 160));
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, gain, 55));
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeLinear, depth, 40));
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, depth, 170));  // rewrite keeps the place
    ASSERT_TRUE(SetSettingDouble(SettingSectionApp, gamma, 1.25));
    ASSERT_TRUE(SetSettingText(SettingSectionApp, date_format, "YYYY-MM-DD"));
    EXPECT_EQ(ReadAll(GetConfigFilePath()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <probe_convex syntax=\"1\">\r\n"
              "        <depth>170</depth>\r\n"
              "        <gain>55</gain>\r\n"
              "    </probe_convex>\r\n"
              "    <probe_linear syntax=\"1\">\r\n"
              "        <depth>40</depth>\r\n"
              "    </probe_linear>\r\n"
              "    <app syntax=\"1\">\r\n"
              "        <gamma>1.250000</gamma>\r\n"
              "        <date_format>YYYY-MM-DD</date_format>\r\n"
              "    </app>\r\n"
              "</quarnet>\r\n");
    Restart();
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, depth, 225), 170);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeLinear, depth, 225), 40);
    EXPECT_DOUBLE_EQ(GetSettingDouble(SettingSectionApp, gamma, 1.0), 1.25);
    EXPECT_EQ(GetSettingText(SettingSectionApp, date_format, "DD-MM-YYYY"), "YYYY-MM-DD");
}

TEST_F(SettingsTest, SectionsThatNameNothingAreRefused) {
    for (int32_t section : {0, 3, 8, -1}) {
        EXPECT_FALSE(SetSettingInt(section, depth, 100)) << section;
        EXPECT_EQ(GetSettingInt(section, depth, 225), 225) << section;
    }
    EXPECT_FALSE(platform::PathExists(GetConfigFilePath()));
}

TEST_F(SettingsTest, SectionSyntaxDecidesWhetherKeysAreRead) {
    WriteConfig(
        "<?xml version=\"1.0\"?><quarnet>"
        "<app><SHOW_FPS>1</SHOW_FPS></app>"
        "<probe_convex syntax=\"0\"><depth>100</depth></probe_convex>"
        "<probe_linear syntax=\"-1\"><depth>40</depth></probe_linear>"
        "</quarnet>");
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 0);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, depth, 225), 225);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeLinear, depth, 225), 40);  // -1 is a large unsigned
    // A write into a section without syntax still succeeds and is served from the cache.
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, SHOW_FPS, 1));
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 1);
    Restart();
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 0);
}

TEST_F(SettingsTest, TypedValuesParseLikeTheCLibrary) {
    WriteConfig(
        "<?xml version=\"1.0\"?><quarnet>"
        "<app syntax=\"1\"><BCOLOR>0x1a2b3c</BCOLOR><gamma>abc</gamma><auto_stop_time>600</auto_stop_time>"
        "<LOG></LOG></app>"
        "<probe_convex syntax=\"1\"><gain>12dB</gain><contrast>99999999999</contrast>"
        "<smooth>0.25</smooth></probe_convex>"
        "</quarnet>");
    EXPECT_EQ(GetSettingHex(SettingSectionApp, BCOLOR, 0x0E0000), 0x1a2b3cu);
    EXPECT_EQ(GetSettingHex(SettingSectionApp, FCOLOR, 0xFFFFFF), 0xFFFFFFu);
    EXPECT_EQ(GetSettingsCache().Find(SettingSectionApp, FCOLOR.keyId), "ffffff");
    EXPECT_DOUBLE_EQ(GetSettingDouble(SettingSectionApp, gamma, 1.0), 0.0);
    EXPECT_EQ(GetSettingString(SettingSectionApp, auto_stop_time, "7200"), "600");
    EXPECT_EQ(GetSettingInt(SettingSectionApp, LOG, 0), 0);  // empty element reads as the default
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, gain, 50), 12);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, contrast, 50), INT32_MAX);
    EXPECT_DOUBLE_EQ(GetSettingDouble(SettingSectionProbeConvex, smooth, 0.0), 0.25);
    EXPECT_EQ(GetSettingsCache().Find(SettingSectionApp, gamma.keyId), "abc");
}

TEST_F(SettingsTest, EmptyValueIsCachedButReadsAsDefaultAfterRestart) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, outputfolder, ""));
    EXPECT_EQ(GetSettingText(SettingSectionApp, outputfolder, "/home"), "");
    Restart();
    EXPECT_EQ(GetSettingText(SettingSectionApp, outputfolder, "/home"), "/home");
}

TEST_F(SettingsTest, NonAsciiTextRoundTrips) {
    const std::string folder = "/home/\xE5\xB1\xB1\xE7\x94\xB0/V\xC3\xAD" "deo";
    ASSERT_TRUE(SetSettingText(SettingSectionApp, outputfolder, folder));
    Restart();
    EXPECT_EQ(GetSettingText(SettingSectionApp, outputfolder, ""), folder);
}

TEST_F(SettingsTest, DamagedFileIsKeptAsideNotOverwritten) {
    const std::string damaged = "<?xml version=\"1.0\"?><quarnet><app syntax=\"1\"><PCMODE>0</PCM";
    WriteConfig(damaged);
    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 1);  // defaults meanwhile
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, SHOW_FPS, 1));
    EXPECT_EQ(ReadAll(GetConfigFilePath() + ".bad"), damaged);
    Restart();
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 1);
    // A second damage does not replace the first kept copy.
    WriteConfig("<quarnet><app");
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, LOG, 1));
    EXPECT_EQ(ReadAll(GetConfigFilePath() + ".bad"), damaged);
    EXPECT_EQ(ReadAll(GetConfigFilePath() + ".bad1"), "<quarnet><app");
}

TEST_F(SettingsTest, AnEmptyOrBlankFileIsRewrittenWithTheDeclaration) {
    for (const std::string& before : {std::string(), std::string(" \r\n\t\n")}) {
        Restart();
        WriteConfig(before);
        ASSERT_TRUE(SetSettingText(SettingSectionApp, outputfolder, ""));
        // An empty value is an element with an empty text, as the library's set-text gives.
        EXPECT_EQ(ReadAll(GetConfigFilePath()),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                  "<quarnet>\r\n"
                  "    <app syntax=\"1\">\r\n"
                  "        <outputfolder></outputfolder>\r\n"
                  "    </app>\r\n"
                  "</quarnet>\r\n");
        EXPECT_FALSE(platform::PathExists(GetConfigFilePath() + ".bad"));
    }
}

TEST_F(SettingsTest, AFileThatCannotBeReadIsNotWrittenOver) {
    // A socket stands where the file is: it exists, but even root cannot open it for reading.
    ASSERT_TRUE(platform::CreateDirectories(GetAppDataFolder()));
    const std::string path = GetConfigFilePath();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.c_str(), path.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);

    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 1);
    EXPECT_FALSE(SetSettingInt(SettingSectionApp, SHOW_FPS, 1));
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_FALSE(platform::PathExists(path + ".bad"));
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 0);
    ::unlink(path.c_str());

    if (::geteuid() != 0) {  // a file without read permission, where permissions apply
        WriteConfig("<?xml version=\"1.0\"?><quarnet><app syntax=\"1\"><PCMODE>0</PCMODE></app></quarnet>");
        ASSERT_EQ(::chmod(path.c_str(), 0), 0);
        EXPECT_FALSE(SetSettingInt(SettingSectionApp, SHOW_FPS, 1));
        ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
        Restart();
        EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 0);
    }
}

TEST_F(SettingsTest, AFileWithContentAfterItsRootIsKeptAsideAndItsSettingsCarriedOver) {
    const std::string damaged =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<quarnet>\r\n    <app syntax=\"1\">\r\n"
        "        <PCMODE>0</PCMODE>\r\n    </app>\r\n</quarnet>\r\ne</t>\r\n";
    WriteConfig(damaged);
    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 0);
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, SHOW_FPS, 1));
    EXPECT_EQ(ReadAll(GetConfigFilePath() + ".bad"), damaged);
    EXPECT_EQ(ReadAll(GetConfigFilePath()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <app syntax=\"1\">\r\n"
              "        <PCMODE>0</PCMODE>\r\n"
              "        <SHOW_FPS>1</SHOW_FPS>\r\n"
              "    </app>\r\n"
              "</quarnet>\r\n");
    // The next save finds a sound file: nothing more is set aside.
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, LOG, 1));
    EXPECT_FALSE(platform::PathExists(GetConfigFilePath() + ".bad1"));
    Restart();
    EXPECT_EQ(GetSettingInt(SettingSectionApp, PCMODE, 1), 0);
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SHOW_FPS, 0), 1);
}

TEST_F(SettingsTest, FailedSaveReportsFailureAndKeepsFileAndCache) {
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeConvex, gain, 40));
    const std::string before = ReadAll(GetConfigFilePath());
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(SetSettingInt(SettingSectionProbeConvex, gain, 70));
    EXPECT_FALSE(SetSettingInt(SettingSectionProbeConvex, contrast, 70));
    platform::SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadAll(GetConfigFilePath()), before);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, gain, 50), 40);
}

// The settings table as the product defines it: section, type and default of every key.
TEST_F(SettingsTest, EveryKeyReadFromAnEmptyFileGivesItsTableDefault) {
    enum Type { Int, Hex, Dbl, Txt, Uns };
    struct Row {
        const char* name;
        int32_t id;
        SettingScope scope;
        Type type;
        double number;
        const char* text;
    };
    const auto A = SettingScope::App;
    const auto P = SettingScope::Probe;
    const std::vector<Row> rows = {
        {"FCOLOR", 1, A, Hex, 0xFFFFFF, "ffffff"},
        {"BCOLOR", 2, A, Hex, 0x0E0000, "e0000"},
        {"PCMODE", 3, A, Int, 1, "1"},
        {"LOG", 4, A, Int, 0, "0"},
        {"USB_LOG", 5, A, Int, 0, "0"},
        {"SELPRINTER", 6, A, Int, 1, "1"},
        {"RAWDISP", 7, A, Int, 0, "0"},
        {"SHOW_STC_VALUE", 8, A, Int, 0, "0"},
        {"SHOW_FPS", 9, A, Int, 0, "0"},
        {"camera", 10, A, Txt, 0, ""},
        {"camera_quality", 11, A, Txt, 0, "LOW"},
        {"camera_outputfolder", 12, A, Txt, 0, ""},
        {"date_format", 13, A, Txt, 0, "DD-MM-YYYY"},
        {"avi_quality", 14, A, Txt, 0, "LOW"},
        {"jpeg_quality", 15, A, Txt, 0, "LOW"},
        {"outputfolder", 16, A, Txt, 0, ""},
        {"gamma", 17, A, Dbl, 1.0, "1.000000"},
        {"auto_stop_time", 18, A, Uns, 7200, "7200"},
        {"ob_gamodel", 19, A, Int, 0, "0"},
        {"ob_display", 20, A, Txt, 0, "JSUM"},
        {"SHOW_TEMPERATURE", 21, A, Int, 0, "0"},
        {"RAW2BITMAP", 4097, P, Int, 1, "1"},
        {"GAIN_MIN", 4098, P, Dbl, -100.0, "-100.000000"},
        {"GAIN_MAX", 4099, P, Dbl, 0.0, "0.000000"},
        {"GAIN_BASE", 4100, P, Dbl, -60.0, "-60.000000"},
        {"CONTRAST_MIN", 4101, P, Dbl, 0.5, "0.500000"},
        {"CONTRAST_MAX", 4102, P, Dbl, 1.5, "1.500000"},
        {"AVE", 4103, P, Int, 0, "0"},
        {"AVE_Y", 4104, P, Int, 0, "0"},
        {"AVE_MODE", 4105, P, Int, 4, "4"},
        {"BICUBIC", 4106, P, Int, 0, "0"},
        {"BICUBIC_A", 4107, P, Dbl, -1.0, "-1.000000"},
        {"mscroll", 4108, P, Int, 0, "0"},
        {"focus", 4109, P, Int, 100, "100"},
        {"gain", 4111, P, Int, 50, "50"},
        {"contrast", 4112, P, Int, 50, "50"},
        {"depth", 4113, P, Int, 225, "225"},
        {"tgc0", 4114, P, Int, 0, "0"},
        {"tgc1", 4115, P, Int, 0, "0"},
        {"tgc2", 4116, P, Int, 0, "0"},
        {"tgc3", 4117, P, Int, 0, "0"},
        {"tgc4", 4118, P, Int, 0, "0"},
        {"tgc5", 4119, P, Int, 0, "0"},
        {"tgc6", 4120, P, Int, 0, "0"},
        {"tgc7", 4121, P, Int, 0, "0"},
        {"tgc8", 4122, P, Int, 0, "0"},
        {"tgc9", 4123, P, Int, 0, "0"},
        {"tgc10", 4124, P, Int, 0, "0"},
        {"invert", 4125, P, Int, 0, "0"},
        {"smooth", 4126, P, Dbl, 0.0, "0.000000"},
        {"hi_frame_mode", 4127, P, Int, 0, "0"},
        {"auto_sleep_time", 4128, P, Int, 5, "5"},
        {"image_filter", 4129, P, Int, 1, "1"},
    };
    WriteConfig("");  // the file exists and holds nothing
    std::map<std::string, SettingKey> byName;
    for (const SettingKey& key : SettingKeyTable::kAll)
        byName.emplace(key.keyName, key);
    ASSERT_EQ(rows.size() + 1, byName.size());  // and tx_freq, whose default is the probe's

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(byName.count(row.name), 1u);
        const SettingKey key = byName.at(row.name);
        EXPECT_EQ(key.keyId, row.id);
        EXPECT_EQ(key.scope, row.scope);
        EXPECT_TRUE(key.hasDefault);
        const std::vector<int32_t> sections =
            row.scope == A ? std::vector<int32_t>{SettingSectionApp}
                           : std::vector<int32_t>{SettingSectionProbeConvex, SettingSectionProbeLinear};
        for (const int32_t section : sections) {
            switch (row.type) {
                case Int:
                    EXPECT_EQ(key.type, SettingType::Int);
                    EXPECT_EQ(GetSettingInt(section, key), static_cast<int32_t>(row.number));
                    break;
                case Hex:
                    EXPECT_EQ(key.type, SettingType::Hex);
                    EXPECT_EQ(GetSettingHex(section, key), static_cast<uint32_t>(row.number));
                    break;
                case Dbl:
                    EXPECT_EQ(key.type, SettingType::Double);
                    EXPECT_EQ(GetSettingDouble(section, key), row.number);
                    break;
                case Uns:
                    EXPECT_EQ(key.type, SettingType::Unsigned);
                    EXPECT_EQ(GetSettingUnsigned(section, key), static_cast<uint32_t>(row.number));
                    break;
                case Txt:
                    EXPECT_EQ(key.type, SettingType::Text);
                    EXPECT_EQ(GetSettingText(section, key), row.text);
                    break;
            }
            // The cache holds the default in the text form of its type, as a stored value would be.
            EXPECT_EQ(GetSettingsCache().Find(section, key.keyId), std::string(row.text));
        }
    }
    EXPECT_EQ(resources::LoadString(222), SettingKeyTable::ob_display.defaultText);
    EXPECT_FALSE(SettingKeyTable::tx_freq.hasDefault);
    EXPECT_EQ(SettingKeyTable::tx_freq.scope, SettingScope::Probe);
    EXPECT_EQ(SettingKeyTable::tx_freq.type, SettingType::Int);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::tx_freq, 2), 2);
    EXPECT_FALSE(platform::PathExists(GetConfigFilePath() + ".bad"));
    EXPECT_EQ(ReadAll(GetConfigFilePath()), "");  // reads never write
}

TEST(SettingKeyTable, HoldsFiftyFourUniqueKeys) {
    constexpr size_t count = std::size(SettingKeyTable::kAll);
    EXPECT_EQ(count, 54u);
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(SettingKeyTable::kAll[i].minSyntax, 1);
        for (size_t j = i + 1; j < count; ++j) {
            EXPECT_NE(SettingKeyTable::kAll[i].keyId, SettingKeyTable::kAll[j].keyId);
            EXPECT_STRNE(SettingKeyTable::kAll[i].keyName, SettingKeyTable::kAll[j].keyName);
        }
    }
    EXPECT_EQ(SettingKeyTable::tgc[10].keyId, 4124);
}
