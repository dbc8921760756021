#include "app/CameraPreviewWindow.h"

#include <wx/dcclient.h>
#include <wx/image.h>

#include "app/WxImage.h"

CCameraPreviewWindow::CCameraPreviewWindow(wxWindow* parent, const camera::ICamera& camera,
                                           const recorder::PreviewPlacement& place)
    : wxWindow(parent, wxID_ANY, wxPoint(place.x, place.y), wxSize(place.width, place.height),
               wxBORDER_NONE | wxCLIP_SIBLINGS),
      m_camera(camera),
      m_timer(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_TIMER, &CCameraPreviewWindow::OnTimer, this);
    Bind(wxEVT_PAINT, &CCameraPreviewWindow::OnPaint, this);
    Raise();
    m_timer.Start(kRefreshMs);
}

CCameraPreviewWindow::~CCameraPreviewWindow() {
    m_timer.Stop();
}

void CCameraPreviewWindow::OnTimer(wxTimerEvent&) {
    if (!IsShownOnScreen())
        return;
    const uint64_t before = m_sample.sequence;
    if (!m_camera.LatestSample(m_sample) || m_sample.sequence == before || m_sample.width <= 0 ||
        m_sample.height <= 0)
        return;
    // Bottom-up BGR to a top-down RGB image, then to the box's size.
    wxImage image(m_sample.width, m_sample.height, false);
    unsigned char* out = image.GetData();
    const size_t stride = static_cast<size_t>(m_sample.width) * 3;
    for (int y = 0; y < m_sample.height; ++y) {
        const uint8_t* row = m_sample.bgr.data() + static_cast<size_t>(m_sample.height - 1 - y) * stride;
        for (int x = 0; x < m_sample.width; ++x, out += 3, row += 3) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
        }
    }
    const wxSize size = GetClientSize();
    if (size.x > 0 && size.y > 0)
        image.Rescale(size.x, size.y, wxIMAGE_QUALITY_BILINEAR);
    m_image = image;
    m_bitmap = wxBitmap(image);
    Refresh(false);
}

Image32 CCameraPreviewWindow::Render() const {
    if (!m_image.IsOk()) {
        const wxSize size = GetClientSize();
        return Image32(size.x, size.y, 0);
    }
    return FromWxImage(m_image);
}

void CCameraPreviewWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    if (m_bitmap.IsOk()) {
        dc.DrawBitmap(m_bitmap, 0, 0);
        ++m_nPainted;
    } else {
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
    }
}

void CCameraPreviewHost::CreatePreview(const camera::ICamera& camera,
                                       const recorder::PreviewPlacement& placement) {
    DestroyPreview();
    m_pWindow = new CCameraPreviewWindow(m_pClient, camera, placement);
}

void CCameraPreviewHost::PlacePreview(const recorder::PreviewPlacement& placement) {
    if (m_pWindow)
        m_pWindow->SetSize(placement.x, placement.y, placement.width, placement.height);
}

void CCameraPreviewHost::ShowPreview(bool show) {
    if (m_pWindow) {
        m_pWindow->Show(show);
        if (show)
            m_pWindow->Raise();
    }
}

void CCameraPreviewHost::DestroyPreview() {
    if (m_pWindow) {
        m_pWindow->Destroy();
        m_pWindow = nullptr;
    }
}
