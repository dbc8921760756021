#include "app/SaveDlg.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/stattext.h>

#include "app/IconLoader.h"
#include "app/WxImage.h"
#include "app/core/SettingsStrings.h"
#include "app/core/VirtualKeys.h"
#include "platform/StringUtil.h"
#include "platform/draw/Scale.h"
#include "resources/StringTable.h"

namespace {

constexpr int kBitmapPreviewBase = 159;
constexpr int kBitmapNone = 214;
constexpr int kBitmapTurnLeft = 171;
constexpr int kBitmapTurnRight = 175;

// The pixel table (client pixels). The preview is the real 303 x 272 picture, so the
// template's other controls sit around it.
const wxPoint kPreviewAt{10, 10};
constexpr int kThumbWidth = 40;
constexpr int kThumbHeight = 42;
constexpr int kThumbTop = 292;
constexpr int kThumbLeft = 10;
constexpr int kThumbPitch = 52;
constexpr int kThumbLabelTop = 338;
constexpr int kTurnSize = 56;
const wxPoint kTurnLeftAt{352, 60};
const wxPoint kTurnRightAt{472, 60};
constexpr int kTurnLabelTop = 124;
constexpr int kTurnLabelWidth = 130;
const wxRect kOkRect{505, 360, 80, 28};
const wxSize kClient{600, 400};

wxString Text(int id) {
    return wxString::FromUTF8(resources::LoadString(id));
}

void PaintImage(wxWindow* window, const Image32& image) {
    wxPaintDC dc(window);
    if (!image.empty())
        dc.DrawBitmap(wxBitmap(ToWxImage(image)), 0, 0);
}

int ToVirtualKey(int code) {
    switch (code) {
        case WXK_LEFT:
        case WXK_NUMPAD_LEFT:
            return vk::kLeft;
        case WXK_RIGHT:
        case WXK_NUMPAD_RIGHT:
            return vk::kRight;
        case WXK_UP:
        case WXK_NUMPAD_UP:
            return vk::kUp;
        case WXK_DOWN:
        case WXK_NUMPAD_DOWN:
            return vk::kDown;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            return vk::kReturn;
        case WXK_ESCAPE:
            return vk::kEscape;
        default:
            if (code >= WXK_F1 && code <= WXK_F11)
                return vk::kF1 + (code - WXK_F1);
            if (code >= 'a' && code <= 'z')
                return code - 'a' + 'A';
            return code;
    }
}

}  // namespace

// The preview: paints the dialog's preview picture and hands the mouse to the dialog.
class CBodyMarkPreviewWindow : public wxWindow {
public:
    CBodyMarkPreviewWindow(CSaveDlg* owner)
        : wxWindow(owner, CSaveDlg::kPreviewId, kPreviewAt,
                   wxSize(CBodyMarkPicker::kPreviewWidth, CBodyMarkPicker::kPreviewHeight), wxBORDER_NONE),
          m_pOwner(owner) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) { PaintImage(this, m_pOwner->PreviewImage()); });
        Bind(wxEVT_LEFT_DOWN, &CBodyMarkPreviewWindow::OnDown, this);
        Bind(wxEVT_LEFT_DCLICK, &CBodyMarkPreviewWindow::OnDown, this);
        Bind(wxEVT_MOTION, [this](wxMouseEvent& e) { m_pOwner->PreviewMouseMove(e.GetX(), e.GetY()); });
        Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { m_pOwner->ReleaseAll(); });
        Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { m_pOwner->ReleaseAll(); });
    }
    bool AcceptsFocus() const override { return false; }

private:
    void OnDown(wxMouseEvent& e) { m_pOwner->PreviewButtonDown(e.GetX(), e.GetY()); }
    CSaveDlg* m_pOwner;
};

