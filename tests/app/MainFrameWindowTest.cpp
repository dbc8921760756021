// The real main window on the display with the simulated convex probe in stepped mode: it
// opens frozen under its title, images live after UnFreeze, follows F2, F3, SPACE, LEFT and
// the depth slider's arrows, ignores Esc and Enter, and writes the image settings when it
// closes. Screenshots of live B, BB and BM, frozen BM and the STC panel go to artifacts/.
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <thread>

#include "app/AboutDlg.h"
#include "app/ColorLabel.h"
#include "app/LSideDxSTC.h"
#include "app/LSideDxUnFreeze.h"
#include "app/MainFrame.h"
#include "app/MainViewWindow.h"
#include "app/RSideDxUnFreeze.h"
#include "app/SaveDlg.h"
#include "app/SettingsDlg.h"
#include "app/core/KALVEXDlg.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/SettingsStore.h"
#include "measure/MeasureText.h"
#include "measure/ui/ObSidePanel.h"
#include "platform/StringUtil.h"
#include "platform/draw/Painter.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app/MainFrameFixture.h"
#include "tests/app/WxTestSupport.h"
#include "tests/draw/PixelTestUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using wxtest::Flush;

class MainFrameTest : public wxtest::MainFrameFixture {
protected:
    // Runs `script` on the first shown dialog of type T once it has drawn, from inside its
    // modal loop, after `start` opened it; a dialog the script leaves open is cancelled.
    // False when no such dialog came up within five seconds.
    template <typename T>
    bool InsideModal(const std::function<void()>& start, const std::function<void(T&)>& script) {
        bool ran = false;
        int ticks = 0;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            T* dlg = wxtest::FindShown<T>();
            if (ran || !dlg || !dlg->IsModal() || ++ticks < 10)
                return;
            ran = true;
            timer.Stop();
            script(*dlg);
            if (dlg->IsModal())
                dlg->EndModal(wxID_CANCEL);
        });
        timer.Start(20);
        start();
        const auto until = std::chrono::steady_clock::now() + testsupport::kPatience;
        while (!ran && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            Flush();
        }
        timer.Stop();
        Flush();
        return ran;
    }
};

}  // namespace

TEST_F(MainFrameTest, OpensFrozenUnderItsTitleAndEscOrEnterDoNotCloseIt) {
    EXPECT_EQ(frame_->GetTitle().utf8_string(), "Helvo Viewer CL Ver1.4.2");
    EXPECT_EQ(Core().m_nRunState, 2);
    EXPECT_EQ(frame_->GetClientSize(), wxSize(900, 680));
    EXPECT_TRUE(frame_->Controls().Find(1001)->IsShown());
    Key(WXK_ESCAPE);
    Key(WXK_RETURN);
    EXPECT_TRUE(frame_->IsShown());
    EXPECT_FALSE(frame_->IsClosed());
    EXPECT_FALSE(ended_);
}

TEST_F(MainFrameTest, LiveDisplaysFreezeAndCineFollowTheKeys) {
    Unfreeze();
    ASSERT_EQ(Core().m_nRunState, 1);
    EXPECT_TRUE(frame_->RightPanel()->IsShown());
    EXPECT_TRUE(frame_->LivePanel()->IsShown());
    Shot("main_live_b");

    Key(WXK_F2);
    Frames(2);
    EXPECT_EQ(Core().m_nDisplayMode, 2);
    Shot("main_live_bb");
    Key(WXK_F2);
    Key(WXK_F3);
    Frames(8);
    EXPECT_EQ(Core().m_nDisplayMode, 3);
    Shot("main_live_bm");

    Key(WXK_SPACE);
    EXPECT_EQ(Core().m_nRunState, 2);
    Shot("main_frozen_bm");
    const int before = Core().m_pLiveProc->GetCinePosition();
    Key(WXK_LEFT);
    EXPECT_NE(Core().m_pLiveProc->GetCinePosition(), before);
}

TEST_F(MainFrameTest, ArrowsOnTheDepthSliderChangeTheDepth) {
    Unfreeze();
    CCstmSliderCtrl* depth = frame_->RightPanel()->GetSlider(CRSideDxUnFreeze::IDC_SLIDER_DEPTH);
    ASSERT_NE(depth, nullptr);
    depth->SetFocus();
    Flush();
    const int before = depth->GetPos();  // the deepest setting: the arrow up makes it shallower
    Key(WXK_UP);
    Frames(2);
    EXPECT_NE(depth->GetPos(), before);
    EXPECT_EQ(Core().m_pLiveProc->GetDepth(), depth->GetPos());
}

TEST_F(MainFrameTest, TheStcPanelOpensFromTheLivePanel) {
    Unfreeze();
    Key('S');
    Frames(1);
    EXPECT_TRUE(frame_->StcPanel()->IsShown());
    EXPECT_FALSE(frame_->LivePanel()->IsShown());
    Shot("main_live_stc");
}

