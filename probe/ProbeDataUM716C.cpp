#include "probe/ProbeDataUM716C.h"

#include <algorithm>
#include <cstring>

#include "common/SettingsStore.h"
#include "common/SupportUtil.h"
#include "platform/KeepAwake.h"
#include "probe/RawBuf.h"
#include "probe/UsbProbe.h"

namespace {

// How long a complete frame waits for the image thread to hand a buffer back.
constexpr uint32_t kBufferWaitMs = 20;
constexpr uint32_t kWatchLiveMs = 100;
constexpr uint32_t kWatchIdleMs = 500;
constexpr int kTxFrequencyMax = 5;
constexpr int kLinearDefaultTxFrequency = 4;
constexpr int kConvexDefaultTxFrequency = 0;

int ProbeTypeOf(uint32_t hardwareId) {
    if (hardwareId == kProbeIdentityUnread)
        return ProbeTypeNone;
    switch (ProbeKindWord(hardwareId)) {
        case kProbeKindConvex:
            return ProbeTypeConvex;
        case kProbeKindLinear:
            return ProbeTypeLinear;
        default:
            return ProbeTypeNone;
    }
}

const TxFrequencyTable& LinearTxFrequencies() {
    static const TxFrequencyTable table = {{3, {"6.7", 1}}, {4, {"8.0", 1}}, {5, {"10.0", 0}}};
    return table;
}

const TxFrequencyTable& ConvexTxFrequencies() {
    static const TxFrequencyTable table = {{0, {"4.0", 1}}, {1, {"3.3", 1}}, {2, {"2.8", 1}}};
    return table;
}

// The depth a frame was taken at: its own header's when that is a depth the probe images at,
// else the last depth sent.
int FrameDepth(const ProbeFrameHeader& header, int cachedDepth) {
    const int depth = header.depthMm;
    return depth >= kProbeMinDepthMm && depth <= kProbeMaxDepthMm ? depth : cachedDepth;
}

}  // namespace

CProbeDataUM716C::CProbeDataUM716C() {
    m_context.driver = this;
}

CProbeDataUM716C::~CProbeDataUM716C() {
    Close();
}

bool CProbeDataUM716C::IsLinearProbe() {
    return ProbeTypeOf(UsbProbeGetHardwareId()) == ProbeTypeLinear;
}

int* CProbeDataUM716C::GetProbeType(int* type) {
    const int t = ProbeTypeOf(UsbProbeGetHardwareId());
    if (type)
        *type = t;
    return type;
}

// ---- Opening, closing and streaming

bool CProbeDataUM716C::Open(void* ownerWindow) {
    std::lock_guard lock(m_mtxStream);
    if (m_bOpen)
        return false;
    m_hOwnerWindow = ownerWindow;
    m_pCurrentBuffer = TakeFreeBuffer();
    m_bStop = false;
    if (!UsbProbeOpen())
        return false;
    m_bOpen = true;
    UsbProbeSetFrameCallback(&CProbeDataUM716C::OnFrameReady, &m_context);
    int type = ProbeTypeNone;
    const int section = ProbeTypeToConfigSection(*GetProbeType(&type));
    SetHiFrameMode(GetSettingInt(section, SettingKeyTable::hi_frame_mode));
    SetAutoSleepTime(GetSettingInt(section, SettingKeyTable::auto_sleep_time));
    SetImageFilter(GetSettingInt(section, SettingKeyTable::image_filter));
    return true;
}

void CProbeDataUM716C::Close() {
    std::lock_guard lock(m_mtxStream);
    if (m_bStreamStarted || UsbProbeIsRunning())
        StopStreamingLocked();
    if (m_bOpen) {
        // The stream threads are gone: no frame can reach this driver any more.
        UsbProbeClearFrameCallback();
        UsbProbeClose();
        m_bOpen = false;
    }
    CloseUsbLog();
    // The buffers go back to their owner with the free list; keep no pointer into them.
    m_lstFreeBuffers.RemoveAllLocked();
    m_pCurrentBuffer = nullptr;
}

int CProbeDataUM716C::StartStreaming() {
    std::lock_guard lock(m_mtxStream);
    // While the stream runs the current buffer belongs to the assembler thread.
    if (!m_bOpen || UsbProbeIsRunning())
        return 0;
    if (m_pCurrentBuffer)
        m_pCurrentBuffer->Clear();
    OpenUsbLog();
    m_bStreamStarted = true;
    const int started = UsbProbeStart();
    m_bStartFailed = started == 0;
    return started;
}

