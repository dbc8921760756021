// Deleting a patient: the question, the trash, and the loaded list.
#include "archive/DeletePatient.h"

#include <gtest/gtest.h>

#include "archive/PatientRows.h"
#include "tests/archive/PatientFixture.h"

namespace {

class DeletePatientTest : public PatientTest {
protected:
    void SetUp() override {
        PatientTest::SetUp();
        AddPatient("0001", "Anna");
        AddPatient("0002", "Ben");
        list.LoadAll();
    }

    std::vector<std::string> Listed() {
        list.BeginSearch("");
        std::vector<std::string> ids;
        for (const PatientRow& r : CollectPatientRows(list))
            ids.push_back(r.id);
        return ids;
    }

    CUserList list;
    std::vector<std::string> trashed;
};

}  // namespace

TEST_F(DeletePatientTest, TheQuestionNamesThePatient) {
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    EXPECT_FALSE(ConfirmDeletePatient("0001", "Anna"));
    boxes.SetAnswer(platform::MsgAnswer::Ok);
    EXPECT_TRUE(ConfirmDeletePatient("0001", "Anna"));
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "May I delete it?\n\n  0001 : Anna");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Question);
    EXPECT_EQ(boxes.shown()[0].buttons, platform::MsgButtons::OkCancel);
}

TEST_F(DeletePatientTest, APatientTheTrashTookLeavesTheListAndTheCurrentId) {
    std::string current = "0001";
    const TrashFunction trash = [this](const std::string& path, std::string*) {
        trashed.push_back(path);
        return 0;
    };
    EXPECT_TRUE(DeletePatient(list, "0002", &current, trash));
    EXPECT_EQ(current, "0001");
    EXPECT_TRUE(DeletePatient(list, "0001", &current, trash));
    EXPECT_EQ(current, "");
    EXPECT_EQ(trashed, (std::vector<std::string>{PatientFolder("0002"), PatientFolder("0001")}));
    EXPECT_TRUE(Listed().empty());  // a later search does not bring them back
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(DeletePatientTest, AFailedMoveIsReportedAndChangesNothing) {
    std::string current = "0001";
    EXPECT_FALSE(DeletePatient(list, "0001", &current, [](const std::string& path, std::string* error) {
        *error = path + ": the trash is not available on this disk";
        return 2;
    }));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_NE(boxes.shown()[0].text.find(PatientFolder("0001") + ": the trash is not available"),
              std::string::npos);
    EXPECT_EQ(current, "0001");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"0001", "0002"}));
    EXPECT_TRUE(platform::IsDirectory(PatientFolder("0001")));
}

TEST_F(DeletePatientTest, TheDesktopTrashReceivesTheWholeFolder) {
    EXPECT_TRUE(DeletePatient(list, "0002", nullptr));
    EXPECT_FALSE(platform::PathExists(PatientFolder("0002")));
    EXPECT_TRUE(platform::PathExists(TrashFiles() + "/0002/0002.xml"));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"0001"}));
}
