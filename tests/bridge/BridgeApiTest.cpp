// The bridge library against the simulated bridge: opening, configuring, transferring and
// closing, and the exported functions' answers.
#include <gtest/gtest.h>

#include <cstring>

#include "probe/bridge/HandleList.h"
#include "tests/bridge/BridgeFixture.h"

using namespace bridgetest;
using usbdriver::StartRequestLog;
using usbdriver::TakeRequestLog;

TEST_F(BridgeTest, OpenConfigureTransferAndCloseSendTheExpectedRequests) {
    Attach();
    StartRequestLog();
    Handle h = Create();
    ASSERT_NE(h, nullptr);
    const std::vector<std::string> open = {
        "Enumerate 1",
        "Open",
        "GetDeviceInformation",
        "ControlTransfer 0xC0 0xF0 33792 1 4",  // chip id word at 0x18400
        "GetDeviceDescriptor",
        "GetDeviceInformation",
        "ControlTransfer 0xC0 0xF0 33792 1 4",
        "OpenCheck",
        "GetConfigurationDescriptor",
        "GetInterfaceDescriptor 1",
        "GetPipeInformation 0/1",
        "GetPipeInformation 1/0",
        "GetPipeInformation 1/1",
        "GetPipeInformation 1/2",
    };
    EXPECT_EQ(TakeRequestLog(), open);

    EXPECT_EQ(FT_SetSuspendTimeout(h, 0), kStatusOk);
    EXPECT_EQ(FT_SetStreamPipe(h, false, false, 0x83, 1024), kStatusOk);
    EXPECT_EQ(FT_SetPipeTimeout(h, 0x82, 100), kStatusOk);
    UsbProbeCommand command = Command(kProbeCommandHardwareId), reply{};
    uint32_t n = 0;
    EXPECT_EQ(FT_WritePipe(h, 0x02, command.bytes, 512, &n, nullptr), kStatusOk);
    EXPECT_EQ(n, 512u);
    EXPECT_EQ(FT_ReadPipe(h, 0x82, reply.bytes, 512, &n, nullptr), kStatusOk);
    EXPECT_EQ(n, 512u);
    EXPECT_EQ(reply.Code(), kProbeCommandHardwareId);
    EXPECT_EQ(FT_Close(h), kStatusOk);
    const std::vector<std::string> rest = {
        "SetSuspendTimeout 0s",
        "SetStreamPipe 0x83 all-write 0 all-read 0 size 1024",
        "SetPipeTimeout 0x82 100ms",
        "WritePipe 0x02 512",
        "ReadPipe 0x82 512",
        "AbortPipe 0x02",
        "AbortPipe 0x82",
        "AbortPipe 0x83",
        "Close",
    };
    EXPECT_EQ(TakeRequestLog(), rest);
}

TEST_F(BridgeTest, RefusesReservedPipesAndOversizedTransfersWithoutADriverRequest) {
    Attach();
    Handle h = Create();
    StartRequestLog();
    uint8_t buffer[16] = {};
    uint32_t n = 0;
    EXPECT_EQ(FT_WritePipe(h, 0x81, buffer, sizeof(buffer), &n, nullptr), kStatusReservedPipe);
    EXPECT_EQ(FT_ReadPipe(h, 0x01, buffer, sizeof(buffer), &n, nullptr), kStatusReservedPipe);
    EXPECT_EQ(FT_SetStreamPipe(h, false, false, 0x81, 1024), kStatusReservedPipe);
    EXPECT_EQ(FT_AbortPipe(h, 0x81), kStatusReservedPipe);
    EXPECT_EQ(FT_ReadPipeEx(h, 0x82, buffer, 0x100001, &n, nullptr), kStatusInvalidParameter);
    EXPECT_EQ(FT_WritePipeEx(nullptr, 0x02, buffer, 0x100001, &n, nullptr), kStatusInvalidParameter);
    EXPECT_EQ(FT_ReadPipe(h, 0x82, nullptr, 16, &n, nullptr), kStatusInvalidArgs);
    EXPECT_EQ(FT_ReadPipe(h, 0x82, buffer, 16, nullptr, nullptr), kStatusInvalidArgs);
    EXPECT_TRUE(TakeRequestLog().empty());
    FT_Close(h);
}