TEST_F(MainFrameTest, ClosingWritesTheImageSettings) {
    Unfreeze();
    CCstmSliderCtrl* gain = frame_->RightPanel()->GetSlider(CRSideDxUnFreeze::IDC_SLIDER_GAIN);
    gain->SetPos(30);  // reversed: gain 70
    frame_->Close();
    Flush();
    EXPECT_TRUE(ended_);
    const std::string settings = testsupport::ReadAll(GetConfigFilePath());
    EXPECT_NE(settings.find("<gamma>"), std::string::npos) << settings;
    EXPECT_NE(settings.find("<gain>70</gain>"), std::string::npos) << settings;
    EXPECT_NE(settings.find("<depth>"), std::string::npos) << settings;
}

TEST_F(MainFrameTest, FreezingFromInsideAModalBoxEndsFrozenAndTheBoxStillCloses) {
    Unfreeze();
    ASSERT_EQ(Core().m_nRunState, 1);
    // A modal box's own loop runs the freeze (as the automatic stop's box would): its wait
    // for the stopped probe pumps inside that loop and must not hang.
    wxDialog box(frame_, wxID_ANY, "Busy");
    bool frozenInside = false;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        Core().ExecCommand(1);
        frozenInside = Core().m_nRunState == 2;
        box.EndModal(wxID_OK);
    });
    timer.StartOnce(50);
    EXPECT_EQ(box.ShowModal(), wxID_OK);
    EXPECT_TRUE(frozenInside);
    EXPECT_EQ(Core().m_nRunState, 2);
}

TEST_F(MainFrameTest, FrozenTheSettingsButtonOpensTheSettingsDialog) {
    ASSERT_EQ(Core().m_nRunState, 2);
    wxWindow* button = frame_->Controls().Find(1197);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsShownOnScreen());
    ASSERT_TRUE(button->IsEnabled());
    const size_t boxesBefore = boxes_.shown().size();
    EXPECT_TRUE(InsideModal<CSettingsDlg>([&] { Click(button); },
                                          [](CSettingsDlg& s) {
                                              EXPECT_EQ(s.GetTitle(), "Settings");
                                              s.DateFormatChoice()->SetSelection(1);
                                              s.EfwChoice()->SetSelection(1);                // Hadlock
                                              Click(s.Radio(CSettingsDlg::kIdGaModel + 1));  // Euro1
                                              wxtest::Settle();
                                              Click(s.FindWindow(wxID_OK));
                                              wxtest::Settle();
                                          }));
    EXPECT_EQ(CCommonUtil::GetDateFormatter().GetMode(), DateFormatModeYearFirst);
    EXPECT_EQ(Core().m_nObGaModel, 1);
    EXPECT_EQ(Core().m_nEfwEquation, 1);
    // The OB/GY panel: the model's caption shows the new model; the equation's caption
    // follows only at the next OB/GY layout.
    EXPECT_EQ(frame_->ObPanel()->m_pGaModel->GetText(), "EURO1");
    EXPECT_EQ(frame_->ObPanel()->m_pEfwModel->GetText(), "JSUM");
    EXPECT_FALSE(ended_);
    EXPECT_EQ(boxes_.shown().size(), boxesBefore);
}

TEST_F(MainFrameTest, TheVersionCommandOpensTheAboutBox) {
    EXPECT_TRUE(InsideModal<CAboutDlg>([&] { Core().OnSysCommand(0x10); },
                                       [](CAboutDlg& about) { about.EndModal(wxID_OK); }));
    EXPECT_FALSE(ended_);
}

TEST_F(MainFrameTest, MOnAFrozenImageOpensThePickerAndTheChoiceShowsInTheMainView) {
    Unfreeze();
    Key(WXK_SPACE);
    ASSERT_EQ(Core().m_nRunState, 2);
    const CCstmPictureCtrl& main = Core().View(maindlg::kViewMain);
    const int startX = main.m_nBodyMarkX;
    auto* view = dynamic_cast<CMainViewWindow*>(frame_->ViewWindow(maindlg::kViewMain));
    ASSERT_NE(view, nullptr);
    const Image32 before = view->Render();
    EXPECT_TRUE(InsideModal<CSaveDlg>([&] { Key('m'); },
                                      [](CSaveDlg& picker) {
                                          picker.Raise();
                                          picker.SetFocus();
                                          wxtest::Settle();
                                          wxUIActionSimulator keys;
                                          keys.Char(WXK_F3);
                                          wxtest::Settle(2);
                                          for (int i = 0; i < 30; ++i) {
                                              keys.Char(WXK_RIGHT);
                                              wxtest::Settle(1);
                                          }
                                          EXPECT_EQ(picker.Picker().m_nBodyMark, 2);
                                          keys.Char(WXK_RETURN);
                                          wxtest::Settle();
                                      }));
    EXPECT_FALSE(Core().m_bCineStoreRunning);
    for (int code : {maindlg::kViewMain, maindlg::kViewLeft})
        EXPECT_EQ(Core().View(code).m_nBodyMark, 2) << code;
    EXPECT_GT(main.m_nBodyMarkX, startX);
    Flush();
    const Image32 after = view->Render();
    ASSERT_EQ(after.width(), before.width());
    int changed = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            changed += after.At(x, y) != before.At(x, y);
    EXPECT_GT(changed, 100);  // the body picture and its marker are drawn
    Shot("main_frozen_body_mark");
}

