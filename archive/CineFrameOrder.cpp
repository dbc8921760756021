#include "archive/CineFrameOrder.h"

#include <algorithm>

#include "common/ArchiveNames.h"

namespace archive {

std::vector<int> CineFrameOrder(int frameCount, int newestIndex) {
    const int n = std::clamp(frameCount, 0, kMaxCineFrames);
    int slot = 0;
    if (frameCount >= kMaxCineFrames && newestIndex >= 0 && newestIndex < kMaxCineFrames)
        slot = (newestIndex + 1) % kMaxCineFrames;
    std::vector<int> order;
    order.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i, slot = (slot + 1) % kMaxCineFrames)
        order.push_back(slot);
    return order;
}

}  // namespace archive
