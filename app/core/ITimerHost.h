// The timers of the main window. The frame owns them (wxTimers on the UI thread) and calls
// CKALVEXDlg::OnTickTimer for the tick and CKALVEXDlg::OnTimer(id) for the window timers.
#pragma once

class ITimerHost {
public:
    virtual ~ITimerHost() = default;
    // The periodic tick (21 ms).
    virtual void StartTick(int periodMs) = 0;
    virtual void StopTick() = 0;
    // Window timers 1 (playback, 10 ms), 2 (button restore, 1 ms, one shot by KillTimer) and
    // 3 (held button, 100 ms). Starting a running timer restarts it with the new period.
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;
};
