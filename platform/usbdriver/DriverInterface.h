// What passes between the bridge library and the bridge driver: the device-interface class,
// the I/O control codes and the byte layout of every request buffer. All fields are
// little-endian; the structures are packed so that their layout is the wire layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace usbdriver {

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
    friend bool operator==(const Guid&, const Guid&) = default;
};

// The device-interface class under which the bridge driver lists its devices.
inline constexpr Guid kBridgeInterfaceClass = {
    0xD1E8FE6A, 0xAB75, 0x4D9E, {0x97, 0xD2, 0x06, 0xFA, 0x22, 0xC7, 0x73, 0x6C}};

// I/O control code layout: device type in the high word, then access, function and method.
inline constexpr uint32_t kBridgeDeviceType = 0x22;
inline constexpr uint32_t kMethodBuffered = 0;
inline constexpr uint32_t kMethodInDirect = 1;
inline constexpr uint32_t kMethodOutDirect = 2;
inline constexpr uint32_t kDriverFunctionBase = 0x800;

constexpr uint32_t ControlCode(uint32_t deviceType, uint32_t function, uint32_t method) {
    return (deviceType << 16) | (function << 2) | method;
}
constexpr uint32_t ControlCodeFunction(uint32_t code) {
    return (code >> 2) & 0xFFF;
}
constexpr uint32_t ControlCodeMethod(uint32_t code) {
    return code & 3;
}
constexpr uint32_t ControlCodeDeviceType(uint32_t code) {
    return code >> 16;
}

// The library's request numbers; the driver's function is kDriverFunctionBase + the number.
enum DriverRequest : uint32_t {
    kRequestSerialNumber = 39,
    kRequestDescription = 40,
    kRequestLocationId = 41,
    kRequestDeviceInformation = 102,
    kRequestDriverVersion = 111,
    kRequestReadChipConfiguration = 128,
    kRequestWriteChipConfiguration = 129,
    kRequestReadPipe = 130,
    kRequestWritePipe = 131,
    kRequestArmGpioNotification = 133,
    kRequestSetGpio = 134,
    kRequestSetStreamPipe = 135,
    kRequestClearStreamPipe = 136,
    kRequestFlushPipe = 139,
    kRequestDeviceDescriptor = 146,
    kRequestConfigurationDescriptor = 147,
    kRequestInterfaceDescriptor = 148,
    kRequestPipeInformation = 149,
    kRequestControlTransfer = 150,
    kRequestWaitNotification = 152,
    kRequestGetDescriptor = 153,
    kRequestCancelNotification = 154,
    kRequestResetChipConfiguration = 155,
    kRequestResetPort = 156,
    kRequestCyclePort = 157,
    kRequestOpenCheck = 158,
    kRequestSetPipeTimeout = 159,
    kRequestGetPipeTimeout = 160,
    kRequestSetSuspendTimeout = 161,
    kRequestGetSuspendTimeout = 162,
    kRequestEnableGpio = 163,
    kRequestWriteGpio = 164,
    kRequestReadGpio = 165,
    kRequestAbortPipe = 166,
    kRequestReadPipeEx = 167,
    kRequestWritePipeEx = 168,
};
inline constexpr uint32_t kRequestTableSize = 169;

// The driver's control code for a library request (direct I/O for the pipe transfers).
constexpr uint32_t DriverCode(uint32_t request) {
    uint32_t method = kMethodBuffered;
    if (request == kRequestReadPipe || request == kRequestReadPipeEx)
        method = kMethodOutDirect;
    if (request == kRequestWritePipe || request == kRequestWritePipeEx)
        method = kMethodInDirect;
    return ControlCode(kBridgeDeviceType, kDriverFunctionBase + request, method);
}

// The request number a driver code carries, or kRequestTableSize when it is none of ours.
constexpr uint32_t DriverCodeRequest(uint32_t code) {
    const uint32_t function = ControlCodeFunction(code);
    if (ControlCodeDeviceType(code) != kBridgeDeviceType || function < kDriverFunctionBase ||
        function - kDriverFunctionBase >= kRequestTableSize) {
        return kRequestTableSize;
    }
    return function - kDriverFunctionBase;
}

