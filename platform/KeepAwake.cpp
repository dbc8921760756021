#include "platform/KeepAwake.h"

#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

constexpr const char* kApplication = "Torvik Viewer";
constexpr int kCallTimeoutMs = 2000;

// A connection to the session bus, only when one is there: GIO would otherwise try to start
// one through X11.
GDBusConnection* ConnectSessionBus() {
    std::string address;
    if (const char* env = std::getenv("DBUS_SESSION_BUS_ADDRESS"); env && *env) {
        address = env;
    } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        const std::string socket = std::string(runtime) + "/bus";
        if (access(socket.c_str(), F_OK) != 0)
            return nullptr;
        address = "unix:path=" + socket;
    } else {
        return nullptr;
    }
    const auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                         G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    return g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
}

class DBusInhibitor : public IPowerInhibitor {
public:
    ~DBusInhibitor() override { Release(); }

    void Inhibit(const std::string& reason) override {
        if (session_)
            return;
        session_ = ConnectSessionBus();
        if (!session_)
            return;
        InhibitScreenSaver(reason);
        InhibitSleep(reason);
    }

    void Release() override {
        if (session_ && haveCookie_) {
            GVariant* r = g_dbus_connection_call_sync(
                session_, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                "org.freedesktop.ScreenSaver", "UnInhibit", g_variant_new("(u)", cookie_), nullptr,
                G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
            if (r)
                g_variant_unref(r);
        }
        haveCookie_ = false;
        if (sleepLock_ >= 0)
            close(sleepLock_);  // logind drops the lock with its last descriptor
        sleepLock_ = -1;
        if (session_)
            g_object_unref(session_);  // the screensaver also drops inhibitors of a closed connection
        session_ = nullptr;
    }

private:
    void InhibitScreenSaver(const std::string& reason) {
        GVariant* r = g_dbus_connection_call_sync(
            session_, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
            "org.freedesktop.ScreenSaver", "Inhibit", g_variant_new("(ss)", kApplication, reason.c_str()),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, nullptr);
        if (!r)
            return;
        g_variant_get(r, "(u)", &cookie_);
        haveCookie_ = true;
        g_variant_unref(r);
    }

    void InhibitSleep(const std::string& reason) {
        GDBusConnection* system = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
        if (!system)
            return;
        GUnixFDList* fds = nullptr;
        GVariant* r = g_dbus_connection_call_with_unix_fd_list_sync(
            system, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
            "Inhibit", g_variant_new("(ssss)", "idle:sleep", kApplication, reason.c_str(), "block"),
            G_VARIANT_TYPE("(h)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &fds, nullptr, nullptr);
        if (r) {
            gint32 index = -1;
            g_variant_get(r, "(h)", &index);
            if (fds && index >= 0 && index < g_unix_fd_list_get_length(fds))
                sleepLock_ = g_unix_fd_list_get(fds, index, nullptr);
            g_variant_unref(r);
        }
        if (fds)
            g_object_unref(fds);
        g_object_unref(system);
    }

    GDBusConnection* session_ = nullptr;
    guint32 cookie_ = 0;
    bool haveCookie_ = false;
    int sleepLock_ = -1;
};

struct State {
    std::mutex mutex;
    DBusInhibitor dbus;
    IPowerInhibitor* inhibitor = &dbus;
    bool awake = false;
};

State& TheState() {
    static State* state = new State;  // lives to the end of the process
    return *state;
}

}  // namespace

void KeepSystemAwake(bool awake) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (awake == s.awake)
        return;
    s.awake = awake;
    if (awake) {
        s.inhibitor->Inhibit("Live ultrasound imaging");
    } else {
        s.inhibitor->Release();
    }
}

bool IsKeptAwake() {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    return s.awake;
}

void SetPowerInhibitor(IPowerInhibitor* inhibitor) {
    State& s = TheState();
    std::lock_guard lock(s.mutex);
    if (s.awake)
        s.inhibitor->Release();
    s.awake = false;
    s.inhibitor = inhibitor ? inhibitor : &s.dbus;
}

}  // namespace platform
