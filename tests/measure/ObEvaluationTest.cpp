#include "measure/ObEvaluation.h"

#include <gtest/gtest.h>
#include <vector>

#include "measure/FetalWeight.h"
#include "measure/ObItemValues.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#include "tests/measure/MeasureTestUtil.h"

using testsupport::MessageBoxRecorder;
using testsupport::TempDir;
using testsupport::WriteAll;

namespace {

platform::SystemTime Date(int y, int m, int d) {
    platform::SystemTime t;
    t.wYear = static_cast<uint16_t>(y);
    t.wMonth = static_cast<uint16_t>(m);
    t.wDay = static_cast<uint16_t>(d);
    return t;
}

class ObEvaluationTest : public ::testing::Test {
protected:
    ObEvaluationTest() {
        platform::CreateDirectories(root.path() + "/JSUM");
        WriteAll(root / "JSUM/BPD.DAT", "BPD test table\r\n9.2,36,6\r\n9.3,37,1\r\n");
        WriteAll(root / "JSUM/FL.DAT", "FL test table\r\n7.2,36,4\r\n");
        WriteAll(root / "JSUM/AC.DAT", "AC test table\r\n30.0,34,0\r\n");
        // No CRL.DAT and no GS.DAT.

        in.values[ObItemBpd - 1] = 92.5;
        in.values[ObItemCrl - 1] = 45.0;
        in.values[ObItemFl - 1] = 71.6;
        in.values[ObItemAc - 1] = 320.6;
        in.values[ObItemSl - 1] = 12.0;
        in.values[ObItemHc - 1] = 330.0;
        in.imageIndices[ObItemBpd - 1] = 2;
        in.imageIndices[ObItemFl - 1] = 5;
        in.gaModel = 3;
        in.efwEquation = EfwEquationJsum;
        in.tableRoot = root.path() + "/";
        in.lmpDate = Date(2024, 1, 1);
        in.lmpText = "01-01-2024";
        in.patientHeader = "ID: 0001  Name: Jane Roe";
        in.patientFolder = "/data/0001";
        in.dateFormat = DateFormatter(DateFormatModeDayFirst);
        in.stillStamp = [](int index) { return index == 2 ? std::string("20240410101010") : std::string(); };
    }

    measuretest::ScopedTimeZone tz{"UTC"};
    measuretest::ClockAtDate today{2024, 4, 10};
    TempDir root;
    MessageBoxRecorder boxes;  // growth-table messages
    ObEvaluationInput in;
};

}  // namespace

TEST_F(ObEvaluationTest, AllTwentyTexts) {
    const ObEvaluationResult r = EvaluateOb(in);
    const std::array<const char*, kObResultElementCount> expected = {
        "ID: 0001  Name: Jane Roe",
        "10-04-2024",
        "01-01-2024",
        "07-10-2024",
        "14 W 2 D",  // 100 days before 2024-04-10
        "15-01-2024",
        "07-10-2024",
        "12 W 2 D",  // the auto BBT, 86 days
        "(auto)",
        "92.5 mm",
        "37 W 1 D",  // key 93
        "45.0 mm",
        "-",  // no CRL table
        "71.6 mm",
        "36 W 4 D",
        "320.6 mm",
        "-",  // key 321 is not in the table
        "-",
        "-",          // GS not measured
        "3086.35 g",  // 1.07 × 9.3³ + 0.30 × 32.1² × 7.2
    };
    for (int e = 0; e < kObResultElementCount; ++e) {
        EXPECT_EQ(r.texts[e], expected[e]) << kObResultElementIds[e];
    }
    // The missing CRL table is reported once, with its path; GS is not looked for.
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "opening \xE3\x80\x80" + root.path() +
                                         "/JSUM/CRL.DAT\xE3\x80\x80"
                                         "failed\n");

    in.efwEquation = EfwEquationHadlock;
    EXPECT_EQ(EvaluateOb(in).Text(ObResWeight), "3010.25 g");
    in.efwEquation = 2;
    EXPECT_EQ(EvaluateOb(in).Text(ObResWeight), "(not calculated yet)");
}

