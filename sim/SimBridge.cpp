#include "sim/SimBridge.h"

#include <algorithm>
#include <cstring>

#include "platform/StringUtil.h"

namespace usbdriver::sim {

// One open of the simulated bridge. Requests go to the chip; a file from before a
// re-enumeration or an unplug fails them with kErrorDeviceNotConnected.
class SimBridgeFile : public IDeviceFile {
public:
    SimBridgeFile(std::shared_ptr<SimBridge> chip, uint64_t generation)
        : chip_(std::move(chip)), generation_(generation) {}
    uint32_t IoControl(const IoRequest& request, uint32_t& returned) override {
        return chip_->IoControl(*this, request, returned);
    }
    void Cancel(Overlapped* overlapped) override { chip_->Cancel(*this, overlapped); }
    void Close() override { chip_->Close(*this); }
    uint64_t Generation() const { return generation_; }

private:
    std::shared_ptr<SimBridge> chip_;
    const uint64_t generation_;
};

namespace {

constexpr size_t kMaxQueuedReplies = 64;
constexpr size_t kPacketsPerFrame = 1 + kProbeLinesPerFrame;

void AppendStringDescriptor(uint8_t*& at, const std::string& text) {
    at[0] = static_cast<uint8_t>(2 + 2 * text.size());
    at[1] = 3;  // string descriptor
    for (size_t i = 0; i < text.size(); ++i) {
        at[2 + 2 * i] = static_cast<uint8_t>(text[i]);
        at[3 + 2 * i] = 0;
    }
    at += at[0];
}

}  // namespace

ChipConfiguration SimBridge::ProbeConfiguration(const SimOptions& options) {
    ChipConfiguration c = FactoryConfiguration(options);
    c.FIFOClock = 1;
    c.FIFOMode = 1;
    c.ChannelConfig = 1;
    c.OptionalFeatureSupport = 0;
    return c;
}

ChipConfiguration SimBridge::FactoryConfiguration(const SimOptions& options) {
    ChipConfiguration c{};
    c.VendorID = kVendorId;
    c.ProductID = kProductId;
    uint8_t* at = c.StringDescriptors;
    AppendStringDescriptor(at, options.manufacturer.substr(0, 15));
    AppendStringDescriptor(at, options.description.substr(0, 31));
    AppendStringDescriptor(at, options.serialNumber.substr(0, 15));
    c.PowerAttributes = 0xE0;
    c.PowerConsumption = 96;
    c.FIFOClock = 0;
    c.FIFOMode = 0;
    c.ChannelConfig = 0;
    c.OptionalFeatureSupport = 0x0C00;
    c.FlashEEPROMDetection = 0;
    return c;
}

SimBridge::SimBridge(SimOptions options)
    : options_(std::move(options)),
      path_(platform::Format("sim:bridge/%s#{d1e8fe6a-ab75-4d9e-97d2-06fa22c7736c}",
                             options_.serialNumber.c_str())),
      probe_(options_, options_.faults),
      configuration_(options_.chipConfigured ? ProbeConfiguration(options_) : FactoryConfiguration(options_)),
      fifo_(std::max(options_.fifoPackets, kPacketsPerFrame)) {
    ResetPipesLocked();
    pacer_ = std::thread([this] { PacingLoop(); });
}

SimBridge::~SimBridge() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    pacer_.join();
}

bool SimBridge::IsPresent() const {
    std::lock_guard lock(mutex_);
    return present_;
}

std::shared_ptr<IDeviceFile> SimBridge::Open(uint32_t& error) {
    std::lock_guard lock(mutex_);
    if (!present_) {
        error = kErrorFileNotFound;
        return nullptr;
    }
    if (openFile_ != nullptr) {  // the bridge opens exclusively
        error = kErrorAccessDenied;
        return nullptr;
    }
    auto file = std::make_shared<SimBridgeFile>(shared_from_this(), generation_);
    openFile_ = file.get();
    error = kErrorSuccess;
    return file;
}

bool SimBridge::IsStale(const SimBridgeFile& file) const {
    return !present_ || file.Generation() != generation_;
}

bool SimBridge::ChipReadyForProbe() const {
    return configuration_.FIFOClock == 1 && configuration_.FIFOMode == 1 && configuration_.ChannelConfig == 1;
}

void SimBridge::ResetPipesLocked() {
    pipeTimeouts_ = {
        {0x02, kDefaultPipeTimeoutMs}, {0x82, kDefaultPipeTimeoutMs}, {0x83, kDefaultPipeTimeoutMs}};
    streamSizes_.clear();
    fifo_.Clear();
    replies_.clear();
    heldReplies_.clear();
    stalled_ = false;
}

