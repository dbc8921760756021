// The message pump of long operations, run from inside work that an outer pump is running
// (a handler that waits, pumping, for a freeze or a store): it must still dispatch timers,
// key presses and paints, and posted work must keep its order.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "app/WxUiDispatcher.h"
#include "common/SupportUtil.h"
#include "platform/UiThread.h"
#include "tests/app/WxTestSupport.h"

using wxtest::Flush;

namespace {

// Counts the paints and key presses that reach it.
class ProbeWindow : public wxWindow {
public:
    explicit ProbeWindow(wxWindow* parent) : wxWindow(parent, wxID_ANY, wxPoint(10, 10), wxSize(200, 100)) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(this);
            ++paints;
        });
        Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) { keys.push_back(e.GetKeyCode()); });
    }
    int paints = 0;
    std::vector<int> keys;
};

// Pumps as a long operation does while it waits, until `done` or the long deadline has passed.
bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        PumpWaitingMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class NestedPumpTest : public wxtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        InstallWxUiDispatcher();
    }
    void TearDown() override {
        UninstallWxUiDispatcher();
        WindowTest::TearDown();
    }
    // The running program pumps with its main loop active; a pump inside a pump is only
    // nested when both yield on that one loop.
    wxGUIEventLoop loop;
    wxEventLoopActivator activate{&loop};
};

}  // namespace

TEST_F(NestedPumpTest, ANestedPumpDispatchesTimerTicksKeyPressesAndPaints) {
    auto* probe = new ProbeWindow(frame);
    probe->SetFocus();
    Flush();
    ASSERT_EQ(wxWindow::FindFocus(), probe) << "the display gave no keyboard focus";

    wxTimer timer;
    int ticks = 0;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
    bool ran = false, nested = false, sawTick = false, sawPaint = false, sawKey = false;
    platform::PostToUi([&] {
        ran = true;
        nested = wxEventLoopBase::GetActive()->IsYielding();  // run by the outer pump
        timer.StartOnce(10);
        sawTick = PumpUntil([&] { return ticks > 0; });
        const int paintsBefore = probe->paints;
        probe->Refresh();
        sawPaint = PumpUntil([&] { return probe->paints > paintsBefore; });
        wxUIActionSimulator().Char('K');
        sawKey = PumpUntil([&] { return !probe->keys.empty(); });
    });
    PumpWaitingMessages();
    ASSERT_TRUE(ran);
    EXPECT_TRUE(nested);
    EXPECT_TRUE(sawTick) << "no timer tick inside the nested pump";
    EXPECT_TRUE(sawPaint) << "no paint inside the nested pump";
    EXPECT_TRUE(sawKey) << "no key press inside the nested pump";
    if (!probe->keys.empty()) {
        EXPECT_EQ(probe->keys[0], 'K');
    }
}

TEST_F(NestedPumpTest, PostedWorkRunsInPostingOrderAcrossNestedPumps) {
    std::vector<int> order;
    // The first item pumps: the items posted after it run inside its pump, in order, and
    // what it posts while it pumps runs after them; three levels deep.
    platform::PostToUi([&] {
        order.push_back(1);
        platform::PostToUi([&] {
            order.push_back(4);
            platform::PostToUi([&] { order.push_back(6); });
            PumpWaitingMessages();
            order.push_back(7);
        });
        PumpWaitingMessages();
        order.push_back(8);
    });
    platform::PostToUi([&] { order.push_back(2); });
    std::thread worker([&] { platform::PostToUi([&] { order.push_back(3); }); });
    worker.join();
    platform::PostToUi([&] { order.push_back(5); });
    PumpWaitingMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 5, 4, 6, 7, 8}));
}
