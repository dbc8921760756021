// String ids of the probe link's messages (texts in resources/strings/probe.inc). These texts
// have no ids of their own elsewhere; 30200..30299 belong here.
#pragma once

enum ProbeStringId : int {
    IDS_PROBE_NOT_FOUND = 30201,
    IDS_PROBE_ERROR_CAPTION = 30202,
    IDS_PROBE_NOT_SUPPORTED = 30203,
    IDS_PROBE_RECONNECT = 30204,
    IDS_PROBE_LOG_OPEN_ERROR = 30205,
    IDS_PROBE_HW_PREFIX = 30206,
};
