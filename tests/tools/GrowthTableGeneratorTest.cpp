// The growth tables that ship under gs_data/: the generator's output byte for byte, and the
// ages the checked sources give, read the way the evaluation reads them.
#include "tools/growthgen/GrowthTableGenerator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "measure/GrowthTable.h"
#include "tests/support/TestSupport.h"

using testsupport::MessageBoxRecorder;
using testsupport::ReadAll;
using testsupport::TempDir;

namespace {

const std::string kShipped = TORVIK_GS_DATA_DIR;

std::string ShippedPath(const std::string& file) {
    return kShipped + "/" + file;
}

}  // namespace

TEST(GrowthTableGenerator, TheShippedTablesAreExactlyTheGeneratorsOutput) {
    TempDir out;
    std::string error;
    ASSERT_TRUE(growthgen::WriteAll(out.path(), &error)) << error;
    std::set<std::string> expected;
    for (const growthgen::DatingSource& source : growthgen::KnownSources()) {
        const std::string file = source.set + "/" + source.file;
        expected.insert(file);
        EXPECT_EQ(ReadAll(ShippedPath(file)), ReadAll(out / file))
            << file << ": regenerate with growth_table_generator " << kShipped;
    }
    // No other table ships: a set or item without a checked source has no file.
    std::set<std::string> shipped;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kShipped))
        if (entry.is_regular_file() && entry.path().extension() == ".DAT")
            shipped.insert(std::filesystem::relative(entry.path(), kShipped).string());
    EXPECT_EQ(shipped,
              (std::set<std::string>{"Europe1/CRL.DAT", "USA/BPD.DAT", "USA/CRL.DAT", "USA/FL.DAT"}));
    EXPECT_EQ(shipped, expected);
}

// The check rows of the sources, the first and last row of each range, and rows whose age lies
// just either side of half a day (rounding, not truncation, decides them). A wrong coefficient
// or sign, the millimetre BPD/FL pair (37 W 0 D at 9.0 cm) or a truncated age fails here.
TEST(GrowthTableGenerator, ShippedTablesGiveTheSourcesAges) {
    MessageBoxRecorder boxes;
    struct Case {
        const char* file;
        int mm;
        const char* age;  // "-": no row
    } const cases[] = {
        // USA BPD, 14-42 weeks.
        {"USA/BPD.DAT", 23, "-"},
        {"USA/BPD.DAT", 24, "14 W 0 D"},  // first row
        {"USA/BPD.DAT", 30, "15 W 3 D"},  // 108.46 days
        {"USA/BPD.DAT", 40, "18 W 1 D"},
        {"USA/BPD.DAT", 50, "21 W 1 D"},
        {"USA/BPD.DAT", 60, "24 W 3 D"},
        {"USA/BPD.DAT", 70, "28 W 1 D"},
        {"USA/BPD.DAT", 80, "32 W 1 D"},
        {"USA/BPD.DAT", 90, "36 W 3 D"},
        {"USA/BPD.DAT", 92, "37 W 3 D"},   // 261.52 days
        {"USA/BPD.DAT", 96, "39 W 1 D"},   // 274.49 days
        {"USA/BPD.DAT", 101, "41 W 4 D"},  // last row
        {"USA/BPD.DAT", 102, "-"},         // 42 W 1 D would be past the range
        // USA FL, 14-42 weeks.
        {"USA/FL.DAT", 13, "-"},
        {"USA/FL.DAT", 14, "14 W 1 D"},  // first row
        {"USA/FL.DAT", 20, "16 W 0 D"},
        {"USA/FL.DAT", 30, "19 W 2 D"},
        {"USA/FL.DAT", 40, "22 W 6 D"},
        {"USA/FL.DAT", 43, "24 W 0 D"},  // 168.499 days
        {"USA/FL.DAT", 48, "26 W 1 D"},  // 182.52 days
        {"USA/FL.DAT", 50, "26 W 6 D"},
        {"USA/FL.DAT", 60, "31 W 2 D"},
        {"USA/FL.DAT", 70, "35 W 6 D"},
        {"USA/FL.DAT", 82, "42 W 0 D"},  // last row
        {"USA/FL.DAT", 83, "-"},
        // USA CRL, 0.2-12 cm.
        {"USA/CRL.DAT", 1, "-"},
        {"USA/CRL.DAT", 2, "5 W 5 D"},  // first row
        {"USA/CRL.DAT", 5, "6 W 2 D"},
        {"USA/CRL.DAT", 10, "7 W 0 D"},
        {"USA/CRL.DAT", 20, "8 W 4 D"},
        {"USA/CRL.DAT", 30, "9 W 6 D"},
        {"USA/CRL.DAT", 36, "10 W 3 D"},  // 73.497 days
        {"USA/CRL.DAT", 39, "10 W 6 D"},  // 75.546 days
        {"USA/CRL.DAT", 45, "11 W 2 D"},
        {"USA/CRL.DAT", 60, "12 W 3 D"},
        {"USA/CRL.DAT", 84, "14 W 2 D"},
        {"USA/CRL.DAT", 100, "15 W 6 D"},
        {"USA/CRL.DAT", 120, "17 W 6 D"},  // last row
        {"USA/CRL.DAT", 121, "-"},
        // Europe1 CRL, 7-84 mm, with the 1.037 factor.
        {"Europe1/CRL.DAT", 6, "-"},
        {"Europe1/CRL.DAT", 7, "6 W 3 D"},  // first row
        {"Europe1/CRL.DAT", 10, "7 W 1 D"},
        {"Europe1/CRL.DAT", 18, "8 W 3 D"},  // 58.518 days
        {"Europe1/CRL.DAT", 19, "8 W 3 D"},  // 59.471 days
        {"Europe1/CRL.DAT", 20, "8 W 4 D"},
        {"Europe1/CRL.DAT", 30, "9 W 6 D"},
        {"Europe1/CRL.DAT", 43, "11 W 0 D"},  // 77.498 days
        {"Europe1/CRL.DAT", 45, "11 W 2 D"},
        {"Europe1/CRL.DAT", 60, "12 W 3 D"},
        {"Europe1/CRL.DAT", 70, "13 W 1 D"},
        {"Europe1/CRL.DAT", 84, "14 W 1 D"},  // last row
        {"Europe1/CRL.DAT", 85, "-"},
    };
    for (const Case& c : cases) {
        const GrowthTable table = LoadGrowthTable(ShippedPath(c.file));
        EXPECT_EQ(LookupAgeText(table, c.mm), c.age) << c.file << " at " << c.mm << " mm";
    }
    EXPECT_TRUE(boxes.shown().empty());
}

