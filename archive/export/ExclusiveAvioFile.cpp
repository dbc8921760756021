#include "archive/export/ExclusiveAvioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include "archive/export/VideoLeftovers.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace exportfile {

namespace {
constexpr int kBufferSize = 1 << 16;
}

ExclusiveAvioFile::~ExclusiveAvioFile() {
    Discard();
}

int ExclusiveAvioFile::Open(const std::string& target, TargetMode mode) {
    Discard();
    target_ = target;
    mode_ = mode;
    struct stat st {};
    const bool exists = ::lstat(target.c_str(), &st) == 0;
    if (mode == TargetMode::ReplaceReserved) {
        // Only the empty placeholder of a reserved name may be replaced, never a recording.
        if (!exists || !S_ISREG(st.st_mode) || st.st_size != 0)
            return AVERROR(EEXIST);
    } else if (mode == TargetMode::ReplaceLeftover) {
        if (exists && !S_ISREG(st.st_mode))
            return AVERROR(EEXIST);
    } else if (platform::PathExists(target)) {
        return AVERROR(EEXIST);
    }
    std::string tmpl = target + ".tmp.XXXXXX";
    {
        const std::unique_lock noSweep = HoldOffSweeps();
        fd_ = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd_ < 0)
            return AVERROR(errno ? errno : EIO);
        temp_ = tmpl;
        ClaimVideoFile(temp_);
    }
    ::fchmod(fd_, platform::kPrivateFileMode);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (buffer)
        avio_ = avio_alloc_context(buffer, kBufferSize, 1, this, nullptr, &WritePacket, &Seek);
    if (!avio_) {
        av_free(buffer);
        Discard();
        return AVERROR(ENOMEM);
    }
    return 0;
}

int ExclusiveAvioFile::WritePacket(void* opaque, uint8_t* buf, int size) {
    auto* self = static_cast<ExclusiveAvioFile*>(opaque);
    if (platform::IsWriteFaultInjected(self->target_))
        return AVERROR(ENOSPC);
    int done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(self->fd_, buf + done, static_cast<size_t>(size - done), self->pos_ + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return AVERROR(errno);
        }
        done += static_cast<int>(n);
    }
    self->pos_ += size;
    if (self->pos_ > self->size_)
        self->size_ = self->pos_;
    return size;
}

int64_t ExclusiveAvioFile::Seek(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<ExclusiveAvioFile*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return self->size_;
        case SEEK_SET:
            self->pos_ = offset;
            break;
        case SEEK_CUR:
            self->pos_ += offset;
            break;
        case SEEK_END:
            self->pos_ = self->size_ + offset;
            break;
        default:
            return AVERROR(EINVAL);
    }
    return self->pos_;
}

void ExclusiveAvioFile::CloseContext() {
    if (avio_) {
        av_freep(&avio_->buffer);
        avio_context_free(&avio_);
    }
}

int ExclusiveAvioFile::Commit() {
    const int rc = Close();
    if (rc < 0) {
        Discard();
        return rc;
    }
    return Place();
}

int ExclusiveAvioFile::Close() {
    if (fd_ < 0 || !avio_)
        return AVERROR(EINVAL);
    avio_flush(avio_);
    int rc = avio_->error;
    if (rc >= 0 && ::fsync(fd_) != 0)
        rc = AVERROR(errno);
    CloseContext();
    ::close(fd_);
    fd_ = -1;
    closed_ = rc >= 0;
    return rc < 0 ? rc : 0;
}

int ExclusiveAvioFile::Place() {
    if (!closed_ || temp_.empty())
        return AVERROR(EINVAL);
    int rc = 0;
    struct stat st {};
    const bool replacing = mode_ == TargetMode::ReplaceReserved ||
                           (mode_ == TargetMode::ReplaceLeftover && ::lstat(target_.c_str(), &st) == 0);
    if (replacing) {
        if (mode_ == TargetMode::ReplaceReserved &&
            (::lstat(target_.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0))
            rc = AVERROR(EEXIST);  // the placeholder is not what it was
        else if (::rename(temp_.c_str(), target_.c_str()) != 0)
            rc = AVERROR(errno);
        else
            ForgetTemporary();  // renamed into place: nothing left to remove
    } else {
        // The same steps as every record that must not replace a file, so a file system
        // without hard links still gets the video.
        const int err = platform::PlaceFileExclusive(temp_, target_, platform::kPrivateFileMode);
        ForgetTemporary();  // gone either way
        if (err != 0)
            rc = AVERROR(err);
    }
    Discard();
    return rc;
}

void ExclusiveAvioFile::ForgetTemporary() {
    ReleaseVideoFile(temp_);
    temp_.clear();
}

void ExclusiveAvioFile::Discard() {
    CloseContext();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        ForgetTemporary();
    }
    closed_ = false;
    pos_ = size_ = 0;
}

int64_t FreeBytesIn(const std::string& folder) {
    uint64_t bytes = 0;
    if (!platform::FreeDiskBytes(folder.empty() ? "." : folder, bytes))
        return -1;
    return static_cast<int64_t>(std::min<uint64_t>(bytes, INT64_MAX));
}

}  // namespace exportfile
