// Overlapped and synchronous transfers, the byte-stream reader and notifications, and closing
// a handle while other threads still use it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Event.h"
#include "tests/bridge/BridgeFixture.h"
#include "tests/support/TestSupport.h"

using namespace bridgetest;

namespace {

// Waits (bounded) until the simulated chip holds `count` pending reads.
bool WaitForPendingReads(const sim::SimBridge& device, size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kPatience;
    while (device.State().pendingReads != count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

void Send(Handle h, uint16_t code) {
    UsbProbeCommand c{};
    c.SetCode(code);
    uint32_t n = 0;
    ASSERT_EQ(FT_WritePipe(h, 0x02, c.bytes, 512, &n, nullptr), kStatusOk);
}

// Sends a command and takes its reply off pipe 0x82.
void Transact(Handle h, uint16_t code) {
    Send(h, code);
    UsbProbeCommand reply{};
    uint32_t n = 0;
    ASSERT_EQ(FT_ReadPipe(h, 0x82, reply.bytes, 512, &n, nullptr), kStatusOk);
    ASSERT_EQ(reply.Code(), code);
}

// A bridge whose reads time out after filling the whole buffer.
class SlowButCompleteDevice : public usbdriver::IUsbDevice,
                              public usbdriver::IDeviceFile,
                              public std::enable_shared_from_this<SlowButCompleteDevice> {
public:
    bool IsPresent() const override { return true; }
    usbdriver::Guid InterfaceClass() const override { return usbdriver::kBridgeInterfaceClass; }
    std::string Path() const override { return "slow"; }
    uint32_t DeviceInstance() const override { return 9; }
    std::shared_ptr<usbdriver::IDeviceFile> Open(uint32_t&) override { return shared_from_this(); }
    uint32_t IoControl(const usbdriver::IoRequest& r, uint32_t& returned) override {
        if (usbdriver::DriverCodeRequest(r.code) != usbdriver::kRequestReadPipe)
            return usbdriver::kErrorGenFailure;
        std::memset(r.out, 0x5A, r.outSize);
        usbdriver::Complete(r.overlapped, usbdriver::kErrorSemTimeout, r.outSize);
        returned = 0;
        return usbdriver::kErrorIoPending;
    }
    void Cancel(usbdriver::Overlapped*) override {}
    void Close() override {}
};

}  // namespace

TEST_F(BridgeTest, OverlappedReadsReportPendingCompletionTimeOutAbortAndUnplug) {
    auto device = Attach();
    Handle h = Create();
    ASSERT_EQ(FT_SetPipeTimeout(h, 0x83, 0), kStatusOk);
    Overlapped ov;
    ASSERT_EQ(FT_InitializeOverlapped(h, &ov), kStatusOk);
    uint8_t buffer[5120];
    uint32_t n = 0;

    ASSERT_EQ(FT_ReadPipe(h, 0x83, buffer, sizeof(buffer), &n, &ov), kStatusIoPending);
    EXPECT_EQ(FT_GetOverlappedResult(h, &ov, &n, false), kStatusIoIncomplete);
    Transact(h, kProbeCommandStartStreaming);
    device->StepFrames(1);
    ASSERT_EQ(FT_GetOverlappedResult(h, &ov, &n, true), kStatusOk);
    EXPECT_EQ(n, kProbePacketSize);
    EXPECT_TRUE(ov.event->Wait(0));  // the record's event was signalled

    ASSERT_EQ(FT_SetPipeTimeout(h, 0x82, 20), kStatusOk);
    ASSERT_EQ(FT_ReadPipe(h, 0x82, buffer, 512, &n, &ov), kStatusIoPending);
    EXPECT_EQ(FT_GetOverlappedResult(h, &ov, &n, true), kStatusTimeout);

    ASSERT_EQ(FT_SetPipeTimeout(h, 0x82, 0), kStatusOk);
    ASSERT_EQ(FT_ReadPipe(h, 0x82, buffer, 512, &n, &ov), kStatusIoPending);
    ASSERT_EQ(FT_AbortPipe(h, 0x82), kStatusOk);
    EXPECT_EQ(FT_GetOverlappedResult(h, &ov, &n, true), kStatusOperationAborted);

    ASSERT_EQ(FT_ReadPipe(h, 0x82, buffer, 512, &n, &ov), kStatusIoPending);
    device->Unplug();
    EXPECT_EQ(FT_GetOverlappedResult(h, &ov, &n, true), kStatusDeviceNotConnected);
    EXPECT_EQ(FT_ReadPipe(h, 0x82, buffer, 512, &n, &ov), kStatusDeviceNotConnected);
    EXPECT_EQ(FT_ReleaseOverlapped(h, &ov), kStatusOk);
    EXPECT_EQ(ov.event, nullptr);
    EXPECT_EQ(FT_Close(h), kStatusOk);
}

TEST_F(BridgeTest, SynchronousReadsTimeOutUnlessTheyGotEverything) {
    Attach();
    Handle h = Create();
    ASSERT_EQ(FT_SetPipeTimeout(h, 0x82, 20), kStatusOk);
    uint8_t buffer[512];
    uint32_t n = 0;
    EXPECT_EQ(FT_ReadPipe(h, 0x82, buffer, sizeof(buffer), &n, nullptr), kStatusTimeout);
    FT_Close(h);
    usbdriver::DetachAllDevices();

    usbdriver::AttachDevice(std::make_shared<SlowButCompleteDevice>());
    Handle slow = nullptr;
    ASSERT_EQ(FT_Open(0, &slow), kStatusOk);
    EXPECT_EQ(FT_ReadPipe(slow, 0x82, buffer, sizeof(buffer), &n, nullptr), kStatusOk);
    EXPECT_EQ(n, sizeof(buffer));
    EXPECT_EQ(FT_WritePipe(slow, 0x02, buffer, sizeof(buffer), &n, nullptr), kStatusOtherError);
    FT_Close(slow);
}

TEST_F(BridgeTest, CloseLeavesNothingPending) {
    auto device = Attach();
    Handle h = Create();
    ASSERT_EQ(FT_SetPipeTimeout(h, 0x83, 0), kStatusOk);
    constexpr int kReads = 16;
    std::vector<std::array<uint8_t, 5120>> buffers(kReads);
    std::vector<Overlapped> records(kReads);
    uint32_t n = 0;
    for (int i = 0; i < kReads; ++i) {
        ASSERT_EQ(FT_InitializeOverlapped(h, &records[i]), kStatusOk);
        ASSERT_EQ(FT_ReadPipe(h, 0x83, buffers[i].data(), 5120, &n, &records[i]), kStatusIoPending);
    }
    EXPECT_EQ(device->State().pendingReads, size_t{kReads});
    ASSERT_EQ(FT_Close(h), kStatusOk);
    EXPECT_EQ(device->State().pendingReads, 0u);
    EXPECT_FALSE(device->State().fileOpen);
    for (Overlapped& r : records) {
        EXPECT_EQ(r.status.load(), usbdriver::kErrorOperationAborted);
        FT_ReleaseOverlapped(nullptr, &r);
    }
}

TEST_F(BridgeTest, CloseUnblocksASynchronousReadOnAnotherThread) {
    auto device = Attach();
    Handle h = Create();
    ASSERT_EQ(FT_SetPipeTimeout(h, 0x83, 0), kStatusOk);
    std::atomic<Status> result{kStatusOk};
    std::thread reader([&] {
        uint8_t buffer[5120];
        uint32_t n = 0;
        result = FT_ReadPipe(h, 0x83, buffer, sizeof(buffer), &n, nullptr);
    });
    ASSERT_TRUE(WaitForPendingReads(*device, 1));
    EXPECT_EQ(FT_Close(h), kStatusOk);
    reader.join();
    EXPECT_EQ(result.load(), kStatusOperationAborted);
}

TEST_F(BridgeTest, CallsRacingACloseSeeAValidOrAnInvalidHandleNeverAFreedOne) {
    Attach();
    for (int round = 0; round < 20; ++round) {
        Handle h = Create();
        std::atomic<bool> go{false};
        std::vector<std::thread> callers;
        for (int t = 0; t < 3; ++t) {
            callers.emplace_back([&] {
                while (!go)
                    std::this_thread::yield();
                for (int i = 0; i < 50; ++i) {
                    uint32_t timeout = 0;
                    const Status s = FT_GetPipeTimeout(h, 0x82, &timeout);
                    ASSERT_TRUE(s == kStatusOk || s == kStatusInvalidHandle) << s;
                    uint16_t vid = 0;
                    FT_GetVIDPID(h, &vid, nullptr);
                }
            });
        }
        go = true;
        const Status closed = FT_Close(h);
        for (auto& t : callers)
            t.join();
        EXPECT_EQ(closed, kStatusOk);
    }
}

TEST_F(BridgeTest, ByteStreamReaderBuffersRepliesForRead) {
    Attach();
    Handle h = Create();
    ASSERT_EQ(FT_SetPipeTimeout(h, 0x82, 20), kStatusOk);  // idle time-outs must not end the reader
    ASSERT_EQ(FT_InitializeD2XXExtension(h), kStatusOk);
    uint8_t latency = 0;
    ASSERT_EQ(FT_GetLatencyTimer(h, &latency), kStatusOk);
    EXPECT_EQ(latency, 16);
    ASSERT_EQ(FT_SetLatencyTimer(h, 1), kStatusOk);
    EXPECT_EQ(FT_SetUSBParameters(h, 0, 0), kStatusInvalidParameter);
    EXPECT_EQ(FT_SetUSBParameters(h, (16u << 20) + 1, 0), kStatusInvalidParameter);
    ASSERT_EQ(FT_SetUSBParameters(h, 512, 0), kStatusOk);

    Send(h, kProbeCommandVersionA);
    Send(h, kProbeCommandVersionB);
    uint32_t queued = 0;
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kPatience;
    while (queued < 1024 && std::chrono::steady_clock::now() < deadline) {
        ASSERT_EQ(FT_GetQueueStatus(h, &queued), kStatusOk);
    }
    ASSERT_EQ(queued, 1024u);

    UsbProbeCommand reply{};
    uint32_t read = 0;
    std::vector<uint8_t> tooMuch(1025);
    EXPECT_EQ(FT_Read(h, tooMuch.data(), 1025, &read), kStatusInvalidParameter);
    ASSERT_EQ(FT_GetQueueStatus(h, &queued), kStatusOk);
    EXPECT_EQ(queued, 1024u);  // nothing was taken
    ASSERT_EQ(FT_Read(h, reply.bytes, 512, &read), kStatusOk);
    EXPECT_EQ(reply.Code(), kProbeCommandVersionA);
    ASSERT_EQ(FT_Read(h, reply.bytes, 512, &read), kStatusOk);
    EXPECT_EQ(reply.Code(), kProbeCommandVersionB);
    EXPECT_EQ(FT_Purge(h, kPurgeByteStream), kStatusOk);
    // Closing with the reader still running cancels and joins it first.
    EXPECT_EQ(FT_Close(h), kStatusOk);
}

TEST_F(BridgeTest, GpioNotificationsReachTheCallback) {
    auto device = Attach();
    Handle h = Create();
    struct Seen {
        platform::Event called;
        std::atomic<uint32_t> kind{99};
        std::atomic<uint32_t> gpio0{99};
    } seen;
    auto callback = [](void* context, uint32_t kind, void* record) {
        auto* s = static_cast<Seen*>(context);
        s->kind = kind;
        s->gpio0 = static_cast<GpioNotification*>(record)->gpio0;
        s->called.Set();
    };
    EXPECT_EQ(FT_GetGPIO(h, 1, nullptr, &seen, 0), kStatusInvalidParameter);
    ASSERT_EQ(FT_GetGPIO(h, 1, callback, &seen, 0), kStatusOk);
    EXPECT_EQ(FT_GetGPIO(h, 1, callback, &seen, 0), kStatusOtherError);  // one callback at a time
    ASSERT_EQ(FT_EnableGPIO(h, 1, 1), kStatusOk);
    ASSERT_EQ(FT_WriteGPIO(h, 1, 0), kStatusOk);
    ASSERT_TRUE(seen.called.Wait(static_cast<uint32_t>(testsupport::kPatience.count())));
    EXPECT_EQ(seen.kind.load(), uint32_t{kNotificationKindGpio});
    EXPECT_EQ(seen.gpio0.load(), 0u);
    uint32_t levels = 0;
    ASSERT_EQ(FT_ReadGPIO(h, &levels), kStatusOk);
    EXPECT_EQ(levels, 2u);
    ASSERT_EQ(FT_WriteGPIO(h, 1, 1), kStatusOk);
    EXPECT_EQ(device->State().probeResets, 1u);  // the pulse on pin 0 reset the probe
    FT_ClearNotificationCallback(h);
    EXPECT_FALSE(device->State().notificationPending);
    FT_Close(h);
}

// A callback may clear itself and register its successor: the clear is complete when it
// returns, and the thread that ran the old callback neither takes the new one's notifications
// nor wipes its registration on the way out.
TEST_F(BridgeTest, ACallbackThatClearsItselfHandsOverToTheNextOne) {
    Attach();
    Handle h = Create();
    struct Seen {
        Handle h = nullptr;
        NotificationCallback next = nullptr;
        std::atomic<Status> registered{99};
        platform::Event first;
        platform::Event second;
    } seen;
    seen.h = h;
    seen.next = [](void* context, uint32_t, void*) { static_cast<Seen*>(context)->second.Set(); };
    auto first = [](void* context, uint32_t, void*) {
        auto* s = static_cast<Seen*>(context);
        FT_ClearNotificationCallback(s->h);
        s->registered = FT_GetGPIO(s->h, 1, s->next, s, 1);
        s->first.Set();
    };
    ASSERT_EQ(FT_GetGPIO(h, 1, first, &seen, 1), kStatusOk);
    ASSERT_EQ(FT_EnableGPIO(h, 1, 1), kStatusOk);
    ASSERT_EQ(FT_WriteGPIO(h, 1, 0), kStatusOk);
    ASSERT_TRUE(seen.first.Wait(10000));
    EXPECT_EQ(seen.registered.load(), kStatusOk);
    ASSERT_EQ(FT_WriteGPIO(h, 1, 1), kStatusOk);
    EXPECT_TRUE(seen.second.Wait(10000));
    EXPECT_EQ(FT_Close(h), kStatusOk);
}

// The simulated bridge, but a chip-configuration read, once answered, is held back from its
// caller until the test lets it go: FT_SetNotificationCallback reads the configuration after
// it found the handle, so a close can be slipped in there.
class HeldConfigurationRead : public usbdriver::IUsbDevice {
public:
    explicit HeldConfigurationRead(std::shared_ptr<sim::SimBridge> chip) : chip_(std::move(chip)) {}
    bool IsPresent() const override { return chip_->IsPresent(); }
    usbdriver::Guid InterfaceClass() const override { return chip_->InterfaceClass(); }
    std::string Path() const override { return chip_->Path(); }
    uint32_t DeviceInstance() const override { return chip_->DeviceInstance(); }
    std::shared_ptr<usbdriver::IDeviceFile> Open(uint32_t& error) override {
        auto file = chip_->Open(error);
        return file ? std::make_shared<File>(std::move(file), *this) : nullptr;
    }

    std::atomic<bool> hold{false};
    platform::Event reached{platform::Event::Reset::Manual};
    platform::Event release{platform::Event::Reset::Manual};

private:
    class File : public usbdriver::IDeviceFile {
    public:
        File(std::shared_ptr<usbdriver::IDeviceFile> inner, HeldConfigurationRead& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        uint32_t IoControl(const usbdriver::IoRequest& r, uint32_t& returned) override {
            const uint32_t result = inner_->IoControl(r, returned);
            if (usbdriver::DriverCodeRequest(r.code) == usbdriver::kRequestReadChipConfiguration &&
                owner_.hold.exchange(false)) {
                owner_.reached.Set();
                owner_.release.Wait();
            }
            return result;
        }
        void Cancel(usbdriver::Overlapped* overlapped) override { inner_->Cancel(overlapped); }
        void Close() override { inner_->Close(); }

    private:
        std::shared_ptr<usbdriver::IDeviceFile> inner_;
        HeldConfigurationRead& owner_;
    };

    std::shared_ptr<sim::SimBridge> chip_;
};

// A registration that found the handle just before another thread closed it must not start a
// notification thread on the closed handle: nobody would ever stop or join it.
TEST_F(BridgeTest, ARegistrationRacingACloseStartsNoThread) {
    auto chip = Attach();
    {
        Handle h = Create();
        FT_60XCONFIGURATION config{};
        ASSERT_EQ(FT_GetChipConfiguration(h, &config), kStatusOk);
        config.OptionalFeatureSupport = 0x04;  // notifications on channel 1
        ASSERT_EQ(FT_SetChipConfiguration(h, &config), kStatusOk);
        FT_Close(h);
        usbdriver::DetachAllDevices();
    }
    auto device = std::make_shared<HeldConfigurationRead>(chip);
    usbdriver::AttachDevice(device);
    Handle h = Create();
    device->hold = true;
    std::atomic<Status> registered{99};
    std::thread registering([&] {
        registered = FT_SetNotificationCallback(
            h, [](void*, uint32_t, void*) {}, nullptr);
    });
    ASSERT_TRUE(device->reached.Wait(10000));
    EXPECT_EQ(FT_Close(h), kStatusOk);
    device->release.Set();
    registering.join();
    EXPECT_EQ(registered.load(), kStatusInvalidHandle);
}

TEST_F(BridgeTest, DataNotificationsNeedTheChipToOfferThem) {
    sim::SimOptions o = Stepped();
    auto device = Attach(o);
    Handle h = Create();
    auto callback = [](void*, uint32_t, void*) {};
    EXPECT_EQ(FT_SetNotificationCallback(h, callback, nullptr), kStatusOtherError);
    FT_60XCONFIGURATION config{};
    ASSERT_EQ(FT_GetChipConfiguration(h, &config), kStatusOk);
    config.OptionalFeatureSupport = 0x04;  // notifications on channel 1
    ASSERT_EQ(FT_SetChipConfiguration(h, &config), kStatusOk);
    FT_Close(h);
    h = Create();

    struct Seen {
        platform::Event called;
        std::atomic<uint32_t> size{0};
        std::atomic<uint32_t> endpoint{0};
    } seen;
    auto record = [](void* context, uint32_t kind, void* data) {
        auto* s = static_cast<Seen*>(context);
        if (kind != kNotificationKindData)
            return;
        s->size = static_cast<DataNotification*>(data)->size;
        s->endpoint = static_cast<DataNotification*>(data)->endpoint;
        s->called.Set();
    };
    ASSERT_EQ(FT_SetNotificationCallback(h, record, &seen), kStatusOk);
    ASSERT_TRUE([&] {
        // The wait for a notification is issued by the thread; the reply finds it pending.
        const auto deadline = std::chrono::steady_clock::now() + testsupport::kPatience;
        while (!device->State().notificationPending) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::yield();
        }
        return true;
    }());
    Send(h, kProbeCommandHardwareId);
    ASSERT_TRUE(seen.called.Wait(static_cast<uint32_t>(testsupport::kPatience.count())));
    EXPECT_EQ(seen.endpoint.load(), 0x82u);
    EXPECT_EQ(seen.size.load(), 512u);
    EXPECT_EQ(FT_Close(h), kStatusOk);  // stops the thread and cancels its wait
    EXPECT_FALSE(device->State().notificationPending);
}
