#include "common/EventHub.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// The hub is process-wide: each test uses its own kind numbers so tests stay independent.
std::vector<std::pair<int, void*>> g_calls;
void First(void* p) { g_calls.push_back({1, p}); }
void Second(void* p) { g_calls.push_back({2, p}); }

constexpr int32_t kKindOrder = 101;
constexpr int32_t kKindRemoval = 102;
constexpr int32_t kKindThreads = 103;

void RemovesItselfAndSecond(void* p) {
    g_calls.push_back({3, p});
    CEventHub::GetInstance().Unsubscribe(kKindRemoval, RemovesItselfAndSecond);
    CEventHub::GetInstance().Unsubscribe(kKindRemoval, Second);
    CEventHub::GetInstance().Subscribe(kKindRemoval, First);
}

std::atomic<int> g_threadCalls{0};
void CountCall(void*) { g_threadCalls.fetch_add(1); }

}  // namespace

TEST(EventHub, CallsInRegistrationOrderWithTheSamePayloadAndHonoursDuplicates) {
    auto& hub = CEventHub::GetInstance();
    g_calls.clear();
    hub.Publish(kKindOrder, nullptr);  // no callbacks: nothing happens
    EXPECT_TRUE(g_calls.empty());

    hub.Subscribe(kKindOrder, First);
    hub.Subscribe(kKindOrder, Second);
    hub.Subscribe(kKindOrder, First);
    int payload = 0;
    hub.Publish(kKindOrder, &payload);
    EXPECT_EQ(g_calls, (std::vector<std::pair<int, void*>>{{1, &payload}, {2, &payload}, {1, &payload}}));

    g_calls.clear();
    hub.Unsubscribe(kKindOrder, First);      // only the first entry goes
    hub.Unsubscribe(kKindOrder, CountCall);  // not registered: no change
    hub.Publish(kKindOrder, &payload);
    EXPECT_EQ(g_calls, (std::vector<std::pair<int, void*>>{{2, &payload}, {1, &payload}}));
    hub.Unsubscribe(kKindOrder, First);
    hub.Unsubscribe(kKindOrder, Second);
}

TEST(EventHub, ChangesDuringPublishTakeEffectOnTheNextPublish) {
    auto& hub = CEventHub::GetInstance();
    g_calls.clear();
    hub.Subscribe(kKindRemoval, RemovesItselfAndSecond);
    hub.Subscribe(kKindRemoval, Second);
    hub.Publish(kKindRemoval, nullptr);
    // The publication runs over the list as it stood when it began.
    EXPECT_EQ(g_calls, (std::vector<std::pair<int, void*>>{{3, nullptr}, {2, nullptr}}));
    g_calls.clear();
    hub.Publish(kKindRemoval, nullptr);
    EXPECT_EQ(g_calls, (std::vector<std::pair<int, void*>>{{1, nullptr}}));
    hub.Unsubscribe(kKindRemoval, First);
}

TEST(EventHub, PublishFromSeveralThreadsWhileSubscribing) {
    auto& hub = CEventHub::GetInstance();
    g_threadCalls = 0;
    hub.Subscribe(kKindThreads, CountCall);
    std::vector<std::thread> publishers;
    for (int t = 0; t < 4; ++t) {
        publishers.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) hub.Publish(kKindThreads, nullptr);
        });
    }
    for (int i = 0; i < 200; ++i) {
        hub.Subscribe(kKindThreads + 1, CountCall);
        hub.Unsubscribe(kKindThreads + 1, CountCall);
    }
    for (auto& t : publishers) t.join();
    EXPECT_EQ(g_threadCalls.load(), 4000);
    hub.Unsubscribe(kKindThreads, CountCall);
}
