#include "platform/camera/V4l2Io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/FileSystem.h"

namespace camera {

namespace {

class SystemV4l2Io : public IV4l2Io {
public:
    std::vector<std::string> ListNodes() override {
        std::vector<platform::DirEntry> entries;
        std::vector<std::pair<long, std::string>> numbered;
        if (!platform::ListDirectory("/dev", entries))
            return {};
        for (const auto& e : entries) {
            if (e.name.rfind("video", 0) != 0 || e.name.size() == 5)
                continue;
            char* end = nullptr;
            const long n = std::strtol(e.name.c_str() + 5, &end, 10);
            if (*end == '\0')
                numbered.emplace_back(n, "/dev/" + e.name);
        }
        std::sort(numbered.begin(), numbered.end());
        std::vector<std::string> nodes;
        for (auto& [n, path] : numbered)
            nodes.push_back(std::move(path));
        return nodes;
    }
    int Open(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }
    void Close(int fd) override { ::close(fd); }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        int r;
        do {
            r = ::ioctl(fd, request, arg);
        } while (r < 0 && errno == EINTR);
        return r < 0 ? errno : 0;
    }
    void* Mmap(int fd, size_t length, int64_t offset) override {
        void* p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, static_cast<off_t>(offset));
        return p == MAP_FAILED ? nullptr : p;
    }
    void Munmap(void* address, size_t length) override { ::munmap(address, length); }
    int Poll(int fd, int timeoutMs) override {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, timeoutMs);
        if (r < 0)
            return errno == EINTR ? 0 : -errno;
        if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLIN))
            return 1;  // let the dequeue report the error
        return r;
    }
};

SystemV4l2Io g_system;
std::atomic<IV4l2Io*> g_io{nullptr};

}  // namespace

IV4l2Io& V4l2Io() {
    IV4l2Io* io = g_io.load();
    return io ? *io : g_system;
}

void SetV4l2IoForTesting(IV4l2Io* io) {
    g_io.store(io);
}

}  // namespace camera
