#include "probe/RawBuf.h"

#include <cstring>

#include "common/EventHub.h"

CRawBuf::CRawBuf(uint32_t bytesPerLine, uint32_t lineCount) {
    m_ppRows = AllocRowTable(lineCount, bytesPerLine);
    if (m_ppRows) {
        m_nBytesPerLine = bytesPerLine;
        m_nLineCount = lineCount;
    }
}

CRawBuf::~CRawBuf() {
    FreeRowTable(m_ppRows);
    m_ppRows = nullptr;
}

void CRawBuf::Clear() {
    if (m_ppRows)
        std::memset(m_ppRows[0], 0, static_cast<size_t>(m_nLineCount) * m_nBytesPerLine);
    m_nState = RawBufCleared;
    m_nDepth = 0;
    m_nFocus = 0;
    m_nFreqMode = 0;
    m_fTemperature = 0.0f;
}

void PublishRawBuf(CRawBuf* buffer) {
    CEventHub::GetInstance().Publish(EventKindRawFrame, buffer);
}

RawBufRoute RouteOf(const CRawBuf& buffer) {
    switch (buffer.m_nState) {
        case RawBufComplete:
            return RawBufRoute::ToImageQueue;
        case RawBufCleared:
        case RawBufConsumed:
            return RawBufRoute::ToFreeList;
        default:
            return RawBufRoute::Ignore;
    }
}