// A turn button: the picture on a raised frame, sunken while held. The press turns at once
// and the dialog's timer repeats it; the release is seen wherever it happens (capture).
class CTurnButton : public wxWindow {
public:
    CTurnButton(CSaveDlg* owner, int id, bool right, const wxPoint& at)
        : wxWindow(owner, id, at, wxSize(kTurnSize, kTurnSize), wxBORDER_NONE),
          m_pOwner(owner),
          m_bRight(right) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        const Image32 picture = LoadIcon(right ? kBitmapTurnRight : kBitmapTurnLeft, 64, 64);
        if (!picture.empty())
            m_imgPicture = draw::Resized(picture, kTurnSize - 6, kTurnSize - 6);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) { PaintImage(this, Render()); });
        Bind(wxEVT_LEFT_DOWN, &CTurnButton::OnDown, this);
        Bind(wxEVT_LEFT_DCLICK, &CTurnButton::OnDown, this);
        Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { m_pOwner->ReleaseAll(); });
        Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { m_pOwner->ReleaseAll(); });
    }
    bool AcceptsFocus() const override { return false; }

    bool IsSunken() const {
        return m_bRight ? m_pOwner->Picker().IsTurnRightHeld() : m_pOwner->Picker().IsTurnLeftHeld();
    }

    Image32 Render() const {
        Image32 img(kTurnSize, kTurnSize, MakePixel(240, 240, 240));
        const bool sunken = IsSunken();
        const uint32_t light = MakePixel(255, 255, 255);
        const uint32_t dark = MakePixel(105, 105, 105);
        const int offset = sunken ? 1 : 0;  // the face moves in when pressed
        if (!m_imgPicture.empty()) {
            for (int y = 0; y < m_imgPicture.height(); ++y)
                for (int x = 0; x < m_imgPicture.width(); ++x)
                    img.SetClipped(x + 3 + offset, y + 3 + offset, m_imgPicture.At(x, y));
        }
        for (int i = 0; i < 2; ++i) {
            const uint32_t topLeft = sunken ? dark : light;
            const uint32_t bottomRight = sunken ? light : dark;
            for (int k = i; k < kTurnSize - i; ++k) {
                img.At(k, i) = topLeft;
                img.At(i, k) = topLeft;
                img.At(k, kTurnSize - 1 - i) = bottomRight;
                img.At(kTurnSize - 1 - i, k) = bottomRight;
            }
        }
        return img;
    }

private:
    void OnDown(wxMouseEvent&) {
        if (!HasCapture())
            CaptureMouse();
        m_pOwner->TurnButtonDown(m_bRight);
    }
    CSaveDlg* m_pOwner;
    bool m_bRight;
    Image32 m_imgPicture;
};

namespace {

// A thumbnail: the body picture shrunk; a click chooses it.
class CThumbnail : public wxWindow {
public:
    CThumbnail(CSaveDlg* owner, int index, Image32 picture, const wxPoint& at)
        : wxWindow(owner, CSaveDlg::kFirstThumbId + index, at, wxSize(kThumbWidth, kThumbHeight),
                   wxBORDER_NONE),
          m_imgPicture(std::move(picture)) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) { PaintImage(this, m_imgPicture); });
        Bind(wxEVT_LEFT_DOWN, [owner, index](wxMouseEvent&) { owner->ThumbnailClicked(index); });
    }
    bool AcceptsFocus() const override { return false; }

private:
    Image32 m_imgPicture;
};

}  // namespace

CBodyMarkPreview& SharedBodyMarkPreview() {
    static CBodyMarkPreview preview = [] {
        std::array<Image32, 7> bodies;
        for (size_t i = 0; i < bodies.size(); ++i)
            bodies[i] = LoadIcon(kBodyPictureIds[i], kBodyPictureWidth, kBodyPictureHeight);
        return CBodyMarkPreview(
            LoadIcon(kBitmapPreviewBase, CBodyMarkPicker::kPreviewWidth, CBodyMarkPicker::kPreviewHeight),
            std::move(bodies), LoadIcon(kBitmapProbeMarker, 64, 64, CBodyMarkPreview::kMarkerKey));
    }();
    return preview;
}

