// The probe's side of the wire: the 512-byte command blocks on pipes 0x02 and 0x82 (fields
// big-endian), the registers and identity words, the 4100-byte stream packets on pipe 0x83
// (fields little-endian) and the 48-byte header handed on with every frame. Shared by the
// probe link and by the simulated probe, so both read and write the same bytes.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// ---- Pipes -----------------------------------------------------------------------------

inline constexpr uint8_t kProbeCommandPipe = 0x02;  // host to probe: command blocks
inline constexpr uint8_t kProbeReplyPipe = 0x82;    // probe to host: replies
inline constexpr uint8_t kProbeStreamPipe = 0x83;   // probe to host: stream packets

// ---- Command blocks ----------------------------------------------------------------------

inline constexpr size_t kUsbProbeCommandSize = 512;

enum ProbeCommandCode : uint16_t {
    kProbeCommandStartStreaming = 0x0001,
    kProbeCommandStopStreaming = 0x0002,
    kProbeCommandSetFocus = 0x1002,
    kProbeCommandSetDepth = 0x1003,
    kProbeCommandWriteRegister = 0x100A,
    kProbeCommandReadRegister = 0x200A,
    kProbeCommandHardwareId = 0xF001,
    kProbeCommandVersionA = 0xF002,
    kProbeCommandVersionB = 0xF003,
};

inline constexpr uint16_t kProbeReplyAccepted = 1;

// Ranges the probe accepts, in millimetres.
inline constexpr uint16_t kProbeMinFocusMm = 5;
inline constexpr uint16_t kProbeMaxFocusMm = 240;
inline constexpr uint16_t kProbeMinDepthMm = 20;
inline constexpr uint16_t kProbeMaxDepthMm = 240;

// One command block or reply: code at 0, status at 2, argument or result at 4, register
// value at 8; every other byte zero.
struct UsbProbeCommand {
    uint8_t bytes[kUsbProbeCommandSize];

    uint16_t Code() const { return Get16(0); }
    void SetCode(uint16_t code) { Put16(0, code); }
    uint16_t Status() const { return Get16(2); }
    void SetStatus(uint16_t status) { Put16(2, status); }
    // u16 argument of focus and depth.
    uint16_t Argument16() const { return Get16(4); }
    void SetArgument16(uint16_t value) { Put16(4, value); }
    // u32 register code of a register command, or the result of an information command.
    uint32_t Argument32() const { return Get32(4); }
    void SetArgument32(uint32_t value) { Put32(4, value); }
    uint32_t RegisterValue() const { return Get32(8); }
    void SetRegisterValue(uint32_t value) { Put32(8, value); }

    void Clear() { std::memset(bytes, 0, sizeof(bytes)); }

private:
    uint16_t Get16(size_t at) const { return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]); }
    uint32_t Get32(size_t at) const {
        return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
               static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
    }
    void Put16(size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v >> 8);
        bytes[at + 1] = static_cast<uint8_t>(v);
    }
    void Put32(size_t at, uint32_t v) {
        Put16(at, static_cast<uint16_t>(v >> 16));
        Put16(at + 2, static_cast<uint16_t>(v));
    }
};
static_assert(sizeof(UsbProbeCommand) == kUsbProbeCommandSize);

// ---- Registers ---------------------------------------------------------------------------

enum ProbeRegister : uint32_t {
    kProbeRegisterHiFrameMode = 0xAAAA0001,  // written inverted: 1 normal, 0 high frame rate
    kProbeRegisterAutoSleepTime = 0xAAAA0002,
    kProbeRegisterParameter4 = 0xAAAA0003,
    kProbeRegisterTxFrequency = 0xAAAA0005,
    kProbeRegisterParameter120 = 0xAAAA0006,
    kProbeRegisterParameter121 = 0xAAAA0007,
    kProbeRegisterSettingsMarker = 0xBBBB0001,
};

// Written to the settings marker after opening; any other value read later means the probe
// lost its settings.
inline constexpr uint32_t kProbeSettingsMarkerValue = 0x1234567;

// ---- Identity ----------------------------------------------------------------------------

