// Start and close of the main window: the initialisation order and state, the settings it
// reads, the close order, what it saves, and work that arrives after the close.
#include <cmath>

#include "CoreFixture.h"
#include "app/core/VersionInfo.h"
#include "common/EventHub.h"
#include "probe/ProbeDataUM716C.h"

using namespace coretest;
using namespace maindlg;

TEST(Version, TextOfTheFourNumbers) {
    EXPECT_EQ(FormatFileVersion(1, 4, 2, 0), "1.4.2");
    EXPECT_EQ(FormatFileVersion(1, 4, 2, 3), "1.4.2_beta03");
    EXPECT_EQ(FormatFileVersion(2, 0, 10, 12), "2.0.10_beta12");
    EXPECT_EQ(GetFileVersionString(), "1.4.2");
    EXPECT_EQ(GetAppTitle(), "Helvo Viewer CL Ver1.4.2");
}

TEST_F(CoreTest, InitialisationLeavesTheWindowFrozenWithTheProbeOpenAndItsBuffersWithTheProbe) {
    Attach();
    CKALVEXDlg& d = Create();
    EXPECT_EQ(side.window.title, "Helvo Viewer CL Ver1.4.2");
    EXPECT_EQ(d.m_nRunState, kFrozen);
    EXPECT_EQ(d.m_nDisplayMode, kDisplayB);
    EXPECT_EQ(d.m_nScreenLayout, 0);
    EXPECT_TRUE(d.m_bInitialised);
    EXPECT_TRUE(d.m_bAskBeforeQuit);
    EXPECT_EQ(d.Controls().Text(IDC_HEADER), "ID: TEST  Name: Test");
    EXPECT_TRUE(d.Controls().Get(IDC_FREEZE).checked);
    EXPECT_EQ(d.Controls().Text(IDC_FREEZE), "UnFreeze");
    EXPECT_EQ(side.timers.tickPeriod, 21);
    EXPECT_EQ(side.timers.timers.at(kTimerHeldButton), 100);
    ASSERT_NE(g_pProbe.load(), nullptr);
    EXPECT_EQ(g_pMainDlg.load(), &d);
    EXPECT_EQ(g_pImageProc.load(), d.m_pLiveProc.get());
    EXPECT_TRUE(Proc().IsImageThreadRunning());
    EXPECT_FALSE(UsbProbeIsRunning());
    // The raw-frame callback was registered before the probe opened: the five buffers the
    // set-up published reached the probe's free list through it.
    auto* probe = static_cast<CProbeDataUM716C*>(g_pProbe.load());
    EXPECT_EQ(probe->GetFreeBufferCount(), 5u);
    EXPECT_EQ(d.m_lstRawBuffers.GetCountLocked(), 5u);
    // The convex set-up: automatic STC, the depth preset forced for 225 mm.
    EXPECT_EQ(d.m_nStcMode, kStcAuto);
    EXPECT_EQ(Proc().GetDepth(), 225);
    EXPECT_EQ(Proc().GetParams().gain, 89);
    EXPECT_EQ(side.right.values[IDC_R_DEPTH], "225");
    EXPECT_EQ(side.stc.autoCaption, "ON");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(CoreTest, WithoutAProbeTheWindowOpensFrozenAndEmptyAndTheFirstFreezeAsksAgain) {
    CKALVEXDlg& d = Create();
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_EQ(d.m_nRunState, kFrozen);
    ASSERT_EQ(boxes.shown().size(), 1u);  // the probe's own message
    d.ExecCommand(kCmdFreeze);
    EXPECT_EQ(d.m_nRunState, kFrozen);
    EXPECT_EQ(boxes.shown().size(), 2u);
}

struct SettingsCase {
    const char* name;
    SettingKey key;
    const char* value;  // nullptr: not written
    int CKALVEXDlg::*member;
    int expected;
};

TEST_F(CoreTest, SettingsReadAtStart) {
    struct FlagCase {
        SettingKey key;
        const char* value;
        bool CKALVEXDlg::*member;
        bool expected;
    };
    const FlagCase flags[] = {
        {SettingKeyTable::SHOW_FPS, "2", &CKALVEXDlg::m_bShowFps, false},
        {SettingKeyTable::SHOW_FPS, "1", &CKALVEXDlg::m_bShowFps, true},
        {SettingKeyTable::PCMODE, nullptr, &CKALVEXDlg::m_bPcMode, true},
        {SettingKeyTable::PCMODE, "0", &CKALVEXDlg::m_bPcMode, false},
        {SettingKeyTable::SELPRINTER, nullptr, &CKALVEXDlg::m_bSelPrinter, true},
        {SettingKeyTable::SHOW_TEMPERATURE, "1", &CKALVEXDlg::m_bShowTemperature, true},
    };
    for (const FlagCase& c : flags) {
        ResetSettingsForTesting();
        std::remove(GetConfigFilePath().c_str());
        if (c.value) {
            ASSERT_TRUE(SetSettingText(SettingSectionApp, c.key, c.value));
        }
        Create();
        EXPECT_EQ(dlg.get()->*c.member, c.expected) << c.key.keyName << "=" << (c.value ? c.value : "(none)");
        Destroy();
    }
    const SettingsCase ints[] = {
        {"auto_stop_time abc", SettingKeyTable::auto_stop_time, "abc", &CKALVEXDlg::m_nAutoStopTime, 0},
        {"auto_stop_time 0", SettingKeyTable::auto_stop_time, "0", &CKALVEXDlg::m_nAutoStopTime, 0},
        {"auto_stop_time beyond int", SettingKeyTable::auto_stop_time, "4294967296",
         &CKALVEXDlg::m_nAutoStopTime, 0},
        {"auto_stop_time 10s", SettingKeyTable::auto_stop_time, "10s", &CKALVEXDlg::m_nAutoStopTime, 10},
        {"auto_stop_time default", SettingKeyTable::auto_stop_time, nullptr, &CKALVEXDlg::m_nAutoStopTime,
         7200},
        {"ob_display Hadlock", SettingKeyTable::ob_display, "Hadlock", &CKALVEXDlg::m_nEfwEquation, 1},
        {"ob_display other", SettingKeyTable::ob_display, "hadlock", &CKALVEXDlg::m_nEfwEquation, 0},
        {"ob_gamodel kept beyond the names", SettingKeyTable::ob_gamodel, "7", &CKALVEXDlg::m_nObGaModel, 7},
        // Absent, the set whose tables ship; a stored JSUM stays JSUM.
        {"ob_gamodel default", SettingKeyTable::ob_gamodel, nullptr, &CKALVEXDlg::m_nObGaModel, 0},
        {"ob_gamodel JSUM", SettingKeyTable::ob_gamodel, "3", &CKALVEXDlg::m_nObGaModel, 3},
    };
    for (const SettingsCase& c : ints) {
        ResetSettingsForTesting();
        std::remove(GetConfigFilePath().c_str());
        if (c.value) {
            ASSERT_TRUE(SetSettingText(SettingSectionApp, c.key, c.value));
        }
        Create();
        EXPECT_EQ(dlg.get()->*c.member, c.expected) << c.name;
        Destroy();
    }
}

TEST_F(CoreTest, AGrowthTableModelBeyondTheFourNamesIsKeptAndShownAsUnknown) {
    struct NamingPanel : IObPanel {
        void SetGaModelText(const std::string& text) override { model = text; }
        std::string model;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"0", "USA"}, {"3", "JSUM"}, {"4", "-"}, {"-1", "-"}};
    for (const auto& [value, shown] : cases) {
        ResetSettingsForTesting();
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::ob_gamodel, value));
        NamingPanel panel;
        MainDlgPorts ports = side.Ports();
        ports.obPanel = &panel;
        CKALVEXDlg d(ports);
        d.m_fnSleep = [](int) {};
        d.OnInitDialog();
        EXPECT_EQ(panel.model, shown) << value;
        EXPECT_EQ(d.m_nObGaModel, std::stoi(value));
        d.OnClose();
    }
}