// The table format: a header naming the source, then "size cm,weeks,days" for every whole
// millimetre of the range with ages that never go down; CR LF throughout.
TEST(GrowthTableGenerator, EveryShippedFileHasItsCitationAndOneLinePerMillimetre) {
    struct Header {
        const char* file;
        std::vector<const char*> parts;  // authors, title, journal and year, equation, range
    } const headers[] = {
        {"USA/BPD.DAT",
         {"Hadlock FP, Deter RL, Harrist RB, Park SK", "Estimating fetal age", "Radiology 1984;152:497-501",
          "9.54 + 1.482 BPD + 0.1676 BPD^2, BPD in cm", "14-42 weeks"}},
        {"USA/FL.DAT",
         {"Hadlock FP, Deter RL, Harrist RB, Park SK", "Estimating fetal age", "Radiology 1984;152:497-501",
          "10.35 + 2.460 FL + 0.170 FL^2, FL in cm", "14-42 weeks"}},
        {"USA/CRL.DAT",
         {"Hadlock FP, Shah YP, Kanon DJ, Lindsey JV", "Fetal crown-rump length",
          "Radiology 1992;182:501-505",
          "exp(1.684969 + 0.315646 CRL - 0.049306 CRL^2 + 0.004057 CRL^3 - 0.000120456 CRL^4)", "0.2-12 cm"}},
        {"Europe1/CRL.DAT",
         {"Robinson HP, Fleming JEE", "A critical evaluation of sonar",
          "Br J Obstet Gynaecol 1975;82:702-710", "Ultrasound 2009;17:161-167",
          "8.052 sqrt(1.037 CRL) + 23.73, CRL in mm", "7-84 mm"}},
    };
    for (const Header& h : headers) {
        const std::string text = ReadAll(ShippedPath(h.file));
        ASSERT_FALSE(text.empty()) << h.file;
        const std::string header = text.substr(0, text.find("\r\n"));
        for (const char* part : h.parts)
            EXPECT_NE(header.find(part), std::string::npos) << h.file << ": " << part;

        EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos) << h.file;
        size_t lf = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_GT(i, 0u);
                EXPECT_EQ(text[i - 1], '\r') << h.file << " at " << i;
                ++lf;
            }
        }
        EXPECT_EQ(text.back(), '\n');

        GrowthTable table;
        table.Parse(text);
        ASSERT_EQ(table.entries().size(), lf - 1) << h.file << ": one entry per line after the header";
        int previousKey = table.entries().begin()->first - 1, previousDays = -1;
        for (const auto& [key, age] : table.entries()) {
            EXPECT_EQ(key, previousKey + 1) << h.file;
            EXPECT_GE(age.weeks * 7 + age.days, previousDays) << h.file << " " << key;
            EXPECT_GE(age.days, 0);
            EXPECT_LT(age.days, 7);
            previousKey = key;
            previousDays = age.weeks * 7 + age.days;
        }
    }
}

TEST(GrowthTableGenerator, RowsRoundTheAgeToTheNearestDayAndStopAtATurningPoint) {
    growthgen::DatingSource s{"X", "X.DAT", "A. B. C 2000;1:1-2", "GA (days) = f", "r", 1, 5, {}};
    s.daysAt = [](double cm) {
        const int mm = static_cast<int>(cm * 10.0 + 0.5);
        return mm == 1 ? 69.49 : mm == 2 ? 69.5 : mm == 3 ? 76.9 : mm == 4 ? 76.0 : 80.0;
    };
    const std::vector<growthgen::GrowthRow> rows = growthgen::Rows(s);
    ASSERT_EQ(rows.size(), 3u);  // 0.4 cm would go back a day
    EXPECT_EQ(rows[0].weeks * 7 + rows[0].days, 69);
    EXPECT_EQ(rows[1].weeks * 7 + rows[1].days, 70);
    EXPECT_EQ(rows[2].weeks, 11);
    EXPECT_EQ(rows[2].days, 0);
    EXPECT_EQ(growthgen::FileText(s), growthgen::HeaderLine(s) + "\r\n0.1,9,6\r\n0.2,10,0\r\n0.3,11,0\r\n");
}
