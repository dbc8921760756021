// The safety notice's showing flag: the notice is shown at most once at a time. The flag is
// guarded by a timed mutex whose waits give up after 100 ms.
#pragma once

#include <chrono>
#include <mutex>

class CRestrictionGuard {
public:
    static constexpr std::chrono::milliseconds kWait{100};

    // True when the notice may be shown now; the flag is then set. False when it is already
    // showing, or when the flag could not be reached in time (nothing is shown twice).
    bool BeginShow();
    // Clears the flag when the notice ends; gives up silently when it cannot be reached.
    void EndShow();
    bool IsShowing();

    // For tests: the mutex that guards the flag.
    std::timed_mutex& Mutex() { return m_semShow; }

private:
    std::timed_mutex m_semShow;
    bool m_bShowing = false;
};
