#include "imaging/CineRing.h"

#include <algorithm>
#include <cstring>

#include "imaging/ScanGeometry.h"

namespace {
const Image8& Black() {
    static const Image8 black(kImageSize, kImageSize, 0);
    return black;
}
const Image8& OrBlack(const Image8& image) {
    return image.empty() ? Black() : image;
}
}  // namespace

CCineRing::CCineRing() : ring_(kCineFrames), records_(kCineFrames) {}

void CCineRing::CopyPixels(const Image8& from, Image8& to) {
    const Image8& source = OrBlack(from);
    if (to.width() != source.width() || to.height() != source.height())
        to.Resize(source.width(), source.height());
    std::memcpy(to.data(), source.data(), source.size());
}

Image8* CCineRing::FrameImage(int index) {
    if (IsRingIndex(index))
        return &ring_[index];
    if (index == kSpecialFrameA)
        return &special_[0];
    if (index == kSpecialFrameB)
        return &special_[1];
    return nullptr;
}

FrameRecord* CCineRing::FrameRecordOf(int index) {
    if (IsRingIndex(index))
        return &records_[index];
    if (index == kSpecialFrameA)
        return &specialRecords_[0];
    if (index == kSpecialFrameB)
        return &specialRecords_[1];
    return nullptr;
}

int CCineRing::CountAfterNextFrame() const {
    std::lock_guard lock(mutex_);
    return count_ + 1;
}

int CCineRing::Commit(const Image8& frame, const FrameRecord& record, const MLineSample& mline,
                      double angleUsed, int depthUsed) {
    std::lock_guard lock(mutex_);
    const int slot = write_;
    records_[slot] = record;
    CopyPixels(frame, ring_[slot]);
    ++count_;
    current_ = newest_ = slot;
    if (++write_ >= kCineFrames) {
        write_ = 0;
        count_ = kCineFrames;
    }
    mline_.column = mline.column;
    if (mline.hasPoint)
        mline_.firstRow = mline.firstRow;
    mline_.angleUsed = angleUsed;
    mline_.depthUsed = depthUsed;
    return slot;
}

bool CCineRing::VisitFrame(int index,
                           const std::function<void(const Image8&, const FrameRecord&)>& visit) const {
    std::lock_guard lock(mutex_);
    auto* self = const_cast<CCineRing*>(this);
    const Image8* image = self->FrameImage(index);
    if (!image)
        return false;
    visit(OrBlack(*image), *self->FrameRecordOf(index));
    return true;
}

bool CCineRing::CopyFrame(int index, Image8& out) const {
    return VisitFrame(index, [&](const Image8& image, const FrameRecord&) { CopyPixels(image, out); });
}

bool CCineRing::HasFrame(int index) const {
    if (!IsRingIndex(index))
        return false;
    std::lock_guard lock(mutex_);
    return !ring_[index].empty();
}

std::optional<FrameRecord> CCineRing::GetFrameRecord(int index) const {
    if (!IsRingIndex(index))
        return std::nullopt;
    std::lock_guard lock(mutex_);
    return records_[index];
}

bool CCineRing::SetFrameRecord(int index, const FrameRecord& record) {
    if (!IsRingIndex(index))
        return false;
    std::lock_guard lock(mutex_);
    records_[index] = record;
    return true;
}

MLineRecord CCineRing::GetMLine() const {
    std::lock_guard lock(mutex_);
    return mline_;
}

int CCineRing::GetFrameCount() const {
    std::lock_guard lock(mutex_);
    return std::min(count_, kCineFrames);
}

int CCineRing::GetCinePosition() const {
    std::lock_guard lock(mutex_);
    if (count_ < kCineFrames)
        return current_ + 1;
    return current_ - newest_ + (current_ <= newest_ ? kCineFrames : 0);
}

int CCineRing::GetCurrentIndex() const {
    std::lock_guard lock(mutex_);
    return current_;
}

