// A picture button of the control kit: an icon on the button face, the face and border
// following the push button's rules. Clicks as CCstmButton does.
#pragma once

#include "app/CstmButton.h"

class CCstmBitmapButton : public CCstmButton {
public:
    CCstmBitmapButton(wxWindow* parent, int id, Image32 picture, const wxPoint& pos, const wxSize& size);
    void SetPicture(Image32 picture);
    // Pictures for the pressed, focused and disabled looks; an empty one shows the normal
    // picture in that look.
    void SetFacePictures(Image32 pressed, Image32 focused, Image32 disabled);

    // true: the pictures are whole button faces, drawn over the full control.
    bool m_bPictureIsFace = false;

protected:
    void RenderInto(Image32& image) const override;

private:
    const Image32& PictureNow() const;
    Image32 m_picture;  // drawn centred, at its own size or shrunk to fit
    Image32 m_pressed;
    Image32 m_focused;
    Image32 m_disabled;
};
