#include "app/LoupeComposer.h"

#include "platform/draw/Blit.h"

Image32 LoupeComposer::Compose(const draw::Rect& area, uint32_t background) const {
    Image32 out(area.Width(), area.Height(), background);
    for (const Source& s : sources_) {
        const draw::Rect r = s.screenRect();
        if (r.Intersect(area).IsEmpty())
            continue;
        const Image32 pixels = s.render(r.Width(), r.Height());
        draw::CopyRect(pixels, {0, 0, pixels.width(), pixels.height()}, out,
                       {r.left - area.left, r.top - area.top});
    }
    return out;
}
