// One raw probe frame of 8-bit echo samples on its way from the probe driver to the image
// thread and back. Five of them circulate while a probe is open; none is made per frame.
// Whoever holds a buffer (the driver's fill target, a list, the image thread copying it)
// is the only one that writes it; every change of state is announced on the event hub as
// EventKindRawFrame with the buffer as the payload.
#pragma once

#include <cstdint>

#include "probe/RowTable.h"

enum RawBufState : int32_t {
    RawBufCleared = 0,   // handed back to the probe; also the buffer the probe is filling
    RawBufTaken = 1,     // taken from the probe's free list
    RawBufComplete = 2,  // a whole frame: queued to the image processor
    RawBufUnused = 3,
    RawBufConsumed = 4,  // samples copied out by the image thread: back to the probe
    RawBufDropped = 5,   // out of circulation until the buffers are set up again
};

class CRawBuf {
public:
    // Allocates lineCount rows of bytesPerLine samples, zeroed. When that fails the buffer
    // has no rows (IsUsable is false) and must not be cleared, filled or queued.
    CRawBuf(uint32_t bytesPerLine, uint32_t lineCount);
    ~CRawBuf();
    CRawBuf(const CRawBuf&) = delete;
    CRawBuf& operator=(const CRawBuf&) = delete;

    bool IsUsable() const { return m_ppRows != nullptr; }
    uint32_t BytesPerLine() const { return m_nBytesPerLine; }
    uint32_t LineCount() const { return m_nLineCount; }
    uint8_t* Line(uint32_t line) { return m_ppRows[line]; }
    const uint8_t* Line(uint32_t line) const { return m_ppRows[line]; }
    uint8_t** Rows() { return m_ppRows; }

    // Zeroes the samples, the state and the four stamps.
    void Clear();

    int32_t m_nState = RawBufCleared;  // RawBufState
    int32_t m_nDepth = 0;              // imaging depth in millimetres at capture
    int32_t m_nFocus = 0;              // focus depth in millimetres at capture
    int32_t m_nFreqMode = 0;           // transmit-frequency index at capture
    float m_fTemperature = 0.0f;       // probe temperature, degrees Celsius

private:
    uint32_t m_nBytesPerLine = 0;
    uint32_t m_nLineCount = 0;
    uint8_t** m_ppRows = nullptr;
};

// Announces the buffer's (new) state to every EventKindRawFrame subscriber, synchronously on
// this thread. Never call it while holding g_mtxProbeQueue.
void PublishRawBuf(CRawBuf* buffer);

// Where the main window's raw-frame callback sends a published buffer: a complete frame to
// the live image processor's input queue, a cleared or consumed one back to the probe's
// free list (IProbeData::ReturnBuffer), anything else nowhere.
enum class RawBufRoute { ToImageQueue, ToFreeList, Ignore };
RawBufRoute RouteOf(const CRawBuf& buffer);
