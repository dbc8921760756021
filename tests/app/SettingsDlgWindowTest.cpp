// The settings dialog on the display over the headless main window: the Settings button
// runs it, its radio groups are independent, OK puts the values into force, Cancel and the
// window's close change nothing, Esc and Enter do not close it, and the auto-sleep edit
// explains a value out of the probe's range.
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/CstmEdit.h"
#include "app/SettingsDialogPort.h"
#include "app/SettingsDlg.h"
#include "common/CommonUtil.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app_core/CoreFixture.h"

using namespace maindlg;
using wxtest::Flush;
using wxtest::Settle;

namespace {

class SettingsDlgWindowTest : public coretest::CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(20, 20), wxSize(900, 700));
        frame->Show();
        Flush();
        ASSERT_TRUE(wxtest::WaitUntilPlaced(frame));
        port = std::make_unique<CSettingsDialogPort>(frame, [this] { ++abouts; });
    }
    void TearDown() override {
        CoreTest::TearDown();
        frame->Destroy();
        Flush();
    }
    CKALVEXDlg& CreateWithSettings(bool probe) {
        if (probe)
            Attach();
        MainDlgPorts ports = side.Ports();
        ports.settings = port.get();
        InitWith(ports);
        port->SetMainDialog(dlg.get(), ports);
        return *dlg;
    }
    static void Click(wxWindow* w) {
        wxUIActionSimulator sim;
        sim.MouseMove(w->ClientToScreen(wxPoint(6, w->GetSize().y / 2)));
        Settle(2);
        sim.MouseClick();
        Settle(3);
    }

    wxFrame* frame = nullptr;
    std::unique_ptr<CSettingsDialogPort> port;
    int abouts = 0;
};

}  // namespace

TEST_F(SettingsDlgWindowTest, OkPutsTheChosenValuesIntoForce) {
    CKALVEXDlg& d = CreateWithSettings(true);
    d.m_nAutoStopTime = 7200;
    bool ran = false;
    wxtest::RunInsideModal([&] {
        auto* s = wxtest::FindShown<CSettingsDlg>();
        ASSERT_NE(s, nullptr);
        ran = true;
        s->Raise();
        Settle();
        EXPECT_EQ(s->GetTitle(), "Settings");
        EXPECT_TRUE(s->Radio(1049)->GetValue());  // OFF
        EXPECT_TRUE(s->Radio(1053)->GetValue());  // USA, the default
        EXPECT_TRUE(s->Radio(1216)->IsEnabled());
        EXPECT_TRUE(s->AutoSleepEdit()->IsEnabled());
        // The groups are independent: a click in one leaves the others' choice.
        Click(s->Radio(1051));
        Click(s->Radio(1131));
        Click(s->Radio(1199));
        Click(s->Radio(1054));
        EXPECT_TRUE(s->Radio(1051)->GetValue());
        EXPECT_TRUE(s->Radio(1131)->GetValue());
        EXPECT_TRUE(s->Radio(1199)->GetValue());
        EXPECT_TRUE(s->Radio(1054)->GetValue());
        EXPECT_FALSE(s->Radio(1049)->GetValue());
        s->AutoStopEdit()->SetValue("300");
        s->DateFormatChoice()->SetSelection(1);
        // Esc and Enter do not close it.
        wxUIActionSimulator keys;
        s->AutoStopEdit()->SetFocus();
        Settle();
        keys.Char(WXK_ESCAPE);
        Settle();
        keys.Char(WXK_RETURN);
        Settle();
        EXPECT_TRUE(s->IsShown());
        EXPECT_TRUE(s->IsModal());
        wxtest::SaveDisplayArtifact(s, "settings_dialog_probe");
        Click(static_cast<wxWindow*>(s->FindWindow(wxID_OK)));
    });
    d.OnButtonClicked(IDC_SETTINGS);
    ASSERT_TRUE(ran);
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.5);
    EXPECT_TRUE(Proc().m_bMScroll);
    EXPECT_TRUE(Proc().GetParams().invert);
    EXPECT_EQ(d.m_nObGaModel, 1);
    EXPECT_EQ(d.m_nAutoStopTime, 300);
    EXPECT_EQ(CCommonUtil::GetDateFormatter().GetMode(), DateFormatModeYearFirst);
    EXPECT_EQ(GetSettingInt(SettingSectionApp, SettingKeyTable::ob_gamodel), 1);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::mscroll), 1);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SettingsDlgWindowTest, CancelAndTheWindowsCloseChangeNothing) {
    CKALVEXDlg& d = CreateWithSettings(true);
    d.m_nAutoStopTime = 7200;
    for (bool viaClose : {false, true}) {
        wxtest::RunInsideModal([&] {
            auto* s = wxtest::FindShown<CSettingsDlg>();
            ASSERT_NE(s, nullptr);
            s->Radio(1052)->SetValue(true);
            s->AutoStopEdit()->SetValue("5");
            if (viaClose)
                s->Close();
            else
                Click(static_cast<wxWindow*>(s->FindWindow(wxID_CANCEL)));
        });
        d.OnButtonClicked(IDC_SETTINGS);
        EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.0);
        EXPECT_EQ(d.m_nAutoStopTime, 7200);
    }
}

