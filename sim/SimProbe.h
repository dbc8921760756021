// The simulated 716C probe behind the bridge: answers every command block, keeps its
// registers, the settings marker and its identity words, refuses out-of-range focus and depth,
// and sends frames as a header packet and 128 line packets of the phantom. It has no lock of
// its own: the simulated bridge calls it under the bridge's lock.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "probe/ProbeProtocol.h"
#include "sim/SimOptions.h"
#include "sim/SimPhantom.h"

namespace usbdriver::sim {

// Where the probe puts its stream packets (the bridge chip's FIFO).
class IPacketSink {
public:
    virtual ~IPacketSink() = default;
    virtual void PushPacket(const ProbeStreamPacket& packet) = 0;
};

class SimProbe {
public:
    struct Reply {
        bool send = true;      // false: the probe stays silent
        bool delayed = false;  // held back until the host's read has timed out
        bool unplug = false;   // the fault script pulls the cable at this command
        UsbProbeCommand block{};
    };

    SimProbe(const SimOptions& options, const SimFaultScript& faults);

    Reply HandleCommand(const UsbProbeCommand& command);
    // Sends frame FramesSent() + 1 into the sink.
    void SendFrame(IPacketSink& sink);
    // The reset pulse on GPIO 0: registers back to their power-on values, streaming stops.
    void Reset();
    // Forgets every register, as after a brown-out, but keeps streaming.
    void LoseSettings();

    bool Streaming() const { return streaming_; }
    uint64_t FramesSent() const { return framesSent_; }
    uint16_t DepthMm() const { return depthMm_; }
    uint16_t FocusMm() const { return focusMm_; }
    bool HighFrameRate() const { return Register(kProbeRegisterHiFrameMode) == 0; }
    uint32_t FramePeriodMicros() const { return HighFrameRate() ? 20'000 : 40'000; }
    uint32_t Register(uint32_t code) const;
    uint32_t HardwareId() const { return hardwareId_; }
    bool Linear() const { return linear_; }
    const SimPhantom& Phantom() const { return phantom_; }
    uint64_t Resets() const { return resets_; }

private:
    void PowerOnRegisters();
    bool WriteRegister(uint32_t code, uint32_t value);
    void Answer(const UsbProbeCommand& command, Reply& reply);
    void SendHeader(IPacketSink& sink, uint64_t frame, bool headerOnly);
    void SendLines(IPacketSink& sink, uint64_t frame);
    // The echo amplitudes of a frame, from the cache of one breathing cycle (made on first use).
    const float* Amplitudes(uint64_t frame);

    const bool linear_;
    const SimFaultScript& faults_;
    const uint32_t hardwareId_;
    const uint32_t versionA_;
    const uint32_t versionB_;
    const ProbeCompression compression_;
    SimPhantom phantom_;
    std::map<uint32_t, uint32_t> registers_;
    std::map<uint16_t, uint64_t> commandCounts_;
    bool streaming_ = false;
    uint16_t depthMm_ = 0;
    uint16_t focusMm_ = 0;
    uint64_t framesSent_ = 0;
    uint64_t resets_ = 0;
    std::vector<float> display_;
    // The picture of each phase of the (repeating) breathing cycle is kept once made for the
    // depth in force (about 32 MB): a live run draws the phantom once per phase and depth, not
    // every frame, and an unpaced host reading as fast as it can is kept up with.
    uint16_t cachedDepthMm_ = 0;
    std::vector<std::vector<float>> cache_;
    ProbeStreamPacket packet_{};
};

}  // namespace usbdriver::sim
