#include "probe/ProbeData.h"

#include <chrono>

#include "common/SettingsStore.h"
#include "probe/RawBuf.h"

int ProbeTypeToConfigSection(int probeType) {
    switch (probeType) {
        case ProbeTypeConvex:
            return SettingSectionProbeConvex;
        case ProbeTypeLinear:
            return SettingSectionProbeLinear;
        default:
            return SettingSectionNone;
    }
}

CProbeData::CProbeData()
    : m_bUsbLogEnabled(GetSettingInt(SettingSectionApp, SettingKeyTable::USB_LOG) == 1),
      m_bLogActive(m_bUsbLogEnabled) {}

CProbeData::~CProbeData() {
    CloseUsbLog();
    m_lstFreeBuffers.RemoveAllLocked();
}

int CProbeData::SetViewState(int runState) {
    m_nViewState = runState;
    return runState;
}

int CProbeData::SetScanState(int state) {
    m_nScanState = state;
    return state;
}

void CProbeData::ReturnBuffer(CRawBuf* buffer) {
    // A buffer without rows never circulates.
    if (!buffer || !buffer->IsUsable())
        return;
    m_lstFreeBuffers.AddTailLocked(buffer);
    m_evBufferReturned.Set();
}

CRawBuf* CProbeData::TakeFreeBuffer() {
    while (CRawBuf* buffer = m_lstFreeBuffers.RemoveHeadLocked()) {
        const bool acceptable =
            buffer->IsUsable() && (buffer->m_nState == RawBufCleared || buffer->m_nState == RawBufConsumed);
        buffer->m_nState = acceptable ? RawBufTaken : RawBufDropped;
        PublishRawBuf(buffer);
        if (acceptable)
            return buffer;
    }
    return nullptr;
}

CRawBuf* CProbeData::TakeFreeBufferWaiting(uint32_t waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    // A hand-back signalled before now is already in the list.
    m_evBufferReturned.ResetEvent();
    for (;;) {
        if (CRawBuf* buffer = TakeFreeBuffer())
            return buffer;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !m_evBufferReturned.Wait(static_cast<uint32_t>(left.count())))
            return TakeFreeBuffer();
    }
}
