#include "app/DialogFrame.h"

#include "platform/draw/Raster.h"

namespace {

// One ring of the frame, `inset` pixels in: top and left in `light`, bottom and right in `dark`.
void Ring(Image32& image, int inset, uint32_t light, uint32_t dark) {
    const int l = inset;
    const int t = inset;
    const int r = image.width() - inset;  // exclusive
    const int b = image.height() - inset;
    if (r - l < 1 || b - t < 1)
        return;
    draw::FillRect(image, {l, t, r - 1, t + 1}, light);
    draw::FillRect(image, {l, t, l + 1, b - 1}, light);
    draw::FillRect(image, {l, b - 1, r, b}, dark);
    draw::FillRect(image, {r - 1, t, r, b}, dark);
}

}  // namespace

void DrawDialogFrame(Image32& image, const DialogFrameColours& c) {
    Ring(image, 0, c.outerLight, c.outerDark);
    Ring(image, 1, c.innerLight, c.innerDark);
    Ring(image, 2, c.face, c.face);
}
