// An image view window of the main window: paints what the core's view model renders for
// the client size. The model belongs to the core and is bound after the core exists; until
// then the window paints its background. Double clicks go to the owner.
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

#include <functional>

#include "platform/Image.h"

class CCstmPictureCtrl;

class CMainViewWindow : public wxWindow {
public:
    CMainViewWindow(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

    void BindModel(const CCstmPictureCtrl* model) { m_pModel = model; }
    // Exactly what the window shows now; empty before a model is bound.
    Image32 Render() const;
    std::function<void(int id)> onDoubleClick;

private:
    void OnPaint(wxPaintEvent& event);
    const CCstmPictureCtrl* m_pModel = nullptr;
    wxBitmap m_bitmap;  // what was painted last, at the client's size
    Image32 m_scratch;  // the client's picture when it is not the back buffer itself
};
