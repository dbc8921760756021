// Who stores and with what: the values every store record carries besides its id and type.
#pragma once

#include <cstdint>
#include <string>

namespace archive {

struct StoreIdentity {
    std::string patientId;   // the current patient
    int32_t probeType = 0;   // ProbeType of the connected probe
    std::string hwInfo;      // FormatHardwareId of the probe
    std::string appVersion;  // the program's version text
};

}  // namespace archive
