// Where the cine store takes its frames from: the frozen live cine, or anything shaped like
// it (tests and benchmarks fill one by hand).
#pragma once

#include <optional>

#include "imaging/FrameRecord.h"
#include "platform/Image.h"

class CCineRing;

namespace archive {

class ICineSource {
public:
    virtual ~ICineSource() = default;
    // Frames held, at most 512.
    virtual int FrameCount() const = 0;
    // The slot of the newest frame.
    virtual int NewestIndex() const = 0;
    virtual bool GetFrame(int slot, Image8& out) const = 0;
    virtual std::optional<FrameRecord> GetRecord(int slot) const = 0;
};

// The live processor's cine (frozen while a store reads it).
class CineRingSource : public ICineSource {
public:
    explicit CineRingSource(const CCineRing& ring) : ring_(ring) {}
    int FrameCount() const override;
    int NewestIndex() const override;
    bool GetFrame(int slot, Image8& out) const override;
    std::optional<FrameRecord> GetRecord(int slot) const override;

private:
    const CCineRing& ring_;
};

}  // namespace archive
