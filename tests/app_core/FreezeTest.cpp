// Freeze and unfreeze through the stepped probe: the kept M-mode strip, the frozen cine, and
// the wait for the stopped state with a watch loop that has ended and with work posted into it.
#include "CoreFixture.h"
#include "platform/StringUtil.h"
#include "probe/ProbeDataUM716C.h"

using namespace coretest;
using namespace maindlg;

namespace {

class FreezeTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        Attach();
        Create();
    }
    // The watch loop ends, as it does when its thread has failed: nobody completes the stop.
    void EndWatchLoop() {
        g_pProbe.load()->RequestStop();
        JoinProbeThread();
    }
};

}  // namespace

TEST_F(FreezeTest, UnfreezeStreamsAndFreezeStopsKeepingTheNewestFrame) {
    Unfreeze();
    EXPECT_FALSE(side.live.freezeChecked);
    EXPECT_EQ(dlg->m_nScreenLayout, 1);
    EXPECT_EQ(dlg->m_viewMain.m_nMeasureNumber, 0);
    ASSERT_TRUE(Step(5));
    EXPECT_EQ(Frames(), 5);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  5 / 512");
    Freeze();
    EXPECT_TRUE(side.live.freezeChecked);
    EXPECT_TRUE(dlg->Controls().Get(IDC_FREEZE).checked);
    EXPECT_EQ(dlg->m_nScreenLayout, 5);
    EXPECT_FALSE(dlg->m_bStillStored);
    EXPECT_EQ(dlg->m_viewMain.m_nMeasureNumber, 1);
    EXPECT_EQ(g_pProbe.load()->GetScanState(), ProbeScanStopped);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  5 /   5");
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_CINE_PREV) == !dlg->m_bPcMode);
    // Unfreezing again starts a new cine.
    Unfreeze();
    EXPECT_EQ(Frames(), 0);
    EXPECT_TRUE(dlg->m_bStillStored);
}

// Frames that come while the window is busy wait as one notice, which draws the newest.
TEST_F(FreezeTest, FrameNoticesWaitAsOneThatDrawsTheNewestFrame) {
    Unfreeze();
    ASSERT_TRUE(Step(1));
    ASSERT_EQ(ui.PendingCount(), 0u);
    for (int want = 2; want <= 6; ++want) {
        ASSERT_EQ(bridge->StepFrames(1), 1);
        ASSERT_TRUE(
            testsupport::WaitUntil([&] { return Frames() >= want; }, "cine frame " + std::to_string(want)));
        ASSERT_EQ(Frames(), want);
    }
    ASSERT_TRUE(Proc().WaitIdle(static_cast<uint32_t>(testsupport::kPatience.count())));
    EXPECT_EQ(ui.PendingCount(), 1u) << "five frames, one notice";
    ui.RunPending();
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  6 / 512");
    ASSERT_TRUE(Step(1));  // the next frame has its notice again
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  7 / 512");
}

// A probe pulled out while live: the window does not stay live with the last image; it closes
// the driver as for a suspend, freezes and says so, and the next unfreeze opens the probe again.
TEST_F(FreezeTest, AnUnpluggedProbeFreezesTheWindowAndSaysSo) {
    Unfreeze();
    ASSERT_TRUE(Step(2));
    bridge->Unplug();
    ASSERT_TRUE(RunUntil(
        [&] {
            dlg->OnTickTimer();
            return dlg->m_nRunState == kFrozen;
        },
        "the window frozen after the unplug"));
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_TRUE(dlg->m_bProbeLost);
    EXPECT_TRUE(side.live.freezeChecked);
    EXPECT_EQ(dlg->Controls().Text(IDC_STATUS), "probe not found");
    EXPECT_TRUE(dlg->Controls().IsShown(IDC_STATUS));

    // Nothing the user does meanwhile hides it while the probe is away: the base layout (a new
    // patient) hides the status line, the others keep it.
    for (int layout : {0, 1, 2}) {
        dlg->SetScreenLayout(layout, 0, true);
        EXPECT_EQ(dlg->Controls().Text(IDC_STATUS), "probe not found") << "layout " << layout;
        EXPECT_TRUE(dlg->Controls().IsShown(IDC_STATUS)) << "layout " << layout;
    }

    // Plugged in again, the next unfreeze opens it and the notice goes.
    bridge->Replug();
    dlg->ExecCommand(kCmdFreeze);
    ASSERT_EQ(dlg->m_nRunState, kLive);
    EXPECT_EQ(dlg->Controls().Text(IDC_STATUS), "");
    dlg->SetScreenLayout(1, 0, true);
    EXPECT_EQ(dlg->Controls().Text(IDC_STATUS), "");
}

TEST_F(FreezeTest, FreezingWithoutAFrameKeepsNothingToStore) {
    Unfreeze();
    Freeze();
    EXPECT_TRUE(dlg->m_bStillStored);
    EXPECT_TRUE(dlg->m_bCineStored);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), "  0 /   0");
}

TEST_F(FreezeTest, TheBmStripIsKeptPixelForPixel) {
    Unfreeze();
    dlg->ExecCommand(kCmdDisplayBM);
    ASSERT_EQ(dlg->m_nDisplayMode, kDisplayBM);
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(Step(1));
        dlg->OnTickTimer();
    }
    const Image32 strip = dlg->m_viewRight.BackBuffer();
    ASSERT_NE(strip, Image32(240, 480));  // columns were drawn
    Freeze();
    EXPECT_EQ(dlg->m_nScreenLayout, 7);
    EXPECT_EQ(*dlg->m_aMModeStrip, strip);
    EXPECT_EQ(dlg->m_viewRight.BackBuffer(), strip);
    dlg->DrawFrame(-3, true);  // frozen: the kept strip comes back
    EXPECT_EQ(dlg->m_viewRight.BackBuffer(), strip);
}