#pragma pack(push, 1)

struct UsbDeviceDescriptor {
    uint8_t bLength;
    uint8_t bDescriptorType;
    uint16_t bcdUSB;
    uint8_t bDeviceClass;
    uint8_t bDeviceSubClass;
    uint8_t bDeviceProtocol;
    uint8_t bMaxPacketSize0;
    uint16_t idVendor;
    uint16_t idProduct;
    uint16_t bcdDevice;
    uint8_t iManufacturer;
    uint8_t iProduct;
    uint8_t iSerialNumber;
    uint8_t bNumConfigurations;
};
static_assert(sizeof(UsbDeviceDescriptor) == 18);

struct UsbConfigurationDescriptor {
    uint8_t bLength;
    uint8_t bDescriptorType;
    uint16_t wTotalLength;
    uint8_t bNumInterfaces;
    uint8_t bConfigurationValue;
    uint8_t iConfiguration;
    uint8_t bmAttributes;
    uint8_t MaxPower;
};
static_assert(sizeof(UsbConfigurationDescriptor) == 9);
// The configuration-descriptor request exchanges a 10-byte buffer.
inline constexpr uint32_t kConfigurationDescriptorRequestSize = 10;

struct UsbInterfaceDescriptor {
    uint8_t bLength;
    uint8_t bDescriptorType;
    uint8_t bInterfaceNumber;
    uint8_t bAlternateSetting;
    uint8_t bNumEndpoints;
    uint8_t bInterfaceClass;
    uint8_t bInterfaceSubClass;
    uint8_t bInterfaceProtocol;
    uint8_t iInterface;
};
static_assert(sizeof(UsbInterfaceDescriptor) == 9);

struct InterfaceDescriptorRequest {
    uint8_t interfaceIndex;
    uint8_t reserved;
    UsbInterfaceDescriptor descriptor;
};
static_assert(sizeof(InterfaceDescriptorRequest) == 11);
static_assert(offsetof(InterfaceDescriptorRequest, descriptor) == 2);

struct PipeInformationRequest {
    uint8_t interfaceIndex;
    uint8_t reserved1;
    uint8_t pipeIndex;
    uint8_t reserved2;
    uint32_t pipeType;
    uint8_t pipeId;
    uint16_t maximumPacketSize;
    uint8_t interval;
    uint8_t reserved3[4];
};
static_assert(sizeof(PipeInformationRequest) == 16);
static_assert(offsetof(PipeInformationRequest, pipeType) == 4);
static_assert(offsetof(PipeInformationRequest, pipeId) == 8);
static_assert(offsetof(PipeInformationRequest, maximumPacketSize) == 9);
static_assert(offsetof(PipeInformationRequest, interval) == 11);

// USB endpoint transfer types as pipe types.
inline constexpr uint32_t kPipeTypeControl = 0;
inline constexpr uint32_t kPipeTypeIsochronous = 1;
inline constexpr uint32_t kPipeTypeBulk = 2;
inline constexpr uint32_t kPipeTypeInterrupt = 3;

struct StreamPipeRequest {
    uint8_t allWritePipes;
    uint8_t allReadPipes;
    uint8_t reserved1[2];
    uint32_t streamSize;  // not used by the clear request
    uint8_t pipeId;
    uint8_t reserved2[3];
};
static_assert(sizeof(StreamPipeRequest) == 12);
static_assert(offsetof(StreamPipeRequest, streamSize) == 4);
static_assert(offsetof(StreamPipeRequest, pipeId) == 8);

struct PipeTimeoutRequest {
    uint32_t timeoutMs;
    uint8_t pipeId;
    uint8_t reserved[3];
};
static_assert(sizeof(PipeTimeoutRequest) == 8);

struct GpioEnableRequest {
    uint32_t enableMask;  // always 3: both pins
    uint32_t direction;   // bit set = output
};
static_assert(sizeof(GpioEnableRequest) == 8);

struct GpioWriteRequest {
    uint32_t mask;
    uint32_t data;
};
static_assert(sizeof(GpioWriteRequest) == 8);

