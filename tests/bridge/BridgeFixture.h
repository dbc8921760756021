// A simulated bridge attached to the driver seam, and handles that are closed at the end.
#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "platform/usbdriver/RequestLog.h"
#include "probe/bridge/BridgeApi.h"
#include "sim/SimBridge.h"

namespace bridgetest {

using namespace bridge;
namespace sim = usbdriver::sim;

inline sim::SimOptions Stepped() {
    sim::SimOptions o;
    o.pacing = sim::SimPacing::Stepped;
    return o;
}

class BridgeTest : public ::testing::Test {
protected:
    std::shared_ptr<sim::SimBridge> Attach(sim::SimOptions options = Stepped()) {
        auto device = std::make_shared<sim::SimBridge>(std::move(options));
        usbdriver::AttachDevice(device);
        return device;
    }

    // Opens the first device of the bridge class, as the probe link does.
    Handle Create() {
        Handle h = nullptr;
        EXPECT_EQ(FT_Create(&kBridgeClassGuid, kOpenByGuid, &h), kStatusOk);
        return h;
    }

    void TearDown() override {
        usbdriver::StopRequestLog();
        usbdriver::DetachAllDevices();
    }

    static UsbProbeCommand Command(uint16_t code, uint32_t argument = 0) {
        UsbProbeCommand c{};
        c.SetCode(code);
        c.SetArgument32(argument);
        return c;
    }
};

}  // namespace bridgetest
