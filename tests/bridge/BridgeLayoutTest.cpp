// Byte layouts of the requests exchanged with the driver, the status mapping and the request
// table.
#include <gtest/gtest.h>
#include <cstring>

#include "probe/bridge/BridgeApi.h"
#include "probe/bridge/BridgeInternal.h"
#include "probe/bridge/BridgeStatus.h"
#include "probe/bridge/RequestTable.h"

using namespace usbdriver;

namespace {

template <typename T>
std::vector<uint8_t> Bytes(const T& value) {
    std::vector<uint8_t> b(sizeof(T));
    std::memcpy(b.data(), &value, sizeof(T));
    return b;
}

template <typename T>
T FromBytes(const std::vector<uint8_t>& b) {
    T value;
    std::memcpy(&value, b.data(), sizeof(T));
    return value;
}

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

}  // namespace

TEST(BridgeLayout, RequestBuffersPutEachFieldAtItsOffset) {
    StreamPipeRequest stream{1, 0, {}, 0x11223344, 0x83, {}};
    auto b = Bytes(stream);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(U32At(b, 4), 0x11223344u);
    EXPECT_EQ(b[8], 0x83);
    EXPECT_EQ(FromBytes<StreamPipeRequest>(b).streamSize, 0x11223344u);

    PipeTimeoutRequest timeout{100, 0x82, {}};
    b = Bytes(timeout);
    EXPECT_EQ(U32At(b, 0), 100u);
    EXPECT_EQ(b[4], 0x82);

    GpioEnableRequest enable{3, 1};
    b = Bytes(enable);
    EXPECT_EQ(U32At(b, 0), 3u);
    EXPECT_EQ(U32At(b, 4), 1u);
    GpioWriteRequest write{1, 0};
    EXPECT_EQ(FromBytes<GpioWriteRequest>(Bytes(write)).mask, 1u);
    LegacyGpioRequest legacy{3, 2};
    EXPECT_EQ(Bytes(legacy), (std::vector<uint8_t>{3, 2}));
    GpioNotificationRequest arm{1, 0};
    EXPECT_EQ(Bytes(arm), (std::vector<uint8_t>{1, 0}));

    PipeInformationRequest pipe{};
    pipe.interfaceIndex = 1;
    pipe.pipeIndex = 2;
    pipe.pipeType = 2;
    pipe.pipeId = 0x83;
    pipe.maximumPacketSize = 1024;
    pipe.interval = 9;
    b = Bytes(pipe);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[2], 2);
    EXPECT_EQ(U32At(b, 4), 2u);
    EXPECT_EQ(b[8], 0x83);
    EXPECT_EQ(b[9] | b[10] << 8, 1024);
    EXPECT_EQ(b[11], 9);
    EXPECT_EQ(static_cast<int>(FromBytes<PipeInformationRequest>(b).maximumPacketSize), 1024);

    InterfaceDescriptorRequest iface{};
    iface.interfaceIndex = 1;
    iface.descriptor.bNumEndpoints = 3;
    b = Bytes(iface);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[2 + 4], 3);  // bNumEndpoints is byte 4 of the descriptor

    GetDescriptorRequest get{3, 2, {}, 514, 0};
    b = Bytes(get);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[1], 2);
    EXPECT_EQ(U32At(b, 4), 514u);

    UsbSetupPacket setup{0xC0, 0xF1, 0x1234, 0x0001, 4};
    b = Bytes(setup);
    EXPECT_EQ(b, (std::vector<uint8_t>{0xC0, 0xF1, 0x34, 0x12, 0x01, 0x00, 0x04, 0x00}));

    DeviceInformationRecord info{};
    info.status = 17;
    info.deviceId = 0x1209601F;
    std::strcpy(info.serialNumber, "S1");
    std::strcpy(info.description, "D");
    b = Bytes(info);
    EXPECT_EQ(U32At(b, 0), 17u);
    EXPECT_EQ(U32At(b, 8), 0x1209601Fu);
    EXPECT_EQ(b[16], 'S');
    EXPECT_EQ(b[32], 'D');

    NotificationResult note{0x82, 0, 512};
    b = Bytes(note);
    EXPECT_EQ(b, (std::vector<uint8_t>{0x82, 0, 0x00, 0x02}));
}