TEST_F(CoreTest, EveryGammaOfTheSliderSurvivesCloseAndRestart) {
    for (int g = 60; g <= 120; ++g) {
        ResetSettingsForTesting();
        ASSERT_TRUE(SetSettingDouble(SettingSectionApp, SettingKeyTable::gamma, g / 100.0));
        ResetSettingsForTesting();  // read back from the file, as a new start does
        Create();
        EXPECT_EQ(side.right.GetSliderPos(IDC_R_GAMMA), 180 - g) << g;
        Destroy();
        ResetSettingsForTesting();
        EXPECT_NEAR(GetSettingDouble(SettingSectionApp, SettingKeyTable::gamma, 0.0), g / 100.0, 1e-12) << g;
    }
}

TEST_F(CoreTest, CloseStopsEverythingInOrderSavesTheSettingsAndEndsTheProcess) {
    Attach();
    CKALVEXDlg& d = Create();
    Unfreeze();
    ASSERT_TRUE(Step(3));
    side.right.SetSliderPos(IDC_R_GAIN, 30);  // reversed: gain 70
    side.right.SetSliderPos(IDC_R_DEPTH, 160);
    g_anStcValue[3] = 7;
    const MainDlgHandlePtr handle = d.Handle();
    d.OnSysCommandClose();

    EXPECT_TRUE(d.m_bClosed);
    EXPECT_EQ(handle->Get(), nullptr);
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_EQ(side.window.endResults, std::vector<int>{2});
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_EQ(g_pProbeThread, nullptr);
    EXPECT_EQ(g_pMainDlg.load(), nullptr);
    EXPECT_EQ(g_pImageProc.load(), nullptr);
    EXPECT_EQ(d.m_lstRawBuffers.GetCountLocked(), 0u);
    EXPECT_EQ(side.timers.tickPeriod, 0);
    EXPECT_TRUE(side.timers.timers.empty());
    EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 500), sleeps.end());
    EXPECT_TRUE(boxes.shown().empty());  // the window's close never asks

    ResetSettingsForTesting();
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::gain, -1), 70);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::depth, -1), 160);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::tgc3, -1), 7);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::invert, -1), 0);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::focus, -1), 100);
    EXPECT_NE(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::tx_freq, -1), -1);
    // The hub holds none of the window's callbacks: a panel event after the close does nothing.
    CommandEventArgs args{kLivePanel, IDC_LIVE_FREEZE};
    CEventHub::GetInstance().Publish(EventKindCommand, &args);
}

