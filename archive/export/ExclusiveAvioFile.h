// An output file for the FFmpeg muxers that never replaces anything: the muxer writes
// through our own AVIO callbacks into a temporary file beside the target (so the write-fault
// hook sees every write), and Commit puts it in place only when no file of that name exists
// (platform::PlaceFileExclusive: a hard link, else a rename without replace, else a copy into an
// exclusively created file).
#pragma once

#include <cstdint>
#include <string>

struct AVIOContext;

namespace exportfile {

class ExclusiveAvioFile {
public:
    ExclusiveAvioFile() = default;
    ~ExclusiveAvioFile();
    ExclusiveAvioFile(const ExclusiveAvioFile&) = delete;
    ExclusiveAvioFile& operator=(const ExclusiveAvioFile&) = delete;

    // Creates the temporary file and the AVIO context. 0 or a negative AVERROR; the target
    // existing already gives AVERROR(EEXIST). With `replaceReserved` the target must be an
    // empty regular file its caller created exclusively to reserve the name (else EEXIST), and
    // Commit renames over it.
    int Open(const std::string& target, bool replaceReserved = false);
    AVIOContext* context() const { return avio_; }

    // Flushes, syncs and links the file into place. 0 or a negative AVERROR (AVERROR(EEXIST)
    // when a file of the target's name appeared meanwhile); the temporary file is gone after.
    int Commit();
    // Removes the temporary file; the target is untouched.
    void Discard();

    const std::string& target() const { return target_; }
    int64_t bytesWritten() const { return size_; }

private:
    static int WritePacket(void* opaque, uint8_t* buf, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    void CloseContext();

    std::string target_;
    std::string temp_;
    bool replaceReserved_ = false;
    int fd_ = -1;
    int64_t pos_ = 0;
    int64_t size_ = 0;
    AVIOContext* avio_ = nullptr;
};

// Free bytes for an unprivileged writer in the folder; -1 when it cannot be read.
int64_t FreeBytesIn(const std::string& folder);

}  // namespace exportfile