bool CProbeDataUM716C::IsDeviceLost() {
    return m_bStartFailed.load() || UsbProbeGetStreamStats().readerGaveUp;
}

void CProbeDataUM716C::StopStreaming() {
    std::lock_guard lock(m_mtxStream);
    StopStreamingLocked();
}

void CProbeDataUM716C::StopStreamingLocked() {
    if (m_bStreamStarted) {
        UsbProbeStop();  // ends both stream threads whatever the probe answers
        CloseUsbLog();
        m_bStreamStarted = false;
    }
    m_nScanState = ProbeScanStopped;
}

// ---- The watch loop

bool CProbeDataUM716C::RequestStop() {
    m_bStop = true;
    m_evStop.Set();
    return true;
}

bool CProbeDataUM716C::WatchLoop() {
    if (m_bStop)
        return false;
    bool result = true;
    int lastState = -1;
    for (;;) {
        const uint32_t timeout = m_nScanState.load() == ProbeScanLive ? kWatchLiveMs : kWatchIdleMs;
        const int signalled = platform::WaitAny(m_evStop, m_evStreamStop, timeout);
        if (signalled == 0) {
            m_bStop = true;
            break;
        }
        if (signalled == 1) {
            StopStreaming();
        } else if (signalled == platform::kWaitTimeout) {
            if (m_nScanState.load() == ProbeScanStopRequested)
                StopStreaming();
            const int state = m_nScanState.load();
            if (state != lastState) {
                platform::KeepSystemAwake(state == ProbeScanLive);
                lastState = state;
            }
        } else {
            m_bStop = true;
            result = false;
            break;
        }
        if (m_bStop)
            break;
    }
    // The request lives with the loop, as a thread's execution state does.
    platform::KeepSystemAwake(false);
    return result;
}

// ---- Frames

void CProbeDataUM716C::OnFrameReady(void* context) {
    auto* ctx = static_cast<FrameContext*>(context);
    if (!ctx || !ctx->driver || ctx->driver->m_bStop)
        return;
    const int32_t count = UsbProbeGetFrame(ctx->frame, sizeof(ctx->frame));
    if (count <= 0)
        return;
    ctx->driver->SetLastReceiveTime(GetElapsedMicroseconds());
    ctx->driver->ParsePacket(ctx->frame, count);
}

void CProbeDataUM716C::ParsePacket(const uint8_t* frame, int32_t count) {
    WriteUsbLog(frame, static_cast<size_t>(count));
    if (m_nScanState.load() != ProbeScanLive || count < static_cast<int32_t>(kProbeFrameBytes))
        return;
    if (m_bStop)
        return;
    if (!m_pCurrentBuffer) {
        m_pCurrentBuffer = TakeFreeBufferWaiting(kBufferWaitMs);
        if (!m_pCurrentBuffer) {
            ++m_nLostFrames;
            return;
        }
        m_pCurrentBuffer->Clear();
    }
    CRawBuf* buffer = m_pCurrentBuffer;
    ProbeFrameHeader header;
    std::memcpy(&header, frame, sizeof(header));
    if (header.frameType == 1 || header.frameType == 2) {
        const uint32_t lines = std::min<uint32_t>(buffer->LineCount(), kProbeLinesPerFrame);
        const uint32_t bytes = std::min<uint32_t>(buffer->BytesPerLine(), kProbeSamplesPerLine);
        const uint8_t* image = frame + sizeof(ProbeFrameHeader);
        for (uint32_t l = 0; l < lines; ++l)
            std::memcpy(buffer->Line(l), image + static_cast<size_t>(l) * kProbeSamplesPerLine, bytes);
    }
    if (m_nScanState.load() != ProbeScanLive) {
        buffer->Clear();  // stays the current buffer
        return;
    }
    buffer->m_nDepth = FrameDepth(header, m_nCachedDepth.load());
    buffer->m_nFocus = m_nCachedFocus.load();
    buffer->m_nFreqMode = m_nCachedTxFrequency.load();
    buffer->m_fTemperature = header.temperature;
    buffer->m_nState = RawBufComplete;
    m_pCurrentBuffer = nullptr;
    PublishRawBuf(buffer);
    if (m_nScanState.load() == ProbeScanStopRequested)
        m_evStreamStop.Set();
    m_pCurrentBuffer = TakeFreeBuffer();
    if (m_pCurrentBuffer)
        m_pCurrentBuffer->Clear();
}

// ---- Geometry and settings

