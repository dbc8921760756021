// Opening the probe for the main window and the probe watch thread. OpenProbe creates the
// driver into g_pProbe, opens it, checks that the probe is one the program supports (and the
// same probe as before, once one was set up), lets the main window set up imaging for it and
// starts the watch thread. ShutdownProbe ends a driver in the full order: stream stopped,
// watch loop ended and joined, global cleared, hand-backs drained, closed, deleted.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "probe/IProbeData.h"

// The probe identity the main window remembers from the last probe it set up (all 0 before).
struct ProbeIdentity {
    uint32_t hardwareId = 0;
    uint32_t versionB = 0;
    uint32_t versionA = 0;
};

// What OpenProbe needs of the main window.
class IProbeHost {
public:
    virtual ~IProbeHost() = default;
    // The owner handed to IProbeData::Open.
    virtual void* GetWindowHandle() = 0;
    virtual bool HasLiveImageProcessor() = 0;
    // Raw frame buffers, geometry and image settings for the new driver (g_pProbe).
    virtual bool InitProbeImaging() = 0;
    virtual ProbeIdentity GetRememberedProbeIdentity() = 0;
    // The probe was closed by a system suspend.
    virtual bool IsProbeLost() = 0;
    // Returns once the image thread has handed back every buffer it held (the driver is about
    // to be deleted; the main window's raw-frame callback must see g_pProbe cleared by then).
    virtual void WaitImageThreadIdle() = 0;
};

// The one probe driver, or null. Set and cleared on the user-interface thread; read by the
// main window's raw-frame callback on any thread.
extern std::atomic<IProbeData*> g_pProbe;
// The probe watch thread; started by OpenProbe, ended by ShutdownProbe (or the close handler:
// IProbeData::RequestStop, then JoinProbeThread). User-interface thread only.
extern std::unique_ptr<std::thread> g_pProbeThread;

bool OpenProbe(IProbeHost* mainWindow);
// The watch thread's body: 0 without a driver, else 1 when the watch loop ended on a stop
// request and 0 when it failed.
int ProbeThreadProc(IProbeData* probe);
// Waits for the watch thread to end (after RequestStop) and forgets it.
void JoinProbeThread();
// Shuts the driver in g_pProbe down in the full order and deletes it. Nothing without one.
void ShutdownProbe(IProbeHost* mainWindow);
