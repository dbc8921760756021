#include "platform/camera/V4l2Camera.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>

#include "platform/camera/FrameConverter.h"

namespace camera {

namespace {

constexpr int kBufferCount = 4;
constexpr int kPollMs = 100;

// The card name is a fixed 32-byte field: stop at its end and drop a character cut in two.
std::string CardName(const uint8_t* card, size_t size) {
    size_t n = 0;
    while (n < size && card[n] != 0)
        ++n;
    std::string name(reinterpret_cast<const char*>(card), n);
    size_t lead = name.size();
    while (lead > 0 && (static_cast<uint8_t>(name[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0 && static_cast<uint8_t>(name[lead - 1]) >= 0xC0) {
        const uint8_t c = static_cast<uint8_t>(name[lead - 1]);
        const size_t want = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        if (name.size() - (lead - 1) < want)
            name.resize(lead - 1);
    }
    return name;
}

bool Supported(uint32_t pixelformat) {
    return pixelformat == V4L2_PIX_FMT_YUYV || pixelformat == V4L2_PIX_FMT_MJPEG;
}

}  // namespace

std::vector<V4l2Node> ListV4l2Cameras(IV4l2Io& io) {
    std::vector<V4l2Node> nodes;
    for (const std::string& path : io.ListNodes()) {
        const int fd = io.Open(path);
        if (fd < 0)
            continue;
        v4l2_capability cap{};
        if (io.Ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0) {
            // The device's capabilities cover all its nodes; the node's own are in device_caps.
            const uint32_t caps =
                (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
            if (caps & V4L2_CAP_VIDEO_CAPTURE)
                nodes.push_back({path, CardName(cap.card, sizeof cap.card)});
        }
        io.Close(fd);
    }
    return nodes;
}

V4l2Camera::V4l2Camera(IV4l2Io& io, V4l2Node node) : io_(io), node_(std::move(node)) {}

V4l2Camera::~V4l2Camera() {
    Stop();
    if (fd_ >= 0)
        io_.Close(fd_);
}

bool V4l2Camera::Open() {
    if (fd_ >= 0)
        return true;
    const int fd = io_.Open(node_.path);
    if (fd < 0) {
        SetError(Describe("open", -fd));
        return false;
    }
    fd_ = fd;
    return true;
}

std::string V4l2Camera::Describe(const char* what, int err) const {
    std::string text = node_.name + " (" + node_.path + "): " + what + ": ";
    if (err == EBUSY)
        text += "the camera is in use by another program";
    else if (err == ENODEV)
        text += "the camera was disconnected";
    else
        text += std::strerror(err);
    return text;
}

void V4l2Camera::SetError(std::string error) {
    std::lock_guard lock(errorMutex_);
    error_ = std::move(error);
}

std::string V4l2Camera::LastError() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

std::vector<CameraFormat> V4l2Camera::Capabilities() {
    std::vector<CameraFormat> formats;
    if (fd_ < 0)
        return formats;
    for (uint32_t i = 0;; ++i) {
        v4l2_fmtdesc desc{};
        desc.index = i;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (io_.Ioctl(fd_, VIDIOC_ENUM_FMT, &desc) != 0)
            break;
        if (!Supported(desc.pixelformat))
            continue;
        for (uint32_t j = 0;; ++j) {
            v4l2_frmsizeenum size{};
            size.index = j;
            size.pixel_format = desc.pixelformat;
            if (io_.Ioctl(fd_, VIDIOC_ENUM_FRAMESIZES, &size) != 0)
                break;
            if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                formats.push_back({desc.pixelformat, static_cast<int>(size.discrete.width),
                                   static_cast<int>(size.discrete.height)});
                continue;
            }
            // A range: offer the common sizes inside it, then its largest.
            const auto& s = size.stepwise;
            const auto fits = [&s](uint32_t w, uint32_t h) {
                const uint32_t sw = s.step_width ? s.step_width : 1, sh = s.step_height ? s.step_height : 1;
                return w >= s.min_width && w <= s.max_width && h >= s.min_height && h <= s.max_height &&
                       (w - s.min_width) % sw == 0 && (h - s.min_height) % sh == 0;
            };
            for (const auto& [w, h] : {std::pair<uint32_t, uint32_t>{320, 240}, {640, 480}, {1280, 720}})
                if (fits(w, h))
                    formats.push_back({desc.pixelformat, static_cast<int>(w), static_cast<int>(h)});
            formats.push_back(
                {desc.pixelformat, static_cast<int>(s.max_width), static_cast<int>(s.max_height)});
            break;
        }
    }
    return formats;
}

bool V4l2Camera::SetFormat(const CameraFormat& format) {
    if (fd_ < 0 || thread_.joinable() || !IsVideoFormat(format))
        return false;
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    f.fmt.pix.width = static_cast<uint32_t>(format.width);
    f.fmt.pix.height = static_cast<uint32_t>(format.height);
    f.fmt.pix.pixelformat = format.fourcc;
    f.fmt.pix.field = V4L2_FIELD_NONE;
    format_ = {};
    if (const int err = io_.Ioctl(fd_, VIDIOC_S_FMT, &f); err != 0) {
        SetError(Describe("set format", err));
        return false;
    }
    // A driver adjusts what it cannot do; only the exact format asked for is accepted.
    if (f.fmt.pix.width != static_cast<uint32_t>(format.width) ||
        f.fmt.pix.height != static_cast<uint32_t>(format.height) || f.fmt.pix.pixelformat != format.fourcc) {
        SetError(node_.name + ": asked for " + std::to_string(format.width) + "x" +
                 std::to_string(format.height) + ", the camera answered " + std::to_string(f.fmt.pix.width) +
                 "x" + std::to_string(f.fmt.pix.height));
        return false;
    }
    format_ = format;
    bytesPerLine_ = static_cast<int>(f.fmt.pix.bytesperline);
    return true;
}

bool V4l2Camera::AdoptCurrentFormat() {
    if (fd_ < 0 || thread_.joinable())
        return false;
    v4l2_format f{};
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (const int err = io_.Ioctl(fd_, VIDIOC_G_FMT, &f); err != 0) {
        SetError(Describe("read the format", err));
        return false;
    }
    const CameraFormat current{f.fmt.pix.pixelformat, static_cast<int>(f.fmt.pix.width),
                               static_cast<int>(f.fmt.pix.height)};
    if (!IsVideoFormat(current)) {
        SetError(node_.name + ": the camera's own format is neither YUYV nor MJPEG");
        return false;
    }
    format_ = current;
    bytesPerLine_ = static_cast<int>(f.fmt.pix.bytesperline);
    return true;
}

bool V4l2Camera::Start() {
    if (thread_.joinable())
        return true;
    if (fd_ < 0 || !IsVideoFormat(format_)) {
        SetError(node_.name + ": no capture format set");
        return false;
    }
    v4l2_requestbuffers req{};
    req.count = kBufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (const int err = io_.Ioctl(fd_, VIDIOC_REQBUFS, &req); err != 0 || req.count == 0) {
        SetError(Describe("request buffers", err ? err : ENOMEM));
        return false;
    }
    buffers_.assign(req.count, Mapping{});
    for (uint32_t i = 0; i < req.count; ++i) {
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        int err = io_.Ioctl(fd_, VIDIOC_QUERYBUF, &buf);
        if (err == 0) {
            buffers_[i].address = io_.Mmap(fd_, buf.length, buf.m.offset);
            if (buffers_[i].address)
                buffers_[i].length = buf.length;
            else
                err = ENOMEM;
        }
        if (err == 0)
            err = io_.Ioctl(fd_, VIDIOC_QBUF, &buf);
        if (err != 0) {
            SetError(Describe("map buffers", err));
            ReleaseBuffers();
            return false;
        }
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (const int err = io_.Ioctl(fd_, VIDIOC_STREAMON, &type); err != 0) {
        SetError(Describe("start streaming", err));
        ReleaseBuffers();
        return false;
    }
    stop_ = false;
    sample_.ResetEnded();
    thread_ = std::thread([this] { CaptureLoop(); });
    return true;
}

void V4l2Camera::Stop() {
    if (!thread_.joinable())
        return;
    stop_ = true;
    thread_.join();
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    io_.Ioctl(fd_, VIDIOC_STREAMOFF, &type);
    ReleaseBuffers();
}

void V4l2Camera::ReleaseBuffers() {
    for (Mapping& m : buffers_)
        if (m.address)
            io_.Munmap(m.address, m.length);
    buffers_.clear();
    v4l2_requestbuffers req{};
    req.count = 0;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    io_.Ioctl(fd_, VIDIOC_REQBUFS, &req);
}

void V4l2Camera::CaptureLoop() {
    FrameConverter converter;
    std::vector<uint8_t> work;
    sample_.AllocateWorkBuffer(format_.width, format_.height, work);
    while (!stop_) {
        const int ready = io_.Poll(fd_, kPollMs);
        if (ready == 0)
            continue;
        if (ready < 0) {
            SetError(Describe("wait for a picture", -ready));
            break;
        }
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (const int err = io_.Ioctl(fd_, VIDIOC_DQBUF, &buf); err != 0) {
            if (err == EAGAIN || err == EINTR)
                continue;
            SetError(Describe("read a picture", err));
            break;
        }
        if (buf.index < buffers_.size() && !(buf.flags & V4L2_BUF_FLAG_ERROR)) {
            const Mapping& m = buffers_[buf.index];
            const size_t used = buf.bytesused <= m.length ? buf.bytesused : m.length;
            std::string error;
            if (converter.Convert(format_, static_cast<const uint8_t*>(m.address), used, work, error,
                                  bytesPerLine_)) {
                sample_.Publish(format_.width, format_.height, work);
                if (work.size() !=
                    static_cast<size_t>(format_.width) * static_cast<size_t>(format_.height) * 3)
                    sample_.AllocateWorkBuffer(format_.width, format_.height, work);
            } else {
                SetError(node_.name + ": " + error);  // the last good picture stays
            }
        }
        if (const int err = io_.Ioctl(fd_, VIDIOC_QBUF, &buf); err != 0) {
            SetError(Describe("requeue a buffer", err));
            break;
        }
    }
    sample_.MarkEnded();
}

bool V4l2Camera::WaitForFirstSample(std::chrono::milliseconds timeout) {
    return sample_.WaitForFirst(timeout);
}

bool V4l2Camera::LatestSample(CameraSample& out) const {
    return sample_.Copy(out);
}

}  // namespace camera
