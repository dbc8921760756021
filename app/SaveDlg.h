// The body-mark picker's window (command 81): a 303 x 272 preview where the probe marker is
// dragged, eight thumbnails (F1 to F7, and "none"), two turn buttons that repeat while held,
// and OK. Enter, Esc and M accept (1); the window manager's close returns 2.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include <array>

#include "app/core/BodyMarkPicker.h"
#include "app/core/BodyMarkPreview.h"
#include "app/core/BodyMarkTransfer.h"

class CBodyMarkPreviewWindow;
class CTurnButton;
class wxStaticText;

// The pictures of the picker, loaded and stretched once per run of the program.
CBodyMarkPreview& SharedBodyMarkPreview();

class CSaveDlg : public wxDialog {
public:
    static constexpr int kPreviewId = 1078;
    static constexpr int kTurnLeftId = 1079;
    static constexpr int kTurnRightId = 1080;
    static constexpr int kFirstThumbId = 1081;

    // Works on `picker` directly: the caller reads it back on result 1.
    CSaveDlg(wxWindow* parent, CBodyMarkPicker& picker, CBodyMarkPreview& preview = SharedBodyMarkPreview());
    ~CSaveDlg() override;

    const CBodyMarkPicker& Picker() const { return m_picker; }
    // What the preview shows now.
    const Image32& PreviewImage() const { return m_imgPreview; }
    wxWindow* PreviewWindow() const;
    wxWindow* TurnButton(bool right) const;
    wxWindow* Thumbnail(int index) const;
    // The 100 ms repeat tick (timer 1); tests call it directly.
    void RepeatTick();
    wxTimer& RepeatTimer() { return m_timerRepeat; }

    // Called by the preview, the turn buttons and the thumbnails.
    void PreviewButtonDown(int x, int y);
    void PreviewMouseMove(int x, int y);
    void TurnButtonDown(bool right);
    void ReleaseAll();
    void ThumbnailClicked(int index);

private:
    void OnCharHook(wxKeyEvent& event);
    void OnRepeatTimer(wxTimerEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnOk(wxCommandEvent& event);
    void Redraw();

    CBodyMarkPicker& m_picker;
    CBodyMarkPreview& m_preview;
    Image32 m_imgPreview;
    CBodyMarkPreviewWindow* m_pPreviewWindow = nullptr;
    std::array<CTurnButton*, 2> m_apTurn{};  // left, right
    std::array<wxWindow*, 8> m_apThumbs{};
    wxTimer m_timerRepeat;
};
