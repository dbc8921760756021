// The patient entry dialog's model: opening values, the Cancel check, OK and the edit.
#include "archive/ExamEditModel.h"

#include <gtest/gtest.h>

#include "platform/StringUtil.h"
#include "tests/archive/PatientFixture.h"

namespace {

class ExamEditModelTest : public PatientTest {
protected:
    void SetUp() override {
        PatientTest::SetUp();
        clock.SetUtcMicros(kAugust20At010203Utc);  // today is 2020-08-20
    }
    ExamEditModel model;
};

std::string Day(const platform::SystemTime& t) {
    return std::to_string(t.wYear) + "-" + std::to_string(t.wMonth) + "-" + std::to_string(t.wDay);
}

}  // namespace

TEST_F(ExamEditModelTest, ANewPatientStartsTodayAsFemaleAndClosesWithoutAQuestion) {
    EXPECT_TRUE(model.Open(""));
    EXPECT_TRUE(model.CanAccept());
    EXPECT_EQ(model.m_strEditBirthdate, "2020-08-20");
    EXPECT_EQ(model.m_strEditBirthdateText, "20-08-2020");
    EXPECT_EQ(model.m_nSex, ExamEditModel::kSexFemale);
    EXPECT_EQ(model.m_strOrgSex, "Female");
    model.ReadFields("", ExamEditModel::kSexFemale, "");
    EXPECT_FALSE(model.IsDirty());
    EXPECT_TRUE(model.OnCancel());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(ExamEditModelTest, EachChangedFieldBringsTheQuestionOnCancel) {
    AddPatient("0001", "Anna", "1990-05-04", "Female");
    const struct {
        const char* field;
        std::string name;
        int32_t sex;
        bool pick;
        std::string note;
    } cases[] = {
        {"none", "Anna", 1, false, ""},     {"name", "Anna B", 1, false, ""}, {"sex", "Anna", 0, false, ""},
        {"birthdate", "Anna", 1, true, ""}, {"note", "Anna", 1, false, "x"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(model.Open("0001"));
        if (c.pick)
            model.OnBirthdatePicked(MakeTime(1990, 5, 5));
        model.ReadFields(c.name, c.sex, c.note);
        const bool changed = std::string(c.field) != "none";
        EXPECT_EQ(model.IsDirty(), changed) << c.field;

        testsupport::MessageBoxRecorder answer(platform::MsgAnswer::Cancel);
        EXPECT_EQ(model.OnCancel(), !changed) << c.field;  // Cancel in the question keeps the dialog
        ASSERT_EQ(answer.shown().size(), changed ? 1u : 0u) << c.field;
        if (changed) {
            EXPECT_EQ(answer.shown()[0].text, "Discard Changes and Exit?");
            EXPECT_EQ(answer.shown()[0].caption, "Patient");
            answer.SetAnswer(platform::MsgAnswer::Ok);
            EXPECT_TRUE(model.OnCancel()) << c.field;
        }
    }
}

TEST_F(ExamEditModelTest, AStoredSexOtherThanMaleOpensAndSavesAsFemale) {
    AddPatient("0001", "Anna", "", "");
    ASSERT_TRUE(model.Open("0001"));
    EXPECT_EQ(model.m_nSex, ExamEditModel::kSexFemale);
    model.ReadFields("Anna", model.m_nSex, "");
    EXPECT_FALSE(model.IsDirty());
    CUser user;
    ASSERT_TRUE(user.Load("0001"));
    model.ApplyTo(user);
    EXPECT_EQ(user.m_strSex, "Female");
    EXPECT_EQ(user.m_strSexText, "Female");
}

TEST_F(ExamEditModelTest, ABirthdateStaysAsStoredUnlessOneIsPicked) {
    const struct {
        const char* stored;
        const char* text;  // shown in the dialog
        const char* kept;  // written back without a pick
    } cases[] = {
        {"", "", ""},
        {"2023-02-30", "", "2023-02-30"},  // no date: not shown, kept, never replaced by today
        {"unknown", "", "unknown"},
        {"1990-05-04", "04-05-1990", "1990-05-04"},
    };
    for (const auto& c : cases) {
        AddPatient("0001", "Anna", c.stored);
        ASSERT_TRUE(model.Open("0001")) << c.stored;
        EXPECT_EQ(model.m_strEditBirthdateText, c.text) << c.stored;
        const bool valid = std::string(c.stored) == "1990-05-04";
        EXPECT_EQ(Day(model.PickerDate()), valid ? "1990-5-4" : "2020-8-20") << c.stored;
        model.ReadFields("Anna", model.m_nSex, "new note");
        CUser user;
        ASSERT_TRUE(user.Load("0001"));
        model.ApplyTo(user);
        EXPECT_EQ(user.m_strBirthdate, c.kept) << c.stored;
        EXPECT_EQ(user.m_strNote, "new note");

        // A picked date replaces it; its time part is dropped and its weekday set.
        platform::SystemTime picked = MakeTime(2001, 2, 3, 13, 14, 15, 16);
        model.OnBirthdatePicked(picked);
        EXPECT_EQ(model.m_strEditBirthdate, "2001-02-03");
        EXPECT_EQ(model.m_strEditBirthdateText, "03-02-2001");
        EXPECT_EQ(model.m_stBirthdate.wHour + model.m_stBirthdate.wMilliseconds, 0);
        EXPECT_EQ(model.m_stBirthdate.wDayOfWeek, 6);  // a Saturday
        EXPECT_EQ(model.PickerDate().wDay, 3);
    }
}

TEST_F(ExamEditModelTest, TheBirthdateShowsInTheDisplayFormatAndIsKeptYearFirst) {
    AddPatient("0001", "Anna", "1999-12-31");
    const std::pair<const char*, const char*> formats[] = {
        {"DD-MM-YYYY", "31-12-1999"}, {"YYYY-MM-DD", "1999-12-31"}, {"MM-DD-YYYY", "12-31-1999"}};
    for (const auto& [format, shown] : formats) {
        SetDateFormat(format);
        ASSERT_TRUE(model.Open("0001"));
        EXPECT_EQ(model.m_strEditBirthdateText, shown) << format;
        EXPECT_EQ(model.m_strEditBirthdate, "1999-12-31") << format;
        EXPECT_EQ(model.m_strOrgBirthdate, "1999-12-31") << format;
    }
}

TEST_F(ExamEditModelTest, APatientFileThatDoesNotLoadLetsNothingBeAccepted) {
    ASSERT_TRUE(platform::CreateDirectories(PatientFolder("0001")));
    EXPECT_FALSE(model.Open("0001"));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "File is not found.");
    EXPECT_FALSE(model.CanAccept());
    EXPECT_EQ(model.m_strEditBirthdate, "");
    model.ReadFields("Someone", ExamEditModel::kSexMale, "");
    EXPECT_FALSE(model.OnOk());
    EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(ExamEditModelTest, AnEmptyNameIsRefusedOnOk) {
    ASSERT_TRUE(model.Open(""));
    model.ReadFields("", ExamEditModel::kSexMale, "note");
    EXPECT_FALSE(model.OnOk());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Name is not input.");
    model.ReadFields("Ben", ExamEditModel::kSexMale, "note");
    EXPECT_TRUE(model.OnOk());
    EXPECT_EQ(model.Entry(), (PatientEntry{"Ben", "Male", "2020-08-20", "note"}));
}

TEST_F(ExamEditModelTest, ControlCharactersBecomeSpacesAndTextsAreCutToTheirLimits) {
    ASSERT_TRUE(model.Open(""));
    std::string longName;
    for (int i = 0; i < 70; ++i)
        longName += "é";
    model.ReadFields(
        "Anna\tMaria\r\nB\x7f"
        "C",
        ExamEditModel::kSexFemale, "line 1\nline 2\xc2\x85");
    EXPECT_EQ(model.m_strEditName, "Anna Maria B C");
    EXPECT_EQ(model.m_strEditNote, "line 1 line 2 ");
    model.ReadFields(longName, ExamEditModel::kSexFemale, std::string(200, 'n'));
    EXPECT_EQ(platform::CountCodePoints(model.m_strEditName), 64u);
    EXPECT_EQ(model.m_strEditNote.size(), 128u);
}

TEST_F(ExamEditModelTest, OpensThePatientOfItsOwnId) {
    AddPatient("0001", "Anna", "1990-05-04");
    model.m_strEditId = "0001";
    ASSERT_TRUE(model.Open(model.m_strEditId));
    EXPECT_EQ(model.m_strEditId, "0001");
    EXPECT_EQ(model.m_strEditName, "Anna");
}
