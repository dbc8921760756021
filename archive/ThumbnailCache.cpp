#include "archive/ThumbnailCache.h"

#include <algorithm>

#include "platform/BmpCodec.h"
#include "platform/StringUtil.h"
#include "platform/draw/Painter.h"
#include "platform/draw/Scale.h"

namespace archive {

namespace {

constexpr uint32_t kNumberColour = MakePixel(255, 255, 255);
constexpr uint32_t kTagColour = MakePixel(192, 160, 31);
constexpr int kMarkSide = 30;

size_t BytesOf(const Image32& image) {
    return image.size() * sizeof(uint32_t);
}

}  // namespace

std::string ThumbnailNumberText(int number) {
    const int n = std::clamp(number, 0, 9999);
    return platform::Format(n < 1000 ? "%03d" : "%04d", n);
}

Image32 ComposeThumbnail(const Image32& picture, int number, const std::string& tag, bool isCine,
                         const Image32& cineMark) {
    Image32 thumb(kThumbnailSide, kThumbnailSide, 0);
    if (!picture.empty())
        draw::StretchHalftone(picture, {0, 0, picture.width(), picture.height()}, thumb,
                              {0, 0, kThumbnailSide, kThumbnailSide});
    {
        draw::Painter painter(thumb);
        const std::string text = ThumbnailNumberText(number);
        const int x = text.size() == 3 ? 85 : 75;
        painter.DrawText({x, 100, kThumbnailSide, kThumbnailSide}, text,
                         draw::FontFor(draw::FontRole::ThumbnailNumber), kNumberColour);
        if (!tag.empty()) {
            const draw::Font font = draw::FontFor(draw::FontRole::ThumbnailTag);
            // Baseline at y 71: the ascent of DejaVu Sans is about 0.93 of its em.
            const int top = 71 - static_cast<int>(font.pixelSize * 0.93 + 0.5);
            painter.DrawText({0, top, kThumbnailSide, top + static_cast<int>(font.pixelSize * 1.2)}, tag,
                             font, kTagColour, draw::kTextCenter | draw::kTextTop);
        }
    }
    if (isCine && !cineMark.empty()) {
        Image32 mark(kMarkSide, kMarkSide, 0);
        draw::StretchHalftone(cineMark, {0, 0, cineMark.width(), cineMark.height()}, mark,
                              {0, 0, kMarkSide, kMarkSide});
        const int left = kThumbnailSide / 2 - 19;
        for (int y = 0; y < kMarkSide; ++y)
            for (int x = 0; x < kMarkSide; ++x)
                thumb.At(left + x, left + y) |= mark.At(x, y);
    }
    return thumb;
}

const Image32* ThumbnailCache::Get(const StoreItemRecord& item, const std::string& tag) {
    const std::string key =
        item.imagePath + '\n' + std::to_string(item.number) + '\n' + tag + '\n' + (item.isCine ? "c" : "s");
    if (const auto found = index_.find(key); found != index_.end()) {
        entries_.splice(entries_.begin(), entries_, found->second);
        return &entries_.front().image;
    }
    if (failed_.count(item.imagePath))
        return nullptr;
    Image32 picture;
    if (!platform::ReadBmpFile(item.imagePath, picture)) {
        failed_[item.imagePath] = true;
        if (!reported_)
            pending_ = true;
        return nullptr;
    }
    entries_.push_front({key, ComposeThumbnail(picture, item.number, tag, item.isCine != 0, cineMark_)});
    index_[key] = entries_.begin();
    bytes_ += BytesOf(entries_.front().image);
    // The newest stays even when one thumbnail alone exceeds the bound.
    while (bytes_ > maxBytes_ && entries_.size() > 1) {
        bytes_ -= BytesOf(entries_.back().image);
        index_.erase(entries_.back().key);
        entries_.pop_back();
    }
    return &entries_.front().image;
}

bool ThumbnailCache::TakePendingMessage() {
    if (!pending_)
        return false;
    pending_ = false;
    reported_ = true;
    return true;
}

void ThumbnailCache::NewFill() {
    failed_.clear();
    pending_ = false;
    reported_ = false;
}

void ThumbnailCache::Forget(const std::string& imagePath) {
    const std::string prefix = imagePath + '\n';
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->key.starts_with(prefix)) {
            bytes_ -= BytesOf(it->image);
            index_.erase(it->key);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    failed_.erase(imagePath);
}

}  // namespace archive
