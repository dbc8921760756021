// The thumbnails of the archive list, composed only when their row is drawn and kept in a
// cache bounded by bytes (least recently drawn go first). A picture that does not load is
// remembered, so painting never decodes it again and never shows a message: the row draws
// the fallback, and the list asks TakePendingMessage afterwards, once per fill.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

#include "archive/StoreItemList.h"
#include "platform/Image.h"

namespace archive {

inline constexpr int kThumbnailSide = 120;

// The number text of a thumbnail: three digits below 1000, four up to 9999, larger as 9999.
std::string ThumbnailNumberText(int number);

// A 120 x 120 thumbnail of a picture: the picture stretched, the number in white at the
// bottom right, the OB/GY tag (when not empty) in gold centred on x 60 with its baseline at
// y 71, and for a cine the cine mark stretched to 30 x 30 and ORed on at (41, 41).
Image32 ComposeThumbnail(const Image32& picture, int number, const std::string& tag, bool isCine,
                         const Image32& cineMark);

class ThumbnailCache {
public:
    static constexpr size_t kDefaultBytes = 32u << 20;
    explicit ThumbnailCache(size_t maxBytes = kDefaultBytes) : maxBytes_(maxBytes) {}

    void SetCineMark(Image32 mark) { cineMark_ = std::move(mark); }

    // The item's thumbnail with that tag (empty: none), or null when its picture does not
    // load. The pointer stays valid until the next Get.
    const Image32* Get(const StoreItemRecord& item, const std::string& tag);
    // True once after a picture failed to load since the last NewFill ("Bitmap Load Error.").
    bool TakePendingMessage();
    // A new fill: failed pictures are tried again and may be reported again.
    void NewFill();
    // Drops everything of an image path (after a deletion).
    void Forget(const std::string& imagePath);

    size_t Bytes() const { return bytes_; }
    size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::string key;
        Image32 image;
    };
    std::list<Entry> entries_;  // most recently drawn first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
    std::unordered_map<std::string, bool> failed_;  // image paths that did not load
    size_t bytes_ = 0;
    size_t maxBytes_;
    Image32 cineMark_;
    bool pending_ = false;
    bool reported_ = false;
};

}  // namespace archive
