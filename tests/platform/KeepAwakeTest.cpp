// Keeping the machine awake while imaging: the process-wide switch over a replaceable
// inhibitor, and the D-Bus inhibitor against stand-ins for the screensaver and logind on a
// private bus.
#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "../support/TestSupport.h"
#include "platform/KeepAwake.h"

namespace {

struct CountingInhibitor : platform::IPowerInhibitor {
    void Inhibit(const std::string& reason) override { reasons.push_back(reason); }
    void Release() override { ++releases; }
    std::vector<std::string> reasons;
    int releases = 0;
};

}  // namespace

TEST(KeepAwake, InhibitsOnceAndReleasesOnce) {
    CountingInhibitor inhibitor;
    platform::SetPowerInhibitor(&inhibitor);
    platform::KeepSystemAwake(true);
    platform::KeepSystemAwake(true);
    EXPECT_TRUE(platform::IsKeptAwake());
    EXPECT_EQ(inhibitor.reasons.size(), 1u);
    platform::KeepSystemAwake(false);
    platform::KeepSystemAwake(false);
    EXPECT_EQ(inhibitor.releases, 1);
    platform::KeepSystemAwake(true);
    platform::SetPowerInhibitor(nullptr);  // a replaced inhibitor lets go first
    EXPECT_EQ(inhibitor.releases, 2);
    EXPECT_FALSE(platform::IsKeptAwake());
}

TEST(KeepAwake, WithoutASessionBusNothingIsAskedOfAnyone) {
    testsupport::ScopedEnv session("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    testsupport::ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
    testsupport::ScopedEnv display("DISPLAY", std::nullopt);
    platform::KeepSystemAwake(true);  // must neither block nor start a bus
    EXPECT_TRUE(platform::IsKeptAwake());
    platform::KeepSystemAwake(false);
}

namespace {

constexpr const char* kServicesXml = R"(<node>
  <interface name="org.freedesktop.ScreenSaver">
    <method name="Inhibit"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="u" direction="out"/></method>
    <method name="UnInhibit"><arg type="u" direction="in"/></method>
  </interface>
  <interface name="org.freedesktop.login1.Manager">
    <method name="Inhibit"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="h" direction="out"/></method>
  </interface>
</node>)";

// The screensaver and logind as far as the inhibitor uses them, served on their own thread.
class Services {
public:
    explicit Services(const std::string& address) {
        thread_ = std::thread([this, address] { Run(address); });
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return ready_; });
    }
    ~Services() {
        g_main_loop_quit(loop_);
        thread_.join();
        if (sleepLockWriteEnd_ >= 0)
            close(sleepLockWriteEnd_);
    }

    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // Whether anyone still holds the sleep lock handed out.
    bool SleepLockHeld() {
        pollfd p{sleepLockWriteEnd_, 0, 0};
        return poll(&p, 1, 0) == 0;  // POLLERR once every reader closed
    }

private:
    void Run(const std::string& address) {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        loop_ = g_main_loop_new(context, FALSE);
        auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                       G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        GDBusConnection* bus =
            g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kServicesXml, nullptr);
        static const GDBusInterfaceVTable vtable = {&Services::OnCall, nullptr, nullptr, {}};
        g_dbus_connection_register_object(bus, "/org/freedesktop/ScreenSaver", node->interfaces[0], &vtable,
                                          this, nullptr, nullptr);
        g_dbus_connection_register_object(bus, "/org/freedesktop/login1", node->interfaces[1], &vtable, this,
                                          nullptr, nullptr);
        for (const char* name : {"org.freedesktop.ScreenSaver", "org.freedesktop.login1"}) {
            GVariant* r = g_dbus_connection_call_sync(
                bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                g_variant_new("(su)", name, 0u), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
            if (r)
                g_variant_unref(r);
        }
        {
            std::lock_guard lock(mutex_);
            ready_ = true;
        }
        cv_.notify_all();
        g_main_loop_run(loop_);
        g_dbus_node_info_unref(node);
        g_object_unref(bus);
        g_main_loop_unref(loop_);
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
                       const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation,
                       gpointer data) {
        auto* self = static_cast<Services*>(data);
        gchar* args = g_variant_print(parameters, FALSE);
        {
            std::lock_guard lock(self->mutex_);
            self->calls_.push_back(std::string(interface) + "." + method + args);
        }
        g_free(args);
        if (std::string(interface) == "org.freedesktop.ScreenSaver") {
            g_dbus_method_invocation_return_value(
                invocation, std::string(method) == "Inhibit" ? g_variant_new("(u)", 42u) : nullptr);
            return;
        }
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        self->sleepLockWriteEnd_ = ends[1];
        GUnixFDList* fds = g_unix_fd_list_new_from_array(&ends[0], 1);  // takes the read end
        g_dbus_method_invocation_return_value_with_unix_fd_list(invocation, g_variant_new("(h)", 0), fds);
        g_object_unref(fds);
    }

    std::thread thread_;
    GMainLoop* loop_ = nullptr;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool ready_ = false;
    std::vector<std::string> calls_;
    int sleepLockWriteEnd_ = -1;
};

}  // namespace

TEST(KeepAwake, AsksTheScreensaverAndLogindAndLetsGoAgain) {
    gchar* daemon = g_find_program_in_path("dbus-daemon");
    if (!daemon)
        GTEST_SKIP() << "no dbus-daemon to run a private bus";
    g_free(daemon);
    GTestDBus* bus = g_test_dbus_new(G_TEST_DBUS_NONE);
    g_test_dbus_up(bus);
    const std::string address = g_test_dbus_get_bus_address(bus);
    testsupport::ScopedEnv system("DBUS_SYSTEM_BUS_ADDRESS", address);  // logind's stand-in too
    {
        Services services(address);
        platform::KeepSystemAwake(true);
        ASSERT_TRUE(services.SleepLockHeld());
        platform::KeepSystemAwake(false);
        const std::vector<std::string> calls = services.Calls();
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[0],
                  "org.freedesktop.ScreenSaver.Inhibit('Torvik Viewer', 'Live ultrasound imaging')");
        EXPECT_EQ(calls[1],
                  "org.freedesktop.login1.Manager.Inhibit('idle:sleep', 'Torvik Viewer', 'Live ultrasound "
                  "imaging', "
                  "'block')");
        EXPECT_EQ(calls[2], "org.freedesktop.ScreenSaver.UnInhibit(42,)");
        EXPECT_FALSE(services.SleepLockHeld());
    }
    g_test_dbus_down(bus);
    g_object_unref(bus);
}