TEST_F(ObEvaluationTest, EnteredBbtDateCountsFromItself) {
    in.bbtDate = Date(2024, 1, 20);
    in.bbtText = "20-01-2024";
    const ObEvaluationResult r = EvaluateOb(in);
    EXPECT_EQ(r.Text(ObResBbt1), "20-01-2024");
    EXPECT_EQ(r.Text(ObResBbt2), "12-10-2024");
    EXPECT_EQ(r.Text(ObResBbt3), "11 W 4 D");  // 81 days
    EXPECT_EQ(r.Text(ObResBbtMode), "");

    in.lmpText.clear();
    in.bbtText.clear();
    const ObEvaluationResult none = EvaluateOb(in);
    for (ObResultElement e : {ObResLmp1, ObResLmp2, ObResLmp3, ObResBbt1, ObResBbt2, ObResBbt3})
        EXPECT_EQ(none.Text(e), "-");
    EXPECT_EQ(none.Text(ObResBbtMode), "(auto)");
}

TEST_F(ObEvaluationTest, ImpossibleDatesShowDashesInEveryCellTheyFeed) {
    in.lmpDate = Date(2024, 2, 30);
    in.lmpText = "30-02-2024";
    ObEvaluationResult r = EvaluateOb(in);
    EXPECT_EQ(r.Text(ObResLmp1), "30-02-2024");
    EXPECT_EQ(r.Text(ObResLmp2), "-");
    EXPECT_EQ(r.Text(ObResLmp3), "-");
    EXPECT_EQ(r.Text(ObResBbt1), "-");  // no auto BBT from an impossible LMP
    EXPECT_EQ(r.Text(ObResBbt2), "-");
    EXPECT_EQ(r.Text(ObResBbt3), "-");

    in.bbtDate = Date(2023, 2, 29);
    in.bbtText = "29-02-2023";
    r = EvaluateOb(in);
    EXPECT_EQ(r.Text(ObResBbt1), "29-02-2023");
    EXPECT_EQ(r.Text(ObResBbt2), "-");
    EXPECT_EQ(r.Text(ObResBbt3), "-");
}

TEST_F(ObEvaluationTest, GrowthTablesOpenOnlyWhereTheModelHasThem) {
    in.values[ObItemGs - 1] = 20.0;
    std::vector<std::string> opened;
    in.loadTable = [&](const std::string& path) {
        opened.push_back(platform::FileNamePart(path));
        return GrowthTable();
    };
    const std::vector<std::vector<std::string>> expected = {
        {"BPD.DAT", "CRL.DAT", "FL.DAT"},
        {"BPD.DAT", "CRL.DAT", "FL.DAT"},
        {"BPD.DAT", "FL.DAT"},
        {"BPD.DAT", "CRL.DAT", "FL.DAT", "AC.DAT", "GS.DAT"},
    };
    for (int model = 0; model < 4; ++model) {
        opened.clear();
        in.gaModel = model;
        const ObEvaluationResult r = EvaluateOb(in);
        EXPECT_EQ(opened, expected[model]) << "model " << model;
        EXPECT_EQ(r.Text(ObResCrl3), "-");
        EXPECT_EQ(r.Text(ObResAc3), "-");
    }
    // A set outside 0..3 evaluates no item at all.
    opened.clear();
    in.gaModel = 4;
    const ObEvaluationResult r = EvaluateOb(in);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(r.Text(ObResBpd1), "-");
    EXPECT_EQ(r.Text(ObResWeight), "(not calculated yet)");
}

TEST_F(ObEvaluationTest, ReportImagesTakeTheStampOfTheStoredItem) {
    in.saveImage[ObEvalBpd] = true;
    in.saveImage[ObEvalFl] = true;  // its still has no stored-item record
    in.saveImage[ObEvalGs] = true;  // not measured: the flag stays
    const ObEvaluationResult r = EvaluateOb(in);
    ASSERT_EQ(r.reportImages.size(), 1u);
    const ObReportImage& image = r.reportImages[0];
    EXPECT_EQ(image.item, ObItemBpd);
    EXPECT_EQ(image.imageIndex, 2);
    EXPECT_EQ(image.stillPath, "/data/0001/20240410101010");
    EXPECT_EQ(image.reportPath, "/data/0001/BPD20240410101010.bmp");
    EXPECT_FALSE(r.saveImage[ObEvalBpd]);
    EXPECT_FALSE(r.saveImage[ObEvalFl]);
    EXPECT_TRUE(r.saveImage[ObEvalGs]);
}