CSaveDlg::CSaveDlg(wxWindow* parent, CBodyMarkPicker& picker, CBodyMarkPreview& preview)
    : wxDialog(parent, wxID_ANY, Text(kStrBodyMark), wxDefaultPosition, wxDefaultSize, wxCAPTION),
      m_picker(picker),
      m_preview(preview),
      m_timerRepeat(this, 1) {
    SetClientSize(kClient);
    m_pPreviewWindow = new CBodyMarkPreviewWindow(this);

    for (int i = 0; i < 8; ++i) {
        Image32 thumb(kThumbWidth, kThumbHeight, MakePixel(6, 8, 14));
        const Image32& source = i < 7 ? m_preview.BodyPicture(i) : Image32();
        if (!source.empty())
            thumb = draw::Resized(source, kThumbWidth, kThumbHeight);
        else if (i == 7) {
            const Image32 none = LoadIcon(kBitmapNone, 1, 1);
            if (!none.empty())
                thumb.Fill(none.At(0, 0));
        }
        const int x = kThumbLeft + i * kThumbPitch;
        m_apThumbs[static_cast<size_t>(i)] = new CThumbnail(this, i, std::move(thumb), wxPoint(x, kThumbTop));
        new wxStaticText(
            this, wxID_ANY,
            wxString::FromUTF8(platform::Format(resources::LoadString(kStrFunctionKeyLabel).c_str(), i + 1)),
            wxPoint(x - 6, kThumbLabelTop), wxSize(kThumbWidth + 12, -1), wxALIGN_CENTRE_HORIZONTAL);
    }

    m_apTurn[0] = new CTurnButton(this, kTurnLeftId, false, kTurnLeftAt);
    m_apTurn[1] = new CTurnButton(this, kTurnRightId, true, kTurnRightAt);
    new wxStaticText(this, wxID_ANY, Text(kStrTurnLeftLabel),
                     wxPoint(kTurnLeftAt.x + kTurnSize / 2 - kTurnLabelWidth / 2, kTurnLabelTop),
                     wxSize(kTurnLabelWidth, -1), wxALIGN_CENTRE_HORIZONTAL);
    new wxStaticText(this, wxID_ANY, Text(kStrTurnRightLabel),
                     wxPoint(kTurnRightAt.x + kTurnSize / 2 - kTurnLabelWidth / 2, kTurnLabelTop),
                     wxSize(kTurnLabelWidth, -1), wxALIGN_CENTRE_HORIZONTAL);

    auto* ok = new wxButton(this, wxID_OK, Text(kStrOk), kOkRect.GetPosition(), kOkRect.GetSize());
    ok->Bind(wxEVT_BUTTON, &CSaveDlg::OnOk, this);

    Bind(wxEVT_CHAR_HOOK, &CSaveDlg::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CSaveDlg::OnClose, this);
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { ReleaseAll(); });
    Bind(wxEVT_TIMER, &CSaveDlg::OnRepeatTimer, this, 1);

    m_picker.ReleaseMouse();
    m_picker.SelectBodyMark(m_picker.m_nBodyMark);
    Redraw();
    CentreOnParent();
    m_timerRepeat.Start(100);
}

CSaveDlg::~CSaveDlg() {
    m_timerRepeat.Stop();
}

wxWindow* CSaveDlg::PreviewWindow() const {
    return m_pPreviewWindow;
}
wxWindow* CSaveDlg::TurnButton(bool right) const {
    return m_apTurn[right ? 1 : 0];
}
wxWindow* CSaveDlg::Thumbnail(int index) const {
    return m_apThumbs[static_cast<size_t>(index)];
}

void CSaveDlg::Redraw() {
    m_imgPreview = m_preview.Render(m_picker);
    if (m_pPreviewWindow)
        m_pPreviewWindow->Refresh(false);
}

void CSaveDlg::PreviewButtonDown(int x, int y) {
    if (m_picker.OnPreviewButtonDown(x, y) && !m_pPreviewWindow->HasCapture())
        m_pPreviewWindow->CaptureMouse();
}

void CSaveDlg::PreviewMouseMove(int x, int y) {
    const bool inside =
        x >= 0 && y >= 0 && x < CBodyMarkPicker::kPreviewWidth && y < CBodyMarkPicker::kPreviewHeight;
    if (inside && m_picker.OnPreviewMouseMove(x, y))
        Redraw();
}

void CSaveDlg::TurnButtonDown(bool right) {
    m_picker.PressTurnButton(right);
    m_apTurn[right ? 1 : 0]->Refresh(false);
    Redraw();
}

void CSaveDlg::ReleaseAll() {
    const bool held = m_picker.IsTurnButtonHeld();
    m_picker.ReleaseMouse();
    for (wxWindow* w : {static_cast<wxWindow*>(m_pPreviewWindow), static_cast<wxWindow*>(m_apTurn[0]),
                        static_cast<wxWindow*>(m_apTurn[1])}) {
        if (w && w->HasCapture())
            w->ReleaseMouse();
    }
    if (held) {
        for (CTurnButton* b : m_apTurn)
            b->Refresh(false);
    }
}

void CSaveDlg::ThumbnailClicked(int index) {
    m_picker.SelectBodyMark(index);
    Redraw();
}

void CSaveDlg::OnRepeatTimer(wxTimerEvent&) {
    RepeatTick();
}

void CSaveDlg::RepeatTick() {
    if (m_picker.OnRepeatTick())
        Redraw();
}

void CSaveDlg::OnCharHook(wxKeyEvent& event) {
    // Every key is the picker's; none goes on to a control.
    switch (m_picker.OnKeyDown(ToVirtualKey(event.GetKeyCode()), event.ControlDown())) {
        case CBodyMarkPicker::KeyResult::Accept:
            ReleaseAll();
            EndModal(1);
            break;
        case CBodyMarkPicker::KeyResult::Changed:
            Redraw();
            break;
        case CBodyMarkPicker::KeyResult::Ignored:
            break;
    }
}

void CSaveDlg::OnClose(wxCloseEvent&) {
    ReleaseAll();
    EndModal(2);
}

void CSaveDlg::OnOk(wxCommandEvent&) {
    ReleaseAll();
    EndModal(1);
}
