// Imaging controls and the probe set-up: the depth function, presets, focus, the steps, the
// transmit-frequency buttons, the linear set-up, image settings, the raw-frame routing, and
// one table of controls whose effect the next frame must show.
#include <numeric>

#include "CoreFixture.h"
#include "app/core/DepthMath.h"
#include "common/EventHub.h"
#include "probe/RawBuf.h"
#include "probe/UsbProbe.h"

using namespace coretest;
using namespace maindlg;

namespace {

double Mean(const Image32& img) {
    double sum = 0;
    for (size_t i = 0; i < img.size(); ++i)
        sum += PixelG(img.data()[i]);
    return sum / static_cast<double>(img.size());
}

}  // namespace

TEST(DepthMath, EveryDepthOfTheSliderComesBackExactly) {
    for (int d = 20; d <= 240; ++d)
        EXPECT_EQ(DepthFromPixelScale(470.0 / d), d) << d;
    EXPECT_EQ(DepthFromPixelScale(0.0), 0);
    EXPECT_EQ(DepthFromPixelScale(-1.0), 0);
    EXPECT_EQ(ReversedSliderValue(30, 0, 100), 70);
    EXPECT_EQ(ReversedSliderValue(81, 60, 120), 99);
    // Gamma 1.13..1.16 keep their slider position (a truncation lost 0.01 each run).
    for (int g = 60; g <= 120; ++g)
        EXPECT_EQ(GammaToSliderPosition(g / 100.0, 60, 120), 180 - g) << g;
}

TEST_F(CoreTest, TheProcessorsPixelScaleGivesTheDepthBackOnEveryProbe) {
    Attach();
    Create();
    for (int d = 20; d <= 240; ++d)
        EXPECT_EQ(DepthFromPixelScale(Proc().GetPixelScale(d)), d) << d;
}

TEST_F(CoreTest, DepthPresetsFollowTheRowsCrossed) {
    Attach();
    Create();
    Unfreeze();
    auto moveTo = [&](int depth) {
        side.right.SetSliderPos(IDC_R_DEPTH, depth);
        int code = SB_THUMBTRACK;
        dlg->ExecCommand(kCmdApplyDepth, &code, nullptr);
    };
    ASSERT_EQ(dlg->m_nStcMode, kStcAuto);
    moveTo(90);  // from 225 across both lower rows: the row of 90 mm, not the one crossed
    EXPECT_EQ(Proc().GetParams().gain, 59);
    EXPECT_EQ(Proc().GetParams().contrast, 85);
    EXPECT_EQ(g_anStcOffset[0], 44);
    g_anStcValue[1] = 5;
    moveTo(160);  // 101..150 and 151..240 both crossed: the last row wins
    EXPECT_EQ(Proc().GetParams().gain, 89);
    EXPECT_EQ(Proc().GetParams().contrast, 105);
    EXPECT_EQ(g_anStcOffset[0], 41);
    EXPECT_EQ(g_anStcOffset[1], 32);
    EXPECT_EQ(g_anStcValue[1], 0);
    EXPECT_EQ(bridge->State().depthMm, 160);
    moveTo(140);  // the upper limit of 101..150 crossed downward
    EXPECT_EQ(Proc().GetParams().contrast, 95);
    side.right.SetSliderPos(IDC_R_GAIN, 40);
    dlg->ExecCommand(kCmdGain);
    moveTo(130);  // inside one row: the user's gain stays
    EXPECT_EQ(Proc().GetParams().gain, 60);
    EXPECT_EQ(side.right.values[IDC_R_DEPTH], "130");
    // Manual STC: depth never touches gain, contrast or STC.
    dlg->ToggleStcAuto();
    ASSERT_EQ(dlg->m_nStcMode, kStcManual);
    moveTo(200);
    EXPECT_EQ(Proc().GetParams().gain, 60);
    // End of scroll only refreshes.
    side.right.SetSliderPos(IDC_R_DEPTH, 100);
    int end = SB_ENDSCROLL;
    dlg->ExecCommand(kCmdApplyDepth, &end, nullptr);
    EXPECT_EQ(Proc().GetDepth(), 100);
    EXPECT_EQ(bridge->State().depthMm, 200);
}

