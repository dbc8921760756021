// The list of open handles and the library's global locks. A handle is valid while it is
// listed; lookups take the list's lock shared and hand out a reference, removal takes it
// exclusively, so validation never races with a close.
#pragma once

#include <mutex>

#include "probe/bridge/HandleObject.h"

namespace bridge::detail {

HandlePtr FindHandle(Handle handle);
HandlePtr FindHandleByInstance(uint32_t deviceInstance);
bool IsListed(const HandleObject* object);
// New handles go to the head of the list.
void AddHandle(HandlePtr object);
// Removes and returns the handle's object; null when it was not listed.
HandlePtr RemoveHandle(Handle handle);

inline Handle ToHandle(const HandleObject* object) {
    return const_cast<HandleObject*>(object);
}

// Serialises opening and the final step of closing.
std::mutex& OpenCloseMutex();
// Serialises the serial-number and description search of FT_Create.
std::mutex& CreateSearchLock();
// Guards the device list.
std::mutex& DeviceListMutex();

}  // namespace bridge::detail