TEST_F(BridgeTest, AHandleIsValidOnlyWhileListed) {
    Attach();
    Handle h = Create();
    EXPECT_EQ(FT_Close(h), kStatusOk);
    EXPECT_EQ(FT_Close(h), kStatusInvalidHandle);
    uint32_t value = 0;
    uint8_t byte = 0;
    uint16_t vid = 0;
    FT_60XCONFIGURATION config{};
    EXPECT_EQ(FT_GetPipeTimeout(h, 0x82, &value), kStatusInvalidHandle);
    EXPECT_EQ(FT_ReadPipe(h, 0x82, &byte, 1, &value, nullptr), kStatusInvalidHandle);
    EXPECT_EQ(FT_GetChipConfiguration(h, &config), kStatusInvalidHandle);
    EXPECT_EQ(FT_GetVIDPID(h, &vid, nullptr), kStatusInvalidHandle);
    EXPECT_EQ(FT_IoCtl(h, 0, nullptr, 0, nullptr, 0, nullptr, nullptr), kStatusInvalidHandle);
    EXPECT_EQ(FT_GetDeviceInfo(h, &value, nullptr, nullptr, nullptr, nullptr), kStatusNotSupported);
    EXPECT_EQ(FT_InitializeD2XXExtension(h), kStatusInvalidHandle);
}

TEST_F(BridgeTest, IoCtlOutsideItsTableIsNotSupported) {
    Attach();
    Handle h = Create();
    constexpr uint32_t kTypeShift = 16;
    auto internal = [](uint32_t function) { return 0x22u << kTypeShift | function << 2; };
    EXPECT_EQ(FT_IoCtl(h, internal(usbdriver::kRequestOpenCheck), nullptr, 0, nullptr, 0, nullptr, nullptr),
              kStatusOk);
    EXPECT_EQ(FT_IoCtl(h, internal(169), nullptr, 0, nullptr, 0, nullptr, nullptr), kStatusNotSupported);
    EXPECT_EQ(FT_IoCtl(h, internal(0xFFF), nullptr, 0, nullptr, 0, nullptr, nullptr), kStatusNotSupported);
    EXPECT_EQ(FT_IoCtl(h, internal(7), nullptr, 0, nullptr, 0, nullptr, nullptr), kStatusNotSupported);
    uint32_t timeout = 0;
    uint8_t pipe = 0x77;  // no such pipe: the driver refuses, the caller maps the error
    EXPECT_EQ(
        FT_IoCtl(h, internal(usbdriver::kRequestGetPipeTimeout), &pipe, 1, &timeout, 4, nullptr, nullptr),
        kStatusIoError);
    FT_Close(h);
}

TEST_F(BridgeTest, CreateMatchesSerialNumberAndDescriptionWhole) {
    sim::SimOptions o = Stepped();
    o.description = "XY";
    o.serialNumber = "AB12";
    Attach(o);
    Handle h = nullptr;
    EXPECT_EQ(FT_Create("X", kOpenByDescription, &h), kStatusDeviceNotFound);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(FT_Create("XYZ", kOpenByDescription, &h), kStatusDeviceNotFound);
    EXPECT_EQ(FT_Create("AB1", kOpenBySerialNumber, &h), kStatusDeviceNotFound);
    ASSERT_EQ(FT_Create("XY", kOpenByDescription, &h), kStatusOk);
    EXPECT_EQ(FT_Close(h), kStatusOk);
    ASSERT_EQ(FT_Create("AB12", kOpenBySerialNumber, &h), kStatusOk);
    EXPECT_EQ(FT_Close(h), kStatusOk);
    EXPECT_EQ(FT_Create(reinterpret_cast<void*>(1), kOpenByIndex, &h), kStatusDeviceNotFound);
    EXPECT_EQ(FT_Create(nullptr, 4, &h), kStatusInvalidParameter);
    ASSERT_EQ(FT_Create(nullptr, kOpenByIndex, &h), kStatusOk);
    Handle second = nullptr;
    EXPECT_EQ(FT_Create(nullptr, kOpenByIndex, &second), kStatusDeviceNotOpened);  // opened exclusively
    FT_Close(h);
}

TEST_F(BridgeTest, CreateFindsNoDeviceWithoutOne) {
    usbdriver::DetachAllDevices();
    Handle h = nullptr;
    EXPECT_EQ(FT_Create(&kBridgeClassGuid, kOpenByGuid, &h), kStatusDeviceNotFound);
    EXPECT_EQ(FT_Create("X", kOpenBySerialNumber, &h), kStatusDeviceNotFound);
    uint32_t count = 7;
    EXPECT_EQ(FT_ListDevices(&count, nullptr, kListNumberOnly), kStatusDeviceNotFound);
    EXPECT_EQ(count, 0u);
}