TEST_F(CoreTest, ADeeperFocusFollowsAShallowerDepth) {
    Attach();
    Create();
    Unfreeze();
    IProbeData* probe = g_pProbe.load();
    ASSERT_TRUE(probe->SetFocus(150));
    side.right.SetSliderPos(IDC_R_DEPTH, 120);
    dlg->ExecCommand(kCmdApplyDepth);
    EXPECT_EQ(probe->GetFocus(), 70);
    EXPECT_EQ(Proc().GetFocus(), 70);
    ASSERT_TRUE(probe->SetFocus(50));
    side.right.SetSliderPos(IDC_R_DEPTH, 121);
    dlg->ExecCommand(kCmdApplyDepth);
    EXPECT_EQ(probe->GetFocus(), 50);
}

TEST_F(CoreTest, StepKeysStayInTheirRangesAndDoNothingFrozen) {
    Attach();
    Create();
    Unfreeze();
    side.right.SetSliderPos(IDC_R_GAIN, 0);  // gain 100
    dlg->ExecCommand(kCmdGain);
    dlg->ExecCommand(34);  // F8
    EXPECT_EQ(Proc().GetParams().gain, 100);
    dlg->ExecCommand(33);  // F7
    EXPECT_EQ(Proc().GetParams().gain, 99);
    EXPECT_EQ(side.right.values[IDC_R_GAIN], "99");
    side.right.SetSliderPos(IDC_R_CONTRAST, 50);  // contrast 150: not raised by the key
    dlg->ExecCommand(kCmdContrast);
    dlg->ExecCommand(36);
    EXPECT_EQ(Proc().GetParams().contrast, 150);
    dlg->ExecCommand(35);
    EXPECT_EQ(Proc().GetParams().contrast, 149);
    side.right.SetSliderPos(IDC_R_DEPTH, 150);
    dlg->ExecCommand(kCmdApplyDepth);
    const int depth = side.right.GetSliderPos(IDC_R_DEPTH);
    dlg->ExecCommand(72);  // DOWN: deeper
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_DEPTH), depth + 1);
    dlg->ExecCommand(71);
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_DEPTH), depth);
    const int deepest = side.right.GetSliderMax(IDC_R_DEPTH);
    side.right.SetSliderPos(IDC_R_DEPTH, deepest);
    dlg->ExecCommand(31);  // at the limit
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_DEPTH), deepest);
    EXPECT_EQ(Proc().GetDepth(), deepest);
    Freeze();
    const ImagingParams frozen = Proc().GetParams();
    for (int command : {31, 32, 33, 34, 35, 36, 71, 72})
        dlg->ExecCommand(command);
    EXPECT_EQ(Proc().GetParams().gain, frozen.gain);
    EXPECT_EQ(Proc().GetParams().contrast, frozen.contrast);
}

