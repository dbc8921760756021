// Conversions between our pixel buffers and wx images, at the widget edge only.
#pragma once

#include <wx/bitmap.h>
#include <wx/image.h>
#include <optional>

#include "platform/Image.h"

wxImage ToWxImage(const Image32& image);
// Pixels whose alpha is below one half become `transparentKey` when given; the others are
// taken at full strength (the key colour is then never produced by an anti-aliased edge).
Image32 FromWxImage(const wxImage& image, std::optional<uint32_t> transparentKey = std::nullopt);
wxColour ToWxColour(Colorref c);
Colorref FromWxColour(const wxColour& c);
