#include "archive/CineSource.h"

#include "imaging/CineRing.h"

namespace archive {

int CineRingSource::FrameCount() const {
    return ring_.GetFrameCount();
}
int CineRingSource::NewestIndex() const {
    return ring_.GetNewestIndex();
}
bool CineRingSource::GetFrame(int slot, Image8& out) const {
    return ring_.CopyFrame(slot, out);
}
std::optional<FrameRecord> CineRingSource::GetRecord(int slot) const {
    return ring_.GetFrameRecord(slot);
}

}  // namespace archive
