// The simulated bridge chip with the simulated probe behind it, as a device of the driver
// seam. It answers the driver requests the bridge library sends: device information and
// descriptors, the chip configuration (a rewrite makes the chip re-enumerate), pipes 0x02,
// 0x82 and 0x83 with per-pipe time-outs, stream-pipe set-up, GPIO (a pulse on pin 0 resets the
// probe), abort, flush, port reset and cycle, notifications; and it can be unplugged.
//
// Reads on 0x82 return one 512-byte reply each; reads on 0x83 one 4100-byte stream packet
// each. Pipe transfers always complete through the overlapped record. One lock guards the
// chip and the probe; one pacing thread sends frames in real time and expires time-outs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimOptions.h"
#include "sim/SimPacketFifo.h"
#include "sim/SimProbe.h"

namespace usbdriver::sim {

// A control transfer from host to device as it reached the chip: the setup packet and the
// wLength bytes of its data stage (fewer when the request carried fewer).
struct SimControlTransfer {
    UsbSetupPacket setup{};
    std::vector<uint8_t> data;
};

// What a test can see of the chip and probe at one moment.
struct SimBridgeState {
    bool present = false;
    bool fileOpen = false;
    uint64_t enumerations = 0;  // 1 at plug-in, +1 per re-enumeration
    bool streaming = false;
    bool stalled = false;
    uint16_t depthMm = 0;
    uint16_t focusMm = 0;
    uint64_t framesSent = 0;
    uint64_t packetsDropped = 0;
    uint64_t probeResets = 0;
    uint64_t portResets = 0;
    size_t pendingReads = 0;
    bool notificationPending = false;
    size_t queuedPackets = 0;
    size_t queuedReplies = 0;
    std::map<uint8_t, uint32_t> pipeTimeoutsMs;
    std::map<uint8_t, uint32_t> streamSizes;
    uint32_t suspendTimeoutS = 0;
    uint32_t gpioDirection = 0;
    uint32_t gpioLevels = 0;
    ChipConfiguration configuration{};
    // The latest host-to-device control transfers, oldest first, whether the chip took them
    // or stalled them.
    std::vector<SimControlTransfer> controlTransfersIn;
};

class SimBridgeFile;

class SimBridge : public IUsbDevice, private IPacketSink, public std::enable_shared_from_this<SimBridge> {
public:
    static constexpr uint32_t kDefaultPipeTimeoutMs = 5000;
    static constexpr uint32_t kDefaultSuspendTimeoutS = 10;
    static constexpr uint32_t kDriverVersion = 0x01030004;
    static constexpr uint32_t kFirmwareVersion = 0x00010203;
    static constexpr uint16_t kProductId = 0x601F;
    // The open-hardware shared vendor id: a simulator is nobody's product.
    static constexpr uint16_t kVendorId = 0x1209;
    static constexpr size_t kControlTransfersKept = 64;

    explicit SimBridge(SimOptions options);
    ~SimBridge() override;
    SimBridge(const SimBridge&) = delete;
    SimBridge& operator=(const SimBridge&) = delete;

    bool IsPresent() const override;
    Guid InterfaceClass() const override { return kBridgeInterfaceClass; }
    std::string Path() const override { return path_; }
    uint32_t DeviceInstance() const override { return options_.deviceInstance; }
    std::shared_ptr<IDeviceFile> Open(uint32_t& error) override;

    // Stepped pacing: sends up to `count` frames now; returns how many went out (none while
    // the probe is not streaming, the stream is stalled or the device is unplugged).
    int StepFrames(int count);
    void Unplug();
    // Plugs the device in again: the probe starts from power-on.
    void Replug();
    void LoseSettings();
    SimBridgeState State() const;
    uint32_t ProbeRegister(uint32_t code) const;
    const SimOptions& Options() const { return options_; }

    // The chip configuration the probe needs, and the one a chip has from the factory.
    static ChipConfiguration ProbeConfiguration(const SimOptions& options);
    static ChipConfiguration FactoryConfiguration(const SimOptions& options);

private:
    friend class SimBridgeFile;
    using SteadyClock = std::chrono::steady_clock;

