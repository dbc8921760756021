// The core's controls interface over the real controls of the main window, which the frame
// creates from the pixel table and registers here by id.
#pragma once

#include <map>
#include <tuple>

#include "platform/Image.h"

#include "app/core/IMainControls.h"

class wxWindow;
class CCstmButton;

class CMainControlsWx : public IMainControls {
public:
    void Register(int id, wxWindow* window) { m_controls[id] = window; }
    wxWindow* Find(int id) const;

    void ShowControl(int id, bool show) override;
    void EnableControl(int id, bool enable) override;
    void SetControlText(int id, const std::string& text) override;
    void SetButtonState(int id, int state) override;
    void SetChecked(int id, bool checked) override;
    void SetFaces(int id, const maindlg::ButtonFaces& faces) override;
    void RepaintControl(int id, bool erase) override;
    void SetFocusTo(int id) override;
    int GetFocusedControl() const override;
    void MoveControl(int id, const draw::Rect& rect) override;
    void SetResultLabelFont(int id, bool large) override;

private:
    CCstmButton* Button(int id) const;
    // Pictures by id and size: layouts switch faces often, the SVGs are rendered once.
    const Image32& Picture(int pictureId, int width, int height);
    std::map<std::tuple<int, int, int>, Image32> m_pictures;
    std::map<int, wxWindow*> m_controls;
};