TEST_F(CoreTest, TheLinearProbeSetUp) {
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeLinear, SettingKeyTable::depth, 225));
    ASSERT_TRUE(SetSettingInt(SettingSectionProbeLinear, SettingKeyTable::tx_freq, 5));
    Attach(true);
    CKALVEXDlg& d = Create();
    ASSERT_NE(g_pProbe.load(), nullptr);
    EXPECT_EQ(d.m_nStcMode, kStcAbsolute);
    EXPECT_FALSE(d.m_bObAvailable);
    EXPECT_EQ(side.stc.autoCaption, "Reset");
    EXPECT_EQ(side.stc.sliders[0].min, -32);
    EXPECT_EQ(side.stc.sliders[0].max, 32);
    EXPECT_EQ(side.right.GetSliderMin(IDC_R_DEPTH), 38);
    EXPECT_EQ(side.right.GetSliderMax(IDC_R_DEPTH), 120);
    EXPECT_EQ(side.right.GetSliderPos(IDC_R_DEPTH), 120);  // 225 clamped by the slider
    EXPECT_EQ(Proc().GetDepth(), 120);
    EXPECT_EQ(d.m_viewMain.m_nTickStep, 5);
    EXPECT_EQ(d.m_viewMain.m_nBodyMark, CCstmPictureCtrl::kBodyMarkNone);
    // "10.0" is not offered: the default 8.0 is selected and highlighted, 10.0 hidden.
    EXPECT_EQ(side.right.freq[IDC_R_FREQ2].caption, "8.0");
    EXPECT_EQ(side.right.freq[IDC_R_FREQ2].state, kStateHighlighted);
    EXPECT_EQ(side.right.freq[IDC_R_FREQ1].state, kStateNormal);
    EXPECT_FALSE(side.right.freq[IDC_R_FREQ3].shown);
    EXPECT_EQ(g_pProbe.load()->GetTxFrequency(), 4);
    // A button the set-up did not map selects nothing.
    dlg->m_mapFreqButtons.erase(IDC_R_FREQ1);
    dlg->SelectPreset(IDC_R_FREQ1);
    EXPECT_EQ(g_pProbe.load()->GetTxFrequency(), 4);
    EXPECT_FALSE(dlg->m_mapFreqButtons.count(IDC_R_FREQ1));
    dlg->SelectPreset(IDC_R_FREQ2 + 100);
    EXPECT_EQ(g_pProbe.load()->GetTxFrequency(), 4);
}

TEST_F(CoreTest, ImageSettingsAreClampedWhenRead) {
    struct Case {
        const char* smooth;
        const char* gainMax;
        const char* aveMode;
        bool developer;
        double wantSmooth;
        double wantGainMax;
        int wantAveMode;
    };
    const Case cases[] = {
        {"1.7", "20", "9", false, 1.0, 20.0, 9},
        {"-0.3", "20", "5", true, 0.0, 100.0, 4},
        {"0.5", nullptr, nullptr, false, 0.5, 0.0, 4},
    };
    for (const Case& c : cases) {
        Destroy();
        ShutdownProbe(nullptr);
        usbdriver::DetachAllDevices();
        ResetSettingsForTesting();
        std::remove(GetConfigFilePath().c_str());
        SetSettingText(SettingSectionProbeConvex, SettingKeyTable::smooth, c.smooth);
        if (c.gainMax)
            SetSettingText(SettingSectionProbeConvex, SettingKeyTable::GAIN_MAX, c.gainMax);
        if (c.aveMode)
            SetSettingText(SettingSectionProbeConvex, SettingKeyTable::AVE_MODE, c.aveMode);
        side.keyboard.keys = {true, c.developer, c.developer};
        Attach();
        Create();
        const ImagingParams p = Proc().GetParams();
        EXPECT_DOUBLE_EQ(p.smooth, c.wantSmooth) << c.smooth;
        EXPECT_DOUBLE_EQ(p.gainMax, c.wantGainMax) << c.smooth;
        EXPECT_EQ(p.aveMode, c.wantAveMode) << c.smooth;
    }
}

TEST(RawBufferRouting, EachStateGoesWhereItBelongs) {
    CImageProc proc;  // no thread: queued buffers stay queued
    CRawBuf buffer(64, 4);
    g_pImageProc = nullptr;
    buffer.m_nState = RawBufComplete;
    CKALVEXDlg::OnRawBufferEvent(&buffer);  // no processor: nothing
    EXPECT_EQ(proc.GetQueuedCount(), 0u);
    g_pImageProc = &proc;
    CKALVEXDlg::OnRawBufferEvent(&buffer);
    EXPECT_EQ(proc.GetQueuedCount(), 1u);
    for (int state : {RawBufCleared, RawBufConsumed, RawBufTaken, RawBufDropped}) {
        buffer.m_nState = state;
        CKALVEXDlg::OnRawBufferEvent(&buffer);  // no driver: returned nowhere
    }
    CKALVEXDlg::OnRawBufferEvent(nullptr);
    EXPECT_EQ(proc.GetQueuedCount(), 1u);
    proc.ClearInputQueue();
    g_pImageProc = nullptr;
}

