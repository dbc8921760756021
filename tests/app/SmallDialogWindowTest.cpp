// The small dialogs on the display, driven with real key presses and clicks: the terms of use
// (Enter in the notice, Esc, the close box, accept, a right press on the notice), the About
// box with and without a probe, the safety notice shown once at a time, and the progress
// window with and without its Cancel button. Screenshots of each go to artifacts/.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <chrono>
#include <functional>
#include <thread>

#include "app/AboutDlg.h"
#include "app/EULADlg.h"
#include "app/ProgressDlg.h"
#include "app/RestrictionDlg.h"
#include "app/WxUiDispatcher.h"
#include "app/core/EulaNotice.h"
#include "app/core/VersionInfo.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#include "probe/OpenProbe.h"
#include "tests/app/WxTestSupport.h"
#include "tests/probe/ProbeLinkFixture.h"

using wxtest::Flush;

namespace {

constexpr int kTimedOut = -99;

// Settles the display: pending events, then a moment for native widgets to draw.
void Settle() {
    for (int i = 0; i < 5; ++i) {
        Flush();
        wxMilliSleep(30);
    }
    Flush();
}

// What the display shows in a rectangle of the screen.
wxImage GrabScreen(const wxRect& rect) {
    wxBitmap bitmap(rect.GetSize());
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    return bitmap.ConvertToImage();
}

// The client area of a window as the display shows it, written as artifacts/<name>.png.
void ScreenArtifact(wxWindow* window, const std::string& name) {
    const wxImage image = GrabScreen(wxRect(window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize()));
    platform::CreateDirectories("artifacts");
    image.SaveFile(wxString::FromUTF8("artifacts/" + name + ".png"), wxBITMAP_TYPE_PNG);
}

// Lets the display catch up from inside a handler.
void Catch(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        wxTheApp->Yield(true);
        wxMilliSleep(20);
    }
}

bool FocusInside(wxWindow* window) {
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) {
        if (w == window)
            return true;
    }
    return false;
}

// Runs the dialog modally; once it is on screen with the focus inside it, `act` runs from
// inside the modal loop. A dialog that does not end within the long deadline ends with kTimedOut.
int RunModal(wxDialog& dialog, const std::function<void()>& act) {
    wxTimer timer;
    const auto start = std::chrono::steady_clock::now();
    bool acted = false;
    int readyTicks = 0;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (std::chrono::steady_clock::now() - start > testsupport::kPatience) {
            timer.Stop();
            dialog.EndModal(kTimedOut);
            return;
        }
        if (acted || !dialog.IsShownOnScreen() || !FocusInside(&dialog))
            return;
        if (++readyTicks < 10)  // let native widgets draw
            return;
        acted = true;
        act();
    });
    timer.Start(20);
    const int result = dialog.ShowModal();
    timer.Stop();
    return result;
}

wxPoint CentreOf(wxWindow* window) {
    return window->GetScreenPosition() + window->GetSize() / 2;
}

void ClickOn(wxWindow* window, int button = wxMOUSE_BTN_LEFT) {
    wxUIActionSimulator sim;
    sim.MouseMove(CentreOf(window));
    wxYield();
    sim.MouseClick(button);
}

class SmallDialogTest : public wxtest::WindowTest {};

TEST_F(SmallDialogTest, TermsOfUseEndWithTwoUnlessAccepted) {
    struct Case {
        const char* what;
        std::function<void(CEULADlg&)> act;
        int result;
    };
    const Case cases[] = {
        {"Enter in the notice presses the default refuse",
         [](CEULADlg& d) {
             EXPECT_EQ(wxWindow::FindFocus(), d.m_edtNotice);
             wxUIActionSimulator().Char(WXK_RETURN);
         },
         kEulaRefused},
        {"Esc", [](CEULADlg&) { wxUIActionSimulator().Char(WXK_ESCAPE); }, kEulaRefused},
        {"the close box", [](CEULADlg& d) { d.Close(); }, kEulaRefused},
        {"refuse", [](CEULADlg& d) { ClickOn(d.m_btnRefuse); }, kEulaRefused},
        {"accept", [](CEULADlg& d) { ClickOn(d.m_btnAccept); }, kEulaAccepted},
        // A context menu would take the keyboard: Esc would close the menu, not the notice.
        {"a right press on the notice opens no menu",
         [](CEULADlg& d) {
             ClickOn(d.m_edtNotice, wxMOUSE_BTN_RIGHT);
             Catch(300);
             wxUIActionSimulator().Char(WXK_ESCAPE);
         },
         kEulaRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CEULADlg dialog(frame);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), EulaCaption());
        EXPECT_EQ(RunModal(dialog, [&] { c.act(dialog); }), c.result);
    }
}