TEST_F(CoreTest, ClosingWithoutAProbeSavesOnlyGamma) {
    Create();
    boxes.shown();
    dlg->OnSysCommandClose();
    ResetSettingsForTesting();
    EXPECT_NEAR(GetSettingDouble(SettingSectionApp, SettingKeyTable::gamma, 0.0), 1.0, 1e-12);
    EXPECT_EQ(GetSettingInt(SettingSectionProbeConvex, SettingKeyTable::gain, -1), -1);
}

TEST_F(CoreTest, QuitAsksAndCancelChangesNothing) {
    Attach();
    CKALVEXDlg& d = Create();
    boxes.SetAnswer(platform::MsgAnswer::Cancel);
    d.ExecCommand(kCmdQuit);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Are you sure you want to close ?");
    EXPECT_EQ(boxes.shown()[0].buttons, platform::MsgButtons::OkCancel);
    EXPECT_FALSE(d.m_bClosing);
    EXPECT_TRUE(exits.empty());
    EXPECT_NE(g_pProbe.load(), nullptr);
    Unfreeze();  // still working
    ASSERT_TRUE(Step(1));

    boxes.SetAnswer(platform::MsgAnswer::Ok);
    d.ExecCommand(kCmdQuit);
    EXPECT_TRUE(d.m_bClosed);
    EXPECT_EQ(side.window.endResults, std::vector<int>{1});
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(CoreTest, FrameNoticesAndCommandsAfterTheCloseAreDropped) {
    Attach();
    CKALVEXDlg& d = Create();
    Unfreeze();
    ASSERT_TRUE(Step(1));
    // A frame converted but its notice not yet run when the window closes.
    const int want = Frames() + 1;
    ASSERT_EQ(bridge->StepFrames(1), 1);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return Frames() >= want && ui.PendingCount() > 0; },
                                       "the frame converted and its notice queued"));
    const int repaints = side.views.repaints[kViewMain];
    d.OnClose();
    ui.RunPending();
    EXPECT_EQ(side.views.repaints[kViewMain], repaints);
    d.ExecCommand(kCmdFreeze);
    d.OnPowerBroadcast(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(d.m_nRunState, kLive);  // nothing ran
}