TEST_F(SettingsDlgWindowTest, AnAutoSleepOutOfTheProbesRangeIsExplained) {
    CKALVEXDlg& d = CreateWithSettings(true);
    std::vector<std::string> balloons;
    CstmEdit::SetBalloonShower(
        [&](CstmEdit&, const std::string&, const std::string& text) { balloons.push_back(text); });
    wxtest::RunInsideModal([&] {
        auto* s = wxtest::FindShown<CSettingsDlg>();
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->AutoSleepEdit()->m_nMin, 1);
        EXPECT_EQ(s->AutoSleepEdit()->m_nMax, 7200);
        s->AutoSleepEdit()->SetValue("9000");
        Flush();
        s->AutoSleepEdit()->SetValue("");  // emptied: the last accepted value stays
        Flush();
        Click(static_cast<wxWindow*>(s->FindWindow(wxID_OK)));
    });
    d.OnButtonClicked(IDC_SETTINGS);
    CstmEdit::SetBalloonShower({});
    ASSERT_FALSE(balloons.empty());
    EXPECT_NE(balloons[0].find("7200"), std::string::npos);
    EXPECT_GE(g_pProbe.load()->GetAutoSleepTime(), 1);
    EXPECT_LE(g_pProbe.load()->GetAutoSleepTime(), 7200);
}

TEST_F(SettingsDlgWindowTest, WithoutAProbeTheProbeOptionsAreOff) {
    CKALVEXDlg& d = CreateWithSettings(false);
    d.m_bObAvailable = false;  // as after a linear probe's set-up
    d.m_bPcMode = false;       // "PCMODE" not 1: the top edge of the work area, centred
    wxtest::RunInsideModal([&] {
        auto* s = wxtest::FindShown<CSettingsDlg>();
        ASSERT_NE(s, nullptr);
        const wxRect work = wxDisplay(0u).GetClientArea();
        EXPECT_EQ(s->GetPosition(), wxPoint((work.width - s->GetSize().x) / 2 + work.x, work.y));
        s->Raise();
        Settle();
        EXPECT_FALSE(s->Radio(1215)->IsEnabled());
        EXPECT_FALSE(s->Radio(1218)->IsEnabled());
        EXPECT_FALSE(s->AutoSleepEdit()->IsEnabled());
        EXPECT_FALSE(s->Radio(1053)->IsEnabled());
        EXPECT_FALSE(s->EfwChoice()->IsEnabled());
        wxtest::SaveDisplayArtifact(s, "settings_dialog_no_probe");
        s->EndModal(wxID_CANCEL);
    });
    d.OnButtonClicked(IDC_SETTINGS);
}