// Hardware id: model in the high word, kind in the low word.
inline constexpr uint16_t kProbeModel716C = 0x0101;
inline constexpr uint16_t kProbeModel716CAlt = 0x01A1;
inline constexpr uint16_t kProbeKindConvex = 0x0000;
inline constexpr uint16_t kProbeKindLinear = 0x0010;
inline constexpr uint32_t kProbeIdentityUnread = 0xFFFFFFFF;

constexpr uint16_t ProbeModelWord(uint32_t hardwareId) {
    return static_cast<uint16_t>(hardwareId >> 16);
}
constexpr uint16_t ProbeKindWord(uint32_t hardwareId) {
    return static_cast<uint16_t>(hardwareId);
}
constexpr uint32_t MakeProbeHardwareId(uint16_t model, uint16_t kind) {
    return static_cast<uint32_t>(model) << 16 | kind;
}

// The firmware versions the viewer works with. Versions are dates written as hexadecimal
// digits YYMMDD followed by a two-digit revision (0x20012901: 2020-01-29, revision 01).
enum ProbeVersionProbes : uint8_t { kProbeVersionBoth, kProbeVersionLinearOnly, kProbeVersionConvexOnly };
struct ProbeVersionPair {
    uint32_t versionB;
    uint32_t versionA;
    ProbeVersionProbes probes;
};
inline constexpr ProbeVersionPair kSupportedProbeVersions[] = {
    {0x20012901, 0x20012901, kProbeVersionBoth},       {0x19110601, 0x19110601, kProbeVersionBoth},
    {0x19072101, 0x19032201, kProbeVersionBoth},       {0x19030401, 0x19030101, kProbeVersionBoth},
    {0x18093001, 0x18091803, kProbeVersionLinearOnly}, {0x19032201, 0x19032201, kProbeVersionConvexOnly},
    {0x18092801, 0x18072602, kProbeVersionConvexOnly}, {0x18090401, 0x18072602, kProbeVersionConvexOnly},
    {0x18033001, 0x18032802, kProbeVersionConvexOnly},
};

// Whether the three identity words name a probe and firmware the viewer supports.
constexpr bool IsSupportedProbeIdentity(uint32_t hardwareId, uint32_t versionB, uint32_t versionA) {
    const uint16_t model = ProbeModelWord(hardwareId);
    const uint16_t kind = ProbeKindWord(hardwareId);
    if (model != kProbeModel716C && model != kProbeModel716CAlt)
        return false;
    if (kind != kProbeKindConvex && kind != kProbeKindLinear)
        return false;
    const bool linear = kind == kProbeKindLinear;
    for (const ProbeVersionPair& pair : kSupportedProbeVersions) {
        if (pair.versionB != versionB || pair.versionA != versionA)
            continue;
        if (pair.probes == kProbeVersionBoth)
            return true;
        if (pair.probes == (linear ? kProbeVersionLinearOnly : kProbeVersionConvexOnly))
            return true;
    }
    return false;
}

// ---- Stream packets ----------------------------------------------------------------------

inline constexpr size_t kProbePacketSize = 4100;
inline constexpr uint16_t kProbePacketMagic = 0x1002;
inline constexpr uint8_t kProbePacketKindHeader = 0xF;
inline constexpr uint8_t kProbePacketKindLine = 0xB;
inline constexpr int kProbeLinesPerFrame = 128;
inline constexpr int kProbeSamplesPerLine = 1024;
inline constexpr int kProbeHeaderFloatCount = 6;

// Header flags: bit 0 frame type 1, bit 1 frame type 2; 0 announces a header-only frame.
inline constexpr uint16_t kProbeFrameFlagType1 = 0x1;
inline constexpr uint16_t kProbeFrameFlagType2 = 0x2;

// One stream packet. Header packets use the fields up to the temperature; line packets carry
// 1024 float echo amplitudes from offset 4, sample 0 first.
struct ProbeStreamPacket {
    static constexpr int kSamples = 1024;
    uint8_t bytes[kProbePacketSize];

    uint16_t Magic() const { return Get16(0); }
    void SetMagic(uint16_t v) { Put16(0, v); }
    uint8_t LineNumber() const { return bytes[2]; }
    void SetLineNumber(uint8_t v) { bytes[2] = v; }
    uint8_t Kind() const { return bytes[3] >> 4; }
    uint8_t Sequence() const { return bytes[3] & 0xF; }
    void SetKindAndSequence(uint8_t kind, uint8_t sequence) {
        bytes[3] = static_cast<uint8_t>(kind << 4 | (sequence & 0xF));
    }

