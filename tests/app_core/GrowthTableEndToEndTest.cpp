// The shipped growth tables from a user's side: on the headless main window with the real
// archive and the tables beside the test program as beside the viewer, items measured with the
// mouse on a stored still give their gestational ages at G-Age.
#include "ObStillFixture.h"
#include "app/core/MeasureTools.h"
#include "common/EventHub.h"

namespace coretest {
namespace {

using namespace maindlg;

class GrowthTableEndToEndTest : public ObStillTest {
protected:
    // A still stored at 150 mm depth (470 / 150 pixels per millimetre), then O.
    void StillInObMode() {
        Image(1);
        Unfreeze();
        Depth(150);
        ASSERT_TRUE(Step(2));
        Freeze();
        StoreStill();
        ASSERT_EQ(archive.GetItemCount(), 1);
        Key(vk::kO);
        ASSERT_EQ(panel.state, 1);
        ASSERT_EQ(dlg->m_nObSelectedImage, 0);
    }
    // 282 pixels are 90.0 mm, 141 pixels 45.0 mm, and 219 by 12 pixels 69.998 mm.
    void Bpd() { Pair(vk::kF5, {60, 200}, {342, 200}); }
    void Fl() { Pair(vk::kF9, {60, 300}, {279, 312}); }
    void Crl() { Pair(vk::kF6, {60, 400}, {201, 400}); }
    const ObEvaluationResult& GAge() {
        CommandEventArgs args{kObPanel, IDC_OB_GAGE};
        CEventHub::GetInstance().Publish(EventKindCommand, &args);
        static const ObEvaluationResult kNone{};
        if (windows.results.empty()) {
            ADD_FAILURE() << "no results table";
            return kNone;
        }
        return windows.results.back();
    }
};

}  // namespace

TEST_F(GrowthTableEndToEndTest, WithTheDefaultSetBpdFlAndCrlGiveTheirAges) {
    ASSERT_NO_FATAL_FAILURE(StillInObMode());
    Bpd();
    Fl();
    Crl();
    EXPECT_EQ(panel.sub[IDC_OB_BPD], "90.0 mm");
    EXPECT_EQ(panel.sub[IDC_OB_FL], "70.0 mm");
    EXPECT_EQ(panel.sub[IDC_OB_CRL], "45.0 mm");
    const size_t boxesBefore = boxes.shown().size();
    const ObEvaluationResult& r = GAge();
    EXPECT_EQ(r.Text(ObResBpd1), "90.0 mm");
    EXPECT_EQ(r.Text(ObResBpd3), "36 W 3 D");
    EXPECT_EQ(r.Text(ObResFl1), "70.0 mm");
    EXPECT_EQ(r.Text(ObResFl3), "35 W 6 D");
    EXPECT_EQ(r.Text(ObResCrl1), "45.0 mm");
    EXPECT_EQ(r.Text(ObResCrl3), "11 W 2 D");
    EXPECT_EQ(Texts(boxesBefore), std::vector<std::string>{});
}

TEST_F(GrowthTableEndToEndTest, Europe1GivesCrlAndSaysOnceThatItHasNoBpdTable) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::ob_gamodel, "1"));
    ASSERT_NO_FATAL_FAILURE(StillInObMode());
    ASSERT_EQ(dlg->m_nObGaModel, 1);
    Bpd();
    Crl();
    const size_t boxesBefore = boxes.shown().size();
    const ObEvaluationResult& r = GAge();
    EXPECT_EQ(r.Text(ObResCrl3), "11 W 2 D");
    EXPECT_EQ(r.Text(ObResBpd1), "90.0 mm");
    EXPECT_EQ(r.Text(ObResBpd3), "-");
    const std::vector<std::string> texts = Texts(boxesBefore);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("opening \u3000", 0), 0u) << texts[0];
    EXPECT_NE(texts[0].find("/gs_data/Europe1/BPD.DAT"), std::string::npos) << texts[0];
}

}  // namespace coretest
