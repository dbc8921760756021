#include "app/CameraPreviewWindow.h"

#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/image.h>

#include <algorithm>

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

CCameraPreviewHost::CCameraPreviewHost(wxWindow* client) : m_pClient(client) {
    m_followTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { FollowClient(); });
}

CCameraPreviewHost::~CCameraPreviewHost() {
    DestroyPreview();
}

void CCameraPreviewHost::FollowClient() {
    if (m_pFloat && m_pFloat->IsShown() && m_pClient->GetScreenPosition() != m_placedAtOrigin)
        PlacePreview(m_placement);
}

wxRect CCameraPreviewHost::ScreenRectFor(const wxRect& inClient, const wxPoint& clientOrigin,
                                         const wxRect& workArea) {
    wxRect r(clientOrigin + inClient.GetPosition(), inClient.GetSize());
    r.x = std::max(workArea.x, std::min(r.x, workArea.GetRight() + 1 - r.width));
    r.y = std::max(workArea.y, std::min(r.y, workArea.GetBottom() + 1 - r.height));
    return r;
}

void CCameraPreviewHost::CreatePreview(const camera::ICamera& camera,
                                       const recorder::PreviewPlacement& placement) {
    DestroyPreview();
    // Owned by the main window: above it only, no taskbar entry, gone with it.
    auto* frame =
        new wxFrame(wxGetTopLevelParent(m_pClient), wxID_ANY, wxEmptyString, wxDefaultPosition,
                    wxSize(placement.width, placement.height),
                    wxFRAME_FLOAT_ON_PARENT | wxFRAME_NO_TASKBAR | wxFRAME_TOOL_WINDOW | wxBORDER_NONE);
    m_pFloat = frame;
    m_pWindow = new CCameraPreviewWindow(frame, camera, {0, 0, placement.width, placement.height});
    // A click on the picture hands the keys back to the main window (SPACE, F, REC keys).
    m_pWindow->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) {
        if (wxTopLevelWindow* owner = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(m_pClient)))
            owner->Raise();
    });
    PlacePreview(placement);
    frame->ShowWithoutActivating();
    m_followTimer.Start(kFollowMs);
}

void CCameraPreviewHost::PlacePreview(const recorder::PreviewPlacement& placement) {
    if (!m_pFloat || !m_pWindow)
        return;
    const int display = wxDisplay::GetFromWindow(m_pClient);
    const wxRect work =
        wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    m_placement = placement;
    m_placedAtOrigin = m_pClient->GetScreenPosition();
    const wxRect r = ScreenRectFor(wxRect(placement.x, placement.y, placement.width, placement.height),
                                   m_placedAtOrigin, work);
    m_pFloat->SetSize(r);
    m_pWindow->SetSize(0, 0, r.width, r.height);
}

wxRect CCameraPreviewHost::RectInClient() const {
    if (!m_pFloat)
        return {};
    const wxRect r = m_pFloat->GetScreenRect();
    return wxRect(r.GetPosition() - m_pClient->GetScreenPosition(), r.GetSize());
}

void CCameraPreviewHost::ShowPreview(bool show) {
    if (!m_pFloat)
        return;
    if (show)
        m_pFloat->ShowWithoutActivating();
    else
        m_pFloat->Hide();
}

void CCameraPreviewHost::DestroyPreview() {
    m_followTimer.Stop();
    // The picture window goes now, not with the frame's deferred delete: its timer reads a
    // camera that is stopped right after this.
    if (m_pFloat && m_pWindow)
        m_pWindow->Destroy();
    m_pWindow = nullptr;
    if (m_pFloat) {
        m_pFloat->Destroy();
        m_pFloat = nullptr;
    }
}