    uint16_t Flags() const { return Get16(4); }
    void SetFlags(uint16_t v) { Put16(4, v); }
    uint8_t DeviceByte() const { return bytes[6]; }
    void SetDeviceByte(uint8_t v) { bytes[6] = v; }
    uint16_t DepthMm() const { return Get16(8); }
    void SetDepthMm(uint16_t v) { Put16(8, v); }
    uint16_t DeviceWord1() const { return Get16(10); }
    void SetDeviceWord1(uint16_t v) { Put16(10, v); }
    uint16_t DeviceWord2() const { return Get16(12); }
    void SetDeviceWord2(uint16_t v) { Put16(12, v); }
    float HeaderFloat(int i) const { return GetFloat(14 + 4 * static_cast<size_t>(i)); }
    void SetHeaderFloat(int i, float v) { PutFloat(14 + 4 * static_cast<size_t>(i), v); }
    float Temperature() const { return GetFloat(38); }
    void SetTemperature(float v) { PutFloat(38, v); }

    float Sample(int i) const { return GetFloat(4 + 4 * static_cast<size_t>(i)); }
    void SetSample(int i, float v) { PutFloat(4 + 4 * static_cast<size_t>(i), v); }
    // All 1024 samples of a line packet at once.
    void GetSamples(float* values) const {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(values, bytes + 4, sizeof(float) * kSamples);
        } else {
            for (int i = 0; i < kSamples; ++i)
                values[i] = Sample(i);
        }
    }
    void SetSamples(const float* values) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(bytes + 4, values, sizeof(float) * kSamples);
        } else {
            for (int i = 0; i < kSamples; ++i)
                SetSample(i, values[i]);
        }
    }

    void Clear() { std::memset(bytes, 0, sizeof(bytes)); }

private:
    uint16_t Get16(size_t at) const { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }
    void Put16(size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    float GetFloat(size_t at) const {
        const uint32_t bits = static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
                              static_cast<uint32_t>(bytes[at + 2]) << 16 |
                              static_cast<uint32_t>(bytes[at + 3]) << 24;
        float v;
        std::memcpy(&v, &bits, sizeof(v));
        return v;
    }
    void PutFloat(size_t at, float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof(bits));
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
};
static_assert(sizeof(ProbeStreamPacket) == kProbePacketSize);

// ---- Frames as handed to the probe driver -------------------------------------------------

// The header copied with each frame (host byte order).
struct ProbeFrameHeader {
    uint8_t frameType;  // 0 header only, 1 or 2 image
    uint8_t deviceByte;
    uint16_t depthMm;
    uint16_t deviceWord1;
    uint16_t deviceWord2;
    uint8_t unset1[8];
    float headerFloats[kProbeHeaderFloatCount];
    float temperature;  // degrees Celsius
    uint8_t unset2[4];
};
static_assert(sizeof(ProbeFrameHeader) == 48);
static_assert(offsetof(ProbeFrameHeader, depthMm) == 2);
static_assert(offsetof(ProbeFrameHeader, deviceWord1) == 4);
static_assert(offsetof(ProbeFrameHeader, headerFloats) == 16);
static_assert(offsetof(ProbeFrameHeader, temperature) == 40);

inline constexpr size_t kProbeFrameImageBytes =
    static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine;
inline constexpr size_t kProbeFrameBytes = sizeof(ProbeFrameHeader) + kProbeFrameImageBytes;
static_assert(kProbeFrameBytes == 0x20030);

// ---- The host's logarithmic compression of the echo amplitudes ----------------------------

// v = log10(s) x gain - offset, clamped to 0..255 (0 for s <= 0).
struct ProbeCompression {
    int gain;
    int offset;
};
inline constexpr ProbeCompression kConvexCompression = {70, 100};
inline constexpr ProbeCompression kLinearCompression = {75, 110};

// The compressed value of one echo amplitude, before it is truncated to a byte.
inline float CompressEchoSample(float s, ProbeCompression c) {
    if (s <= 0)
        return 0.0f;
    const float v = std::log10(s) * static_cast<float>(c.gain) - static_cast<float>(c.offset);
    return std::clamp(v, 0.0f, 255.0f);
}