uint32_t SimBridge::IoControl(SimBridgeFile& file, const IoRequest& request, uint32_t& returned) {
    std::lock_guard lock(mutex_);
    if (IsStale(file))
        return kErrorDeviceNotConnected;
    if (openFile_ != &file)
        return kErrorInvalidHandle;  // closed: nothing may wait on it any more
    const uint32_t r = DriverCodeRequest(request.code);
    if (r >= kRequestTableSize || ControlCodeMethod(request.code) != ControlCodeMethod(DriverCode(r))) {
        return kErrorInvalidFunction;
    }
    const uint32_t result = HandleRequest(file, r, request, returned);
    wake_.notify_all();  // deadlines or pacing may have changed
    return result;
}

void SimBridge::Cancel(SimBridgeFile& file, Overlapped* overlapped) {
    std::lock_guard lock(mutex_);
    CompleteReads(0, &file, overlapped, kErrorOperationAborted);
    if (notification_ && notification_->file == &file &&
        (overlapped == nullptr || notification_->overlapped == overlapped)) {
        CompleteNotification(kErrorOperationAborted, nullptr);
    }
}

void SimBridge::Close(SimBridgeFile& file) {
    std::lock_guard lock(mutex_);
    CompleteReads(0, &file, nullptr, kErrorOperationAborted);
    if (notification_ && notification_->file == &file)
        CompleteNotification(kErrorOperationAborted, nullptr);
    if (openFile_ == &file)
        openFile_ = nullptr;
}

// ---- Transfers ---------------------------------------------------------------------------

void SimBridge::PushPacket(const ProbeStreamPacket& packet) {
    if (!fifo_.Push(packet))
        ++packetsDropped_;
    ServeReads(kProbeStreamPipe);
}

void SimBridge::QueueReply(const UsbProbeCommand& reply) {
    if (replies_.size() >= kMaxQueuedReplies)
        replies_.pop_front();
    replies_.push_back(reply);
    ServeReads(kProbeReplyPipe);
    // Nobody is reading: a host that asked for data notifications hears of the reply.
    if (!replies_.empty() && notification_ && (configuration_.OptionalFeatureSupport & 0x3C) != 0) {
        const NotificationResult result = {kProbeReplyPipe, kNotificationData,
                                           static_cast<uint16_t>(kUsbProbeCommandSize)};
        CompleteNotification(kErrorSuccess, &result);
    }
}

bool SimBridge::TryFill(PendingRead& read) {
    if (read.pipe == kProbeReplyPipe) {
        if (replies_.empty())
            return false;
        const uint32_t n = std::min<uint32_t>(read.length, kUsbProbeCommandSize);
        std::memcpy(read.buffer, replies_.front().bytes, n);
        replies_.pop_front();
        Complete(read.overlapped, kErrorSuccess, n);
        return true;
    }
    if (fifo_.Empty())
        return false;
    const uint32_t n = fifo_.Pop(read.buffer, read.length);
    Complete(read.overlapped, kErrorSuccess, n);
    return true;
}

void SimBridge::ServeReads(uint8_t pipe) {
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->pipe == pipe && TryFill(*it)) {
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
}

void SimBridge::FeedUnpaced() {
    if (options_.pacing != SimPacing::Unpaced)
        return;
    auto waiting = [this] {
        return std::any_of(pending_.begin(), pending_.end(),
                           [](const PendingRead& r) { return r.pipe == kProbeStreamPipe; });
    };
    while (fifo_.Empty() && waiting() && SendFrameLocked()) {
    }
}

// Sends the probe's next frame unless the fault script stalls the stream or pulls the cable.
bool SimBridge::SendFrameLocked() {
    if (!present_ || stalled_ || !probe_.Streaming())
        return false;
    const uint64_t next = probe_.FramesSent() + 1;
    if (options_.faults.ForFrame(SimFaultKind::Unplug, next)) {
        UnplugLocked();
        return false;
    }
    if (options_.faults.ForFrame(SimFaultKind::Stall, next)) {
        stalled_ = true;
        for (PendingRead& r : pending_) {
            if (r.pipe == kProbeStreamPipe)
                r.deadline.reset();  // a stalled pipe ignores its time-out
        }
        return false;
    }
    probe_.SendFrame(*this);
    return true;
}

