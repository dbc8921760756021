#include "platform/Event.h"
#include "tests/support/TestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using platform::Event;
using platform::kWaitTimeout;
using platform::WaitAny;

TEST(Event, AutoResetIsConsumedByOneWait) {
    Event e(Event::Reset::Auto);
    EXPECT_FALSE(e.Wait(0));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0));
}

TEST(Event, ManualResetStaysSetUntilReset) {
    Event e(Event::Reset::Manual, true);
    EXPECT_TRUE(e.Wait(0));
    EXPECT_TRUE(e.Wait(0));
    e.ResetEvent();
    EXPECT_FALSE(e.Wait(10));
}

TEST(Event, WaitAnyReportsLowestSetIndexAndTimeout) {
    Event a, b;
    EXPECT_EQ(WaitAny(a, b, 20), kWaitTimeout);
    b.Set();
    EXPECT_EQ(WaitAny(a, b, 0), 1);
    a.Set();
    b.Set();
    EXPECT_EQ(WaitAny(a, b, 0), 0);
    EXPECT_EQ(WaitAny(a, b, 0), 1);  // b was left set
}

TEST(Event, WaitAnyWakesOnSetFromAnotherThread) {
    Event frameReady, quit;
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        quit.Set();
    });
    EXPECT_EQ(WaitAny(frameReady, quit, platform::kInfinite), 1);
    setter.join();
}

TEST(Event, AutoResetWakesExactlyOneOfTwoWaiters) {
    Event e(Event::Reset::Auto);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (e.Wait(static_cast<uint32_t>(testsupport::kPatience.count())))
            ++woken;
    };
    std::thread t1(waiter), t2(waiter);
    e.Set();
    EXPECT_TRUE(testsupport::WaitUntil([&] { return woken >= 1; }, "a waiter woken"));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(woken.load(), 1);  // the set was used up
    e.Set();                     // for the other one
    t1.join();
    t2.join();
    EXPECT_EQ(woken.load(), 2);
}

TEST(Event, ManySetsAcrossThreadsAreNeverLost) {
    // A producer/consumer hand-off: each Set is matched by a consumer wake-up or coalesced,
    // and the consumer always sees the final count.
    Event ready(Event::Reset::Auto), quit(Event::Reset::Manual);
    std::atomic<int> produced{0};
    int seen = 0;
    std::thread consumer([&] {
        for (;;) {
            const int r = WaitAny(ready, quit, platform::kInfinite);
            seen = produced.load();
            if (r == 1) return;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        produced.fetch_add(1);
        ready.Set();
    }
    quit.Set();
    consumer.join();
    EXPECT_EQ(seen, 2000);
}
