// An image one thread publishes and another copies: the UI thread's render of the image
// view (body mark included) after each drawn frame, and the caption block; the writer copies
// them when it composes a frame. Never a shared drawing surface.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/Image.h"

namespace recorder {

class SharedImage {
public:
    void Publish(const Image32& image);
    // Copies the newest image; false while nothing was published.
    bool Copy(Image32& out) const;
    uint64_t version() const;

private:
    mutable std::mutex mutex_;
    Image32 image_;
    uint64_t version_ = 0;
};

}  // namespace recorder