TEST_F(BridgeTest, RewritingTheChipConfigurationReEnumeratesTheDevice) {
    sim::SimOptions o = Stepped();
    o.chipConfigured = false;
    auto device = Attach(o);
    Handle h = Create();
    FT_60XCONFIGURATION config{};
    ASSERT_EQ(FT_GetChipConfiguration(h, &config), kStatusOk);
    EXPECT_EQ(config.OptionalFeatureSupport, 0x0C00);
    config.FIFOClock = config.FIFOMode = config.ChannelConfig = 1;
    const FT_60XCONFIGURATION asGiven = config;
    ASSERT_EQ(FT_SetChipConfiguration(h, &config), kStatusOk);
    EXPECT_EQ(std::memcmp(&config, &asGiven, sizeof(config)), 0);  // the caller's record is untouched
    const auto written = device->State().configuration;
    EXPECT_EQ(written.FIFOMode, 1);
    EXPECT_EQ(written.OptionalFeatureSupport, 0);  // bits 10 and 11 cleared
    uint32_t timeout = 0;
    EXPECT_EQ(FT_GetPipeTimeout(h, 0x82, &timeout), kStatusDeviceNotConnected);
    EXPECT_EQ(FT_Close(h), kStatusOk);
    h = Create();
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(FT_SetChipConfiguration(h, nullptr), kStatusOk);  // back to the defaults
    EXPECT_EQ(device->State().configuration.FIFOMode, 0);
    FT_Close(h);
}

TEST_F(BridgeTest, ChipConfigurationStringsAreCheckedBeforeAnythingIsSent) {
    Attach();
    Handle h = Create();
    FT_60XCONFIGURATION good{};
    ASSERT_EQ(FT_GetChipConfiguration(h, &good), kStatusOk);
    auto withSerialLength = [&](uint8_t length) {
        FT_60XCONFIGURATION c = good;
        const size_t serialAt = c.StringDescriptors[0] + c.StringDescriptors[c.StringDescriptors[0]];
        c.StringDescriptors[serialAt] = length;
        return c;
    };
    StartRequestLog();
    FT_60XCONFIGURATION c = withSerialLength(2);
    EXPECT_EQ(FT_SetChipConfiguration(h, &c), kStatusInvalidParameter);
    c = good;
    c.StringDescriptors[0] = 34;  // manufacturer longer than 32
    EXPECT_EQ(FT_SetChipConfiguration(h, &c), kStatusInvalidParameter);
    c = good;
    c.StringDescriptors[c.StringDescriptors[0] + c.StringDescriptors[c.StringDescriptors[0]] + 2] = '-';
    EXPECT_EQ(FT_SetChipConfiguration(h, &c), kStatusInvalidParameter);  // serial numbers are alphanumeric
    c = good;
    c.StringDescriptors[2] = 0x07;  // a control character in the manufacturer
    EXPECT_EQ(FT_SetChipConfiguration(h, &c), kStatusInvalidParameter);
    EXPECT_TRUE(TakeRequestLog().empty());
    FT_Close(h);
}

TEST_F(BridgeTest, DescribesTheDevice) {
    Attach();
    Handle h = Create();
    uint32_t type = 0, id = 0, location = 0, version = 0;
    char serial[16], description[32];
    ASSERT_EQ(FT_GetDeviceInfo(h, &type, &id, serial, description, &location), kStatusOk);
    EXPECT_EQ(type, 601u);
    EXPECT_EQ(id, uint32_t{sim::SimBridge::kVendorId} << 16 | sim::SimBridge::kProductId);
    EXPECT_STREQ(serial, "SIM716C0001");
    EXPECT_STREQ(description, "Probe Bridge SIM");
    uint16_t vid = 0, pid = 0;
    EXPECT_EQ(FT_GetVIDPID(h, nullptr, nullptr), kStatusInvalidArgs);
    ASSERT_EQ(FT_GetVIDPID(h, &vid, &pid), kStatusOk);
    EXPECT_EQ(pid, 0x601F);
    EXPECT_EQ(FT_GetLibraryVersion(&version), kStatusOk);
    EXPECT_EQ(version, 0x01030002u);
    EXPECT_EQ(FT_GetDriverVersion(h, &version), kStatusOk);
    EXPECT_EQ(version, sim::SimBridge::kDriverVersion);
    EXPECT_EQ(FT_GetFirmwareVersion(h, &version), kStatusOk);
    EXPECT_EQ(version, sim::SimBridge::kFirmwareVersion);

    DeviceDescriptor device{};
    ASSERT_EQ(FT_GetDeviceDescriptor(h, &device), kStatusOk);
    EXPECT_EQ(device.bcdUSB, 0x0310);
    ConfigurationDescriptor config{};
    ASSERT_EQ(FT_GetConfigurationDescriptor(h, &config), kStatusOk);
    EXPECT_EQ(config.bNumInterfaces, 2);
    PipeInformation pipe{};
    ASSERT_EQ(FT_GetPipeInformation(h, 1, 2, &pipe), kStatusOk);
    EXPECT_EQ(pipe.pipeId, 0x83);
    EXPECT_EQ(pipe.maximumPacketSize, 1024);
    uint8_t text[514] = {};
    ASSERT_EQ(FT_GetStringDescriptor(h, 3, text), kStatusOk);
    EXPECT_EQ(text[0], 2 + 2 * 11);
    EXPECT_EQ(text[2], 'S');

    EXPECT_EQ(FT_IsDevicePath(h, "elsewhere"), kStatusDevicePathMismatch);
    std::vector<usbdriver::DeviceInterface> interfaces;
    usbdriver::EnumerateInterfaces(kBridgeClassGuid, interfaces);
    EXPECT_EQ(FT_IsDevicePath(h, interfaces.at(0).path.c_str()), kStatusOk);
    FT_Close(h);
}

