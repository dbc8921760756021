// The last frame intervals, for the frame-rate text of the live image. The owner sets the
// window size, resets it, and adds intervals as frames arrive.
#pragma once

#include <cstdint>
#include <list>

class CIntervalWindow {
public:
    // Linux timers already have millisecond resolution: nothing to raise or restore.
    CIntervalWindow() = default;

    // Empties the window and fills it with m_nSize zeros.
    void Reset();

    uint32_t m_nCount = 0;  // intervals held, at most m_nSize
    uint32_t m_nSize = 0;
    std::list<int32_t> m_lstIntervals;  // milliseconds, oldest first
    uint32_t m_dwPrevTime = 0;          // milliseconds of the previous frame, 0 after a reset
    double m_dSum = 0.0;
};
