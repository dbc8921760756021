#include "probe/bridge/HandleList.h"

#include <algorithm>
#include <shared_mutex>

namespace bridge::detail {
namespace {

struct List {
    std::shared_mutex mutex;
    std::vector<HandlePtr> handles;  // head first
};

List& TheList() {
    static List list;
    return list;
}

}  // namespace

HandlePtr FindHandle(Handle handle) {
    if (handle == nullptr)
        return nullptr;
    List& l = TheList();
    std::shared_lock lock(l.mutex);
    for (const HandlePtr& h : l.handles) {
        if (h.get() == handle)
            return h;
    }
    return nullptr;
}

HandlePtr FindHandleByInstance(uint32_t deviceInstance) {
    List& l = TheList();
    std::shared_lock lock(l.mutex);
    for (const HandlePtr& h : l.handles) {
        if (h->deviceInstance == deviceInstance)
            return h;
    }
    return nullptr;
}

bool IsListed(const HandleObject* object) {
    return FindHandle(ToHandle(object)) != nullptr;
}

void AddHandle(HandlePtr object) {
    List& l = TheList();
    std::unique_lock lock(l.mutex);
    l.handles.insert(l.handles.begin(), std::move(object));
}

HandlePtr RemoveHandle(Handle handle) {
    List& l = TheList();
    std::unique_lock lock(l.mutex);
    auto it = std::find_if(l.handles.begin(), l.handles.end(),
                           [&](const HandlePtr& h) { return h.get() == handle; });
    if (it == l.handles.end())
        return nullptr;
    HandlePtr object = std::move(*it);
    l.handles.erase(it);
    return object;
}

std::mutex& OpenCloseMutex() {
    static std::mutex m;
    return m;
}

std::mutex& CreateSearchLock() {
    static std::mutex m;
    return m;
}

std::mutex& DeviceListMutex() {
    static std::mutex m;
    return m;
}

}  // namespace bridge::detail
