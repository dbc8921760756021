// Stands in front of pthread_create for the whole test executable and passes every call on,
// but the one after FailNextThreadStart.
#include "ThreadStartFault.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>

namespace {
std::atomic<bool> g_failNext{false};
}

namespace testsupport {
void FailNextThreadStart() {
    g_failNext = true;
}
}  // namespace testsupport

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* argument) {
    if (g_failNext.exchange(false))
        return EAGAIN;
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto next = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return next(thread, attributes, start, argument);
}
