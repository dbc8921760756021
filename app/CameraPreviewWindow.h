// The SyncView camera preview: a child of the main window's client area painting the
// camera's newest picture, scaled to its 240-pixel-wide box, from a UI timer at about
// 20 frames a second. The camera's capture thread only fills the sample this copies.
#pragma once

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/timer.h>
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

// The preview host over the main window's client area.
class CCameraPreviewHost : public recorder::ICameraPreviewHost {
public:
    explicit CCameraPreviewHost(wxWindow* client) : m_pClient(client) {}
    void CreatePreview(const camera::ICamera& camera, const recorder::PreviewPlacement& placement) override;
    void PlacePreview(const recorder::PreviewPlacement& placement) override;
    void ShowPreview(bool show) override;
    void DestroyPreview() override;
    CCameraPreviewWindow* Window() const { return m_pWindow; }

private:
    wxWindow* m_pClient;
    CCameraPreviewWindow* m_pWindow = nullptr;
};