int CProbeDataUM716C::ReadParameter(uint32_t id, int fallback) {
    uint32_t value = 0;
    return UsbProbeGetRegister(id, &value) ? static_cast<int>(value) : fallback;
}

double CProbeDataUM716C::GetMinDepth() {
    return IsLinearProbe() ? 38.0 : 70.0;
}

double CProbeDataUM716C::GetMaxDepth() {
    return IsLinearProbe() ? 120.0 : 225.0;
}

bool CProbeDataUM716C::SetDepth(int millimetres) {
    if (millimetres == m_nCachedDepth.load())
        return true;
    if (!UsbProbeSetDepth(millimetres))
        return false;
    m_nCachedDepth = millimetres;
    return true;
}

bool CProbeDataUM716C::SetFocus(int millimetres) {
    millimetres = std::clamp(millimetres, 1, static_cast<int>(kProbeMaxFocusMm));
    if (millimetres == m_nCachedFocus.load())
        return true;
    if (!UsbProbeSetFocus(millimetres))
        return false;
    m_nCachedFocus = millimetres;
    return true;
}

bool CProbeDataUM716C::SetHiFrameMode(int on) {
    return UsbProbeSetRegister(kProbeParamHiFrameMode, static_cast<uint32_t>(on)) == 1;
}

int CProbeDataUM716C::GetHiFrameMode() {
    return ReadParameter(kProbeParamHiFrameMode, 0);
}

bool CProbeDataUM716C::SetAutoSleepTime(int seconds) {
    return UsbProbeSetRegister(kProbeParamAutoSleepTime, static_cast<uint32_t>(seconds)) == 1;
}

int CProbeDataUM716C::GetAutoSleepTime() {
    return ReadParameter(kProbeParamAutoSleepTime, 5);
}

void CProbeDataUM716C::GetAutoSleepTimeRange(int* lowest, int* highest) {
    if (lowest)
        *lowest = 1;
    if (highest)
        *highest = 7200;
}

bool CProbeDataUM716C::SetImageFilter(int on) {
    return UsbProbeSetRegister(kProbeParamImageFilter, static_cast<uint32_t>(on)) == 1;
}

int CProbeDataUM716C::GetImageFilter() {
    return ReadParameter(kProbeParamImageFilter, 1);
}

// ---- Identity

uint32_t CProbeDataUM716C::GetVersionB() {
    return UsbProbeGetVersionB();
}

uint32_t CProbeDataUM716C::GetVersionA() {
    return UsbProbeGetVersionA();
}

uint32_t CProbeDataUM716C::GetHardwareId() {
    return UsbProbeGetHardwareId();
}

bool CProbeDataUM716C::IsSupportedVersion() {
    const uint32_t hardwareId = GetHardwareId();
    const uint32_t versionB = GetVersionB();
    const uint32_t versionA = GetVersionA();
    return IsSupportedProbeIdentity(hardwareId, versionB, versionA);
}

bool CProbeDataUM716C::MatchesIdentity(uint32_t hardwareId, uint32_t versionB, uint32_t versionA) {
    const uint32_t id = GetHardwareId();
    const uint32_t b = GetVersionB();
    const uint32_t a = GetVersionA();
    return id == hardwareId && b == versionB && a == versionA;
}

// ---- Transmit frequency and features

bool CProbeDataUM716C::SetTxFrequency(int index) {
    if (index < 0 || index > kTxFrequencyMax)
        return false;
    if (index == m_nCachedTxFrequency.load())
        return true;
    if (!UsbProbeSetRegister(kProbeParamTxFrequency, static_cast<uint32_t>(index)))
        return false;
    m_nCachedTxFrequency = index;
    return true;
}

int CProbeDataUM716C::GetTxFrequency() {
    uint32_t value = 0;
    if (UsbProbeGetRegister(kProbeParamTxFrequency, &value))
        return static_cast<int>(value);
    return GetDefaultTxFrequency();  // asked only when the read failed
}

int CProbeDataUM716C::GetDefaultTxFrequency() {
    return IsLinearProbe() ? kLinearDefaultTxFrequency : kConvexDefaultTxFrequency;
}

TxFrequencyTable CProbeDataUM716C::GetTxFrequencyTable() {
    return IsLinearProbe() ? LinearTxFrequencies() : ConvexTxFrequencies();
}

bool CProbeDataUM716C::IsFeatureSupported(int feature) {
    return feature >= ProbeFeatureFocus && feature <= ProbeFeatureTxFrequency;
}
