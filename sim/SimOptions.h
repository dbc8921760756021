// How a simulated bridge with its probe is set up: which probe, how frames are paced, the
// chip's configuration at power-on, identity, seed and the fault script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/SimFaultScript.h"

namespace usbdriver::sim {

enum class SimPacing {
    RealTime,  // the pacing thread sends frames at the probe's frame rate
    Stepped,   // frames are sent only when a test calls StepFrames
    Unpaced,   // a frame is made whenever the host reads and nothing is waiting: as fast as it reads
};

struct SimOptions {
    bool linear = false;
    SimPacing pacing = SimPacing::RealTime;
    // Whether the chip already has the FIFO configuration the probe needs; when not, the
    // probe's pipes fail until the host rewrites the configuration.
    bool chipConfigured = true;
    uint64_t seed = 716;
    uint32_t hardwareId = 0;  // 0: the 716C's id for its kind
    uint32_t versionA = 0x20012901;
    uint32_t versionB = 0x20012901;
    std::string manufacturer = "Torvik";
    std::string description = "Probe Bridge SIM";
    std::string serialNumber = "SIM716C0001";
    uint32_t deviceInstance = 1;
    uint8_t notificationInterval = 9;  // bInterval of the notification pipe
    size_t fifoPackets = 4 * 129;      // stream packets the chip holds before it drops
    SimFaultScript faults;
};

}  // namespace usbdriver::sim
