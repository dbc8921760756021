// The tick and the window timers with a clock the test moves: automatic stop, the recording
// limit, the probe watchdog, the M-mode strip's pixels and the held review button.
#include "CoreFixture.h"
#include "probe/ProbeDataUM716C.h"

using namespace coretest;
using namespace maindlg;

namespace {

class FakeRecorder : public IRecorder {
public:
    bool Exists() const override { return exists; }
    int State() const override { return state; }
    int64_t StartMicros() const override { return start; }
    bool exists = true;
    int state = 1;
    int64_t start = 0;
};

class FakeReview : public IReview {
public:
    void OnBnClickedPrev() override { ++prev; }
    void OnBnClickedNext() override { ++next; }
    void PlaybackStep() override { ++steps; }
    int prev = 0;
    int next = 0;
    int steps = 0;
};

class FakePrinting : public IPrinting {
public:
    void Print() override { ++prints; }
    int prints = 0;
};

class TickTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        ResetElapsedMicrosecondsForTesting();
    }
    void TearDown() override {
        CoreTest::TearDown();
        ResetElapsedMicrosecondsForTesting();
    }
    CKALVEXDlg& CreateWith() {
        MainDlgPorts ports = side.Ports();
        ports.recorder = &recorder;
        ports.review = &review;
        ports.printing = &printing;
        return InitWith(ports, [this](CKALVEXDlg& d) { d.m_fnSleep = RecordedSleep(); });
    }
    void Second() {
        clock.Advance(1'000'000);
        dlg->OnTickTimer();
    }

    testsupport::FakeClock clock;
    FakeRecorder recorder;
    FakeReview review;
    FakePrinting printing;
};

// The strip's column x between the image's rows.
std::vector<uint32_t> Column(const Image32& strip, int x, int top) {
    std::vector<uint32_t> c;
    for (int y = top; y < strip.height(); ++y)
        c.push_back(strip.At(x, y));
    return c;
}

}  // namespace

TEST_F(TickTest, AutomaticStopAtTheEleventhSecondWithOneMessage) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::auto_stop_time, "10"));
    Attach();
    recorder.exists = false;
    CreateWith();
    dlg->OnTickTimer();  // the clock's second is known
    Unfreeze();
    for (int s = 1; s <= 10; ++s) {
        Second();
        ui.RunPending();
        ASSERT_EQ(dlg->m_nRunState, kLive) << s;
    }
    Second();
    Second();  // a second tick before the stop message has run posts nothing more
    ui.RunPending();
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "Automatic stop for 10 seconds elapsed.");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Information);
    // The next live run stops again.
    Unfreeze();
    for (int s = 1; s <= 11; ++s)
        Second();
    ui.RunPending();
    EXPECT_EQ(dlg->m_nRunState, kFrozen);
    EXPECT_EQ(boxes.shown().size(), 2u);
}

TEST_F(TickTest, NoAutomaticStopWhenZero) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::auto_stop_time, "0"));
    Attach();
    CreateWith();
    Unfreeze();
    for (int s = 0; s < 30; ++s)
        Second();
    ui.RunPending();
    EXPECT_EQ(dlg->m_nRunState, kLive);
}