struct LegacyGpioRequest {
    uint8_t mask;
    uint8_t value;
};
static_assert(sizeof(LegacyGpioRequest) == 2);

struct GpioNotificationRequest {
    uint8_t pins;
    uint8_t zero;
};
static_assert(sizeof(GpioNotificationRequest) == 2);

// Get-descriptor request: this header, then a data area of max(length, 512) + 4 bytes.
struct GetDescriptorRequest {
    uint8_t descriptorType;
    uint8_t index;
    uint8_t reserved[2];
    uint32_t bufferSize;
    uint32_t zero;
};
static_assert(sizeof(GetDescriptorRequest) == 12);
inline constexpr uint32_t kGetDescriptorOverhead = 16;
inline constexpr uint32_t kMinimumDescriptorData = 512;

struct UsbSetupPacket {
    uint8_t bmRequestType;
    uint8_t bRequest;
    uint16_t wValue;
    uint16_t wIndex;
    uint16_t wLength;
};
static_assert(sizeof(UsbSetupPacket) == 8);

// Control-transfer request: the setup packet, then a data area of max(length, 512) + 2 bytes.
inline constexpr uint32_t kControlTransferOverhead = 10;
inline constexpr uint32_t kMinimumControlData = 512;

struct DeviceInformationRecord {
    uint32_t status;  // preset to 17 by the library, 0 when the driver filled the record
    uint32_t chipWord;
    uint32_t deviceId;  // vendor id << 16 | product id
    uint32_t locationId;
    char serialNumber[16];
    char description[32];
    uint8_t reserved[32];
};
static_assert(sizeof(DeviceInformationRecord) == 96);
static_assert(offsetof(DeviceInformationRecord, serialNumber) == 16);
static_assert(offsetof(DeviceInformationRecord, description) == 32);

// Result of a completed wait-for-notification request.
struct NotificationResult {
    uint8_t endpointOrGpio;  // endpoint of a data notification, GPIO levels in bits 2 and 3
    uint8_t kind;            // 0 data, 16 GPIO
    uint16_t size;
};
static_assert(sizeof(NotificationResult) == 4);
inline constexpr uint8_t kNotificationData = 0;
inline constexpr uint8_t kNotificationGpio = 16;

// The bridge chip's configuration record as the chip stores it.
struct ChipConfiguration {
    uint16_t VendorID;
    uint16_t ProductID;
    uint8_t StringDescriptors[128];  // manufacturer, product, serial: each length, type, UTF-16
    uint8_t Reserved1;
    uint8_t PowerAttributes;
    uint16_t PowerConsumption;
    uint8_t Reserved2;
    uint8_t FIFOClock;
    uint8_t FIFOMode;
    uint8_t ChannelConfig;
    uint16_t OptionalFeatureSupport;
    uint8_t BatteryChargingGPIOConfig;
    uint8_t FlashEEPROMDetection;
    uint32_t MSIO_Control;
    uint32_t GPIO_Control;
};
static_assert(sizeof(ChipConfiguration) == 152);
static_assert(offsetof(ChipConfiguration, StringDescriptors) == 4);
static_assert(offsetof(ChipConfiguration, Reserved1) == 132);
static_assert(offsetof(ChipConfiguration, PowerConsumption) == 134);
static_assert(offsetof(ChipConfiguration, FIFOClock) == 137);
static_assert(offsetof(ChipConfiguration, OptionalFeatureSupport) == 140);
static_assert(offsetof(ChipConfiguration, BatteryChargingGPIOConfig) == 142);
static_assert(offsetof(ChipConfiguration, MSIO_Control) == 144);
static_assert(offsetof(ChipConfiguration, GPIO_Control) == 148);

#pragma pack(pop)

// Vendor control requests of the bridge chip.
inline constexpr uint8_t kVendorRequestReadChipRegister = 0xF0;  // wIndex:wValue = address, 4 bytes
inline constexpr uint8_t kVendorRequestFirmwareVersion = 0xF1;   // 4 bytes
inline constexpr uint8_t kVendorRequestGpioControl = 0x02;       // wValue 1 levels, 3 pulls
inline constexpr uint32_t kChipRegisterChipId = 0x18400;

}  // namespace usbdriver
