// The measuring in the real main window with the simulated probe: distance, trace and
// ellipse placed through the measuring interface on a frozen image show their labels, and
// the OB/GY result lines show on the measured image beside the OB/GY panel. Screenshots go to
// artifacts/ for a person to look at.
#include <gtest/gtest.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>

#include <chrono>
#include <memory>
#include <thread>

#include "app/MainFrame.h"
#include "app/WxUiDispatcher.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainArchive.h"
#include "app/core/MeasureTools.h"
#include "common/SettingsStore.h"
#include "common/User.h"
#include "imaging/ProcessExit.h"
#include "measure/ui/MeasureWindowsWx.h"
#include "measure/ui/ObSidePanel.h"
#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimBridge.h"
#include "tests/app/MainFrameFixture.h"
#include "tests/app/WxTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using wxtest::Flush;

class MeasureFrameTest : public wxtest::MainFrameFixture {
protected:
    CMeasureTools& M() { return *Core().m_pMeasureTools; }
    void Click(int x, int y) {
        M().OnMeasureLButton(maindlg::kViewMain, {kMsgLButtonDown, {x, y}});
        M().OnMeasureLButton(maindlg::kViewMain, {kMsgLButtonUp, {x, y}});
    }
    void Drag(int x0, int y0, int x1, int y1) {
        M().OnMeasureLButton(maindlg::kViewMain, {kMsgLButtonDown, {x0, y0}});
        M().OnMeasureMouseMove(maindlg::kViewMain, {kMsgMouseMove, {x1, y1}});
        M().OnMeasureLButton(maindlg::kViewMain, {kMsgLButtonUp, {x1, y1}});
    }
    const std::string& Label(int id) { return Core().Controls().Text(id); }
    // Frozen, a still stored for a patient on file, and O.
    void StoreAStillAndEnterObgy() {
        Unfreeze();
        Key(' ');
        ASSERT_EQ(Core().m_nRunState, maindlg::kFrozen);
        CUser patient;
        patient.m_strId = "TEST";
        patient.m_strName = "TEST";
        ASSERT_TRUE(patient.Save());
        Key('i');
        ASSERT_EQ(frame_->Archive()->GetItemCount(), 1);
        Key('O');
        ASSERT_EQ(Core().m_nTool, maindlg::kToolObgy);
    }
};

}  // namespace

TEST_F(MeasureFrameTest, DistanceTraceAndEllipseShowTheirLabels) {
    Unfreeze();
    Key(' ');
    ASSERT_EQ(Core().m_nRunState, maindlg::kFrozen);
    const double scale = Core().View(maindlg::kViewMain).m_dViewScale;
    auto at = [scale](int image) { return static_cast<int>(image / scale + 0.5); };
    Core().OnBnClickedEllipse();
    ASSERT_EQ(Core().m_nTool, maindlg::kToolEllipse);
    Drag(at(140), at(300), at(300), at(300));
    Click(at(470), at(20));  // deselect
    EXPECT_NE(Label(1024).find(" mm"), std::string::npos) << Label(1024);
    EXPECT_NE(Label(1028).find(" cm2"), std::string::npos) << Label(1028);
    // The other tools without their layouts, which would clear what is placed.
    Core().m_nTool = maindlg::kToolDistance;
    Core().View(maindlg::kViewMain).m_nDistanceCount = 4;  // the third pair: label 2
    Click(at(100), at(100));
    Click(at(300), at(100));
    EXPECT_NE(Label(1026).find(" mm"), std::string::npos) << Label(1026);
    Core().m_nTool = maindlg::kToolArea;
    Core().View(maindlg::kViewMain).m_nTraceSlot = 1;
    for (auto p :
         {wxPoint{150, 150}, wxPoint{250, 170}, wxPoint{260, 240}, wxPoint{160, 250}, wxPoint{152, 152}})
        Click(at(p.x), at(p.y));
    EXPECT_NE(Label(1025).find(" mm"), std::string::npos) << Label(1025);
    EXPECT_NE(Label(1030).find(" cm2"), std::string::npos) << Label(1030);
    Core().RedrawImages();
    Flush();
    Shot("measure_view_labels");
}

