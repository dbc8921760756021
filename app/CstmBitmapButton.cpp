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

void CCstmBitmapButton::SetFacePictures(Image32 pressed, Image32 focused, Image32 disabled) {
    m_pressed = std::move(pressed);
    m_focused = std::move(focused);
    m_disabled = std::move(disabled);
    Refresh(false);
}

const Image32& CCstmBitmapButton::PictureNow() const {
    if (!IsThisEnabled() && !m_disabled.empty())
        return m_disabled;
    if (IsPressed() && !m_pressed.empty())
        return m_pressed;
    if (HasFocusNow() && !m_focused.empty())
        return m_focused;
    return m_picture;
}

void CCstmBitmapButton::RenderInto(Image32& image) const {
    const Image32& picture = PictureNow();
    if (m_bPictureIsFace && !picture.empty()) {
        const Image32 face = picture.width() == image.width() && picture.height() == image.height()
                                 ? picture
                                 : draw::Resized(picture, image.width(), image.height());
        draw::CopyRect(face, {0, 0, image.width(), image.height()}, image, {0, 0});
        return;
    }
    CCstmButton::RenderInto(image);
    if (picture.empty())
        return;
    const int room = std::max(1, std::min(image.width(), image.height()) - 6);
    const double f = std::min(1.0, static_cast<double>(room) / std::max(picture.width(), picture.height()));
    const int w = std::max(1, static_cast<int>(picture.width() * f));
    const int h = std::max(1, static_cast<int>(picture.height() * f));
    const Image32 scaled = f < 1.0 ? draw::Resized(picture, w, h) : picture;
    const int shift = IsPressed() ? 1 : 0;  // the picture sinks a little while pressed
    draw::CopyRect(scaled, {0, 0, w, h}, image,
                   {(image.width() - w) / 2 + shift, (image.height() - h) / 2 + shift});
}
