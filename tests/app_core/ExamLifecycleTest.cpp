// What must not carry over between the main window's phases: a new patient's exam holds
// nothing of the previous patient's cine, a resume after a suspend leaves a frozen cine alone,
// an unfreeze drops the STC panel and the OB/GY item, and the arrow keys belong to the
// thumbnail list and the review while a thumbnail is selected.
#include <filesystem>

#include "ArchiveFixture.h"
#include "app/core/VirtualKeys.h"
#include "common/StoreInfo.h"

using namespace coretest;
using namespace maindlg;
namespace fs = std::filesystem;

namespace {

// F4's dialog picks patient "0002".
class PickSecondPatient : public IPatientDialogs {
public:
    PatientChoice RunChangePatientDialog(const std::string& currentId) override {
        PatientChoice choice;
        choice.currentId = currentId;
        choice.result = 1;
        choice.selId = "0002";
        choice.selName = "Second";
        return choice;
    }
};

class ExamChangeTest : public ArchiveCoreTest {
protected:
    void SetUp() override {
        ArchiveCoreTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(SavePatient("0002", "Second"));
    }
    void MorePorts(MainDlgPorts& ports) override { ports.patients = &dialogs; }
    // The files of a patient's folder other than the patient record.
    static std::vector<std::string> ItemFiles(const std::string& id) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(CStoreInfo::GetUserFolder(id))) {
            const std::string name = e.path().filename().string();
            if (name != id + ".xml")
                names.push_back(name);
        }
        return names;
    }
    PickSecondPatient dialogs;
};

}  // namespace

TEST_F(ExamChangeTest, AStoreAfterAPatientChangeWritesNoFrameOfThePreviousPatient) {
    Image(3);  // the first patient's frames, not stored
    ASSERT_FALSE(dlg->m_bStillStored);
    ASSERT_FALSE(dlg->m_bCineStored);
    Key(vk::kF4);  // "Change without saving": OK
    ASSERT_EQ(dlg->m_strPatientId, "0002");
    EXPECT_EQ(Frames(), 0);
    EXPECT_TRUE(dlg->m_bStillStored);
    EXPECT_TRUE(dlg->m_bCineStored);

    const size_t before = boxes.shown().size();
    Key(vk::kC);
    NextSecond();
    Key(vk::kI);
    EXPECT_EQ(Texts(before), (std::vector<std::string>{"No data", "No data"}));
    EXPECT_TRUE(ItemFiles("0002").empty());
    EXPECT_TRUE(ItemFiles("TEST").empty());
    EXPECT_EQ(archive.GetItemCount(), 0);
}

TEST_F(CoreTest, AResumeFreezesALiveWindowAndLeavesAFrozenCineAlone) {
    Attach();
    Create();
    Unfreeze();
    ASSERT_TRUE(Step(3));
    Freeze();
    ASSERT_FALSE(dlg->m_bCineStored);
    dlg->OnPowerBroadcast(PBT_APMSUSPEND);
    ASSERT_EQ(g_pProbe.load(), nullptr);
    for (const int resume : {PBT_APMRESUMESUSPEND, PBT_APMRESUMEAUTOMATIC}) {
        dlg->OnPowerBroadcast(resume);
        EXPECT_EQ(dlg->m_nRunState, kFrozen) << resume;
        EXPECT_EQ(Frames(), 3) << resume;  // the unstored cine is still there to store
        EXPECT_FALSE(dlg->m_bCineStored) << resume;
        EXPECT_EQ(g_pProbe.load(), nullptr) << resume;  // reopened by the user's next command 1
    }
    // Live, a resume freezes (the suspend took the probe).
    dlg->ExecCommand(kCmdFreeze);
    ASSERT_EQ(dlg->m_nRunState, kLive);
    ASSERT_TRUE(Step(2));
    dlg->OnPowerBroadcast(PBT_APMSUSPEND);
    dlg->OnPowerBroadcast(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
    EXPECT_EQ(Frames(), 2);
}

TEST_F(CoreTest, UnfreezeTakesDownTheStcPanelAndForgetsTheObItem) {
    Attach();
    Create();
    Unfreeze();
    dlg->ExecCommand(kCmdStcPanel);
    ASSERT_TRUE(Proc().m_bStcPanelShown.load());
    ASSERT_TRUE(side.stc.shown);
    ASSERT_TRUE(Step(2));
    Freeze();
    dlg->m_nObItem = 3;  // an OB/GY item worked on while frozen
    Unfreeze();
    EXPECT_FALSE(Proc().m_bStcPanelShown.load());
    EXPECT_EQ(dlg->m_nObItem, 0);
    EXPECT_FALSE(side.stc.shown);
    EXPECT_TRUE(side.live.shown);
}

namespace {

class SelectableThumbnails : public IThumbnailList {
public:
    bool HasSelection() const override { return selected; }
    bool selected = false;
};

class CountingReview : public IReview {
public:
    void OnBnClickedPrev() override { ++prev; }
    void OnBnClickedNext() override { ++next; }
    int prev = 0;
    int next = 0;
};

class ThumbnailKeysTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        Attach();
        MainDlgPorts ports = side.Ports();
        ports.thumbnails = &thumbs;
        ports.review = &review;
        InitWith(ports);
    }
    SelectableThumbnails thumbs;
    CountingReview review;
};

}  // namespace

TEST_F(ThumbnailKeysTest, ArrowsGoToTheListAndTheReviewWhileAThumbnailIsSelected) {
    Unfreeze();
    ASSERT_TRUE(Step(4));
    Freeze();
    dlg->ExecCommand(kCmdCinePrev);
    const int current = Proc().Cine().GetCurrentIndex();

    thumbs.selected = true;
    // UP and DOWN move the list's selection: the window lets them through.
    EXPECT_FALSE(dlg->PreTranslateKey({vk::kUp, false}));
    EXPECT_FALSE(dlg->PreTranslateKey({vk::kDown, false}));
    // LEFT and RIGHT step the reviewed item, not the cine.
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kLeft, false}));
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kRight, false}));
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kRight, false}));
    EXPECT_EQ(review.prev, 1);
    EXPECT_EQ(review.next, 2);
    EXPECT_EQ(Proc().Cine().GetCurrentIndex(), current);

    // Without a selection the arrows are the window's own keys.
    thumbs.selected = false;
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kUp, false}));
    EXPECT_TRUE(dlg->PreTranslateKey({vk::kLeft, false}));
    EXPECT_EQ(review.prev, 1);
    EXPECT_NE(Proc().Cine().GetCurrentIndex(), current);
}
