#include "archive/recorder/SharedImage.h"

#include <algorithm>

namespace recorder {

void SharedImage::Publish(const Image32& image) {
    std::lock_guard lock(mutex_);
    if (image_.width() != image.width() || image_.height() != image.height())
        image_.Resize(image.width(), image.height());
    std::copy(image.data(), image.data() + image.size(), image_.data());
    ++version_;
}

bool SharedImage::Copy(Image32& out) const {
    std::lock_guard lock(mutex_);
    if (version_ == 0)
        return false;
    if (out.width() != image_.width() || out.height() != image_.height())
        out.Resize(image_.width(), image_.height());
    std::copy(image_.data(), image_.data() + image_.size(), out.data());
    return true;
}

uint64_t SharedImage::version() const {
    std::lock_guard lock(mutex_);
    return version_;
}

}  // namespace recorder
