// The SyncView camera preview: a window painting the camera's newest picture, scaled to its
// 240-pixel-wide box, from a UI timer at about 20 frames a second. The camera's capture
// thread only fills the sample this copies.
#pragma once

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "archive/recorder/CameraCapture.h"
#include "platform/Image.h"
#include "platform/camera/Camera.h"

class CCameraPreviewWindow : public wxWindow {
public:
    static constexpr int kRefreshMs = 50;

    CCameraPreviewWindow(wxWindow* parent, const camera::ICamera& camera,
                         const recorder::PreviewPlacement& place);
    ~CCameraPreviewWindow() override;

    // Pictures painted so far, and the newest as painted (tests, screenshots).
    int PaintedPictures() const { return m_nPainted; }
    Image32 Render() const;

private:
    void OnTimer(wxTimerEvent& event);
    void OnPaint(wxPaintEvent& event);

    const camera::ICamera& m_camera;
    camera::CameraSample m_sample;
    wxBitmap m_bitmap;
    wxImage m_image;
    wxTimer m_timer;
    int m_nPainted = 0;
};

// The preview host. The place it is given is in the main window's client coordinates and
// may lie beyond the client's right edge (the start-up window has no room beside the image),
// so the preview is a borderless window of its own that floats on the main window, follows
// its moves and stays on the display's work area.
class CCameraPreviewHost : public recorder::ICameraPreviewHost {
public:
    // How often the preview checks that it still stands where the main window is: a move
    // report can come before the window system has moved the window, or not at all.
    static constexpr int kFollowMs = 200;

    explicit CCameraPreviewHost(wxWindow* client);
    ~CCameraPreviewHost() override;
    void CreatePreview(const camera::ICamera& camera, const recorder::PreviewPlacement& placement) override;
    void PlacePreview(const recorder::PreviewPlacement& placement) override;
    void ShowPreview(bool show) override;
    void DestroyPreview() override;
    CCameraPreviewWindow* Window() const { return m_pFloat ? m_pWindow : nullptr; }
    // Where the preview is, in the client's coordinates (it may reach past the client).
    wxRect RectInClient() const;

    // The box in screen coordinates for a place in client coordinates: moved onto the work
    // area when it would reach past it.
    static wxRect ScreenRectFor(const wxRect& inClient, const wxPoint& clientOrigin, const wxRect& workArea);

private:
    void FollowClient();

    wxWindow* m_pClient;
    wxWeakRef<wxTopLevelWindow> m_pFloat;
    CCameraPreviewWindow* m_pWindow = nullptr;
    recorder::PreviewPlacement m_placement{};
    wxPoint m_placedAtOrigin;  // the client's screen origin the preview was placed against
    wxTimer m_followTimer;
};
