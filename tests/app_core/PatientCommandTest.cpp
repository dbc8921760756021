// The exam's patient on the headless main window: what an exam start resets through the
// archive and OB/GY ports, editing the patient with F1, and changing it with F4, with the
// dialogs replaced by a script.
#include <fstream>
#include <functional>
#include <sstream>

#include "CoreFixture.h"
#include "app/core/VirtualKeys.h"
#include "archive/ExamEditModel.h"
#include "common/User.h"
#include "platform/FileSystem.h"

using namespace coretest;
using namespace maindlg;

namespace {

class RecordingThumbnails : public IThumbnailList {
public:
    explicit RecordingThumbnails(CKALVEXDlg** dlg) : dlg_(dlg) {}
    void FillThumbnailList(int scrollToEnd, int rebuild, int redraw) override {
        calls.push_back({scrollToEnd, rebuild, redraw, *dlg_ && (*dlg_)->m_bExamList});
    }
    struct Call {
        int scrollToEnd, rebuild, redraw;
        bool examList;
    };
    std::vector<Call> calls;

private:
    CKALVEXDlg** dlg_;
};

class RecordingObgy : public IObgy {
public:
    void LoadPatientDates() override { log.push_back(0); }
    void ClearObgyMeasure(int item) override { log.push_back(item); }
    void ClearExamStills() override { log.push_back(-1); }
    std::vector<int> log;  // -1 stills cleared, 0 dates loaded, else the item cleared
};

class ScriptedDialogs : public IPatientDialogs {
public:
    bool RunExamDialog(ExamEditModel& edit) override {
        ++examRuns;
        edit.Open(edit.m_strEditId);
        return exam ? exam(edit) : false;
    }
    PatientChoice RunChangePatientDialog(const std::string& currentId) override {
        ++changeRuns;
        PatientChoice choice;
        choice.currentId = currentId;
        if (change)
            change(choice);
        return choice;
    }
    std::function<bool(ExamEditModel&)> exam;
    std::function<void(PatientChoice&)> change;
    int examRuns = 0;
    int changeRuns = 0;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class PatientCommandTest : public CoreTest {
protected:
    CKALVEXDlg& CreateFor(const std::string& id, const std::string& name) {
        MainDlgPorts ports = side.Ports();
        ports.thumbnails = &thumbs;
        ports.obgy = &obgy;
        ports.patients = &dialogs;
        return InitWith(ports, [&](CKALVEXDlg& d) {
            raw = &d;
            d.m_strPatientId = id;
            d.m_strPatientName = name;
        });
    }
    static void WritePatient(const std::string& id, const std::string& name, const std::string& note = "") {
        CUser user;
        user.m_strId = id;
        user.m_strName = name;
        user.m_strSex = "Female";
        user.m_strNote = note;
        user.m_strLmp = "2026-01-02";
        user.m_strBbt = "2026-01-16";
        ASSERT_TRUE(user.SaveXml(CUser::GetXmlPath(id)));
    }
    size_t BoxesWith(const std::string& text) const {
        size_t n = 0;
        for (const auto& b : boxes.shown())
            n += b.text.find(text) != std::string::npos;
        return n;
    }

    CKALVEXDlg* raw = nullptr;
    RecordingThumbnails thumbs{&raw};
    RecordingObgy obgy;
    ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(PatientCommandTest, AnExamStartResetsTheExamListTheStillsAndTheObgyItemsInOrder) {
    WritePatient("0001", "Anna");
    CKALVEXDlg& d = CreateFor("0001", "Anna");
    d.m_bExamList = false;
    thumbs.calls.clear();
    obgy.log.clear();
    ASSERT_TRUE(d.StartExam("0001", "Anna"));
    // First the exam's list (without a probe the viewer's refill follows).
    ASSERT_GE(thumbs.calls.size(), 1u);
    EXPECT_EQ(thumbs.calls[0].scrollToEnd, 0);
    EXPECT_EQ(thumbs.calls[0].rebuild, 1);
    EXPECT_EQ(thumbs.calls[0].redraw, 1);
    EXPECT_TRUE(thumbs.calls[0].examList);  // refilled as the exam's list
    EXPECT_EQ(obgy.log, (std::vector<int>{-1, 0, 1, 5, 2, 6, 3, 4, 7}));
    EXPECT_EQ(d.Controls().Text(IDC_HEADER), "ID: 0001  Name: Anna");
    // The patient list was loaded for the exam.
    d.m_userList.BeginSearch("0001");
    EXPECT_TRUE(d.m_userList.FindNext());
}

TEST_F(PatientCommandTest, F1SavesTheEditKeepingTheDatesAndRewritesTheHeader) {
    WritePatient("0001", "Anna");
    CKALVEXDlg& d = CreateFor("0001", "Anna");
    dialogs.exam = [](ExamEditModel& edit) {
        edit.ReadFields("Anna Berg", ExamEditModel::kSexFemale, "second visit");
        return true;
    };
    Key(vk::kF1);
    ASSERT_EQ(dialogs.examRuns, 1);
    EXPECT_EQ(d.m_strPatientName, "Anna Berg");
    EXPECT_EQ(d.Controls().Text(IDC_HEADER), "ID: 0001  Name: Anna Berg");
    EXPECT_EQ(BoxesWith("saved"), 1u);
    EXPECT_EQ(BoxesWith("Note:second visit"), 1u);
    CUser user;
    ASSERT_TRUE(user.Load("0001"));
    EXPECT_EQ(user.m_strNote, "second visit");
    EXPECT_EQ(user.m_strLmp, "2026-01-02");
    EXPECT_EQ(user.m_strBbt, "2026-01-16");
}

TEST_F(PatientCommandTest, F1OnAPatientWhoseFileIsGoneWritesNothingAndKeepsTheHeader) {
    CKALVEXDlg& d = CreateFor("0003", "Gone");
    dialogs.exam = [](ExamEditModel& edit) {
        edit.ReadFields("Someone", ExamEditModel::kSexMale, "");
        return true;  // even an accepted dialog must not write a record for it
    };
    Key(vk::kF1);
    EXPECT_EQ(dialogs.examRuns, 1);
    EXPECT_EQ(d.Controls().Text(IDC_HEADER), "ID: 0003  Name: Gone");
    EXPECT_FALSE(platform::PathExists(CUser::GetXmlPath("0003")));
    EXPECT_FALSE(platform::PathExists(GetDataFolder() + ".xml"));
    EXPECT_EQ(BoxesWith("saved"), 0u);
}

TEST_F(PatientCommandTest, F1CancelledChangesNothing) {
    WritePatient("0001", "Anna", "first");
    const std::string before = ReadFile(CUser::GetXmlPath("0001"));
    CKALVEXDlg& d = CreateFor("0001", "Anna");
    Key(vk::kF1);  // the script answers Cancel
    EXPECT_EQ(dialogs.examRuns, 1);
    EXPECT_EQ(ReadFile(CUser::GetXmlPath("0001")), before);
    EXPECT_EQ(d.Controls().Text(IDC_HEADER), "ID: 0001  Name: Anna");
}

TEST_F(PatientCommandTest, F4ResultsAgainstTheStoredFlags) {
    struct Case {
        const char* what;
        bool stored;  // both a still and a cine stored since the last images
        platform::MsgAnswer answer;
        int result;
        bool currentDeleted;
        bool dialogRuns;
        const char* header;
        bool quits;
    };
    const Case cases[] = {
        {"a patient chosen", true, platform::MsgAnswer::Ok, 1, false, true, "ID: 0002  Name: Bo", false},
        {"new images, the question answered OK", false, platform::MsgAnswer::Ok, 1, false, true,
         "ID: 0002  Name: Bo", false},
        {"new images, the question cancelled", false, platform::MsgAnswer::Cancel, 1, false, false,
         "ID: 0001  Name: Anna", false},
        {"Cancel with the patient present", true, platform::MsgAnswer::Ok, 1032, false, true,
         "ID: 0001  Name: Anna", false},
        {"Esc with the patient present", true, platform::MsgAnswer::Ok, 2, false, true,
         "ID: 0001  Name: Anna", false},
        {"Exit after deleting the patient", true, platform::MsgAnswer::Ok, 1032, true, true, nullptr, true},
        {"Esc after deleting the patient", true, platform::MsgAnswer::Ok, 2, true, true, nullptr, true},
    };
    WritePatient("0001", "Anna");
    WritePatient("0002", "Bo");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CKALVEXDlg& d = CreateFor("0001", "Anna");
        dialogs.changeRuns = 0;
        exits.clear();
        const size_t boxesBefore = boxes.shown().size();
        d.m_bStillStored = d.m_bCineStored = c.stored;
        boxes.SetAnswer(c.answer);
        dialogs.change = [&c](PatientChoice& choice) {
            choice.result = c.result;
            if (c.result == 1) {
                choice.selId = "0002";
                choice.selName = "Bo";
            }
            if (c.currentDeleted)
                choice.currentId.clear();
        };
        Key(vk::kF4);
        boxes.SetAnswer(platform::MsgAnswer::Ok);
        EXPECT_EQ(dialogs.changeRuns, c.dialogRuns ? 1 : 0);
        const size_t asked = c.stored ? 0 : 1;
        if (c.quits) {
            ASSERT_EQ(boxes.shown().size(), boxesBefore + asked + 1);
            EXPECT_NE(boxes.shown().back().text.find("Patient information was deleted."), std::string::npos);
            EXPECT_EQ(boxes.shown().back().text.find('\r'), std::string::npos);
            EXPECT_EQ(exits, std::vector<int>{0});  // quit without a second question
            EXPECT_TRUE(d.m_bClosed);
        } else {
            EXPECT_EQ(boxes.shown().size(), boxesBefore + asked);
            EXPECT_EQ(d.Controls().Text(IDC_HEADER), c.header);
            EXPECT_TRUE(exits.empty());
        }
        Destroy();
    }
}
