#include "app/core/BodyMarkPreview.h"

#include <utility>

#include "platform/draw/Blit.h"
#include "platform/draw/Scale.h"

CBodyMarkPreview::CBodyMarkPreview(Image32 base, std::array<Image32, 7> bodyPictures, Image32 marker)
    : m_imgBase(std::move(base)), m_aimgBody(std::move(bodyPictures)), m_imgMarker(std::move(marker)) {}

const Image32& CBodyMarkPreview::Background(int bodyMark) {
    const bool body = bodyMark >= 0 && bodyMark < 7;
    const size_t slot = body ? static_cast<size_t>(bodyMark) : 7;
    std::optional<Image32>& scaled = m_aScaled[slot];
    if (!scaled) {
        const Image32& source = body ? m_aimgBody[slot] : m_imgBase;
        Image32 out(CBodyMarkPicker::kPreviewWidth, CBodyMarkPicker::kPreviewHeight, MakePixel(0, 0, 0));
        if (!source.empty())
            draw::StretchHalftone(source, {0, 0, source.width(), source.height()}, out,
                                  {0, 0, out.width(), out.height()});
        scaled = std::move(out);
    }
    return *scaled;
}

Image32 CBodyMarkPreview::Render(const CBodyMarkPicker& picker) {
    Image32 out = Background(picker.m_nBodyMark);
    if (picker.m_nBodyMark != CBodyMarkPicker::kBodyMarkNone && !m_imgMarker.empty())
        draw::MaskedAffineBlit(m_imgMarker, kMarkerKey, out, picker.MarkerCorners());
    return out;
}
