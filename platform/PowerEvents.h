// System suspend and resume, in place of the power broadcasts of the original platform.
// logind announces a sleep with its PrepareForSleep(true) signal on the system bus and waits
// for every "delay" inhibitor to be released before it suspends; PrepareForSleep(false)
// follows the resume. The watcher holds such a delay inhibitor, hands each announcement to
// the UI thread through PostToUi and lets go of the inhibitor only after the handler has run
// there, so the probe is stopped before the machine sleeps. A new inhibitor is taken after
// the resume. Without a system bus, or without logind on it, nothing is watched.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace platform {

enum class PowerEvent { Suspend, Resume };

class PowerEventWatcher {
public:
    using Handler = std::function<void(PowerEvent)>;

    PowerEventWatcher() = default;
    ~PowerEventWatcher();  // Stop()
    PowerEventWatcher(const PowerEventWatcher&) = delete;
    PowerEventWatcher& operator=(const PowerEventWatcher&) = delete;

    // Connects to the system bus ($DBUS_SYSTEM_BUS_ADDRESS, else the standard socket when it
    // exists) and starts watching. The handler runs on the UI thread. False, and nothing
    // watched, without a bus.
    bool Start(Handler handler);
    // Stops watching, releases the inhibitor; announcements already posted are dropped.
    // Call from the UI thread.
    void Stop();
    bool IsWatching() const { return m_thread.joinable(); }

    struct Shared;  // between the watcher thread and the work it posts

private:
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

}  // namespace platform