TEST_F(ObEvaluationTest, PatientHeaderCutAtSixtyCodePointsAndEscaped) {
    std::string name;
    for (int i = 0; i < 60; ++i)
        name += "\xC3\xA9";  // é
    in.patientHeader = "ID: 0001  Name: " + name;
    const std::string cut = EvaluateOb(in).Text(ObResIdName);
    EXPECT_EQ(platform::CountCodePoints(cut), 60u);
    EXPECT_TRUE(platform::IsValidUtf8(cut));
    EXPECT_EQ(cut, "ID: 0001  Name: " + name.substr(0, 2 * 44));

    in.patientHeader = "ID: <b>  Name: Tom & \"Jerry\"";
    const std::string page = FillResultsPage(
        "<td id=\"ID_RES_IDNAME\">{{ID_RES_IDNAME}}</td><td>{{ID_RES_WEIGHT}}</td>{{UNKNOWN}}",
        EvaluateOb(in));
    EXPECT_EQ(page,
              "<td id=\"ID_RES_IDNAME\">ID: &lt;b&gt;  Name: Tom &amp; &quot;Jerry&quot;</td>"
              "<td>3086.35 g</td>{{UNKNOWN}}");
}

TEST(FetalWeight, OracleValues) {
    EXPECT_EQ(FormatFetalWeight(*EstimateFetalWeight(EfwEquationJsum, 90.0, 70.0, 300.0)), "2670.03 g");
    EXPECT_EQ(FormatFetalWeight(*EstimateFetalWeight(EfwEquationHadlock, 90.0, 70.0, 300.0)), "2585.23 g");
    EXPECT_EQ(FormatFetalWeight(*EstimateFetalWeight(EfwEquationJsum, 92.5, 71.6, 320.6)), "3086.35 g");
    EXPECT_EQ(FormatFetalWeight(*EstimateFetalWeight(EfwEquationHadlock, 92.5, 71.6, 320.6)), "3010.25 g");
    EXPECT_FALSE(EstimateFetalWeight(EfwEquationJsum, 1e9, 70.0, 300.0));
    EXPECT_FALSE(EstimateFetalWeight(7, 90.0, 70.0, 300.0));
}

TEST_F(ObEvaluationTest, DueDatesAcrossTheEndOfDaylightSavingTime) {
    measuretest::ScopedTimeZone berlin("Europe/Berlin");
    in.lmpDate = Date(2024, 6, 1);
    in.lmpText = "01-06-2024";
    EXPECT_EQ(EvaluateOb(in).Text(ObResLmp2), "08-03-2025");
    in.lmpDate = Date(2024, 10, 20);
    in.lmpText = "20-10-2024";
    const ObEvaluationResult r = EvaluateOb(in);
    EXPECT_EQ(r.Text(ObResBbt1), "03-11-2024");
    EXPECT_EQ(r.Text(ObResBbt2), "27-07-2025");
    EXPECT_EQ(r.Text(ObResLmp2), "27-07-2025");
}

TEST_F(ObEvaluationTest, AbandonedRemeasureFeedsTheCommittedValue) {
    ObItemValues items;
    items.Commit(ObItemBpd, 90.0, 2);
    items.Commit(ObItemFl, 70.0, 2);
    items.Commit(ObItemAc, 300.0, 2);
    items.BeginMeasure(ObItemBpd);  // a re-measure on another still, dragged and abandoned
    items.UpdatePending(ObItemBpd, 15.0);
    items.Abandon(ObItemBpd);
    in.values = items.Values();
    in.imageIndices = items.ImageIndices();
    const ObEvaluationResult r = EvaluateOb(in);
    EXPECT_EQ(r.Text(ObResBpd1), "90.0 mm");
    EXPECT_EQ(r.Text(ObResWeight), "2670.03 g");
}
