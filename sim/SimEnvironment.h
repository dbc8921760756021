// Chooses the simulated device from the environment:
//   TORVIK_PROBE       sim-convex | sim-linear (unset or anything else: no probe attached)
//   TORVIK_SIM_PACING  realtime (default) | unpaced
//   TORVIK_SIM_CHIP    configured (default) | factory (the chip needs its configuration rewritten)
//   TORVIK_SIM_SEED    the phantom's seed (default 716)
//   TORVIK_SIM_FAULTS  a fault script, or @path of a file holding one
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimOptions.h"

namespace usbdriver::sim {

// The options the environment asks for; nullopt when no simulator is selected. A setting that
// cannot be understood is reported in `error` and left at its default.
std::optional<SimOptions> OptionsFromEnvironment(std::string& error);

// The simulated bridge the environment selects, or null.
std::shared_ptr<IUsbDevice> CreateDeviceFromEnvironment();

// Makes the environment's choice the seam's default device (the viewer does this at start-up).
void InstallEnvironmentDevice();

}  // namespace usbdriver::sim
