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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// log10 in single precision, computed here rather than by the C library so that the host and
// the simulator get the same bits on every machine, and so that a whole line can be done four
// samples at a time. The classic reduction: x = m 2^k with m in [sqrt(1/2), sqrt(2)), f = m - 1,
// log(m) from the odd series of s = f / (2 + f) with minimax coefficients, and log10 assembled
// from high and low parts of f and log10(2). Within one unit in the last place for positive
// finite numbers; log10(1) is exactly 0. Only for x > 0: a subnormal comes out near -38 (the
// compression clamps it to 0 as it would its true logarithm), infinity near 38.5.
namespace probe_log10 {
inline constexpr float kLg1 = 0.66666662693f;
inline constexpr float kLg2 = 0.40000972152f;
inline constexpr float kLg3 = 0.28498786688f;
inline constexpr float kLg4 = 0.24279078841f;
inline constexpr float kInvLn10Hi = 4.3432617188e-01f;
inline constexpr float kInvLn10Lo = -3.1689971365e-05f;
inline constexpr float kLog10Of2Hi = 3.0102920532e-01f;
inline constexpr float kLog10Of2Lo = 7.9034151668e-07f;
inline constexpr uint32_t kSqrtHalfBits = 0x3f3504f3;  // sqrt(1/2)
inline constexpr uint32_t kOneBits = 0x3f800000;
inline constexpr uint32_t kHighPartMask = 0xfffff000;
}  // namespace probe_log10

inline float ProbeLog10(float x) {
    using namespace probe_log10;
    uint32_t bits = std::bit_cast<uint32_t>(x) + (kOneBits - kSqrtHalfBits);
    const int k = static_cast<int>(bits >> 23) - 0x7f;
    bits = (bits & 0x007fffff) + kSqrtHalfBits;
    const float f = std::bit_cast<float>(bits) - 1.0f;
    const float s = f / (2.0f + f);
    const float z = s * s;
    const float w = z * z;
    const float t1 = w * (kLg2 + w * kLg4);
    const float t2 = z * (kLg1 + w * kLg3);
    const float r = t2 + t1;
    const float hfsq = 0.5f * f * f;
    const float hi = std::bit_cast<float>(std::bit_cast<uint32_t>(f - hfsq) & kHighPartMask);
    const float lo = f - hi - hfsq + s * (hfsq + r);
    const float dk = static_cast<float>(k);
    return dk * kLog10Of2Lo + (lo + hi) * kInvLn10Lo + lo * kInvLn10Hi + hi * kInvLn10Hi + dk * kLog10Of2Hi;
}

#if defined(__SSE2__)
// ProbeLog10 of four values: the same operations in the same order, so the same bits.
inline __m128 ProbeLog10x4(__m128 x) {
    using namespace probe_log10;
    __m128i bits =
        _mm_add_epi32(_mm_castps_si128(x), _mm_set1_epi32(static_cast<int>(kOneBits - kSqrtHalfBits)));
    const __m128i k = _mm_sub_epi32(_mm_srli_epi32(bits, 23), _mm_set1_epi32(0x7f));
    bits = _mm_add_epi32(_mm_and_si128(bits, _mm_set1_epi32(0x007fffff)),
                         _mm_set1_epi32(static_cast<int>(kSqrtHalfBits)));
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 f = _mm_sub_ps(_mm_castsi128_ps(bits), one);
    const __m128 s = _mm_div_ps(f, _mm_add_ps(_mm_set1_ps(2.0f), f));
    const __m128 z = _mm_mul_ps(s, s);
    const __m128 w = _mm_mul_ps(z, z);
    const __m128 t1 = _mm_mul_ps(w, _mm_add_ps(_mm_set1_ps(kLg2), _mm_mul_ps(w, _mm_set1_ps(kLg4))));
    const __m128 t2 = _mm_mul_ps(z, _mm_add_ps(_mm_set1_ps(kLg1), _mm_mul_ps(w, _mm_set1_ps(kLg3))));
    const __m128 r = _mm_add_ps(t2, t1);
    const __m128 hfsq = _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.5f), f), f);
    const __m128 hi =
        _mm_and_ps(_mm_sub_ps(f, hfsq), _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(kHighPartMask))));
    const __m128 lo = _mm_add_ps(_mm_sub_ps(_mm_sub_ps(f, hi), hfsq), _mm_mul_ps(s, _mm_add_ps(hfsq, r)));
    const __m128 dk = _mm_cvtepi32_ps(k);
    __m128 v = _mm_mul_ps(dk, _mm_set1_ps(kLog10Of2Lo));
    v = _mm_add_ps(v, _mm_mul_ps(_mm_add_ps(lo, hi), _mm_set1_ps(kInvLn10Lo)));
    v = _mm_add_ps(v, _mm_mul_ps(lo, _mm_set1_ps(kInvLn10Hi)));
    v = _mm_add_ps(v, _mm_mul_ps(hi, _mm_set1_ps(kInvLn10Hi)));
    return _mm_add_ps(v, _mm_mul_ps(dk, _mm_set1_ps(kLog10Of2Hi)));
}
#endif

// log10(s) x gain - offset in single precision, before the clamp (s > 0).
inline float EchoLogValue(float s, ProbeCompression c) {
    return ProbeLog10(s) * static_cast<float>(c.gain) - static_cast<float>(c.offset);
}

// The clamp to 0..255; anything that is not a number becomes 0, so that garbage on the wire
// can never reach a conversion to a byte.
inline float ClampCompressed(float v) {
    return v > 0.0f ? (v < 255.0f ? v : 255.0f) : 0.0f;
}

// The compressed value of one echo amplitude, before it is truncated to a byte.
inline float CompressEchoSample(float s, ProbeCompression c) {
    if (!(s > 0))  // also a sample that is not a number
        return 0.0f;
    return ClampCompressed(EchoLogValue(s, c));
}

// A whole line: the same values as CompressEchoSample sample by sample, four at a time where
// the processor allows.
inline void CompressEchoLine(const float* samples, float* out, int count, ProbeCompression c) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 zero = _mm_setzero_ps();
    const __m128 top = _mm_set1_ps(255.0f);
    const __m128 gain = _mm_set1_ps(static_cast<float>(c.gain));
    const __m128 offset = _mm_set1_ps(static_cast<float>(c.offset));
    for (; i + 4 <= count; i += 4) {
        const __m128 s = _mm_loadu_ps(samples + i);
        __m128 v = _mm_sub_ps(_mm_mul_ps(ProbeLog10x4(s), gain), offset);
        // max(v, 0) is 0 for a v that is not a number, as ClampCompressed is.
        v = _mm_min_ps(_mm_max_ps(v, zero), top);
        // Nothing at or below 0, and nothing for a sample that is not a number.
        _mm_storeu_ps(out + i, _mm_and_ps(v, _mm_cmpgt_ps(s, zero)));
    }
#endif
    for (; i < count; ++i)
        out[i] = CompressEchoSample(samples[i], c);
}