// The tick shows the recording's time; the 30-second limit is the writer's (a late tick must
// not make a recording longer), so the tick never ends a recording itself.
TEST_F(TickTest, TheRecordingTimeShowsAndTheLimitIsLeftToTheWriter) {
    CreateWith();
    dlg->m_bSyncView = true;
    recorder.start = clock.UtcMicros();
    while (clock.UtcMicros() - recorder.start < 29'900'000) {
        clock.Advance(21'000);
        dlg->OnTickTimer();
    }
    ui.RunPending();
    EXPECT_EQ(side.live.recTime, "00:29");
    for (int i = 0; i < 100; ++i) {
        clock.Advance(21'000);
        dlg->OnTickTimer();
    }
    ui.RunPending();
    EXPECT_EQ(side.live.recTime, "00:30") << "the limit, never more";
    // A check that came late (61 s) shows the limit too.
    recorder.start = clock.UtcMicros() - 61'000'000;
    for (int i = 0; i < 50; ++i)
        dlg->OnTickTimer();
    ui.RunPending();
    EXPECT_EQ(side.live.recTime, "00:30");
    EXPECT_EQ(printing.prints, 0);
}

TEST_F(TickTest, TheWatchdogRestartsItsCountWhenTheProbeIsSilent) {
    Attach();
    CreateWith();
    Unfreeze();
    IProbeData* probe = g_pProbe.load();
    const double started = probe->GetLastReceiveTime();
    clock.Advance(1'900'000);
    dlg->OnTickTimer();
    EXPECT_EQ(probe->GetLastReceiveTime(), started);
    clock.Advance(200'000);
    dlg->OnTickTimer();
    EXPECT_EQ(probe->GetLastReceiveTime(), GetElapsedMicroseconds());
    EXPECT_EQ(probe->GetScanState(), ProbeScanLive);
}

TEST_F(TickTest, StripSweepsWrapsWithTheEraseBarAndMarksTheSeconds) {
    Attach();
    CreateWith();
    Unfreeze();
    dlg->ExecCommand(kCmdDisplayBM);
    ASSERT_TRUE(Step(1));
    const Image32& strip = dlg->m_viewRight.BackBuffer();
    const int top = Proc().Cine().GetMLine().firstRow;
    ASSERT_LT(top, 400);
    ASSERT_GT(top, 1) << "the convex image starts below the strip's top rows";
    for (int i = 0; i < 10; ++i)
        dlg->OnTickTimer();
    EXPECT_EQ(strip, Image32(240, 480)) << "ten silent ticks";
    for (int i = 0; i < 236; ++i)
        dlg->OnTickTimer();  // columns 0..235
    EXPECT_EQ(dlg->m_nMSweepColumn, 236);
    for (int x = 236; x < 240; ++x)
        EXPECT_EQ(strip.At(x, 479), 0x3C0000u) << x;
    const MLineRecord mline = Proc().Cine().GetMLine();
    EXPECT_EQ(strip.At(235, top), GreyPixel(mline.column[0]));
    for (int i = 0; i < 4; ++i)
        dlg->OnTickTimer();  // columns 236..239, then the sweep wraps
    EXPECT_EQ(dlg->m_nMSweepColumn, 0);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(strip.At(x, 479), 0x3C0000u) << x;
    EXPECT_EQ(strip.At(239, top), GreyPixel(mline.column[0]));

    // A new second: green-tinted time marks on every third sample and row.
    Second();
    const uint8_t g0 = mline.column[0];
    EXPECT_EQ(strip.At(0, top), (uint32_t{g0} << 16) | 0xC800u | g0);
    const uint8_t g1 = mline.column[1];
    EXPECT_EQ(strip.At(0, top + 1), GreyPixel(g1));
    EXPECT_EQ(strip.At(0, 0), 0x00C800u);
    // The background above the image is the settings colour BCOLOR 0x0E0000 (a colour value:
    // blue 14), written as the pixel 0x00000E.
    EXPECT_EQ(strip.At(0, 1), 0x00000Eu);
}

TEST_F(TickTest, ScrollModeShiftsTheStripRight) {
    Attach();
    CreateWith();
    Unfreeze();
    dlg->ExecCommand(kCmdDisplayBM);
    Proc().m_bMScroll = true;
    ASSERT_TRUE(Step(1));
    const int top = Proc().Cine().GetMLine().firstRow;
    for (int i = 0; i < 11; ++i)
        dlg->OnTickTimer();
    const Image32& strip = dlg->m_viewRight.BackBuffer();
    const std::vector<uint32_t> first = Column(strip, 0, top);
    EXPECT_NE(first, Column(strip, 1, top));
    dlg->OnTickTimer();
    EXPECT_EQ(Column(strip, 1, top), first);
    EXPECT_EQ(dlg->m_nMSweepColumn, 0);
}

TEST_F(TickTest, AHeldReviewButtonRepeatsFromTheSixthTickOfTimer3) {
    CreateWith();
    dlg->m_nHeldPicButton = 2;
    dlg->m_nHeldTicks = 0;
    for (int i = 0; i < 5; ++i)
        dlg->OnTimer(kTimerHeldButton);
    EXPECT_EQ(review.next, 0);
    dlg->OnTimer(kTimerHeldButton);
    dlg->OnTimer(kTimerHeldButton);
    EXPECT_EQ(review.next, 2);
    EXPECT_EQ(review.prev, 0);
    // Timer 1: the playback step, then the tick.
    dlg->OnTimer(kTimerPlayback);
    EXPECT_EQ(review.steps, 1);
}