TEST_F(FreezeTest, AWatchLoopThatEndedDoesNotHangTheFreeze) {
    Unfreeze();
    ASSERT_TRUE(Step(2));
    EndWatchLoop();
    Freeze();
    EXPECT_EQ(g_pProbe.load()->GetScanState(), ProbeScanStopped);
    EXPECT_FALSE(UsbProbeIsRunning());
    // About a second of 10 ms turns, then the direct stop.
    EXPECT_GE(std::count(sleeps.begin(), sleeps.end(), 10), 100);
}

TEST_F(FreezeTest, ASuspendArrivingDuringTheWaitIsHandledAfterIt) {
    Unfreeze();
    ASSERT_TRUE(Step(2));
    EndWatchLoop();
    bool posted = false;
    ui.Post([&] {
        posted = true;
        dlg->OnPowerBroadcast(PBT_APMSUSPEND);
        EXPECT_NE(g_pProbe.load(), nullptr);  // the wait still polls this driver
    });
    Freeze();
    EXPECT_TRUE(posted);
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_TRUE(dlg->m_bProbeLost);
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
}

TEST_F(FreezeTest, AFreezeCommandInsideTheWaitIsIgnored) {
    Unfreeze();
    ASSERT_TRUE(Step(2));
    EndWatchLoop();
    int ran = 0;
    ui.Post([&] {
        ++ran;
        dlg->ExecCommand(kCmdFreeze);
        dlg->PreTranslateKey({vk::kSpace, false});
        EXPECT_EQ(dlg->m_nRunState, kLive);
    });
    Freeze();
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(side.live.freezeChecked);
    EXPECT_EQ(dlg->m_nScreenLayout, 5);
}

TEST_F(FreezeTest, FramesQueuedAtTheStopAreDrawnBeforeTheWindowIsFrozen) {
    Unfreeze();
    ASSERT_TRUE(Step(2));
    // Three more frames whose notices have not run yet.
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(bridge->StepFrames(1), 1);
    Freeze();
    EXPECT_EQ(ui.PendingCount(), 0u);
    const int frames = Frames();
    const int current = Proc().Cine().GetCurrentIndex();
    const Image32 shown = dlg->m_viewMain.BackBuffer();
    ui.RunPending();
    EXPECT_EQ(Frames(), frames);
    EXPECT_EQ(Proc().Cine().GetCurrentIndex(), current);
    EXPECT_EQ(dlg->m_viewMain.BackBuffer(), shown);
    EXPECT_EQ(dlg->Controls().Text(IDC_COUNTER), platform::Format("%3d / %3d", frames, frames));
}

TEST_F(FreezeTest, SuspendWhileLiveStopsTheProbeAndResumeFreezesThenTheNextCommandReopens) {
    Unfreeze();
    ASSERT_TRUE(Step(2));
    std::vector<CRawBuf*> before;
    while (CRawBuf* b = dlg->m_lstRawBuffers.RemoveHeadLocked())
        before.push_back(b);
    for (CRawBuf* b : before)
        dlg->m_lstRawBuffers.AddTailLocked(b);

    dlg->OnPowerBroadcast(PBT_APMSUSPEND);
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_TRUE(dlg->m_bProbeLost);
    dlg->OnPowerBroadcast(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
    EXPECT_EQ(g_pProbe.load(), nullptr);  // a probe lost while live is not reopened by the freeze

    dlg->ExecCommand(kCmdFreeze);  // reopens, with the same five buffers all back with the probe
    ASSERT_NE(g_pProbe.load(), nullptr);
    EXPECT_FALSE(dlg->m_bProbeLost);
    EXPECT_EQ(dlg->m_nRunState, kLive);
    auto* probe = static_cast<CProbeDataUM716C*>(g_pProbe.load());
    for (CRawBuf* b : before)
        EXPECT_TRUE(probe->HasFreeBuffer(b) || probe->GetCurrentBuffer() == b);
    ASSERT_TRUE(Step(2));
}

TEST_F(FreezeTest, SuspendWhileFrozenAndAFailedReopenLocksTheArchiveButton) {
    ASSERT_TRUE(dlg->Controls().IsEnabled(IDC_BTN7));
    ASSERT_EQ(g_pProbe.load()->GetScanState(), ProbeScanNeverStarted);
    dlg->OnPowerBroadcast(PBT_APMSUSPEND);
    EXPECT_EQ(g_pProbe.load(), nullptr);
    usbdriver::DetachAllDevices();
    const size_t shown = boxes.shown().size();
    dlg->ExecCommand(kCmdFreeze);
    EXPECT_EQ(boxes.shown().size(), shown + 1);
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
    EXPECT_FALSE(dlg->Controls().IsEnabled(IDC_BTN7));
    EXPECT_TRUE(dlg->m_bProbeLost);
}

TEST_F(FreezeTest, ASuspendUnderLoadLeavesNoFrameBehind) {
    Unfreeze();
    ASSERT_TRUE(Step(1));
    std::atomic<bool> stop{false};
    std::thread feeder([&] {
        while (!stop.load())
            bridge->StepFrames(1);
    });
    for (int i = 0; i < 20; ++i) {
        ui.RunPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    dlg->OnPowerBroadcast(PBT_APMSUSPEND);
    stop = true;
    feeder.join();
    EXPECT_EQ(g_pProbe.load(), nullptr);
    EXPECT_TRUE(Proc().WaitIdle(5000));
    ui.RunPending();
    dlg->OnPowerBroadcast(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
}
