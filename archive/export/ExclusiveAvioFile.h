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

// What may stand at the target's name when the file is put in place.
enum class TargetMode {
    Exclusive,        // nothing: an existing file is never replaced
    ReplaceReserved,  // the empty placeholder its caller created exclusively to reserve the name
    ReplaceLeftover,  // a temporary name of this program ("_temp.avi") that a cancelled or killed
                      // export left: any regular file of that name is replaced
};

class ExclusiveAvioFile {
public:
    ExclusiveAvioFile() = default;
    ~ExclusiveAvioFile();
    ExclusiveAvioFile(const ExclusiveAvioFile&) = delete;
    ExclusiveAvioFile& operator=(const ExclusiveAvioFile&) = delete;

    // Creates the temporary file (0600, claimed against sweeps) and the AVIO context. 0 or a
    // negative AVERROR; a target the mode does not allow to replace gives AVERROR(EEXIST).
    // ReplaceReserved and ReplaceLeftover put the file in place by a rename over the target.
    int Open(const std::string& target, TargetMode mode = TargetMode::Exclusive);
    AVIOContext* context() const { return avio_; }

    // Flushes, syncs and links the file into place (Close, then Place). 0 or a negative
    // AVERROR (AVERROR(EEXIST) when a file of the target's name appeared meanwhile); the
    // temporary file is gone after.
    int Commit();
    // Flushes, syncs and closes the complete file, which stays under its temporary name
    // (readable at temporary()) until Place or Discard.
    int Close();
    // Puts the closed file in place as the target.
    int Place();
    // Removes the temporary file; the target is untouched.
    void Discard();

    const std::string& target() const { return target_; }
    const std::string& temporary() const { return temp_; }
    int64_t bytesWritten() const { return size_; }

private:
    static int WritePacket(void* opaque, uint8_t* buf, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);
    void CloseContext();
    void ForgetTemporary();

    std::string target_;
    std::string temp_;
    TargetMode mode_ = TargetMode::Exclusive;
    bool closed_ = false;
    int fd_ = -1;
    int64_t pos_ = 0;
    int64_t size_ = 0;
    AVIOContext* avio_ = nullptr;
};

// Free bytes for an unprivileged writer in the folder; -1 when it cannot be read.
int64_t FreeBytesIn(const std::string& folder);

}  // namespace exportfile
