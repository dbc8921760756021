// Suspend and resume from logind: against a stand-in logind on a private bus, the watcher
// holds a delay lock, hands each announcement to the UI thread, lets the machine sleep only
// after the handler ran there, and takes a new lock after the resume.
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "../support/TestSupport.h"
#include "platform/PowerEvents.h"
#include "platform/UiThread.h"

namespace {

constexpr const char* kLogindXml = R"(<node>
  <interface name="org.freedesktop.login1.Manager">
    <method name="Inhibit"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="h" direction="out"/></method>
  </interface>
</node>)";

// logind as far as the watcher uses it: Inhibit hands out one end of a pipe, whose other end
// tells whether the lock is still held; PrepareForSleep is sent on request.
class FakeLogind {
public:
    explicit FakeLogind(const std::string& address) {
        thread_ = std::thread([this, address] { Run(address); });
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return ready_; });
    }
    ~FakeLogind() {
        g_main_loop_quit(loop_);
        thread_.join();
        for (int fd : writeEnds_)
            close(fd);
    }

    void SendPrepareForSleep(bool sleeping) {
        g_dbus_connection_emit_signal(bus_, nullptr, "/org/freedesktop/login1",
                                      "org.freedesktop.login1.Manager", "PrepareForSleep",
                                      g_variant_new("(b)", sleeping), nullptr);
        g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
    }
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // Whether the lock handed out as number `n` (0 the first) is still held.
    bool LockHeld(size_t n) {
        std::lock_guard lock(mutex_);
        if (n >= writeEnds_.size())
            return false;
        pollfd p{writeEnds_[n], 0, 0};
        return poll(&p, 1, 0) == 0;  // POLLERR once every reader closed
    }
    size_t LocksHandedOut() {
        std::lock_guard lock(mutex_);
        return writeEnds_.size();
    }

private:
    void Run(const std::string& address) {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        loop_ = g_main_loop_new(context, FALSE);
        auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                       G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        bus_ = g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kLogindXml, nullptr);
        static const GDBusInterfaceVTable vtable = {&FakeLogind::OnCall, nullptr, nullptr, {}};
        g_dbus_connection_register_object(bus_, "/org/freedesktop/login1", node->interfaces[0], &vtable, this,
                                          nullptr, nullptr);
        GVariant* r = g_dbus_connection_call_sync(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "RequestName",
                                                  g_variant_new("(su)", "org.freedesktop.login1", 0u),
                                                  nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (r)
            g_variant_unref(r);
        {
            std::lock_guard lock(mutex_);
            ready_ = true;
        }
        cv_.notify_all();
        g_main_loop_run(loop_);
        g_dbus_node_info_unref(node);
        g_object_unref(bus_);
        g_main_loop_unref(loop_);
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                       GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<FakeLogind*>(data);
        gchar* args = g_variant_print(parameters, FALSE);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        {
            std::lock_guard lock(self->mutex_);
            self->calls_.push_back(std::string(method) + args);
            self->writeEnds_.push_back(ends[1]);
        }
        g_free(args);
        GUnixFDList* fds = g_unix_fd_list_new_from_array(&ends[0], 1);  // takes the read end
        g_dbus_method_invocation_return_value_with_unix_fd_list(invocation, g_variant_new("(h)", 0), fds);
        g_object_unref(fds);
    }

    std::thread thread_;
    GMainLoop* loop_ = nullptr;
    GDBusConnection* bus_ = nullptr;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool ready_ = false;
    std::vector<std::string> calls_;
    std::vector<int> writeEnds_;
};

// Runs the UI queue until it has run something (a loaded machine can be slow to pass a bus
// message on).
::testing::AssertionResult PumpUntilWork(platform::QueuedUiDispatcher& ui) {
    return testsupport::WaitUntil([&] { return ui.RunPending() > 0; }, "the bus message on the UI queue");
}

class PowerEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        gchar* daemon = g_find_program_in_path("dbus-daemon");
        if (!daemon)
            GTEST_SKIP() << "no dbus-daemon to run a private bus";
        g_free(daemon);
        bus_ = g_test_dbus_new(G_TEST_DBUS_NONE);
        g_test_dbus_up(bus_);
        address_ = g_test_dbus_get_bus_address(bus_);
        env_.emplace("DBUS_SYSTEM_BUS_ADDRESS", address_);
        platform::SetUiDispatcher(&ui_);
    }
    void TearDown() override {
        platform::SetUiDispatcher(nullptr);
        env_.reset();
        if (bus_) {
            g_test_dbus_down(bus_);
            g_object_unref(bus_);
        }
    }

    GTestDBus* bus_ = nullptr;
    std::string address_;
    std::optional<testsupport::ScopedEnv> env_;
    platform::QueuedUiDispatcher ui_;
};

}  // namespace

TEST_F(PowerEventsTest, SuspendRunsOnTheUiThreadBeforeTheSleepGoesOnAndResumeTakesANewLock) {
    FakeLogind logind(address_);
    std::vector<platform::PowerEvent> seen;
    bool lockHeldInHandler = false;
    platform::PowerEventWatcher watcher;
    ASSERT_TRUE(watcher.Start([&](platform::PowerEvent e) {
        seen.push_back(e);
        lockHeldInHandler = logind.LockHeld(0);
    }));
    ASSERT_EQ(logind.Calls().size(), 1u);
    EXPECT_EQ(logind.Calls()[0], "Inhibit('sleep', 'Torvik Viewer', 'Stopping the probe', 'delay')");
    EXPECT_TRUE(logind.LockHeld(0));

    logind.SendPrepareForSleep(true);
    ASSERT_TRUE(PumpUntilWork(ui_));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], platform::PowerEvent::Suspend);
    EXPECT_TRUE(lockHeldInHandler);  // the machine waited for the handler
    EXPECT_FALSE(logind.LockHeld(0));

    logind.SendPrepareForSleep(false);
    ASSERT_TRUE(PumpUntilWork(ui_));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], platform::PowerEvent::Resume);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return logind.LocksHandedOut() >= 2; }, "a new sleep lock"));
    EXPECT_TRUE(logind.LockHeld(1));

    watcher.Stop();
    // The bus's own copy of the descriptor goes with its reply message, which GLib's worker
    // thread may free a moment after Stop.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return !logind.LockHeld(1); }, "the sleep lock released at Stop"));
}

TEST_F(PowerEventsTest, AnAnnouncementStillQueuedAtStopIsDropped) {
    FakeLogind logind(address_);
    int calls = 0;
    platform::PowerEventWatcher watcher;
    ASSERT_TRUE(watcher.Start([&](platform::PowerEvent) { ++calls; }));
    logind.SendPrepareForSleep(true);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return ui_.PendingCount() > 0; }, "the announcement queued"));
    ASSERT_EQ(ui_.PendingCount(), 1u);
    watcher.Stop();
    ui_.RunPending();
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(logind.LockHeld(0));
}

TEST(PowerEvents, WithoutASystemBusNothingIsWatched) {
    testsupport::ScopedEnv env("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/torvik-test-bus");
    platform::PowerEventWatcher watcher;
    EXPECT_FALSE(watcher.Start([](platform::PowerEvent) {}));
    EXPECT_FALSE(watcher.IsWatching());
    watcher.Stop();
}
