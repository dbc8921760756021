#include "app/core/IntervalWindow.h"

void CIntervalWindow::Reset() {
    m_nCount = 0;
    m_dwPrevTime = 0;
    m_dSum = 0.0;
    m_lstIntervals.assign(m_nSize, 0);
}