void SimBridge::CompleteReads(uint8_t pipe, SimBridgeFile* file, Overlapped* overlapped, uint32_t error) {
    for (auto it = pending_.begin(); it != pending_.end();) {
        const bool match = (pipe == 0 || it->pipe == pipe) && (file == nullptr || it->file == file) &&
                           (overlapped == nullptr || it->overlapped == overlapped);
        if (match) {
            Complete(it->overlapped, error, 0);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
}

void SimBridge::CompleteNotification(uint32_t error, const NotificationResult* result) {
    if (!notification_)
        return;
    uint32_t n = 0;
    if (result != nullptr && notification_->out != nullptr) {
        n = std::min<uint32_t>(notification_->outSize, sizeof(NotificationResult));
        std::memcpy(notification_->out, result, n);
    }
    Complete(notification_->overlapped, error, n);
    notification_.reset();
}

std::optional<SimBridge::SteadyClock::time_point> SimBridge::Deadline(uint8_t pipe) const {
    if (pipe == kProbeStreamPipe && stalled_)
        return std::nullopt;
    auto it = pipeTimeouts_.find(pipe);
    if (it == pipeTimeouts_.end() || it->second == 0)
        return std::nullopt;  // 0: wait without limit
    return SteadyClock::now() + std::chrono::milliseconds(it->second);
}

void SimBridge::ExpireDeadlines(SteadyClock::time_point now) {
    bool replyTimedOut = false;
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->deadline && *it->deadline <= now) {
            replyTimedOut |= it->pipe == kProbeReplyPipe;
            Complete(it->overlapped, kErrorSemTimeout, 0);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    if (replyTimedOut && !heldReplies_.empty()) {  // a delayed reply arrives just too late
        for (const UsbProbeCommand& reply : heldReplies_)
            QueueReply(reply);
        heldReplies_.clear();
    }
}

void SimBridge::ReEnumerate() {
    CompleteReads(0, nullptr, nullptr, kErrorDeviceNotConnected);
    CompleteNotification(kErrorDeviceNotConnected, nullptr);
    ++generation_;
    openFile_ = nullptr;
    ResetPipesLocked();
    gpioDirection_ = 0;
    gpioLevels_ = 3;
    gpioNotifyPins_ = 0;
    gpioChangeLatched_ = false;
}

void SimBridge::UnplugLocked() {
    if (!present_)
        return;
    ReEnumerate();
    present_ = false;
}

// ---- Pacing ------------------------------------------------------------------------------

void SimBridge::PacingLoop() {
    std::unique_lock lock(mutex_);
    while (!quit_) {
        const auto now = SteadyClock::now();
        ExpireDeadlines(now);
        if (options_.pacing == SimPacing::RealTime && present_ && probe_.Streaming() && !stalled_) {
            const auto period = std::chrono::microseconds(probe_.FramePeriodMicros());
            if (!nextFrameDue_)
                nextFrameDue_ = now;
            if (now >= *nextFrameDue_) {
                SendFrameLocked();
                *nextFrameDue_ += period;
                if (*nextFrameDue_ < now)
                    nextFrameDue_ = now + period;  // fell behind: do not catch up
            }
        } else {
            nextFrameDue_.reset();
        }
        std::optional<SteadyClock::time_point> wake = nextFrameDue_;
        for (const PendingRead& r : pending_) {
            if (r.deadline && (!wake || *r.deadline < *wake))
                wake = r.deadline;
        }
        if (wake) {
            wake_.wait_until(lock, *wake);
        } else {
            wake_.wait(lock);
        }
    }
}

// ---- Controls ----------------------------------------------------------------------------

int SimBridge::StepFrames(int count) {
    std::lock_guard lock(mutex_);
    int sent = 0;
    while (sent < count && SendFrameLocked())
        ++sent;
    return sent;
}

void SimBridge::Unplug() {
    std::lock_guard lock(mutex_);
    UnplugLocked();
}

void SimBridge::Replug() {
    std::lock_guard lock(mutex_);
    if (present_)
        return;
    present_ = true;
    ++generation_;
    probe_.Reset();
    wake_.notify_all();
}

void SimBridge::LoseSettings() {
    std::lock_guard lock(mutex_);
    probe_.LoseSettings();
}

uint32_t SimBridge::ProbeRegister(uint32_t code) const {
    std::lock_guard lock(mutex_);
    return probe_.Register(code);
}

SimBridgeState SimBridge::State() const {
    std::lock_guard lock(mutex_);
    SimBridgeState s;
    s.present = present_;
    s.fileOpen = openFile_ != nullptr;
    s.enumerations = generation_;
    s.streaming = probe_.Streaming();
    s.stalled = stalled_;
    s.depthMm = probe_.DepthMm();
    s.focusMm = probe_.FocusMm();
    s.framesSent = probe_.FramesSent();
    s.packetsDropped = packetsDropped_;
    s.probeResets = probe_.Resets();
    s.portResets = portResets_;
    s.pendingReads = pending_.size();
    s.notificationPending = notification_.has_value();
    s.queuedPackets = fifo_.Count();
    s.queuedReplies = replies_.size();
    s.pipeTimeoutsMs = pipeTimeouts_;
    s.streamSizes = streamSizes_;
    s.suspendTimeoutS = suspendTimeout_;
    s.gpioDirection = gpioDirection_;
    s.gpioLevels = gpioLevels_;
    s.configuration = configuration_;
    s.controlTransfersIn.assign(controlTransfersIn_.begin(), controlTransfersIn_.end());
    return s;
}

}  // namespace usbdriver::sim
