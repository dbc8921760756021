#include "app/MainControlsWx.h"

#include "app/ColorLabel.h"
#include "app/CstmBitmapButton.h"
#include "app/CstmButton.h"
#include "app/IconLoader.h"

wxWindow* CMainControlsWx::Find(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

CCstmButton* CMainControlsWx::Button(int id) const {
    return dynamic_cast<CCstmButton*>(Find(id));
}

void CMainControlsWx::MoveControl(int id, const draw::Rect& rect) {
    if (wxWindow* w = Find(id)) {
        w->SetSize(rect.left, rect.top, rect.Width(), rect.Height());
        w->Refresh(false);
    }
}

void CMainControlsWx::SetResultLabelFont(int id, bool large) {
    if (auto* label = dynamic_cast<CColorLabel*>(Find(id)))
        label->SetFont(draw::FontFor(large ? draw::FontRole::ResultLabel12 : draw::FontRole::ResultLabel10));
}

void CMainControlsWx::ShowControl(int id, bool show) {
    if (wxWindow* w = Find(id))
        w->Show(show);
}

void CMainControlsWx::EnableControl(int id, bool enable) {
    if (CCstmButton* b = Button(id)) {
        b->EnableButton(enable);
        b->Refresh(false);
    } else if (wxWindow* w = Find(id)) {
        w->Enable(enable);
    }
}

void CMainControlsWx::SetControlText(int id, const std::string& text) {
    if (CCstmButton* b = Button(id)) {
        b->SetCaption(text);
    } else if (auto* label = dynamic_cast<CColorLabel*>(Find(id))) {
        label->SetText(text);
    }
}

void CMainControlsWx::SetButtonState(int id, int state) {
    if (CCstmButton* b = Button(id)) {
        if (b->m_nState != state) {
            b->m_nState = state;
            b->Refresh(false);
        }
    }
}

void CMainControlsWx::SetChecked(int id, bool checked) {
    if (auto* c = dynamic_cast<CCstmCheckBox*>(Find(id))) {
        c->m_bChecked = checked;
        c->Refresh(false);
    }
}

void CMainControlsWx::SetFaces(int id, const maindlg::ButtonFaces& faces) {
    auto* b = dynamic_cast<CCstmBitmapButton*>(Find(id));
    if (!b)
        return;
    // The button takes the size of its picture; the pictures are drawn at that size.
    const wxSize size = b->GetSize();
    auto load = [&](int picture) { return picture ? Picture(picture, size.x, size.y) : Image32{}; };
    b->m_bPictureIsFace = true;
    b->SetPicture(load(faces.normal));
    b->SetFacePictures(load(faces.pressed), load(faces.focused), load(faces.disabled));
}

const Image32& CMainControlsWx::Picture(int pictureId, int width, int height) {
    const auto key = std::make_tuple(pictureId, width, height);
    auto it = m_pictures.find(key);
    if (it == m_pictures.end())
        it = m_pictures.emplace(key, LoadIcon(pictureId, width, height)).first;
    return it->second;
}

void CMainControlsWx::RepaintControl(int id, bool erase) {
    if (wxWindow* w = Find(id)) {
        w->Refresh(erase);
        w->Update();
    }
}

void CMainControlsWx::SetFocusTo(int id) {
    if (wxWindow* w = Find(id); w && w->IsShownOnScreen() && w->IsEnabled())
        w->SetFocus();
}

int CMainControlsWx::GetFocusedControl() const {
    const wxWindow* focus = wxWindow::FindFocus();
    if (!focus)
        return 0;
    for (const auto& [id, window] : m_controls) {
        if (window == focus)
            return id;
    }
    return 0;
}
