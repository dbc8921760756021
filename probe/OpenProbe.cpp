#include "probe/OpenProbe.h"

#include <new>
#include <system_error>

#include "common/DebugLog.h"
#include "platform/MessageBox.h"
#include "probe/ProbeDataUM716C.h"
#include "probe/ProbeIdentityText.h"
#include "probe/ProbeStrings.h"
#include "resources/StringTable.h"

std::atomic<IProbeData*> g_pProbe{nullptr};
std::unique_ptr<std::thread> g_pProbeThread;

namespace {

void ShowProbeError(const std::string& text) {
    platform::ShowMessageBox(text, resources::LoadString(IDS_PROBE_ERROR_CAPTION),
                             platform::MsgIcon::Information);
}

bool StartProbeThread(IProbeData* probe) {
    try {
        g_pProbeThread = std::make_unique<std::thread>(ProbeThreadProc, probe);
    } catch (const std::system_error& e) {
        DebugLog("probe watch thread: %s\n", e.what());
        return false;
    }
    return true;
}

bool IdentityAccepted(IProbeData& probe, const ProbeIdentity& remembered) {
    const bool firstProbe =
        remembered.hardwareId == 0 && remembered.versionB == 0 && remembered.versionA == 0;
    if (firstProbe && probe.IsSupportedVersion())
        return true;
    return probe.MatchesIdentity(remembered.hardwareId, remembered.versionB, remembered.versionA) &&
           probe.IsSupportedVersion();
}

}  // namespace

int ProbeThreadProc(IProbeData* probe) {
    if (!probe)
        return 0;
    return probe->WatchLoop() ? 1 : 0;
}

void JoinProbeThread() {
    if (g_pProbeThread && g_pProbeThread->joinable())
        g_pProbeThread->join();
    g_pProbeThread.reset();
}

void ShutdownProbe(IProbeHost* mainWindow) {
    IProbeData* probe = g_pProbe.load();
    if (!probe)
        return;
    const int state = probe->GetScanState();
    if (state != ProbeScanNeverStarted && state != ProbeScanStopped)
        probe->StopStreaming();
    probe->RequestStop();
    JoinProbeThread();
    g_pProbe = nullptr;
    // A hand-back that read g_pProbe before it was cleared ends before the image thread is idle.
    if (mainWindow)
        mainWindow->WaitImageThreadIdle();
    probe->Close();
    delete probe;
}

bool OpenProbe(IProbeHost* mainWindow) {
    if (g_pProbe.load()) {
        ShutdownProbe(mainWindow);
        return false;
    }
    if (!mainWindow || !mainWindow->HasLiveImageProcessor())
        return false;

    auto* probe = new (std::nothrow) CProbeDataUM716C;
    g_pProbe = probe;
    if (!probe || !probe->Open(mainWindow->GetWindowHandle())) {
        ShowProbeError(resources::LoadString(IDS_PROBE_NOT_FOUND));
    } else if (!IdentityAccepted(*probe, mainWindow->GetRememberedProbeIdentity())) {
        ShowProbeError(mainWindow->IsProbeLost()
                           ? resources::LoadString(IDS_PROBE_RECONNECT)
                           : resources::LoadString(IDS_PROBE_NOT_SUPPORTED) + "\r\n" + GetHardwareIdLine());
    } else if (mainWindow->InitProbeImaging() && StartProbeThread(probe)) {
        return true;
    }
    ShutdownProbe(mainWindow);
    return false;
}
