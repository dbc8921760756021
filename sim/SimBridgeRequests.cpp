// The simulated bridge chip's answers to each driver request. Called with the chip's lock held.
#include <algorithm>
#include <cstring>

#include "sim/SimBridge.h"

namespace usbdriver::sim {
namespace {

constexpr uint32_t kLocationId = 0x11;
constexpr uint32_t kChipWord = 0x60100000;
constexpr uint32_t kChipIdWord = 0x02000000 | 0x601;  // bit 25: the two-channel chip
constexpr uint16_t kBulkPacketSize = 1024;
constexpr uint16_t kInterruptPacketSize = 16;
// Interface 0's pipes, which belong to the chip (the library refuses transfers on them).
constexpr uint8_t kSessionPipe = 0x01;
constexpr uint8_t kNotificationPipe = 0x81;

template <typename T>
bool ReadIn(const IoRequest& r, T& value) {
    if (r.in == nullptr || r.inSize < sizeof(T))
        return false;
    std::memcpy(&value, r.in, sizeof(T));
    return true;
}

template <typename T>
uint32_t WriteOut(const IoRequest& r, const T& value, uint32_t& returned) {
    if (r.out == nullptr || r.outSize < sizeof(T))
        return kErrorInsufficientBuffer;
    std::memcpy(r.out, &value, sizeof(T));
    returned = sizeof(T);
    return kErrorSuccess;
}

bool IsDataPipe(uint8_t pipe) {
    return pipe == kProbeCommandPipe || pipe == kProbeReplyPipe || pipe == kProbeStreamPipe;
}

// The UTF-16 string descriptor `which` (0 manufacturer, 1 product, 2 serial) of a configuration.
std::vector<uint8_t> StringDescriptorAt(const ChipConfiguration& c, int which) {
    size_t at = 0;
    for (int i = 0; i < which; ++i) {
        if (at >= sizeof(c.StringDescriptors) || c.StringDescriptors[at] == 0)
            return {};
        at += c.StringDescriptors[at];
    }
    if (at >= sizeof(c.StringDescriptors))
        return {};
    const size_t length = std::min<size_t>(c.StringDescriptors[at], sizeof(c.StringDescriptors) - at);
    return std::vector<uint8_t>(c.StringDescriptors + at, c.StringDescriptors + at + length);
}

// Appends descriptor bytes at `at` of a fixed buffer (no reallocation while it is built).
template <typename T>
void Put(uint8_t* buffer, size_t& at, const T& value) {
    std::memcpy(buffer + at, &value, sizeof(T));
    at += sizeof(T);
}

void PutEndpoint(uint8_t* buffer, size_t& at, uint8_t address, uint8_t type, uint16_t packet,
                 uint8_t interval) {
    const uint8_t e[7] = {
        7, 5, address, type, static_cast<uint8_t>(packet), static_cast<uint8_t>(packet >> 8), interval};
    Put(buffer, at, e);
}

void PutInterface(uint8_t* buffer, size_t& at, uint8_t number, uint8_t endpoints) {
    const UsbInterfaceDescriptor d = {9, 4, number, 0, endpoints, 0xFF, 0xFF, 0xFF, 0};
    Put(buffer, at, d);
}

}  // namespace

std::string SimBridge::ConfigurationString(int which) const {
    const std::vector<uint8_t> d = StringDescriptorAt(configuration_, which);
    std::string text;
    for (size_t i = 2; i + 1 < d.size(); i += 2)
        text += static_cast<char>(d[i]);
    return text;
}

std::vector<uint8_t> SimBridge::DescriptorBytes(uint8_t type, uint8_t index) const {
    std::vector<uint8_t> out;
    if (type == 1) {
        const UsbDeviceDescriptor d = {
            18, 1, 0x0310, 0, 0, 0, 9, configuration_.VendorID, configuration_.ProductID, 0x0100, 1, 2, 3, 1};
        const auto* bytes = reinterpret_cast<const uint8_t*>(&d);
        out.assign(bytes, bytes + sizeof(d));
    } else if (type == 2) {
        uint8_t buffer[128];
        size_t at = 0;
        UsbConfigurationDescriptor c = {9,
                                        2,
                                        0,
                                        2,
                                        1,
                                        0,
                                        configuration_.PowerAttributes,
                                        static_cast<uint8_t>(configuration_.PowerConsumption / 8)};
        Put(buffer, at, c);
        // Interface 0: the chip's session pipe out and its notification pipe in.
        PutInterface(buffer, at, 0, 2);
        PutEndpoint(buffer, at, kSessionPipe, kPipeTypeBulk, kBulkPacketSize, 0);
        PutEndpoint(buffer, at, kNotificationPipe, kPipeTypeInterrupt, kInterruptPacketSize,
                    options_.notificationInterval);
        PutInterface(buffer, at, 1, 3);
        for (uint8_t pipe : {kProbeCommandPipe, kProbeReplyPipe, kProbeStreamPipe}) {
            PutEndpoint(buffer, at, pipe, kPipeTypeBulk, kBulkPacketSize, 0);
        }
        c.wTotalLength = static_cast<uint16_t>(at);
        std::memcpy(buffer, &c, sizeof(c));
        out.assign(buffer, buffer + at);
    } else if (type == 3) {
        if (index == 0) {
            out = {4, 3, 0x09, 0x04};  // US English
        } else if (index <= 3) {
            out = StringDescriptorAt(configuration_, index - 1);
        }
    }
    return out;
}

uint32_t SimBridge::HandleRequest(SimBridgeFile& file, uint32_t request, const IoRequest& r,
                                  uint32_t& returned) {
    returned = 0;
    uint8_t pipe = 0;
    switch (request) {
        case kRequestReadPipe:
        case kRequestReadPipeEx:
            return HandlePipeRead(file, r);
        case kRequestWritePipe:
        case kRequestWritePipeEx:
            return HandlePipeWrite(r, returned);
        case kRequestSerialNumber:
        case kRequestDescription: {
            const std::string text = ConfigurationString(request == kRequestSerialNumber ? 2 : 1);
            if (r.out == nullptr || r.outSize < text.size() + 1)
                return kErrorInsufficientBuffer;
            std::memcpy(r.out, text.c_str(), text.size() + 1);
            returned = static_cast<uint32_t>(text.size() + 1);
            return kErrorSuccess;
        }
        case kRequestLocationId:
            return WriteOut(r, kLocationId, returned);
        case kRequestDeviceInformation:
            return HandleDeviceInformation(r, returned);
        case kRequestDriverVersion:
            return WriteOut(r, kDriverVersion, returned);
        case kRequestReadChipConfiguration:
            return WriteOut(r, configuration_, returned);
        case kRequestWriteChipConfiguration:
            if (!ReadIn(r, configuration_))
                return kErrorInvalidParameter;
            ReEnumerate();  // the chip restarts with its new configuration
            return kErrorSuccess;
        case kRequestResetChipConfiguration:
            configuration_ = FactoryConfiguration(options_);
            ReEnumerate();
            return kErrorSuccess;
        case kRequestArmGpioNotification: {
            GpioNotificationRequest g;
            if (!ReadIn(r, g))
                return kErrorInvalidParameter;
            gpioNotifyPins_ = g.pins & 3;
            return kErrorSuccess;
        }
        case kRequestSetGpio: {
            LegacyGpioRequest g;
            if (!ReadIn(r, g))
                return kErrorInvalidParameter;
            SetGpioLevels((gpioLevels_ & ~uint32_t{g.mask}) | (g.value & g.mask & 3u));
            return kErrorSuccess;
        }
        case kRequestEnableGpio: {
            GpioEnableRequest g;
            if (!ReadIn(r, g))
                return kErrorInvalidParameter;
            gpioDirection_ = g.direction & g.enableMask & 3u;
            return kErrorSuccess;
        }
        case kRequestWriteGpio: {
            GpioWriteRequest g;
            if (!ReadIn(r, g))
                return kErrorInvalidParameter;
            const uint32_t outputs = g.mask & gpioDirection_;
            SetGpioLevels((gpioLevels_ & ~outputs) | (g.data & outputs));
            return kErrorSuccess;
        }
        case kRequestReadGpio:
            return WriteOut(r, gpioLevels_, returned);
        case kRequestSetStreamPipe:
        case kRequestClearStreamPipe: {
            StreamPipeRequest s;
            if (!ReadIn(r, s))
                return kErrorInvalidParameter;
            std::vector<uint8_t> pipes;
            if (s.allWritePipes)
                pipes.push_back(kProbeCommandPipe);
            if (s.allReadPipes)
                pipes.insert(pipes.end(), {kProbeReplyPipe, kProbeStreamPipe});
            if (pipes.empty()) {
                if (!IsDataPipe(s.pipeId))
                    return kErrorInvalidParameter;
                pipes.push_back(s.pipeId);
            }
            for (uint8_t p : pipes) {
                if (request == kRequestSetStreamPipe) {
                    streamSizes_[p] = s.streamSize;
                } else {
                    streamSizes_.erase(p);
                }
            }
            if (r.out != nullptr && r.outSize >= sizeof(s)) {
                std::memcpy(r.out, &s, sizeof(s));
                returned = sizeof(s);
            }
            return kErrorSuccess;
        }
        case kRequestFlushPipe:
            if (!ReadIn(r, pipe) || !IsDataPipe(pipe))
                return kErrorInvalidParameter;
            if (pipe == kProbeReplyPipe)
                replies_.clear();
            if (pipe == kProbeStreamPipe)
                fifo_.Clear();
            return kErrorSuccess;
        case kRequestDeviceDescriptor: {
            const std::vector<uint8_t> d = DescriptorBytes(1, 0);
            if (r.out == nullptr || r.outSize < d.size())
                return kErrorInsufficientBuffer;
            std::memcpy(r.out, d.data(), d.size());
            returned = static_cast<uint32_t>(d.size());
            return kErrorSuccess;
        }
        case kRequestConfigurationDescriptor: {
            const std::vector<uint8_t> d = DescriptorBytes(2, 0);
            if (r.out == nullptr || r.outSize < sizeof(UsbConfigurationDescriptor))
                return kErrorInsufficientBuffer;
            std::memcpy(r.out, d.data(), sizeof(UsbConfigurationDescriptor));
            returned = sizeof(UsbConfigurationDescriptor);
            return kErrorSuccess;
        }
        case kRequestInterfaceDescriptor: {
            uint8_t index = 0;
            if (!ReadIn(r, index) || index > 1)
                return kErrorInvalidParameter;
            InterfaceDescriptorRequest d{};
            d.interfaceIndex = index;
            d.descriptor = {9, 4, index, 0, static_cast<uint8_t>(index == 0 ? 2 : 3), 0xFF, 0xFF, 0xFF, 0};
            return WriteOut(r, d, returned);
        }
        case kRequestPipeInformation:
            return HandlePipeInformation(r, returned);
        case kRequestControlTransfer:
            return HandleControlTransfer(r, returned);
        case kRequestWaitNotification:
            return HandleWaitNotification(file, r);
        case kRequestGetDescriptor:
            return HandleGetDescriptor(r, returned);
        case kRequestCancelNotification:
            CompleteNotification(kErrorOperationAborted, nullptr);
            return kErrorSuccess;
        case kRequestResetPort:
            ++portResets_;
            CompleteReads(0, nullptr, nullptr, kErrorOperationAborted);
            ResetPipesLocked();
            return kErrorSuccess;
        case kRequestCyclePort:
            ReEnumerate();
            return kErrorSuccess;
        case kRequestOpenCheck:
            return kErrorSuccess;
        case kRequestSetPipeTimeout: {
            PipeTimeoutRequest t;
            if (!ReadIn(r, t) || !IsDataPipe(t.pipeId))
                return kErrorInvalidParameter;
            pipeTimeouts_[t.pipeId] = t.timeoutMs;
            return kErrorSuccess;
        }
        case kRequestGetPipeTimeout:
            if (!ReadIn(r, pipe) || !IsDataPipe(pipe))
                return kErrorInvalidParameter;
            return WriteOut(r, pipeTimeouts_[pipe], returned);
        case kRequestSetSuspendTimeout:
            if (!ReadIn(r, suspendTimeout_))
                return kErrorInvalidParameter;
            return kErrorSuccess;
        case kRequestGetSuspendTimeout:
            return WriteOut(r, suspendTimeout_, returned);
        case kRequestAbortPipe:
            if (!ReadIn(r, pipe))
                return kErrorInvalidParameter;
            CompleteReads(pipe, nullptr, nullptr, kErrorOperationAborted);
            if (r.out != nullptr && r.outSize >= 1) {
                r.out[0] = 0;
                returned = 1;
            }
            return kErrorSuccess;
        default:
            return kErrorInvalidFunction;
    }
}

uint32_t SimBridge::HandlePipeWrite(const IoRequest& r, uint32_t& returned) {
    uint8_t pipe = 0;
    if (!ReadIn(r, pipe) || pipe != kProbeCommandPipe || r.out == nullptr)
        return kErrorInvalidParameter;
    if (!ChipReadyForProbe())
        return kErrorGenFailure;
    UsbProbeCommand command{};
    std::memcpy(command.bytes, r.out, std::min<size_t>(r.outSize, kUsbProbeCommandSize));
    const SimProbe::Reply reply = probe_.HandleCommand(command);
    returned = r.outSize;
    Complete(r.overlapped, kErrorSuccess, returned);
    if (reply.unplug) {
        UnplugLocked();
    } else if (reply.send && reply.delayed) {
        heldReplies_.push_back(reply.block);
    } else if (reply.send) {
        QueueReply(reply.block);
    }
    FeedUnpaced();
    return kErrorIoPending;
}

uint32_t SimBridge::HandlePipeRead(SimBridgeFile& file, const IoRequest& r) {
    uint8_t pipe = 0;
    if (!ReadIn(r, pipe) || (pipe != kProbeReplyPipe && pipe != kProbeStreamPipe) || r.out == nullptr) {
        return kErrorInvalidParameter;
    }
    if (!ChipReadyForProbe())
        return kErrorGenFailure;
    const uint64_t n = ++readCounts_[pipe];
    if (const SimFault* f = options_.faults.ForRead(SimFaultKind::FailRead, pipe, n)) {
        Complete(r.overlapped, f->hasValue ? f->value : kErrorGenFailure, 0);
        return kErrorIoPending;
    }
    if (options_.faults.ForRead(SimFaultKind::Unplug, pipe, n)) {
        UnplugLocked();
        return kErrorDeviceNotConnected;
    }
    PendingRead read{&file, pipe, r.out, r.outSize, r.overlapped, std::nullopt};
    if (TryFill(read))
        return kErrorIoPending;
    read.deadline = Deadline(pipe);
    pending_.push_back(read);
    if (pipe == kProbeStreamPipe)
        FeedUnpaced();
    return kErrorIoPending;
}

uint32_t SimBridge::HandleControlTransfer(const IoRequest& r, uint32_t& returned) {
    UsbSetupPacket setup;
    if (!ReadIn(r, setup))
        return kErrorInvalidParameter;
    const bool toHost = (setup.bmRequestType & 0x80) != 0;
    if (!toHost) {
        const uint8_t* data = r.in + sizeof(setup);
        const size_t n = std::min<size_t>(setup.wLength, r.inSize - sizeof(setup));
        controlTransfersIn_.push_back({setup, std::vector<uint8_t>(data, data + n)});
        if (controlTransfersIn_.size() > kControlTransfersKept)
            controlTransfersIn_.pop_front();
    }
    uint32_t value = 0;
    if (setup.bmRequestType == 0xC0 && setup.bRequest == kVendorRequestFirmwareVersion) {
        value = kFirmwareVersion;
    } else if (setup.bmRequestType == 0xC0 && setup.bRequest == kVendorRequestReadChipRegister) {
        const uint32_t address = static_cast<uint32_t>(setup.wIndex) << 16 | setup.wValue;
        value = address == kChipRegisterChipId ? kChipIdWord : 0;
    } else if (setup.bmRequestType == 0x40 && setup.bRequest == kVendorRequestGpioControl) {
        returned = sizeof(setup);
        return kErrorSuccess;
    } else {
        return kErrorGenFailure;  // the chip stalls requests it does not know
    }
    if (!toHost || setup.wLength < sizeof(value))
        return kErrorGenFailure;
    if (r.out == nullptr || r.outSize < sizeof(setup) + sizeof(value))
        return kErrorInsufficientBuffer;
    std::memcpy(r.out, &setup, sizeof(setup));
    std::memcpy(r.out + sizeof(setup), &value, sizeof(value));
    returned = sizeof(setup) + sizeof(value);
    return kErrorSuccess;
}

uint32_t SimBridge::HandleGetDescriptor(const IoRequest& r, uint32_t& returned) {
    GetDescriptorRequest g;
    if (!ReadIn(r, g))
        return kErrorInvalidParameter;
    const std::vector<uint8_t> d = DescriptorBytes(g.descriptorType, g.index);
    if (d.empty())
        return kErrorGenFailure;
    if (r.out == nullptr || r.outSize < sizeof(g))
        return kErrorInsufficientBuffer;
    const size_t n = std::min<size_t>({d.size(), g.bufferSize, r.outSize - sizeof(g)});
    std::memcpy(r.out, &g, sizeof(g));
    std::memcpy(r.out + sizeof(g), d.data(), n);
    returned = static_cast<uint32_t>(sizeof(g) + n);
    return kErrorSuccess;
}

uint32_t SimBridge::HandlePipeInformation(const IoRequest& r, uint32_t& returned) {
    PipeInformationRequest p;
    if (!ReadIn(r, p))
        return kErrorInvalidParameter;
    if (p.interfaceIndex == 0 && p.pipeIndex == 0) {
        p.pipeType = kPipeTypeBulk;
        p.pipeId = kSessionPipe;
        p.maximumPacketSize = kBulkPacketSize;
        p.interval = 0;
    } else if (p.interfaceIndex == 0 && p.pipeIndex == 1) {
        p.pipeType = kPipeTypeInterrupt;
        p.pipeId = kNotificationPipe;
        p.maximumPacketSize = kInterruptPacketSize;
        p.interval = options_.notificationInterval;
    } else if (p.interfaceIndex == 1 && p.pipeIndex < 3) {
        const uint8_t ids[3] = {kProbeCommandPipe, kProbeReplyPipe, kProbeStreamPipe};
        p.pipeType = kPipeTypeBulk;
        p.pipeId = ids[p.pipeIndex];
        p.maximumPacketSize = kBulkPacketSize;
        p.interval = 0;
    } else {
        return kErrorInvalidParameter;
    }
    return WriteOut(r, p, returned);
}

uint32_t SimBridge::HandleDeviceInformation(const IoRequest& r, uint32_t& returned) {
    DeviceInformationRecord d{};
    d.status = 0;
    d.chipWord = kChipWord;
    d.deviceId = static_cast<uint32_t>(configuration_.VendorID) << 16 | configuration_.ProductID;
    d.locationId = kLocationId;
    const std::string serial = ConfigurationString(2).substr(0, sizeof(d.serialNumber) - 1);
    const std::string description = ConfigurationString(1).substr(0, sizeof(d.description) - 1);
    std::memcpy(d.serialNumber, serial.c_str(), serial.size() + 1);
    std::memcpy(d.description, description.c_str(), description.size() + 1);
    return WriteOut(r, d, returned);
}

uint32_t SimBridge::HandleWaitNotification(SimBridgeFile& file, const IoRequest& r) {
    if (notification_)
        return kErrorBusy;
    if (r.out == nullptr || r.outSize < sizeof(NotificationResult))
        return kErrorInsufficientBuffer;
    notification_ = PendingNotification{&file, r.out, r.outSize, r.overlapped};
    if (gpioChangeLatched_) {
        gpioChangeLatched_ = false;
        const NotificationResult result = {static_cast<uint8_t>(gpioLevels_ << 2), kNotificationGpio, 0};
        CompleteNotification(kErrorSuccess, &result);
    }
    return kErrorIoPending;
}

void SimBridge::SetGpioLevels(uint32_t levels) {
    const uint32_t old = gpioLevels_;
    gpioLevels_ = levels & 3u;
    const uint32_t changed = old ^ gpioLevels_;
    // A rising edge on output pin 0 ends the probe's reset pulse.
    if ((changed & 1u) && (gpioDirection_ & 1u) && (gpioLevels_ & 1u))
        probe_.Reset();
    if ((changed & gpioNotifyPins_) == 0)
        return;
    if (notification_) {
        const NotificationResult result = {static_cast<uint8_t>(gpioLevels_ << 2), kNotificationGpio, 0};
        CompleteNotification(kErrorSuccess, &result);
    } else {
        gpioChangeLatched_ = true;  // the chip keeps the change for the next wait
    }
}

}  // namespace usbdriver::sim
