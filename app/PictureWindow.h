// The image view's window: paints what its CCstmPictureCtrl renders for the client size.
// Mouse input is routed by the main window before it reaches the view.
#pragma once

#include <wx/window.h>

#include "app/core/CstmPictureCtrl.h"

class CPictureWindow : public wxWindow {
public:
    CPictureWindow(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

    CCstmPictureCtrl& View() { return m_view; }
    const CCstmPictureCtrl& View() const { return m_view; }
    // Exactly what the window shows now.
    Image32 Render() const;

    // It shows no focus and its keys belong to the main window: no tab stop.
    bool AcceptsFocus() const override { return false; }

private:
    void OnPaint(wxPaintEvent& event);
    CCstmPictureCtrl m_view;
    Image32 m_scratch;  // the client's picture when it is not the back buffer itself
};
