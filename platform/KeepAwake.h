// Keeping the system and the display awake while the probe images live, in place of the
// thread execution state of the original platform. On a desktop with a session bus it takes
// two inhibitors over D-Bus: the screensaver's (org.freedesktop.ScreenSaver on the session
// bus, so the display stays on) and logind's idle and sleep lock (org.freedesktop.login1 on
// the system bus). Without a session bus it does nothing. A service that is missing or refuses
// is skipped quietly: keeping awake is a convenience, never a condition for imaging.
#pragma once

#include <string>

namespace platform {

// What keeps the machine awake; tests install their own.
class IPowerInhibitor {
public:
    virtual ~IPowerInhibitor() = default;
    // Takes the inhibitors (the reason is shown by the desktop); nothing when already held.
    virtual void Inhibit(const std::string& reason) = 0;
    // Releases whatever is held.
    virtual void Release() = 0;
};

// true: keep the system and the display awake; false: let them sleep again. Idempotent and
// callable from any thread; the calls are made one at a time.
void KeepSystemAwake(bool awake);
bool IsKeptAwake();

// Replaces the inhibitor (not owned); nullptr restores the D-Bus one. Releases first.
void SetPowerInhibitor(IPowerInhibitor* inhibitor);

}  // namespace platform