TEST_F(SmallDialogTest, TermsOfUseArtifactShowsTheJapaneseFace) {
    CEULADlg dialog(frame);
    // The Japanese paragraphs carry IPA Gothic; the English ones the UI face.
    const wxString text = dialog.m_edtNotice->GetValue();
    const long japanese = text.Find(wxString::FromUTF8("Ｈｅｌｖｏ２１００"));
    const long english = text.Find("Helvo2100");
    ASSERT_NE(japanese, wxNOT_FOUND);
    wxTextAttr style;
    ASSERT_TRUE(dialog.m_edtNotice->GetStyle(japanese, style));
    EXPECT_EQ(style.GetFontFaceName(), "IPAGothic");
    ASSERT_TRUE(dialog.m_edtNotice->GetStyle(english, style));
    EXPECT_NE(style.GetFontFaceName(), "IPAGothic");
    EXPECT_EQ(RunModal(dialog,
                       [&] {
                           ScreenArtifact(&dialog, "eula");
                           dialog.EndModal(kEulaRefused);
                       }),
              kEulaRefused);
}

// The notice is reached through DoModal only: a second DoModal while it shows returns 0 at
// once, and once it has ended, by OK or by the close box, it shows again.
TEST_F(SmallDialogTest, SafetyNoticeShowsOnceAtATime) {
    CRestrictionDlg dialog(frame);
    const std::function<void()> ends[] = {[&] { ClickOn(dialog.m_btnOk); }, [&] { dialog.Close(); },
                                          // The notice takes no keys but Tab, which moves on to OK.
                                          [&] {
                                              dialog.m_edtWarning->SetFocus();
                                              Catch(100);
                                              wxUIActionSimulator().Char(WXK_TAB);
                                              Catch(100);
                                              EXPECT_EQ(wxWindow::FindFocus(), dialog.m_btnOk);
                                              wxUIActionSimulator().Char(WXK_RETURN);
                                          }};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        wxTimer timer;
        int nested = -1, ticks = 0;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (++ticks > 250) {  // five seconds
                timer.Stop();
                dialog.EndModal(kTimedOut);
                return;
            }
            if (!dialog.IsShownOnScreen() || ticks < 10)
                return;
            timer.Stop();
            if (round == 0)
                ScreenArtifact(&dialog, "safety_notice");
            nested = dialog.DoModal();
            ends[round]();
        });
        timer.Start(20);
        EXPECT_EQ(dialog.DoModal(), 2);
        EXPECT_EQ(nested, 0);
        EXPECT_FALSE(dialog.m_semShow.IsShowing());
    }
}

class AboutTest : public SmallDialogTest {
protected:
    void SetUp() override {
        SmallDialogTest::SetUp();
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        InstallWxUiDispatcher();
    }
    void TearDown() override {
        ShutdownProbe(&host);
        UsbProbeClose();
        usbdriver::DetachAllDevices();
        Flush();
        UninstallWxUiDispatcher();
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        SmallDialogTest::TearDown();
    }
    std::string ShowAbout(const std::string& artifact) {
        CAboutDlg dialog(frame);
        std::string line;
        EXPECT_EQ(RunModal(dialog,
                           [&] {
                               line = dialog.m_ctlHardware->GetLabelText().utf8_string();
                               EXPECT_EQ(dialog.m_ctlVersion->GetLabelText().utf8_string(), GetAppTitle());
                               ScreenArtifact(&dialog, artifact);
                               wxUIActionSimulator().Char(WXK_RETURN);  // presses OK, the focused default
                           }),
                  wxID_OK);
        EXPECT_EQ(dialog.GetTitle().utf8_string(), "Version Information " + GetProductName());
        return line;
    }

