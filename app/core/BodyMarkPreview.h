// The picker's preview picture: the chosen body picture stretched over the 303 x 272 preview
// (or the base picture for "none"), with the probe marker turned into its parallelogram.
// The body pictures are the ones the views already hold; each is stretched once and kept.
#pragma once

#include <array>
#include <optional>

#include "app/core/BodyMarkPicker.h"
#include "platform/Image.h"

class CBodyMarkPreview {
public:
    static constexpr uint32_t kMarkerKey = MakePixel(255, 0, 255);  // transparent in the marker

    // The preview's base picture (bitmap 159), the seven body pictures (302 x 271) and the
    // probe marker (64 x 64, magenta transparent). Empty pictures draw nothing.
    CBodyMarkPreview(Image32 base, std::array<Image32, 7> bodyPictures, Image32 marker);

    // The preview as the picker shows it now.
    Image32 Render(const CBodyMarkPicker& picker);
    // The picture of index 0..6 stretched over the preview; any other index the base.
    const Image32& Background(int bodyMark);

    const Image32& BodyPicture(int index) const { return m_aimgBody[static_cast<size_t>(index)]; }

private:
    Image32 m_imgBase;
    std::array<Image32, 7> m_aimgBody;
    Image32 m_imgMarker;
    std::array<std::optional<Image32>, 8> m_aScaled;  // 0..6 the pictures, 7 the base
};