    struct PendingRead {
        SimBridgeFile* file;
        uint8_t pipe;
        uint8_t* buffer;
        uint32_t length;
        Overlapped* overlapped;
        std::optional<SteadyClock::time_point> deadline;
    };
    struct PendingNotification {
        SimBridgeFile* file;
        uint8_t* out;
        uint32_t outSize;
        Overlapped* overlapped;
    };

    // Entry points of SimBridgeFile (they take the lock).
    uint32_t IoControl(SimBridgeFile& file, const IoRequest& request, uint32_t& returned);
    void Cancel(SimBridgeFile& file, Overlapped* overlapped);
    void Close(SimBridgeFile& file);

    // Request handlers (SimBridgeRequests.cpp), called with the lock held.
    uint32_t HandleRequest(SimBridgeFile& file, uint32_t request, const IoRequest& r, uint32_t& returned);
    uint32_t HandlePipeWrite(const IoRequest& r, uint32_t& returned);
    uint32_t HandlePipeRead(SimBridgeFile& file, const IoRequest& r);
    uint32_t HandleControlTransfer(const IoRequest& r, uint32_t& returned);
    uint32_t HandleGetDescriptor(const IoRequest& r, uint32_t& returned);
    uint32_t HandlePipeInformation(const IoRequest& r, uint32_t& returned);
    uint32_t HandleDeviceInformation(const IoRequest& r, uint32_t& returned);
    uint32_t HandleWaitNotification(SimBridgeFile& file, const IoRequest& r);
    void SetGpioLevels(uint32_t levels);
    std::vector<uint8_t> DescriptorBytes(uint8_t type, uint8_t index) const;
    std::string ConfigurationString(int which) const;  // 0 manufacturer, 1 product, 2 serial

    // Transfers (SimBridge.cpp), lock held.
    void PushPacket(const ProbeStreamPacket& packet) override;
    void QueueReply(const UsbProbeCommand& reply);
    void ServeReads(uint8_t pipe);
    bool TryFill(PendingRead& read);
    void FeedUnpaced();
    bool SendFrameLocked();
    void CompleteReads(uint8_t pipe, SimBridgeFile* file, Overlapped* overlapped, uint32_t error);
    void CompleteNotification(uint32_t error, const NotificationResult* result);
    void ExpireDeadlines(SteadyClock::time_point now);
    std::optional<SteadyClock::time_point> Deadline(uint8_t pipe) const;
    void ReEnumerate();
    void UnplugLocked();
    void ResetPipesLocked();
    bool ChipReadyForProbe() const;
    bool IsStale(const SimBridgeFile& file) const;
    void PacingLoop();

    const SimOptions options_;
    const std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;

    SimProbe probe_;
    bool present_ = true;
    uint64_t generation_ = 1;
    SimBridgeFile* openFile_ = nullptr;
    ChipConfiguration configuration_;
    std::map<uint8_t, uint32_t> pipeTimeouts_;
    std::map<uint8_t, uint32_t> streamSizes_;
    std::map<uint8_t, uint64_t> readCounts_;
    uint32_t suspendTimeout_ = kDefaultSuspendTimeoutS;
    uint32_t gpioDirection_ = 0;
    uint32_t gpioLevels_ = 3;  // both pins pulled high
    uint8_t gpioNotifyPins_ = 0;
    bool gpioChangeLatched_ = false;  // an armed pin changed while no wait was pending
    bool stalled_ = false;
    uint64_t packetsDropped_ = 0;
    uint64_t portResets_ = 0;
    std::deque<SimControlTransfer> controlTransfersIn_;

    SimPacketFifo fifo_;
    std::deque<UsbProbeCommand> replies_;
    std::deque<UsbProbeCommand> heldReplies_;  // delayed until a read on 0x82 times out
    std::list<PendingRead> pending_;
    std::optional<PendingNotification> notification_;
    std::optional<SteadyClock::time_point> nextFrameDue_;

    std::thread pacer_;  // last: starts after everything above exists
};

}  // namespace usbdriver::sim
