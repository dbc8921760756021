// The change of patient: the question before the dialog and the meaning of its result.
#include "archive/ChangePatient.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

TEST(ChangePatientTest, AsksUnlessBothAStillAndACineWereStored) {
    struct Case {
        bool still, cine, asked;
        platform::MsgAnswer answer;
        bool goesOn;
    } cases[] = {
        {true, true, false, platform::MsgAnswer::Cancel, true},
        {false, true, true, platform::MsgAnswer::Ok, true},
        {true, false, true, platform::MsgAnswer::Cancel, false},
        {false, false, true, platform::MsgAnswer::Cancel, false},
    };
    for (const Case& c : cases) {
        testsupport::MessageBoxRecorder boxes(c.answer);
        EXPECT_EQ(ConfirmChangePatient(c.still, c.cine), c.goesOn) << c.still << c.cine;
        ASSERT_EQ(boxes.shown().size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(boxes.shown()[0].text, "Change without saving");
            EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Exclamation);
            EXPECT_EQ(boxes.shown()[0].buttons, platform::MsgButtons::OkCancel);
        }
    }
}

TEST(ChangePatientTest, ADeletedCurrentPatientEndsTheProgramAfterExitAndAfterEsc) {
    struct Case {
        int result;
        const char* currentId;
        ChangePatientAction action;
    } cases[] = {
        {kPatientDialogOk, "0001", ChangePatientAction::StartExam},
        {kPatientDialogOk, "", ChangePatientAction::StartExam},
        {kPatientDialogExit, "0001", ChangePatientAction::None},
        {kPatientDialogEscape, "0001", ChangePatientAction::None},
        {kPatientDialogExit, "", ChangePatientAction::Quit},
        {kPatientDialogEscape, "", ChangePatientAction::Quit},
    };
    for (const Case& c : cases) {
        testsupport::MessageBoxRecorder boxes;
        EXPECT_EQ(DecideChangePatient(c.result, c.currentId), c.action)
            << c.result << " '" << c.currentId << "'";
        if (c.action == ChangePatientAction::Quit) {
            ASSERT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(boxes.shown()[0].text, "Patient information was deleted.\n\n    I finish a program.");
            EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Exclamation);
            EXPECT_EQ(boxes.shown()[0].buttons, platform::MsgButtons::Ok);
        } else {
            EXPECT_TRUE(boxes.shown().empty());
        }
    }
}
