// Saving the edited current patient and the exam header.
#include "archive/SelectExam.h"

#include <gtest/gtest.h>

#include "tests/archive/PatientFixture.h"

namespace {

class SelectExamTest : public PatientTest {
protected:
    void SetUp() override {
        PatientTest::SetUp();
        clock.SetUtcMicros(kAugust20At010203Utc);
        CUser user = AddPatient("0001", "Anna", "1990-05-04");
        user.m_strLmp = "2020-06-01";
        user.m_strBbt = "2020-06-15";
        user.m_nLastStoreInfoId = 41;
        user.m_strNote = "old";
        ASSERT_TRUE(user.Save());
        ASSERT_TRUE(model.Open("0001"));
        model.ReadFields("Anna Maria", ExamEditModel::kSexMale, "new note");
    }
    ExamEditModel model;
};

}  // namespace

TEST_F(SelectExamTest, TheEditIsSavedWithTheDatesAndLastIdKept) {
    std::string name;
    ASSERT_TRUE(SaveExamEdit("0001", model, name));
    EXPECT_EQ(name, "Anna Maria");
    CUser user;
    ASSERT_TRUE(user.Load("0001"));
    EXPECT_EQ(user.m_strName, "Anna Maria");
    EXPECT_EQ(user.m_strSex, "Male");
    EXPECT_EQ(user.m_strBirthdate, "1990-05-04");
    EXPECT_EQ(user.m_strNote, "new note");
    EXPECT_EQ(user.m_strLmp, "2020-06-01");
    EXPECT_EQ(user.m_strBbt, "2020-06-15");
    EXPECT_EQ(user.m_nLastStoreInfoId, 41u);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text,
              "saved\n\nID:0001\nName:Anna Maria\nSex:Male\nBirth:04-05-1990\nNote:new note\n");
    EXPECT_EQ(boxes.shown()[0].caption, "Patient");
}

TEST_F(SelectExamTest, APatientFileThatNoLongerLoadsIsNotWritten) {
    const std::string path = CUser::GetXmlPath("0001");
    testsupport::WriteAll(path, "<quarnet><user");  // damaged, maybe recoverable
    std::string name = "unchanged";
    EXPECT_FALSE(SaveExamEdit("0001", model, name));
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(testsupport::ReadAll(path), "<quarnet><user");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "File is not found.");

    EXPECT_FALSE(SaveExamEdit("", model, name));  // no id: no stray ".xml" anywhere
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(platform::ListDirectory(DataRoot(), entries));
    EXPECT_EQ(entries.size(), 1u);
}

TEST_F(SelectExamTest, AFailedWriteLeavesTheFileByteForByteAndSaysWhy) {
    const std::string path = CUser::GetXmlPath("0001");
    const std::string before = testsupport::ReadAll(path);
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    std::string name = "unchanged";
    EXPECT_FALSE(SaveExamEdit("0001", model, name));
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(testsupport::ReadAll(path), before);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find(path), std::string::npos);
    EXPECT_NE(boxes.shown()[0].text.find("unchanged"), std::string::npos);
}

TEST(PatientHeaderTest, NamesTheIdAndThePatientEvenWithPercentSigns) {
    EXPECT_EQ(FormatPatientHeader("0001", "Anna"), "ID: 0001  Name: Anna");
    EXPECT_EQ(FormatPatientHeader("0002", "50%s %d"), "ID: 0002  Name: 50%s %d");
}
