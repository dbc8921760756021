#include "app/CstmBitmapButton.h"

#include <algorithm>

#include "platform/draw/Blit.h"
#include "platform/draw/Scale.h"

CCstmBitmapButton::CCstmBitmapButton(wxWindow* parent, int id, Image32 picture, const wxPoint& pos,
                                     const wxSize& size)
    : CCstmButton(parent, id, "", pos, size), m_picture(std::move(picture)) {}

void CCstmBitmapButton::SetPicture(Image32 picture) {
    m_picture = std::move(picture);
    Refresh(false);
}

void CCstmBitmapButton::RenderInto(Image32& image) const {
    CCstmButton::RenderInto(image);
    if (m_picture.empty())
        return;
    const int room = std::max(1, std::min(image.width(), image.height()) - 6);
    const double f =
        std::min(1.0, static_cast<double>(room) / std::max(m_picture.width(), m_picture.height()));
    const int w = std::max(1, static_cast<int>(m_picture.width() * f));
    const int h = std::max(1, static_cast<int>(m_picture.height() * f));
    const Image32 scaled = f < 1.0 ? draw::Resized(m_picture, w, h) : m_picture;
    const int shift = IsPressed() ? 1 : 0;  // the picture sinks a little while pressed
    draw::CopyRect(scaled, {0, 0, w, h}, image,
                   {(image.width() - w) / 2 + shift, (image.height() - h) / 2 + shift});
}