TEST_F(MainFrameTest, EveryResultLabelHoldsTheLongestTextOfItsKindAtStartUpAndMaximised) {
    // First values: a length or a trace's perimeter (below 10 m), the dash texts, the zoom.
    // Second values: an area (the image holds less than 1000 cm2), the dash texts and the
    // M-mode reading at its longest: 240 strip columns at the lowest rate, one a second.
    const std::vector<std::string> first = {FormatLengthMm(9999.9), kDistanceDashText, CircumDashText(),
                                            "Zoom: 2.0"};
    const std::vector<std::string> second = {platform::Format("%.1f mm/%4.2f s", 999.9, 240.0),
                                             FormatAreaCm2(99990.0), AreaDashText(), kMModeDashText};
    for (bool maximised : {false, true}) {
        frame_->ForceMaximised(maximised);
        Settle();
        ASSERT_EQ(Core().m_nEnlargement > 0, maximised);
        for (size_t k = 0; k < maindlg::kResultLabels.size(); ++k) {
            auto* label = dynamic_cast<CColorLabel*>(frame_->Controls().Find(maindlg::kResultLabels[k]));
            ASSERT_NE(label, nullptr);
            EXPECT_EQ(label->GetFont().pixelSize, draw::PointsToPixels(maximised ? 10 : 12));
            // Label 4 + 3m holds the second value of measurement m; every other one a first value.
            const bool secondValue = k >= 4 && (k - 4) % 3 == 0;
            for (const std::string& text : secondValue ? second : first) {
                EXPECT_TRUE(drawtest::TextFits(text, label->GetFont(), label->TextRect(), label->GetFormat()))
                    << "label " << k << (maximised ? " maximised" : "") << ": \"" << text << "\" in "
                    << label->TextRect().Width() << " pixels";
            }
        }
    }
    frame_->ForceMaximised(false);
    Settle();
}

TEST_F(MainFrameTest, TheClockInEveryDateFormatAndAnEverydayNameShowWhole) {
    // The widest digits in the longest date format the clock shows.
    auto* clock = dynamic_cast<CColorLabel*>(frame_->Controls().Find(maindlg::IDC_CLOCK));
    ASSERT_NE(clock, nullptr);
    for (const char* text : {"00-00-0000 00:00:00", "0000-00-00 00:00:00", "88-88-8888 88:88:88"})
        EXPECT_TRUE(drawtest::TextFits(text, clock->GetFont(), clock->TextRect(), clock->GetFormat())) << text;
    auto* header = dynamic_cast<CColorLabel*>(frame_->Controls().Find(maindlg::IDC_HEADER));
    ASSERT_NE(header, nullptr);
    const std::string everyday = "ID: 0001  Name: Hanna Example";
    EXPECT_TRUE(drawtest::TextFits(everyday, header->GetFont(), header->TextRect(), header->GetFormat()));
}

class LongNameTest : public MainFrameTest {
protected:
    void BeforeOpen() override {
        patientName_ = "Maximiliana Wilhelmina Josephina Theodora Hohenzollern-Sigmaring";
        ASSERT_EQ(patientName_.size(), 64u);
    }
};

TEST_F(LongNameTest, TheHeaderEndsACutNameInAnEllipsisAndShowsMoreOfItMaximised) {
    auto* header = dynamic_cast<CColorLabel*>(frame_->Controls().Find(maindlg::IDC_HEADER));
    ASSERT_NE(header, nullptr);
    ASSERT_NE(header->GetText().find(patientName_), std::string::npos);
    int width = 0;
    for (bool maximised : {false, true}) {
        frame_->ForceMaximised(maximised);
        Settle();
        const Image32 pixels = header->Render();
        const uint32_t back = pixels.At(0, 0);
        EXPECT_TRUE(drawtest::InkEndsInEllipsis(pixels, back)) << (maximised ? "maximised" : "start-up");
        const draw::Rect ink = drawtest::InkBox(pixels, back);
        EXPECT_LT(ink.right, pixels.width()) << "the ellipsis inside the header";
        EXPECT_GT(ink.Width(), width) << "more of the name maximised";
        width = ink.Width();
    }
    frame_->ForceMaximised(false);
    Settle();
    // A name that fits ends as it stands.
    header->SetText("ID: TEST  Name: Test");
    const Image32 pixels = header->Render();
    EXPECT_FALSE(drawtest::InkEndsInEllipsis(pixels, pixels.At(0, 0)));
}
