// Status codes from system errors: the calling thread's last error after a failed driver
// request becomes the status the bridge API returns.
#pragma once

#include <cstdint>

#include "probe/bridge/BridgeApi.h"

namespace bridge {

Status MapSystemError(uint32_t error);
// Maps the calling thread's last system error.
Status MapLastError();

}  // namespace bridge
