#include "probe/ProbeIdentityText.h"

#include "platform/StringUtil.h"
#include "probe/OpenProbe.h"
#include "probe/ProbeStrings.h"
#include "resources/StringTable.h"

std::string FormatHardwareId(uint32_t hardwareId, uint32_t versionB, uint32_t versionA) {
    if (hardwareId == 0 && versionB == 0 && versionA == 0) {
        if (IProbeData* probe = g_pProbe.load()) {
            hardwareId = probe->GetHardwareId();
            versionB = probe->GetVersionB();
            versionA = probe->GetVersionA();
        }
    }
    for (uint32_t word : {hardwareId, versionB, versionA}) {
        if (word == 0 || word == 0xFFFFFFFF)
            return "";
    }
    return platform::Format("%08X-%08X-%08X", hardwareId, versionB, versionA);
}

std::string GetHardwareIdLine() {
    const std::string id = FormatHardwareId(0, 0, 0);
    return resources::LoadString(IDS_PROBE_HW_PREFIX) + (id.empty() ? std::string("        -") : id);
}
