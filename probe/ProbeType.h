// The kinds of probe the viewer knows. The type selects the probe's settings section and
// the scan geometry the image processor converts with.
#pragma once

enum ProbeType : int {
    ProbeTypeNone = 0,
    ProbeTypeConvex = 1,
    ProbeTypeLinear = 2,
};
