// The selection dialog's model: searches, sorting, the choice, New and Delete.
#include "archive/PatientSelectionModel.h"

#include <gtest/gtest.h>

#include "tests/archive/PatientFixture.h"

namespace {

class PatientSelectionModelTest : public PatientTest {
protected:
    void SetUp() override {
        PatientTest::SetUp();
        clock.SetUtcMicros(kAugust20At010203Utc);
        AddPatient("0001", "Anna Berg", "1990-05-04");
        AddPatient("0002", "Ben", "2001-12-31", "Male");
        AddPatient("0003", "anna", "1990-05-04");
    }

    static std::vector<std::string> Ids(const PatientSelectionModel& model) {
        std::vector<std::string> ids;
        for (const PatientRow& r : model.Rows())
            ids.push_back(r.id);
        return ids;
    }

    const TrashFunction fakeTrash = [](const std::string&, std::string*) { return 0; };
};

}  // namespace

TEST_F(PatientSelectionModelTest, SearchesListTheMatchingPatientsInListOrder) {
    SetDateFormat("MM-DD-YYYY");
    PatientSelectionModel model;
    model.Load();
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0001", "0002", "0003"}));
    EXPECT_EQ(model.PickerDateText(), "08-20-2020");

    model.SearchById(" 0002 ");
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0002"}));
    model.SearchByName("anna");  // case matters
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0003"}));
    model.SearchByBirthdate(MakeTime(1990, 5, 4));
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0001", "0003"}));
    EXPECT_EQ(model.PickerDateText(), "05-04-1990");
    EXPECT_EQ(model.PickerDate().wYear, 1990);
    model.SearchById("");
    EXPECT_EQ(Ids(model).size(), 3u);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PatientSelectionModelTest, HeaderClicksSortTheShownRows) {
    PatientSelectionModel model;
    model.Load();
    EXPECT_TRUE(model.SortByColumn(3));  // birthdate, descending first
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0002", "0001", "0003"}));
    EXPECT_TRUE(model.SortByColumn(1));  // name descending: small letters after capitals
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0003", "0002", "0001"}));
    EXPECT_FALSE(model.SortByColumn(4));
}

TEST_F(PatientSelectionModelTest, OkNeedsASelectedRow) {
    PatientSelectionModel model;
    model.Load();
    EXPECT_FALSE(model.Choose(-1));
    EXPECT_FALSE(model.Choose(3));
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "Data is not chosen.");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Exclamation);
    EXPECT_TRUE(model.Choose(1));
    EXPECT_EQ(model.m_strSelId, "0002");
    EXPECT_EQ(model.m_strSelName, "Ben");
}

TEST_F(PatientSelectionModelTest, NewMakesTheCreatedPatientTheChoice) {
    PatientSelectionModel model;
    model.Load();
    ASSERT_TRUE(model.AddNew(PatientEntry{"Cleo", "Female", "2020-08-20", ""}));
    EXPECT_EQ(model.m_strSelId, "0004");
    EXPECT_EQ(model.m_strSelName, "Cleo");
}

TEST_F(PatientSelectionModelTest, DeletingTheCurrentPatientTurnsCancelIntoExit) {
    PatientSelectionModel model("0002");
    model.Load();
    EXPECT_EQ(model.ExitCaptionId(), 210);

    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    EXPECT_FALSE(model.DeleteRow(1, fakeTrash));  // No to the question
    EXPECT_EQ(Ids(model).size(), 3u);

    boxes.SetAnswer(platform::MsgAnswer::Ok);
    EXPECT_TRUE(model.DeleteRow(0, fakeTrash));
    EXPECT_EQ(model.ExitCaptionId(), 210);
    EXPECT_TRUE(model.DeleteRow(0, fakeTrash));  // 0002, now the first row
    EXPECT_EQ(model.CurrentId(), "");
    EXPECT_EQ(model.ExitCaptionId(), 136);
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0003"}));
    model.SearchById("");  // the deleted patients are not listed again
    EXPECT_EQ(Ids(model), (std::vector<std::string>{"0003"}));

    EXPECT_FALSE(model.DeleteRow(-1, fakeTrash));
    EXPECT_EQ(boxes.shown().back().text, "Data is not chosen.");
}

TEST(PatientSelectionModelFormTest, TheStartUpFormShowsExit) {
    EXPECT_EQ(PatientSelectionModel().ExitCaptionId(), 136);
    EXPECT_TRUE(PatientSelectionModel().IsStartup());
    EXPECT_FALSE(PatientSelectionModel("0001").IsStartup());
}
