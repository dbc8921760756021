// The order in which a cine is stored: oldest frame first. A ring that never wrapped holds
// its frames in slots 0 .. count-1; a full ring starts at the slot after the newest.
#pragma once

#include <vector>

namespace archive {

// The ring slots to store, in store order; at most 512. Empty for no frames.
std::vector<int> CineFrameOrder(int frameCount, int newestIndex);

}  // namespace archive