TEST_F(BridgeTest, DeviceListDescribesClosedAndOpenDevices) {
    Attach();
    uint32_t count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), kStatusOk);
    ASSERT_EQ(count, 1u);
    DeviceListEntry entry{};
    ASSERT_EQ(FT_GetDeviceInfoList(&entry, &count), kStatusOk);
    EXPECT_EQ(entry.flags, uint32_t{kDeviceSuperSpeed});
    EXPECT_EQ(entry.type, 601u);
    EXPECT_EQ(entry.locationId, 0x11u);
    EXPECT_EQ(entry.handle, nullptr);

    Handle h = Create();
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), kStatusOk);
    uint32_t flags = 0;
    Handle listed = nullptr;
    char serial[16] = {};
    ASSERT_EQ(FT_GetDeviceInfoDetail(0, &flags, nullptr, nullptr, nullptr, serial, nullptr, &listed),
              kStatusOk);
    EXPECT_EQ(flags, uint32_t{kDeviceOpened | kDeviceSuperSpeed});
    EXPECT_EQ(listed, h);
    EXPECT_STREQ(serial, "SIM716C0001");
    EXPECT_EQ(FT_GetDeviceInfoDetail(1, &flags, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              kStatusDeviceNotFound);
    FT_Close(h);

    ASSERT_EQ(FT_ListDevices(&count, nullptr, kListNumberOnly), kStatusOk);
    EXPECT_EQ(count, 1u);
    char description[32] = {};
    ASSERT_EQ(FT_ListDevices(nullptr, description, kListByIndex | kListDescription), kStatusOk);
    EXPECT_STREQ(description, "Probe Bridge SIM");
    char* buffers[1] = {serial};
    ASSERT_EQ(FT_ListDevices(buffers, &count, kListAll | kListSerialNumber), kStatusOk);
    EXPECT_STREQ(serial, "SIM716C0001");
    EXPECT_EQ(FT_ListDevices(buffers, &count, kListAll | kListByIndex | kListSerialNumber),
              kStatusInvalidParameter);
    EXPECT_EQ(FT_ListDevices(buffers, &count, kListAll), kStatusInvalidParameter);
}

// The notification pipe is pipe 1 of interface 0 (pipe 0 is the chip's session pipe); its
// bInterval gives the poll interval that spaces repeated GPIO notifications.
TEST_F(BridgeTest, CreateTakesThePollIntervalFromTheNotificationPipe) {
    struct Case {
        uint8_t bInterval;
        uint32_t pollMs;
    };
    for (const Case k : {Case{9, 32}, Case{4, 1}, Case{12, 256}}) {
        sim::SimOptions o = Stepped();
        o.notificationInterval = k.bInterval;
        Attach(o);
        Handle h = Create();
        ASSERT_NE(h, nullptr);
        PipeInformation session{}, notification{};
        ASSERT_EQ(FT_GetPipeInformation(h, 0, 0, &session), kStatusOk);
        ASSERT_EQ(FT_GetPipeInformation(h, 0, 1, &notification), kStatusOk);
        EXPECT_EQ(session.pipeId, 0x01);
        EXPECT_EQ(notification.pipeId, 0x81);
        EXPECT_EQ(notification.pipeType, usbdriver::kPipeTypeInterrupt);
        EXPECT_EQ(bridge::detail::FindHandle(h)->notifications.pollIntervalMs, k.pollMs) << int(k.bInterval);
        FT_Close(h);
        usbdriver::DetachAllDevices();
    }
}

