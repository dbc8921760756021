// What the probe link's tests share: a simulated bridge attached to the driver seam behind a
// recorder of the command blocks the host sends, a private settings folder, a power inhibitor
// that only counts, and small waits on the stream.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "../support/TestSupport.h"
#include "RawFrameRouter.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/KeepAwake.h"
#include "platform/usbdriver/UsbDriver.h"
#include "probe/UsbProbe.h"
#include "sim/SimBridge.h"

namespace probetest {

namespace sim = usbdriver::sim;

inline sim::SimOptions Stepped(bool linear = false) {
    sim::SimOptions o;
    o.linear = linear;
    o.pacing = sim::SimPacing::Stepped;
    return o;
}

inline sim::SimOptions WithFaults(const std::string& script, bool linear = false) {
    sim::SimOptions o = Stepped(linear);
    std::string error;
    EXPECT_TRUE(sim::SimFaultScript::Parse(script, o.faults, error)) << error;
    return o;
}

// One command block as the host sent it.
struct SentCommand {
    uint16_t code;
    uint16_t argument16;
    uint32_t argument32;
    uint32_t value;
};

// The simulated bridge, with every command block written to pipe 0x02 recorded on its way.
class RecordingDevice : public usbdriver::IUsbDevice {
public:
    explicit RecordingDevice(sim::SimOptions options)
        : sim(std::make_shared<sim::SimBridge>(std::move(options))) {}

    bool IsPresent() const override { return sim->IsPresent(); }
    usbdriver::Guid InterfaceClass() const override { return sim->InterfaceClass(); }
    std::string Path() const override { return sim->Path(); }
    uint32_t DeviceInstance() const override { return sim->DeviceInstance(); }
    std::shared_ptr<usbdriver::IDeviceFile> Open(uint32_t& error) override {
        auto file = sim->Open(error);
        return file ? std::make_shared<File>(std::move(file), *this) : nullptr;
    }

    std::vector<SentCommand> Commands() const {
        std::lock_guard lock(mutex_);
        return commands_;
    }
    std::vector<uint16_t> CommandCodes() const {
        std::vector<uint16_t> codes;
        for (const SentCommand& c : Commands())
            codes.push_back(c.code);
        return codes;
    }
    void ClearCommands() {
        std::lock_guard lock(mutex_);
        commands_.clear();
    }
    // Every later request of this number (usbdriver::kRequest...) fails; 0 for none.
    void FailRequest(uint32_t request) { failRequest_ = request; }

    std::shared_ptr<sim::SimBridge> sim;

private:
    class File : public usbdriver::IDeviceFile {
    public:
        File(std::shared_ptr<usbdriver::IDeviceFile> inner, RecordingDevice& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        uint32_t IoControl(const usbdriver::IoRequest& r, uint32_t& returned) override {
            const uint32_t request = usbdriver::DriverCodeRequest(r.code);
            if (request == owner_.failRequest_.load())
                return usbdriver::kErrorGenFailure;
            if ((request == usbdriver::kRequestWritePipe || request == usbdriver::kRequestWritePipeEx) &&
                r.in && r.inSize >= 1 && r.in[0] == kProbeCommandPipe && r.out &&
                r.outSize >= kUsbProbeCommandSize) {
                UsbProbeCommand c;
                std::memcpy(c.bytes, r.out, kUsbProbeCommandSize);
                std::lock_guard lock(owner_.mutex_);
                owner_.commands_.push_back({c.Code(), c.Argument16(), c.Argument32(), c.RegisterValue()});
            }
            return inner_->IoControl(r, returned);
        }
        void Cancel(usbdriver::Overlapped* overlapped) override { inner_->Cancel(overlapped); }
        void Close() override { inner_->Close(); }

    private:
        std::shared_ptr<usbdriver::IDeviceFile> inner_;
        RecordingDevice& owner_;
    };

    mutable std::mutex mutex_;
    std::vector<SentCommand> commands_;
    std::atomic<uint32_t> failRequest_{0};
};

// Counts what the watch loop asks of the power seam.
class CountingInhibitor : public platform::IPowerInhibitor {
public:
    void Inhibit(const std::string&) override { ++inhibits; }
    void Release() override { ++releases; }
    std::atomic<int> inhibits{0};
    std::atomic<int> releases{0};
};

// Waits until `done` holds, checking every millisecond; false after `timeout`. For states
// that other threads reach without telling anyone (the probe's scan state, as the main
// window's freeze polls it).
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = testsupport::kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class ProbeLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        platform::SetPowerInhibitor(&inhibitor);
    }
    void TearDown() override {
        UsbProbeClose();
        usbdriver::DetachAllDevices();
        platform::SetPowerInhibitor(nullptr);
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }

    std::shared_ptr<RecordingDevice> Attach(sim::SimOptions options = Stepped()) {
        device = std::make_shared<RecordingDevice>(std::move(options));
        usbdriver::AttachDevice(device);
        return device;
    }
    sim::SimBridge& Sim() { return *device->sim; }

    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
    CountingInhibitor inhibitor;
    std::shared_ptr<RecordingDevice> device;
};

// Frames handed to the frame callback, taken out of the pool as the driver does.
class FrameCatcher {
public:
    FrameCatcher() { UsbProbeSetFrameCallback(&FrameCatcher::OnFrame, this); }
    ~FrameCatcher() { UsbProbeClearFrameCallback(); }

    // Waits for the n-th frame since construction; false on time-out.
    bool WaitFor(size_t n, std::chrono::milliseconds timeout = testsupport::kPatience) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] { return frames_.size() >= n; });
    }
    std::vector<uint8_t> Frame(size_t i) {
        std::lock_guard lock(mutex_);
        return frames_.at(i);
    }
    size_t Count() {
        std::lock_guard lock(mutex_);
        return frames_.size();
    }

private:
    static void OnFrame(void* context) {
        auto* self = static_cast<FrameCatcher*>(context);
        std::vector<uint8_t> frame(kProbeFrameBytes);
        const int32_t n = UsbProbeGetFrame(frame.data(), static_cast<uint32_t>(frame.size()));
        if (n <= 0)
            return;
        frame.resize(static_cast<size_t>(n));
        {
            std::lock_guard lock(self->mutex_);
            self->frames_.push_back(std::move(frame));
        }
        self->cv_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::vector<uint8_t>> frames_;
};

}  // namespace probetest
