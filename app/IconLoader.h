// The program's pictures, SVG files named by their bitmap id ("164.svg"), rendered at the
// size the code asks for. Looked for in "icons" beside the executable, then in the source tree.
#pragma once

#include <optional>
#include <string>

#include "platform/Image.h"

// Bitmap ids of the pictures.
enum BitmapId : int {
    kBitmapProbeMarker = 164,
};
// Body pictures by body-mark index 0 to 6.
inline constexpr int kBodyPictureIds[7] = {186, 180, 184, 181, 187, 182, 185};
inline constexpr int kBodyPictureWidth = 302;
inline constexpr int kBodyPictureHeight = 271;

std::string IconPath(int bitmapId);
// The picture at the size given; transparent parts become `transparentKey` when given,
// else they show black. Empty when the file is missing, unreadable or not well-formed.
Image32 LoadIcon(int bitmapId, int width, int height, std::optional<uint32_t> transparentKey = std::nullopt);

class CCstmPictureCtrl;
// Gives a view its seven body pictures and the probe marker.
void LoadBodyMarkPictures(CCstmPictureCtrl& view);