// FT_SetGPIOLevel and FT_SetGPIOPull send vendor request 0x02 (value 1 levels, 3 pulls) with
// a 9-bit field: for each pin p of the mask, bits 3p..3p+2 = 4 | the pin's two bits 2p..2p+1.
TEST_F(BridgeTest, GpioLevelAndPullSendTheirBitFieldsToTheChip) {
    auto device = Attach();
    Handle h = Create();
    ASSERT_NE(h, nullptr);
    struct Case {
        uint32_t mask;
        uint32_t bits;
        uint16_t field;
    };
    const Case cases[] = {
        {0b001, 0b10, 0b000'000'110},
        {0b010, 0b1100, 0b000'111'000},  // pin 1 takes bits 2..3
        {0b011, 0b0111, 0b000'101'111},
        {0b100, 0xFFFFFFFF, 0b111'000'000},
        {0b111, 0b01'10'01, 0b101'110'101},
        {0b101, 0b11'11'00, 0b111'000'100},  // pin 1 not in the mask
        {0, 0xFF, 0},
        {0b1000, 0xFF, 0},  // there is no pin 3
    };
    for (const Case& k : cases) {
        for (const uint16_t value : {1, 3}) {
            const Status s =
                value == 1 ? FT_SetGPIOLevel(h, k.mask, k.bits) : FT_SetGPIOPull(h, k.mask, k.bits);
            ASSERT_EQ(s, kStatusOk);
            const auto sent = device->State().controlTransfersIn;
            ASSERT_FALSE(sent.empty());
            const sim::SimControlTransfer& t = sent.back();
            EXPECT_EQ(t.setup.bmRequestType, 0x40);
            EXPECT_EQ(t.setup.bRequest, 0x02);
            EXPECT_EQ(t.setup.wValue, value);
            EXPECT_EQ(t.setup.wIndex, 0);
            EXPECT_EQ(t.setup.wLength, 2);
            const std::vector<uint8_t> field = {static_cast<uint8_t>(k.field),
                                                static_cast<uint8_t>(k.field >> 8)};
            EXPECT_EQ(t.data, field) << "mask " << k.mask << " bits " << k.bits << " value " << value;
        }
    }
    FT_Close(h);
}

// Host-to-device data reaches the chip byte for byte after the setup packet; device-to-host
// data comes back into the caller's buffer.
TEST_F(BridgeTest, ControlTransferCarriesTheDataStageEachWay) {
    auto device = Attach();
    Handle h = Create();
    ASSERT_NE(h, nullptr);
    // bmRequestType 0x40, bRequest 0x02, wValue 1; wIndex 0, wLength 2.
    uint8_t out[2] = {0xA5, 0x01};
    uint32_t n = 0;
    ASSERT_EQ(FT_ControlTransfer(h, 0x0001'02'40, 0x0002'0000, out, sizeof(out), &n), kStatusOk);
    EXPECT_EQ(n, 2u);
    // An unknown request is stalled, but its data stage has reached the chip all the same.
    uint8_t longer[600];
    for (size_t i = 0; i < sizeof(longer); ++i)
        longer[i] = static_cast<uint8_t>(i * 7);
    EXPECT_NE(FT_ControlTransfer(h, 0x1234'77'41, 0x0258'0003, longer, sizeof(longer), &n), kStatusOk);
    const auto sent = device->State().controlTransfersIn;
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].data, std::vector<uint8_t>(out, out + 2));
    EXPECT_EQ(sent[1].setup.bmRequestType, 0x41);
    EXPECT_EQ(sent[1].setup.bRequest, 0x77);
    EXPECT_EQ(sent[1].setup.wValue, 0x1234);
    EXPECT_EQ(sent[1].setup.wIndex, 3);
    EXPECT_EQ(sent[1].data, std::vector<uint8_t>(longer, longer + sizeof(longer)));

    uint8_t version[4] = {};
    ASSERT_EQ(FT_ControlTransfer(h, 0x0000'F1'C0, 0x0004'0000, version, sizeof(version), &n), kStatusOk);
    uint32_t word = 0;
    std::memcpy(&word, version, sizeof(word));
    EXPECT_EQ(word, sim::SimBridge::kFirmwareVersion);
    EXPECT_EQ(device->State().controlTransfersIn.size(), 2u);  // device-to-host: nothing kept
    FT_Close(h);
}
