#include "common/EventHub.h"

#include <algorithm>

CEventHub& CEventHub::GetInstance() {
    static CEventHub* hub = new CEventHub;  // lives until the process ends
    return *hub;
}

void CEventHub::Subscribe(int32_t kind, EventCallback callback) {
    std::lock_guard lock(mutex_);
    auto& list = lists_[kind];
    auto updated = list ? std::make_shared<List>(*list) : std::make_shared<List>();
    updated->push_back(callback);
    list = std::move(updated);
}

void CEventHub::Unsubscribe(int32_t kind, EventCallback callback) {
    std::lock_guard lock(mutex_);
    const auto found = lists_.find(kind);
    if (found == lists_.end() || !found->second)
        return;
    const List& list = *found->second;
    const auto it = std::find(list.begin(), list.end(), callback);
    if (it == list.end())
        return;
    auto updated = std::make_shared<List>(list);
    updated->erase(updated->begin() + (it - list.begin()));
    found->second = std::move(updated);
}

void CEventHub::Publish(int32_t kind, void* payload) {
    std::shared_ptr<const List> snapshot;
    {
        std::lock_guard lock(mutex_);
        const auto found = lists_.find(kind);
        if (found == lists_.end())
            return;
        snapshot = found->second;
    }
    if (!snapshot)
        return;
    for (EventCallback callback : *snapshot)
        callback(payload);
}
