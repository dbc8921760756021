#include "tools/growthgen/GrowthTableGenerator.h"

#include <gtest/gtest.h>

#include "measure/GrowthTable.h"
#include "tests/support/TestSupport.h"

using testsupport::MessageBoxRecorder;
using testsupport::ReadAll;
using testsupport::TempDir;

TEST(GrowthTableGenerator, WorkedValuesOfTheUsaRegressions) {
    TempDir out;
    ASSERT_TRUE(growthgen::WriteAll(out.path()));
    MessageBoxRecorder boxes;
    struct Case {
        const char* file;
        double cm;
        GrowthEntry age;
    } const cases[] = {
        {"BPD.DAT", 9.0, {36, 3}},  // 36.4536 weeks = 255 days
        {"FL.DAT", 7.0, {35, 6}},
        {"CRL.DAT", 4.5, {11, 2}},
    };
    for (const Case& c : cases) {
        const GrowthTable t = LoadGrowthTable(out / (std::string("USA/") + c.file));
        EXPECT_EQ(t.Lookup(c.cm), c.age) << c.file;
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(GrowthTableGenerator, EveryFileCoversItsRangeOnlyWithRisingAges) {
    TempDir out;
    ASSERT_TRUE(growthgen::WriteAll(out.path()));
    for (const growthgen::DatingSource& source : growthgen::KnownSources()) {
        const std::string text = ReadAll(out / (source.set + "/" + source.file));
        EXPECT_EQ(text, growthgen::FileText(source)) << "the generator reproduces its output";
        // The header cites its source and equation; CR LF throughout, no blank lines.
        const std::string header = text.substr(0, text.find("\r\n"));
        EXPECT_NE(header.find(source.citation), std::string::npos);
        EXPECT_NE(header.find("in cm"), std::string::npos);
        EXPECT_EQ(text.find("\r\n\r\n"), std::string::npos);
        size_t lf = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_GT(i, 0u);
                EXPECT_EQ(text[i - 1], '\r');
                ++lf;
            }
        }
        EXPECT_EQ(text.back(), '\n');

        GrowthTable table;
        table.Parse(text);
        ASSERT_EQ(table.entries().size(), lf - 1) << source.file;
        EXPECT_EQ(table.entries().begin()->first, source.minMm);
        EXPECT_EQ(table.entries().rbegin()->first, source.maxMm);
        int previousKey = source.minMm - 1, previousDays = -1;
        for (const auto& [key, age] : table.entries()) {
            EXPECT_EQ(key, previousKey + 1) << source.file;
            EXPECT_GE(age.weeks * 7 + age.days, previousDays) << source.file << " " << key;
            EXPECT_GE(age.days, 0);
            EXPECT_LT(age.days, 7);
            previousKey = key;
            previousDays = age.weeks * 7 + age.days;
        }
        // Outside the stated range there is no line: "-", never an extrapolation.
        EXPECT_EQ(LookupAgeText(table, source.minMm - 1), "-");
        EXPECT_EQ(LookupAgeText(table, source.maxMm + 1), "-");
    }
}
