// A list of raw frame buffers: the probe driver's free list, the main window's list of all
// buffers and the image processor's input queue. Every operation takes g_mtxProbeQueue for
// the list operation alone. The list never owns or deletes the buffers it holds.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>

class CRawBuf;

// Guards every CRcvQueue. Held only for one list operation: never while a buffer is filled,
// copied or published.
extern std::mutex g_mtxProbeQueue;

class CRcvQueue {
public:
    CRcvQueue() = default;
    CRcvQueue(const CRcvQueue&) = delete;
    CRcvQueue& operator=(const CRcvQueue&) = delete;

    void AddTailLocked(CRawBuf* buffer);
    // The head of the list, removed; null when the list is empty.
    CRawBuf* RemoveHeadLocked();
    // Empties the list and says how many buffers it held.
    size_t RemoveAllLocked();
    size_t GetCountLocked() const;
    bool ContainsLocked(const CRawBuf* buffer) const;

private:
    std::deque<CRawBuf*> m_list;
};
