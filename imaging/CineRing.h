// The cine: the last 512 converted frames with their records, the seven display slots of
// each side (A and B) used by the dual view and the OB/GY items, the two special frames
// (frame indices -10 and -11) and the M-line record of the newest frame. One lock guards all
// of it: the image thread commits a frame, its record, the indices and the M-line in one
// step, and readers (drawing, stores) take the same lock per frame. Frame images are made
// on first use, so an unused ring costs no pixel memory; a frame never written reads black.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "imaging/FrameOverlays.h"
#include "imaging/FrameRecord.h"
#include "platform/Image.h"

inline constexpr int kCineFrames = 512;
inline constexpr int kSlotsPerSide = 7;
inline constexpr int kSpecialFrameA = -10;  // special frame 0
inline constexpr int kSpecialFrameB = -11;  // special frame 1

// The M-mode sample line of the newest frame.
struct MLineRecord {
    std::array<uint8_t, 480> column{};
    uint8_t firstRow = 0;  // kept from the last frame whose line had a point in the image
    double angleUsed = 0.0;
    int depthUsed = 0;
};

enum class SlotDirection { Store, Recall };
enum class CineError { None, FrameIndex, SlotIndex, Size };

class CCineRing {
public:
    CCineRing();

    // --- the image thread
    // The count the ring will hold once the next frame is in (frame correlation uses it).
    int CountAfterNextFrame() const;
    // Writes the frame into the slot at the write index with its record and M-line, and
    // advances the indices. Returns the slot written.
    int Commit(const Image8& frame, const FrameRecord& record, const MLineSample& mline, double angleUsed,
               int depthUsed);

    // --- readers (any thread)
    // Calls visit with the frame's image and record under the lock: ring slots 0..511 and the
    // special frames -10 and -11. False (visit not called) for any other index. The visitor
    // must not call back into the ring.
    bool VisitFrame(int index, const std::function<void(const Image8&, const FrameRecord&)>& visit) const;
    bool CopyFrame(int index, Image8& out) const;
    // A picture was written into ring slot `index` since the ring was last cleared.
    bool HasFrame(int index) const;
    std::optional<FrameRecord> GetFrameRecord(int index) const;  // ring slots only
    bool SetFrameRecord(int index, const FrameRecord& record);   // ring slots only
    MLineRecord GetMLine() const;

    // Frames taken, capped at 512.
    int GetFrameCount() const;
    // 1-based position of the current frame counted from the oldest (the newest is 512 once
    // the ring is full).
    int GetCinePosition() const;
    int GetCurrentIndex() const;
    int GetNewestIndex() const;
    int GetWriteIndex() const;
    int GetCount() const;  // not capped
    // The cine step of the user; false for an index outside 0..511.
    bool SetCurrentIndex(int index);
    // Restarts the ring: write, current and newest index 0 and the given count (0, or 1
    // where a single frame is kept).
    void Reset(int count = 0);

    // --- review: stored cines loaded frame by frame
    // Black pixels everywhere, indices and count 0.
    void ClearFrames();
    CineError StoreFrame(int index, const Image8& source);

    // --- display slots and special frames
    // Store copies a frame and its record into slot `slot` of its side, Recall the other way.
    // Side A for frame -10, B for -11, and for a ring frame B when side is 2, else A. A recall
    // hands back the record it put into the frame.
    CineError CopyFrameSlot(int frameIndex, int slot, SlotDirection direction, int side,
                            FrameRecord* recalled = nullptr);
    // Copies a ring frame and its record into special frame 0 or 1 and keeps its depth and focus.
    CineError CopyFrameToSpecialSlot(int frameIndex, int special);
    int GetSpecialDepth(int special) const;
    int GetSpecialFocus(int special) const;
    void SetSpecialDepthFocus(int special, int depth, int focus);
    std::optional<FrameRecord> GetSlotRecord(int side, int slot) const;

private:
    static bool IsRingIndex(int index) { return index >= 0 && index < kCineFrames; }
    // The image and record behind a frame index (ring or special); null for any other.
    Image8* FrameImage(int index);
    FrameRecord* FrameRecordOf(int index);
    static void CopyPixels(const Image8& from, Image8& to);

    mutable std::mutex mutex_;
    std::vector<Image8> ring_;
    std::vector<FrameRecord> records_;
    std::array<std::array<Image8, kSlotsPerSide>, 2> slots_;
    std::array<std::array<FrameRecord, kSlotsPerSide>, 2> slotRecords_{};
    std::array<Image8, 2> special_;
    std::array<FrameRecord, 2> specialRecords_{};
    std::array<int, 2> specialDepth_{};
    std::array<int, 2> specialFocus_{};
    int write_ = 0;
    int current_ = 0;
    int newest_ = 0;
    int count_ = 0;
    MLineRecord mline_;
};
