#include "platform/UiThread.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace platform;

TEST(UiDispatcher, QueuedWorkRunsInOrderIncludingWorkPostedByWork) {
    QueuedUiDispatcher ui;
    std::vector<int> order;
    ui.Post([&] {
        order.push_back(1);
        ui.Post([&] { order.push_back(3); });
    });
    std::thread worker([&] { ui.Post([&] { order.push_back(2); }); });
    worker.join();
    EXPECT_EQ(ui.RunPending(), 3);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(UiDispatcher, InstalledDispatcherReceivesPosts) {
    QueuedUiDispatcher ui;
    SetUiDispatcher(&ui);
    int ran = 0;
    PostToUi([&] { ++ran; });
    SetUiDispatcher(nullptr);
    EXPECT_EQ(ui.PendingCount(), 1u);
    ui.Pump();
    EXPECT_EQ(ran, 1);
}
