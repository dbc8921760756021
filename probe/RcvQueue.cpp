#include "probe/RcvQueue.h"

#include <algorithm>

std::mutex g_mtxProbeQueue;

void CRcvQueue::AddTailLocked(CRawBuf* buffer) {
    std::lock_guard lock(g_mtxProbeQueue);
    m_list.push_back(buffer);
}

CRawBuf* CRcvQueue::RemoveHeadLocked() {
    std::lock_guard lock(g_mtxProbeQueue);
    if (m_list.empty())
        return nullptr;
    CRawBuf* head = m_list.front();
    m_list.pop_front();
    return head;
}

size_t CRcvQueue::RemoveAllLocked() {
    std::lock_guard lock(g_mtxProbeQueue);
    const size_t count = m_list.size();
    m_list.clear();
    return count;
}

size_t CRcvQueue::GetCountLocked() const {
    std::lock_guard lock(g_mtxProbeQueue);
    return m_list.size();
}

bool CRcvQueue::ContainsLocked(const CRawBuf* buffer) const {
    std::lock_guard lock(g_mtxProbeQueue);
    return std::find(m_list.begin(), m_list.end(), buffer) != m_list.end();
}
