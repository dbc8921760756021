// A picture button of the control kit: an icon on the button face, the face and border
// following the push button's rules. Clicks as CCstmButton does.
#pragma once

#include "app/CstmButton.h"

class CCstmBitmapButton : public CCstmButton {
public:
    CCstmBitmapButton(wxWindow* parent, int id, Image32 picture, const wxPoint& pos, const wxSize& size);
    void SetPicture(Image32 picture);

protected:
    void RenderInto(Image32& image) const override;

private:
    Image32 m_picture;  // drawn centred, at its own size or shrunk to fit
};