int CCineRing::GetNewestIndex() const {
    std::lock_guard lock(mutex_);
    return newest_;
}

int CCineRing::GetWriteIndex() const {
    std::lock_guard lock(mutex_);
    return write_;
}

int CCineRing::GetCount() const {
    std::lock_guard lock(mutex_);
    return count_;
}

bool CCineRing::SetCurrentIndex(int index) {
    if (!IsRingIndex(index))
        return false;
    std::lock_guard lock(mutex_);
    current_ = index;
    return true;
}

void CCineRing::Reset(int count) {
    std::lock_guard lock(mutex_);
    write_ = current_ = newest_ = 0;
    count_ = std::clamp(count, 0, kCineFrames);
}

void CCineRing::ClearFrames() {
    std::lock_guard lock(mutex_);
    for (Image8& image : ring_)
        image = Image8();  // reads black again, and frees the pixels
    write_ = current_ = 0;
    count_ = 0;
}

CineError CCineRing::StoreFrame(int index, const Image8& source) {
    if (!IsRingIndex(index))
        return CineError::FrameIndex;
    if (source.width() != kImageSize || source.height() != kImageSize)
        return CineError::Size;
    std::lock_guard lock(mutex_);
    CopyPixels(source, ring_[index]);
    return CineError::None;
}

CineError CCineRing::CopyFrameSlot(int frameIndex, int slot, SlotDirection direction, int side,
                                   FrameRecord* recalled) {
    std::lock_guard lock(mutex_);
    Image8* frame = FrameImage(frameIndex);
    if (!frame)
        return CineError::FrameIndex;
    if (slot < 0 || slot >= kSlotsPerSide)
        return CineError::SlotIndex;
    const int s = frameIndex == kSpecialFrameA ? 0 : frameIndex == kSpecialFrameB ? 1 : (side == 2 ? 1 : 0);
    FrameRecord* record = FrameRecordOf(frameIndex);
    if (direction == SlotDirection::Store) {
        CopyPixels(*frame, slots_[s][slot]);
        slotRecords_[s][slot] = *record;
        return CineError::None;
    }
    CopyPixels(slots_[s][slot], *frame);
    *record = slotRecords_[s][slot];
    if (frameIndex == kSpecialFrameA || frameIndex == kSpecialFrameB) {
        const int special = frameIndex == kSpecialFrameA ? 0 : 1;
        specialDepth_[special] = record->depth;
        specialFocus_[special] = record->focus;
    }
    if (recalled)
        *recalled = *record;
    return CineError::None;
}

CineError CCineRing::CopyFrameToSpecialSlot(int frameIndex, int special) {
    if (!IsRingIndex(frameIndex))
        return CineError::FrameIndex;
    if (special < 0 || special > 1)
        return CineError::SlotIndex;
    std::lock_guard lock(mutex_);
    CopyPixels(ring_[frameIndex], special_[special]);
    specialRecords_[special] = records_[frameIndex];
    specialDepth_[special] = records_[frameIndex].depth;
    specialFocus_[special] = records_[frameIndex].focus;
    return CineError::None;
}

int CCineRing::GetSpecialDepth(int special) const {
    std::lock_guard lock(mutex_);
    return special >= 0 && special < 2 ? specialDepth_[special] : 0;
}

int CCineRing::GetSpecialFocus(int special) const {
    std::lock_guard lock(mutex_);
    return special >= 0 && special < 2 ? specialFocus_[special] : 0;
}

void CCineRing::SetSpecialDepthFocus(int special, int depth, int focus) {
    if (special < 0 || special > 1)
        return;
    std::lock_guard lock(mutex_);
    specialDepth_[special] = depth;
    specialFocus_[special] = focus;
}

std::optional<FrameRecord> CCineRing::GetSlotRecord(int side, int slot) const {
    if (side < 1 || side > 2 || slot < 0 || slot >= kSlotsPerSide)
        return std::nullopt;
    std::lock_guard lock(mutex_);
    return slotRecords_[side - 1][slot];
}