TEST_F(MeasureFrameTest, ResultLinesOnTheMeasuredImageBesideThePanel) {
    // A stored still, O, and BPD, FL and AC measured on it.
    ASSERT_NO_FATAL_FAILURE(StoreAStillAndEnterObgy());
    ASSERT_EQ(Core().m_nObSelectedImage, 0);
    const double scale = Core().View(maindlg::kViewMain).m_dViewScale;
    auto at = [scale](int image) { return static_cast<int>(image / scale + 0.5); };
    Core().ExecCommand(17);
    Click(at(150), at(300));
    Click(at(330), at(300));
    Core().ExecCommand(21);
    Click(at(120), at(380));
    Click(at(260), at(420));
    Core().ExecCommand(22);
    Drag(at(130), at(280), at(350), at(280));
    Flush();
    for (int item : {ObItemBpd, ObItemFl, ObItemAc})
        EXPECT_GT(M().ObValue(item), 0.0) << item;
    Shot("ob_still_result_lines");
}

TEST_F(MeasureFrameTest, EnterOnGAgeRunsTheEvaluationThroughThePanelsEvent) {
    Unfreeze();
    Key(' ');
    ASSERT_EQ(Core().m_nRunState, maindlg::kFrozen);
    Core().m_nTool = maindlg::kToolObgy;
    M().m_obValues.Commit(ObItemBpd, 90.0, 0);
    M().m_obValues.Commit(ObItemFl, 70.0, 0);
    M().m_obValues.Commit(ObItemAc, 300.0, 0);
    std::vector<ObEvaluationResult> shown;
    frame_->MeasureWindows()->onShowResults = [&](const ObEvaluationResult& r) { shown.push_back(r); };
    CLSideOBGYPanel* panel = frame_->ObPanel();
    CObPanelPort port(panel);
    Core().ShowPanel(true, &port, 1180);
    port.SetMode(18, 0, true);
    Flush();
    panel->Button(CLSideOBGYPanel::IDC_GAGE)->SetFocus();
    Flush();
    const size_t boxesBefore = boxes_.shown().size();
    wxKeyEvent enter(wxEVT_CHAR_HOOK);
    enter.m_keyCode = WXK_RETURN;
    EXPECT_TRUE(panel->PreTranslateKey(enter));
    Flush();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text(ObResWeight), "2670.03 g");
    // The default set's table, beside the program.
    EXPECT_EQ(shown[0].Text(ObResBpd3), "36 W 3 D");
    EXPECT_EQ(shown[0].Text(ObResFl3), "35 W 6 D");
    for (size_t i = boxesBefore; i < boxes_.shown().size(); ++i)
        ADD_FAILURE() << "message box: " << boxes_.shown()[i].text;
    Core().m_nTool = maindlg::kToolNone;
}

namespace {

// A growth-table set beyond the four stored in the settings file.
class UnknownGaModelFrameTest : public MeasureFrameTest {
protected:
    void BeforeOpen() override {
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::ob_gamodel, "7"));
    }
};

}  // namespace

TEST_F(UnknownGaModelFrameTest, TheItemButtonsStayDisabledOnThePanelInObgy) {
    ASSERT_EQ(Core().m_nObGaModel, 7);
    ASSERT_NO_FATAL_FAILURE(StoreAStillAndEnterObgy());
    Flush();
    CLSideOBGYPanel* panel = frame_->ObPanel();
    ASSERT_TRUE(panel->IsShown());
    CObPanelPort port(panel);
    for (int id : CLSideOBGYPanel::kItemButtons) {
        CCstmButton* b = panel->Button(id);
        EXPECT_TRUE(b->IsShown()) << id;
        EXPECT_FALSE(b->IsEnabled()) << id;
        EXPECT_FALSE(port.IsButtonEnabled(id)) << id;
    }
    // Choosing an item from the dispatcher brings the layout back: still disabled.
    Core().ExecCommand(17);
    Flush();
    for (int id : CLSideOBGYPanel::kItemButtons)
        EXPECT_FALSE(panel->Button(id)->IsEnabled()) << id;
    Shot("ob_panel_unknown_ga_model");
}
