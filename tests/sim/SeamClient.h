// A small client of the driver seam for the simulator's tests: configured requests, command
// transactions and stream packets, without the bridge library on top.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "platform/usbdriver/UsbDriver.h"
#include "probe/ProbeProtocol.h"
#include "sim/SimBridge.h"

namespace simtest {

using namespace usbdriver;

inline sim::SimOptions Stepped(bool linear = false) {
    sim::SimOptions o;
    o.linear = linear;
    o.pacing = sim::SimPacing::Stepped;
    return o;
}

class SeamClient {
public:
    explicit SeamClient(sim::SimOptions options) : sim(std::make_shared<sim::SimBridge>(std::move(options))) {
        AttachDevice(sim);
        Open();
    }
    ~SeamClient() {
        if (device != kInvalidDevice)
            CloseDevice(device);
        DetachAllDevices();
    }

    bool Open() {
        if (device != kInvalidDevice)
            CloseDevice(device);
        device = OpenDevice(sim->Path());
        return device != kInvalidDevice;
    }

    // A synchronous request; the system error, 0 on success.
    uint32_t Ioctl(uint32_t request, const void* in, uint32_t inSize, void* out = nullptr,
                   uint32_t outSize = 0, uint32_t* returned = nullptr) {
        return DeviceIoControl(device, DriverCode(request), in, inSize, out, outSize, returned, nullptr)
                   ? kErrorSuccess
                   : GetLastError();
    }

    uint32_t SetTimeout(uint8_t pipe, uint32_t ms) {
        PipeTimeoutRequest r{ms, pipe, {}};
        return Ioctl(kRequestSetPipeTimeout, &r, sizeof(r));
    }

    // Starts a read that completes through `record`.
    bool StartRead(uint8_t pipe, void* buffer, uint32_t length, Overlapped& record) {
        return DeviceIoControl(device, DriverCode(kRequestReadPipe), &pipe, 1, buffer, length, nullptr,
                               &record) ||
               GetLastError() == kErrorIoPending;
    }

    // A read waited for: the system error, with the byte count in `transferred`.
    uint32_t Read(uint8_t pipe, void* buffer, uint32_t length, uint32_t* transferred = nullptr) {
        Overlapped record;
        uint32_t n = 0;
        if (!StartRead(pipe, buffer, length, record))
            return GetLastError();
        const bool ok = GetOverlappedResult(device, &record, &n, true);
        if (transferred != nullptr)
            *transferred = n;
        return ok ? kErrorSuccess : GetLastError();
    }

    uint32_t Write(const UsbProbeCommand& command) {
        Overlapped record;
        uint8_t pipe = kProbeCommandPipe;
        UsbProbeCommand copy = command;
        uint32_t n = 0;
        if (!DeviceIoControl(device, DriverCode(kRequestWritePipe), &pipe, 1, copy.bytes, sizeof(copy.bytes),
                             nullptr, &record) &&
            GetLastError() != kErrorIoPending) {
            return GetLastError();
        }
        return GetOverlappedResult(device, &record, &n, true) ? kErrorSuccess : GetLastError();
    }

    // Sends a command and reads one reply.
    bool Transact(const UsbProbeCommand& command, UsbProbeCommand& reply) {
        reply.Clear();
        return Write(command) == kErrorSuccess &&
               Read(kProbeReplyPipe, reply.bytes, sizeof(reply.bytes)) == 0;
    }

    static UsbProbeCommand Command(uint16_t code, uint32_t argument = 0, uint32_t value = 0,
                                   bool u16 = false) {
        UsbProbeCommand c{};
        c.SetCode(code);
        if (u16) {
            c.SetArgument16(static_cast<uint16_t>(argument));
        } else {
            c.SetArgument32(argument);
        }
        c.SetRegisterValue(value);
        return c;
    }

    bool ReadPacket(ProbeStreamPacket& packet) { return Read(kProbeStreamPipe, packet.bytes, 5120) == 0; }

    std::shared_ptr<sim::SimBridge> sim;
    DeviceHandle device = kInvalidDevice;
};

}  // namespace simtest
