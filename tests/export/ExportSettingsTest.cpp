#include <gtest/gtest.h>

#include "archive/export/ExportSettings.h"
#include "tests/support/TestSupport.h"

using namespace exportfile;

TEST(ExportSettings, QualityWordsByCaller) {
    struct Case {
        ExportCaller caller;
        const char* stored;
        int initial;
        const char* afterOk;     // OK without touching the buttons
        const char* afterLowOk;  // Low chosen, then OK (only the JPEG dialog shows the buttons)
    };
    const Case cases[] = {
        {ExportCaller::Jpeg, "HIGH", kQualityHigh, "HIGH", "LOW"},
        {ExportCaller::Jpeg, "MID", kQualityMiddle, "MID", "LOW"},
        {ExportCaller::Jpeg, "LOW", kQualityLow, "LOW", "LOW"},
        {ExportCaller::Jpeg, "SEL", kQualityNone, "SEL", "LOW"},  // the JPEG export has no Select
        {ExportCaller::Jpeg, "high", kQualityNone, "high", "LOW"},
        {ExportCaller::Jpeg, "", kQualityNone, "", "LOW"},
        {ExportCaller::Video, "SEL", kQualitySelect, "SEL", "LOW"},
        {ExportCaller::Video, "HIGH", kQualityHigh, "HIGH", "LOW"},
        {ExportCaller::Video, "bogus", kQualityNone, "bogus", "LOW"},
        {ExportCaller::Recorder, "SEL", kQualitySelect, "SEL", "LOW"},
        {ExportCaller::Recorder, "MID", kQualityMiddle, "MID", "LOW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " caller " + std::to_string(static_cast<int>(c.caller)));
        const int index = InitialQualityIndex(c.caller, c.stored);
        EXPECT_EQ(index, c.initial);
        EXPECT_EQ(QualityWordAfterOk(c.caller, index, c.stored), c.afterOk);
        EXPECT_EQ(QualityWordAfterOk(c.caller, kQualityLow, c.stored), c.afterLowOk);
    }
    EXPECT_STREQ(KeysFor(ExportCaller::Video).qualityKey, "avi_quality");
    EXPECT_STREQ(KeysFor(ExportCaller::Recorder).folderKey, "camera_outputfolder");
    EXPECT_EQ(JpegQualityFor(kQualityHigh), 98);
    EXPECT_EQ(JpegQualityFor(kQualityMiddle), 75);
    for (int other : {int{kQualityLow}, int{kQualitySelect}, kQualityNone})
        EXPECT_EQ(JpegQualityFor(other), 35);
    EXPECT_EQ(VideoBitRateFor(kQualityHigh), 10'000'000u);
    EXPECT_EQ(VideoBitRateFor(kQualityMiddle), 5'000'000u);
    EXPECT_EQ(VideoBitRateFor(kQualityLow), 1'000'000u);
    EXPECT_EQ(VideoBitRateFor(kQualityNone), 10'000'000u);
}

TEST(ExportSettings, OutputFolderFallsBackToDocuments) {
    testsupport::TempDir dir;
    testsupport::WriteAll(dir / "afile", "x");
    const std::string docs = dir.path() + "/";
    struct Case {
        std::string stored;
        std::string expected;
    };
    const Case cases[] = {
        {dir / "missing", docs},
        {dir / "afile", docs},
        {"", docs},
        {dir.path(), docs},  // a '/' is added
        {dir.path() + "/", docs},
        {"/", "/"},  // the root stays the root
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveOutputFolder(c.stored, dir.path()), c.expected) << c.stored;

    EXPECT_EQ(DocumentsFolder(dir.path(), "/home/x"), docs);
    EXPECT_EQ(DocumentsFolder(dir / "missing", "/home/x"), "/home/x/");
    EXPECT_EQ(DocumentsFolder("", ""), "/");
}

TEST(ExportSettings, FreeNamesThatCannotNameAFileAreRefused) {
    for (const std::string& bad :
         {std::string("a/b"), std::string("/"), std::string("a\0b", 3), std::string("."), std::string("..")})
        EXPECT_TRUE(FreeNameProblem(bad).has_value()) << bad;
    for (const std::string good : {"", "Test", "...", ".hidden", "a b", "Überschall"})
        EXPECT_FALSE(FreeNameProblem(good).has_value()) << good;
}

TEST(ExportSettings, NamesForIdsOfAnyLength) {
    struct Case {
        std::string idAndName;
        std::string nameText;
        std::string prefix;
    };
    const Case cases[] = {
        {"0001 Test", "Test", "0001_20200820123456_"},
        {"00012 Test", "2 Test", "0001_20200820123456_"},
        {"12 ", "", "12 _20200820123456_"},
        {"1 ", "", "1 _20200820123456_"},
        {"", "", "_20200820123456_"},
        {"äöüß Name", "Name", "äöüß_20200820123456_"},  // characters, not bytes
    };
    for (const Case& c : cases) {
        const ExportNames n = MakeExportNames("/data/0001/20200820123456", c.idAndName, "20200820123456");
        EXPECT_EQ(n.idText, "20200820123456");
        EXPECT_EQ(n.nameText, c.nameText) << c.idAndName;
        EXPECT_EQ(n.filePrefix, c.prefix) << c.idAndName;
    }
    EXPECT_EQ(MakeExportNames("20200820123456", "0001 Test", "x").idText, "20200820123456");
    EXPECT_EQ(OutputPath("/out/", "0001_20200820123456_", "", ".jpg"), "/out/0001_20200820123456_.jpg");

    const VideoPaths mp4 = MakeVideoPaths("/out/", "p_", "n", kQualityLow);
    EXPECT_EQ(mp4.avi, "/out/p_n_temp.avi");
    EXPECT_EQ(mp4.result, "/out/p_n.mp4");
    EXPECT_TRUE(mp4.transcode);
    const VideoPaths sel = MakeVideoPaths("/out/", "p_", "n", kQualitySelect);
    EXPECT_EQ(sel.avi, "/out/p_n.avi");
    EXPECT_EQ(sel.result, sel.avi);
    EXPECT_FALSE(sel.transcode);
}
