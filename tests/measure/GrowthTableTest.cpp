#include "measure/GrowthTable.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <limits>
#include <stdexcept>

#include "tests/support/TestSupport.h"

using testsupport::MessageBoxRecorder;
using testsupport::TempDir;
using testsupport::WriteAll;

namespace {
GrowthTable FromText(const std::string& text) {
    GrowthTable t;
    t.Parse(text);
    return t;
}
}  // namespace

TEST(GrowthTable, ReadsEntriesAfterTheHeaderFirstKeyWins) {
    for (const char* eol : {"\n", "\r\n"}) {
        const std::string text =
            std::string("1.0,5,5") + eol + "2.3,13,4" + eol + "2.34,13,6" + eol + "2.5,14";
        const GrowthTable t = FromText(text);
        EXPECT_EQ(t.entries().count(10), 0u) << "the header is never an entry";
        EXPECT_EQ(t.Lookup(2.3), (GrowthEntry{13, 4}));
        EXPECT_EQ(t.Lookup(2.5), (GrowthEntry{14, 0})) << "a missing field reads as 0";
        EXPECT_EQ(t.entries().size(), 2u);
    }
}

TEST(GrowthTable, MalformedLinesReadAsAtofAtoiDo) {
    const GrowthTable t = FromText("header\n\nabc,x,y\n3.1,15,2 trailing,9\n1e300,1,1\nnan,2,2\n");
    // The blank and the non-numeric line both give key 0 {0, 0}; the first stays.
    EXPECT_EQ(t.Lookup(0.0), (GrowthEntry{0, 0}));
    EXPECT_EQ(t.Lookup(3.1), (GrowthEntry{15, 2}));
    // Sizes without an int key give no entry instead of undefined behaviour.
    EXPECT_EQ(t.entries().size(), 2u);
}

TEST(GrowthTable, LookupFailsOutsideTheTableWithoutInterpolation) {
    const GrowthTable t = FromText("h\n2.3,13,4\n2.5,14,0\n");
    EXPECT_THROW(t.Lookup(2.4), std::out_of_range);
    EXPECT_THROW(t.Lookup(std::numeric_limits<double>::quiet_NaN()), std::out_of_range);
    EXPECT_THROW(t.Lookup(1e300), std::out_of_range);
    EXPECT_EQ(LookupAgeText(t, 22.5), "13 W 4 D");  // key 23
    EXPECT_EQ(LookupAgeText(t, 22.4), "-");         // key 22
    EXPECT_EQ(LookupAgeText(t, 24.5), "14 W 0 D");
}

TEST(GrowthTable, CallerConversionToWholeMillimetres) {
    EXPECT_EQ(LookupCentimetres(92.5), 9.3);
    EXPECT_EQ(LookupCentimetres(92.4), 9.2);
    for (double bad : {0.4, -3.0, 1000.5, 1e9, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(LookupCentimetres(bad)) << bad;
    }
    // Every whole millimetre converts back to exactly its own key.
    std::string text = "header\n";
    for (int mm = 1; mm <= 1000; ++mm)
        text +=
            std::to_string(mm / 10) + "." + std::to_string(mm % 10) + ",1," + std::to_string(mm % 7) + "\n";
    const GrowthTable t = FromText(text);
    ASSERT_EQ(t.entries().size(), 1000u);
    for (int mm = 1; mm <= 1000; ++mm) {
        ASSERT_EQ(t.Lookup(*LookupCentimetres(mm)).days, mm % 7) << mm;
    }
    // A table with a key-0 line still gives "-" for sizes that round to 0 mm, 250 and 1e9 mm.
    const GrowthTable withZero = FromText("h\n\n2.3,13,4\n");
    for (double mm : {0.4, 250.0, 1e9}) {
        EXPECT_EQ(LookupAgeText(withZero, mm), "-") << mm;
    }
}

TEST(GrowthTable, MissingFileShowsOpeningFailedOnce) {
    TempDir dir;
    MessageBoxRecorder boxes;
    const std::string path = dir / "JSUM/BPD.DAT";
    const GrowthTable t = LoadGrowthTable(path);
    EXPECT_TRUE(t.empty());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "opening \xE3\x80\x80" + path +
                                         "\xE3\x80\x80"
                                         "failed\n");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::None);
    EXPECT_EQ(boxes.shown()[0].buttons, platform::MsgButtons::Ok);
}

