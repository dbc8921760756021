#include "common/EventHub.h"

#include <algorithm>

CEventHub& CEventHub::GetInstance() {
    static CEventHub* hub = new CEventHub;  // lives until the process ends
    return *hub;
}

void CEventHub::Subscribe(int32_t kind, EventCallback callback) {
    std::lock_guard lock(mutex_);
    lists_[kind].push_back(callback);
}

void CEventHub::Unsubscribe(int32_t kind, EventCallback callback) {
    std::lock_guard lock(mutex_);
    const auto list = lists_.find(kind);
    if (list == lists_.end()) return;
    const auto it = std::find(list->second.begin(), list->second.end(), callback);
    if (it != list->second.end()) list->second.erase(it);
}

void CEventHub::Publish(int32_t kind, void* payload) {
    std::vector<EventCallback> snapshot;
    {
        std::lock_guard lock(mutex_);
        const auto list = lists_.find(kind);
        if (list == lists_.end() || list->second.empty()) return;
        snapshot = list->second;
    }
    for (EventCallback callback : snapshot) callback(payload);
}
