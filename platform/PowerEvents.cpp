#include "platform/PowerEvents.h"

#include <gio/gio.h>
#include <gio/gunixfdlist.h>
#include <unistd.h>

#include <cstdlib>
#include <future>
#include <mutex>
#include <string>

#include "platform/UiThread.h"

namespace platform {
namespace {

constexpr int kCallTimeoutMs = 2000;

std::string SystemBusAddress() {
    if (const char* env = std::getenv("DBUS_SYSTEM_BUS_ADDRESS"); env && *env)
        return env;
    const char* socket = "/var/run/dbus/system_bus_socket";
    if (access(socket, F_OK) != 0)
        return {};
    return std::string("unix:path=") + socket;
}

}  // namespace

// What the watcher thread and the posted work share. `alive` goes false at Stop, so
// announcements still queued for the UI thread do nothing.
struct PowerEventWatcher::Shared {
    std::mutex mutex;
    bool alive = true;
    Handler handler;
    int delayLock = -1;
    GDBusConnection* bus = nullptr;
    GMainLoop* loop = nullptr;

    void ReleaseLock() {
        std::lock_guard lock(mutex);
        if (delayLock >= 0)
            close(delayLock);  // logind goes on with the sleep once the last descriptor is closed
        delayLock = -1;
    }

    void TakeLock() {
        {
            std::lock_guard lock(mutex);
            if (!alive || delayLock >= 0)
                return;
        }
        GUnixFDList* fds = nullptr;
        GVariant* r = g_dbus_connection_call_with_unix_fd_list_sync(
            bus, "org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
            "Inhibit", g_variant_new("(ssss)", "sleep", "Torvik Viewer", "Stopping the probe", "delay"),
            G_VARIANT_TYPE("(h)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &fds, nullptr, nullptr);
        int fd = -1;
        if (r) {
            gint32 index = -1;
            g_variant_get(r, "(h)", &index);
            if (fds && index >= 0 && index < g_unix_fd_list_get_length(fds))
                fd = g_unix_fd_list_get(fds, index, nullptr);
            g_variant_unref(r);
        }
        if (fds)
            g_object_unref(fds);
        std::lock_guard lock(mutex);
        if (alive && delayLock < 0) {
            delayLock = fd;
        } else if (fd >= 0) {
            close(fd);
        }
    }
};

namespace {

void OnPrepareForSleep(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, gpointer data) {
    auto* self = static_cast<std::shared_ptr<PowerEventWatcher::Shared>*>(data);
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)")))
        return;
    gboolean sleeping = FALSE;
    g_variant_get(parameters, "(b)", &sleeping);
    std::shared_ptr<PowerEventWatcher::Shared> shared = *self;
    const PowerEvent event = sleeping ? PowerEvent::Suspend : PowerEvent::Resume;
    PostToUi([shared, event] {
        PowerEventWatcher::Handler handler;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->alive)
                handler = shared->handler;
        }
        if (handler)
            handler(event);
        if (event == PowerEvent::Suspend)
            shared->ReleaseLock();  // only now may the machine sleep
    });
    if (!sleeping)
        shared->TakeLock();
}

}  // namespace

PowerEventWatcher::~PowerEventWatcher() {
    Stop();
}

bool PowerEventWatcher::Start(Handler handler) {
    Stop();
    const std::string address = SystemBusAddress();
    if (address.empty())
        return false;
    auto shared = std::make_shared<Shared>();
    shared->handler = std::move(handler);
    const auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                         G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    shared->bus = g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
    if (!shared->bus)
        return false;
    std::promise<void> subscribed;
    std::future<void> ready = subscribed.get_future();
    m_shared = shared;
    m_thread = std::thread([shared, &subscribed] {
        GMainContext* context = g_main_context_new();
        g_main_context_push_thread_default(context);
        shared->loop = g_main_loop_new(context, FALSE);
        auto* token = new std::shared_ptr<Shared>(shared);
        const guint id = g_dbus_connection_signal_subscribe(
            shared->bus, "org.freedesktop.login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
            "/org/freedesktop/login1", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &OnPrepareForSleep, token,
            [](gpointer p) { delete static_cast<std::shared_ptr<Shared>*>(p); });
        shared->TakeLock();
        subscribed.set_value();
        g_main_loop_run(shared->loop);
        g_dbus_connection_signal_unsubscribe(shared->bus, id);
        // Let the unsubscription's clean-up run in this context before it goes.
        while (g_main_context_iteration(context, FALSE)) {
        }
        g_main_loop_unref(shared->loop);
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    });
    ready.wait();
    return true;
}

void PowerEventWatcher::Stop() {
    if (!m_shared)
        return;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->alive = false;
        m_shared->handler = nullptr;
    }
    // Quit from inside the loop's own context: a quit before the loop runs would be lost.
    GSource* quit = g_idle_source_new();
    g_source_set_callback(
        quit,
        [](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        m_shared->loop, nullptr);
    g_source_attach(quit, g_main_loop_get_context(m_shared->loop));
    g_source_unref(quit);
    if (m_thread.joinable())
        m_thread.join();
    m_shared->ReleaseLock();
    g_dbus_connection_close_sync(m_shared->bus, nullptr, nullptr);
    g_object_unref(m_shared->bus);
    m_shared->bus = nullptr;
    m_shared.reset();
}

}  // namespace platform