TEST(GrowthTable, UnreadableHeaderShowsReadFailedOnce) {
    TempDir dir;
    const std::string path = dir / "BPD.DAT";
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);  // opens, but cannot be read
    MessageBoxRecorder boxes;
    const GrowthTable t = LoadGrowthTable(path);
    EXPECT_TRUE(t.empty());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "read from " + path + " failed\n\xEF\xBC\x88" + "Is a directory" + "\xEF\xBC\x89");
}

// A FIFO or a huge file under a table's name is not read: it cannot be opened as a table.
TEST(GrowthTable, AFifoOrAHugeFileIsRefusedUnread) {
    TempDir dir;
    const std::string huge = dir / "BPD.DAT";
    WriteAll(huge, "Header, cited source\n9.0,36,3\n");
    ASSERT_EQ(::truncate(huge.c_str(), 1LL << 30), 0);  // sparse
    const std::string fifo = dir / "FL.DAT";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {huge, fifo}) {
        MessageBoxRecorder boxes;
        const GrowthTable t = LoadGrowthTable(path);
        EXPECT_TRUE(t.empty()) << path;
        ASSERT_EQ(boxes.shown().size(), 1u) << path;
        EXPECT_EQ(boxes.shown()[0].text.rfind("opening ", 0), 0u) << path;
    }
}

TEST(GrowthTable, LoadsAFileWithCrLfLikeLf) {
    TempDir dir;
    WriteAll(dir / "a.DAT", "Header, cited source\r\n9.0,36,3\r\n7.0,35,6\r\n");
    WriteAll(dir / "b.DAT", "Header, cited source\n9.0,36,3\n7.0,35,6\n");
    MessageBoxRecorder boxes;
    const GrowthTable a = LoadGrowthTable(dir / "a.DAT");
    const GrowthTable b = LoadGrowthTable(dir / "b.DAT");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(a.entries().size(), 2u);
    EXPECT_EQ(a.Lookup(9.0), b.Lookup(9.0));
    EXPECT_EQ(a.Lookup(7.0), (GrowthEntry{35, 6}));
}

TEST(GrowthTable, FilesByModelAndItem) {
    struct Case {
        ObItem item;
        bool models[4];
        const char* file;
    } const cases[] = {
        {ObItemBpd, {true, true, true, true}, "BPD.DAT"},  {ObItemCrl, {true, true, false, true}, "CRL.DAT"},
        {ObItemFl, {true, true, true, true}, "FL.DAT"},    {ObItemAc, {false, false, false, true}, "AC.DAT"},
        {ObItemGs, {false, false, false, true}, "GS.DAT"}, {ObItemSl, {false, false, false, false}, ""},
        {ObItemHc, {false, false, false, false}, ""},
    };
    for (const Case& c : cases) {
        for (int model = -1; model <= 4; ++model) {
            const bool expected = model >= 0 && model < 4 && c.models[model];
            const std::optional<std::string> path = GrowthTablePath("/opt/v/gs_data/", model, c.item);
            ASSERT_EQ(path.has_value(), expected) << c.file << " model " << model;
            if (expected) {
                EXPECT_EQ(*path, std::string("/opt/v/gs_data/") + kGrowthModelFolders[model] + c.file);
            }
        }
    }
    EXPECT_EQ(*GrowthTablePath("/r", 3, ObItemAc), "/r/JSUM/AC.DAT");
    const std::string root = DefaultGrowthTableRoot();
    EXPECT_EQ(root.substr(root.size() - 9), "/gs_data/");
}
