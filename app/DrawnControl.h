// Base of the control kit's own drawn controls: each renders itself into an Image32 that
// the paint handler shows, so the same pixels serve the screen, tests and screenshots.
#pragma once

#include <wx/control.h>

#include "platform/Image.h"

class CDrawnControl : public wxControl {
public:
    CDrawnControl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, long style = 0);

    // What the control shows at its current size and state.
    Image32 Render() const;

    // The colour behind the control's shape: its parent's background.
    uint32_t BackgroundPixel() const;

    bool AcceptsFocus() const override { return IsShown() && IsEnabled(); }
    bool HasTransparentBackground() override { return false; }

protected:
    virtual void RenderInto(Image32& image) const = 0;
    wxSize DoGetBestSize() const override { return GetSize(); }

private:
    void OnPaint(wxPaintEvent& event);
    void OnFocusChange(wxFocusEvent& event);
};