// One row per control: what the next frame after it must show.
TEST_F(CoreTest, EachControlChangesTheNextFrame) {
    Attach();
    Create();
    Unfreeze();
    ASSERT_TRUE(Step(2));
    auto lastRecord = [&] { return *Proc().GetFrameRecord(Proc().Cine().GetNewestIndex()); };
    const double base = Mean(dlg->m_viewMain.BackBuffer());

    // Gain up: a brighter image.
    for (int i = 0; i < 10; ++i)
        dlg->ExecCommand(34);
    ASSERT_TRUE(Step(1));
    const double brighter = Mean(dlg->m_viewMain.BackBuffer());
    EXPECT_GT(brighter, base);
    EXPECT_EQ(lastRecord().gain, Proc().GetParams().gain);

    // Contrast: recorded with the frame and a different image.
    dlg->ExecCommand(35);
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(lastRecord().contrast, Proc().GetParams().contrast);

    // Gamma: the frame is made with it.
    side.right.SetSliderPos(IDC_R_GAMMA, 70);  // 1.10
    ScrollEventArgs gamma{kRightPanel, IDC_R_GAMMA, SB_THUMBTRACK, 70};
    CEventHub::GetInstance().Publish(EventKindScroll, &gamma);
    ASSERT_TRUE(Step(1));
    EXPECT_DOUBLE_EQ(lastRecord().gamma, 1.1);

    // Depth: the probe's register, the frame's stamp and the label agree.
    dlg->ExecCommand(71);  // UP: shallower
    const int depth = side.right.GetSliderPos(IDC_R_DEPTH);
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(bridge->State().depthMm, depth);
    EXPECT_EQ(lastRecord().depth, depth);
    EXPECT_EQ(side.right.values[IDC_R_DEPTH], std::to_string(depth));

    // Frequency: the probe's register.
    CommandEventArgs freq{kRightPanel, IDC_R_FREQ3};
    CEventHub::GetInstance().Publish(EventKindCommand, &freq);
    ASSERT_TRUE(Step(1));
    EXPECT_EQ(g_pProbe.load()->GetTxFrequency(), 2);
    EXPECT_EQ(lastRecord().freq_mode, 2);
    EXPECT_EQ(side.right.freq[IDC_R_FREQ3].state, kStateHighlighted);

    // Invert: the image turns left for right.
    ASSERT_TRUE(Step(1));
    const Image32 before = dlg->m_viewMain.BackBuffer();
    dlg->ExecCommand(30);  // F4
    ASSERT_TRUE(Step(1));
    const Image32& after = dlg->m_viewMain.BackBuffer();
    double same = 0, mirrored = 0;
    for (int y = 100; y < 400; ++y) {
        for (int x = 100; x < 380; ++x) {
            same += std::abs(int{PixelG(after.At(x, y))} - int{PixelG(before.At(x, y))});
            mirrored += std::abs(int{PixelG(after.At(x, y))} - int{PixelG(before.At(479 - x, y))});
        }
    }
    EXPECT_LT(mirrored, same / 2);

    // STC: every knot at the top of its range changes the image.
    dlg->ExecCommand(30);  // invert back
    ASSERT_TRUE(Step(1));
    const double beforeStc = Mean(dlg->m_viewMain.BackBuffer());
    for (int i = 0; i < IStcPanel::kSliderCount; ++i) {
        side.stc.SetSliderPos(i, 64);
        ScrollEventArgs knot{kStcPanel, IDC_STC_SLIDER_FIRST + i, SB_THUMBTRACK, 64};
        CEventHub::GetInstance().Publish(EventKindScroll, &knot);
    }
    ASSERT_TRUE(Step(1));
    EXPECT_GT(std::abs(Mean(dlg->m_viewMain.BackBuffer()) - beforeStc), 5.0);
    EXPECT_EQ(dlg->m_nStcMode, kStcManual);
}