    struct Host : IProbeHost {
        void* GetWindowHandle() override { return this; }
        bool HasLiveImageProcessor() override { return true; }
        bool InitProbeImaging() override { return true; }
        ProbeIdentity GetRememberedProbeIdentity() override { return {}; }
        bool IsProbeLost() override { return false; }
        void WaitImageThreadIdle() override {}
    } host;
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
};

TEST_F(AboutTest, WithoutAProbeTheHardwareLineIsBlank) {
    EXPECT_EQ(ShowAbout("about_no_probe"), "H/W:         -");
}

TEST_F(AboutTest, WithTheSimulatedProbeItsIdentity) {
    probetest::CountingInhibitor counting;
    platform::SetPowerInhibitor(&counting);
    auto device = std::make_shared<probetest::RecordingDevice>(probetest::Stepped());
    usbdriver::AttachDevice(device);
    ASSERT_TRUE(OpenProbe(&host));
    IProbeData* probe = g_pProbe.load();
    ASSERT_NE(probe, nullptr);
    ASSERT_NE(probe->GetHardwareId(), 0u);
    const std::string expected = "H/W: " + platform::Format("%08X-%08X-%08X", probe->GetHardwareId(),
                                                            probe->GetVersionB(), probe->GetVersionA());
    EXPECT_EQ(ShowAbout("about"), expected);
    ShutdownProbe(&host);
    platform::SetPowerInhibitor(nullptr);
}

class ProgressTest : public SmallDialogTest {
protected:
    void SetUp() override {
        SmallDialogTest::SetUp();
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
    void TearDown() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        SmallDialogTest::TearDown();
    }
    // Created, centred and shown as the long operations do.
    CProgressDlg* Show(int pcMode) {
        EXPECT_TRUE(SetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, pcMode));
        auto* dialog = new CProgressDlg;
        EXPECT_TRUE(dialog->Create());
        dialog->CentreOnScreen();
        dialog->Show();
        dialog->m_ctlCaption->SetLabel("Storing the cine clip...");
        dialog->m_ctlProgress->SetRange(200);
        dialog->m_ctlProgress->SetValue(80);
        dialog->Raise();
        dialog->SetFocus();
        Settle();
        return dialog;
    }
    void PressEsc(CProgressDlg* dialog) {
        EXPECT_TRUE(FocusInside(dialog)) << "the display gave the window no focus";
        wxUIActionSimulator().Char(WXK_ESCAPE);
        Settle();
    }
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
};

TEST_F(ProgressTest, InThePcLayoutNoCancelButtonAndEscStillCancels) {
    CProgressDlg* dialog = Show(1);
    EXPECT_FALSE(dialog->m_btnCancel->IsShown());
    EXPECT_FALSE(dialog->HasFlag(wxCAPTION));
    EXPECT_FALSE(dialog->m_bCancel);
    ScreenArtifact(dialog, "progress_pc_mode");
    PressEsc(dialog);
    EXPECT_TRUE(dialog->m_bCancel);
    EXPECT_TRUE(dialog->IsShown()) << "Esc only asks the operation to stop";
    dialog->Destroy();
}

TEST_F(ProgressTest, OtherwiseCancelAndEscBothCancel) {
    CProgressDlg* dialog = Show(0);
    ASSERT_TRUE(dialog->m_btnCancel->IsShown());
    EXPECT_EQ(dialog->m_btnCancel->GetLabel(), "Cancel");
    ScreenArtifact(dialog, "progress");
    ClickOn(dialog->m_btnCancel);
    Settle();
    EXPECT_TRUE(dialog->m_bCancel);
    dialog->m_bCancel = false;  // the callers may clear it
    dialog->m_btnCancel->SetFocus();
    Settle();
    PressEsc(dialog);
    EXPECT_TRUE(dialog->m_bCancel);
    EXPECT_TRUE(dialog->IsShown());
    dialog->Destroy();
}

}  // namespace