TEST(BridgeLayout, ChipConfigurationRoundTripsAt152Bytes) {
    FT_60XCONFIGURATION c{};
    c.VendorID = 0x1209;
    c.ProductID = 0x601F;
    c.StringDescriptors[0] = 0x0A;
    c.PowerAttributes = 0xE0;
    c.PowerConsumption = 96;
    c.FIFOClock = 1;
    c.FIFOMode = 1;
    c.ChannelConfig = 1;
    c.OptionalFeatureSupport = 0x0C3C;
    c.BatteryChargingGPIOConfig = 0xE4;
    c.FlashEEPROMDetection = 2;
    c.MSIO_Control = 0x10800;
    c.GPIO_Control = 0x55;
    const auto b = Bytes(c);
    ASSERT_EQ(b.size(), 152u);
    EXPECT_EQ(b[0] | b[1] << 8, 0x1209);
    EXPECT_EQ(b[2] | b[3] << 8, 0x601F);
    EXPECT_EQ(b[4], 0x0A);
    EXPECT_EQ(b[133], 0xE0);
    EXPECT_EQ(b[134] | b[135] << 8, 96);
    EXPECT_EQ(b[137], 1);
    EXPECT_EQ(b[138], 1);
    EXPECT_EQ(b[139], 1);
    EXPECT_EQ(b[140] | b[141] << 8, 0x0C3C);
    EXPECT_EQ(b[142], 0xE4);
    EXPECT_EQ(b[143], 2);
    EXPECT_EQ(U32At(b, 144), 0x10800u);
    EXPECT_EQ(U32At(b, 148), 0x55u);
    const FT_60XCONFIGURATION back = FromBytes<FT_60XCONFIGURATION>(b);
    EXPECT_EQ(Bytes(back), b);
}

TEST(BridgeLayout, MapsSystemErrorsToStatusCodes) {
    const std::pair<uint32_t, bridge::Status> cases[] = {
        {0, 0},    {6, 1},    {8, 5},    {38, 26},   {55, 30},  {87, 6},    {121, 19}, {170, 27}, {259, 18},
        {995, 20}, {996, 25}, {997, 24}, {1167, 30}, {1200, 2}, {1450, 28}, {31, 32},  {5, 32},
    };
    for (const auto& [error, status] : cases)
        EXPECT_EQ(bridge::MapSystemError(error), status) << error;
}

TEST(BridgeLayout, RequestTableUsesDirectIoOnlyForPipeTransfers) {
    const uint32_t* table = bridge::detail::RequestTable();
    EXPECT_EQ(table[kRequestReadPipe], 0x00222000u | (0x800u + 130) << 2 | 2);
    EXPECT_EQ(table[kRequestReadPipeEx] & 3, 2u);
    EXPECT_EQ(table[kRequestWritePipe] & 3, 1u);
    EXPECT_EQ(table[kRequestWritePipeEx] & 3, 1u);
    EXPECT_EQ(table[kRequestOpenCheck], 0x00220000u | (0x800u + 158) << 2);
    EXPECT_EQ(table[0], bridge::detail::kNotOffered);
    EXPECT_EQ(table[132], bridge::detail::kNotOffered);
}

TEST(BridgeLayout, PollIntervalNeverShiftsByANegativeCount) {
    EXPECT_EQ(bridge::detail::PollIntervalMs(0), 0u);  // treated as 1: one micro-frame
    EXPECT_EQ(bridge::detail::PollIntervalMs(1), 0u);
    EXPECT_EQ(bridge::detail::PollIntervalMs(4), 1u);
    EXPECT_EQ(bridge::detail::PollIntervalMs(9), 32u);
    EXPECT_EQ(bridge::detail::PollIntervalMs(16), 4096u);
    EXPECT_EQ(bridge::detail::PollIntervalMs(255), 4096u);
}
