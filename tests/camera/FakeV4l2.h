// A scripted V4L2 driver behind the camera layer's seam: nodes with their capabilities and
// formats, errors at chosen calls, and pictures handed out one per dequeue.
#pragma once

#include <linux/videodev2.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/camera/V4l2Io.h"

namespace camtest {

struct FakeNode {
    std::string path;
    std::string card;
    uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    int openError = 0;
    std::vector<std::pair<uint32_t, std::vector<std::pair<uint32_t, uint32_t>>>> formats;
    std::map<unsigned long, int> ioctlErrors;                 // request -> errno
    std::optional<std::pair<uint32_t, uint32_t>> sFmtAnswer;  // the size the driver answers with
    std::vector<std::vector<uint8_t>> pictures;               // handed out in order
    int errorAfterPictures = 0;                               // errno of the dequeue after the last picture
    uint32_t currentFourcc = V4L2_PIX_FMT_YUYV;               // the format the device is in before S_FMT
    uint32_t currentWidth = 320;
    uint32_t currentHeight = 240;
};

class FakeV4l2 : public camera::IV4l2Io {
public:
    explicit FakeV4l2(std::vector<FakeNode> nodes) : nodes_(std::move(nodes)) {}

    std::vector<std::string> ListNodes() override {
        std::vector<std::string> paths;
        for (const auto& n : nodes_)
            paths.push_back(n.path);
        return paths;
    }
    int Open(const std::string& path) override {
        std::lock_guard lock(mutex_);
        for (size_t i = 0; i < nodes_.size(); ++i)
            if (nodes_[i].path == path) {
                if (nodes_[i].openError)
                    return -nodes_[i].openError;
                ++openFds;
                return static_cast<int>(i) + 10;
            }
        return -ENOENT;
    }
    void Close(int) override {
        std::lock_guard lock(mutex_);
        --openFds;
    }
    void* Mmap(int, size_t length, int64_t offset) override {
        std::lock_guard lock(mutex_);
        auto& buffer = buffers_.at(static_cast<size_t>(offset));
        buffer.assign(length, 0);
        ++mappings;
        return buffer.data();
    }
    void Munmap(void*, size_t) override {
        std::lock_guard lock(mutex_);
        --mappings;
    }
    int Poll(int fd, int) override {
        {
            std::lock_guard lock(mutex_);
            const FakeNode& n = Node(fd);
            if (next_ < n.pictures.size() || (n.errorAfterPictures && !queued_.empty()))
                return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return 0;
    }
    int Ioctl(int fd, unsigned long request, void* arg) override {
        std::lock_guard lock(mutex_);
        FakeNode& n = Node(fd);
        if (auto it = n.ioctlErrors.find(request); it != n.ioctlErrors.end())
            return it->second;
        switch (request) {
            case VIDIOC_QUERYCAP: {
                auto* cap = static_cast<v4l2_capability*>(arg);
                std::memcpy(cap->card, n.card.data(), std::min(n.card.size(), sizeof cap->card));
                // The whole device can capture video; this node may be its metadata node.
                cap->capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING |
                                    V4L2_CAP_DEVICE_CAPS;
                cap->device_caps = n.deviceCaps;
                return 0;
            }
            case VIDIOC_ENUM_FMT: {
                auto* d = static_cast<v4l2_fmtdesc*>(arg);
                if (d->index >= n.formats.size())
                    return EINVAL;
                d->pixelformat = n.formats[d->index].first;
                return 0;
            }
            case VIDIOC_ENUM_FRAMESIZES: {
                auto* s = static_cast<v4l2_frmsizeenum*>(arg);
                for (const auto& [fourcc, sizes] : n.formats)
                    if (fourcc == s->pixel_format && s->index < sizes.size()) {
                        s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
                        s->discrete.width = sizes[s->index].first;
                        s->discrete.height = sizes[s->index].second;
                        return 0;
                    }
                return EINVAL;
            }
            case VIDIOC_G_FMT: {
                auto* f = static_cast<v4l2_format*>(arg);
                f->fmt.pix.pixelformat = n.currentFourcc;
                f->fmt.pix.width = n.currentWidth;
                f->fmt.pix.height = n.currentHeight;
                f->fmt.pix.bytesperline = n.currentWidth * 2;
                return 0;
            }
            case VIDIOC_S_FMT: {
                auto* f = static_cast<v4l2_format*>(arg);
                if (n.sFmtAnswer) {
                    f->fmt.pix.width = n.sFmtAnswer->first;
                    f->fmt.pix.height = n.sFmtAnswer->second;
                }
                f->fmt.pix.bytesperline =
                    f->fmt.pix.pixelformat == V4L2_PIX_FMT_YUYV ? f->fmt.pix.width * 2 : 0;
                return 0;
            }
            case VIDIOC_REQBUFS: {
                auto* r = static_cast<v4l2_requestbuffers*>(arg);
                buffers_.assign(r->count, {});
                queued_.clear();
                return 0;
            }
            case VIDIOC_QUERYBUF: {
                auto* b = static_cast<v4l2_buffer*>(arg);
                b->length = 4 * 1024 * 1024;
                b->m.offset = b->index;
                return 0;
            }
            case VIDIOC_QBUF:
                queued_.push_back(static_cast<v4l2_buffer*>(arg)->index);
                return 0;
            case VIDIOC_DQBUF: {
                auto* b = static_cast<v4l2_buffer*>(arg);
                if (next_ >= n.pictures.size())
                    return n.errorAfterPictures ? n.errorAfterPictures : EAGAIN;
                if (queued_.empty())
                    return EAGAIN;
                b->index = queued_.front();
                queued_.erase(queued_.begin());
                const auto& p = n.pictures[next_++];
                std::memcpy(buffers_[b->index].data(), p.data(), p.size());
                b->bytesused = static_cast<uint32_t>(p.size());
                ++dequeued;
                return 0;
            }
            case VIDIOC_STREAMON:
            case VIDIOC_STREAMOFF:
                return 0;
            default:
                return ENOTTY;
        }
    }

    std::atomic<int> openFds{0};
    std::atomic<int> mappings{0};
    std::atomic<int> dequeued{0};

private:
    FakeNode& Node(int fd) { return nodes_.at(static_cast<size_t>(fd - 10)); }

    std::mutex mutex_;
    std::vector<FakeNode> nodes_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::vector<uint32_t> queued_;
    size_t next_ = 0;
};

}  // namespace camtest
