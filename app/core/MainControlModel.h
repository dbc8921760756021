// What each control of the main dialog shows: visibility, enabled flag, caption or static
// text, button state, toggle and pictures. The core writes here and every change goes on to
// the window (IMainControls). The stores read the statics and the 16 result labels from
// here, so a stored still shows exactly the visible labels without reading the screen.
#pragma once

#include <map>
#include <string>

#include "app/core/IMainControls.h"

class CMainControlModel {
public:
    struct State {
        bool shown = true;
        bool enabled = true;
        std::string text;
        int buttonState = maindlg::kStateNormal;
        bool checked = false;
        maindlg::ButtonFaces faces;
    };

    // The window side; null until the frame attaches one (changes are then only kept).
    void Attach(IMainControls* sink) { sink_ = sink; }

    void Show(int id, bool show);
    // Records a visibility the window side learns another way (the image views, through IMainViews).
    void Keep(int id, bool shown) { At(id).shown = shown; }
    void Enable(int id, bool enable);
    void SetText(int id, const std::string& text);
    void SetButtonState(int id, int state);
    void SetChecked(int id, bool checked);
    void SetFaces(int id, const maindlg::ButtonFaces& faces);
    void Repaint(int id, bool erase);
    void SetFocus(int id);
    int Focused() const { return sink_ ? sink_->GetFocusedControl() : 0; }

    const State& Get(int id) const;
    bool IsShown(int id) const { return Get(id).shown; }
    bool IsEnabled(int id) const { return Get(id).enabled; }
    const std::string& Text(int id) const { return Get(id).text; }

    // Result label k (0..15) by its place in the label order.
    static int ResultLabelId(int k) { return maindlg::kResultLabels[static_cast<size_t>(k)]; }

private:
    State& At(int id) { return states_[id]; }
    IMainControls* sink_ = nullptr;
    std::map<int, State> states_;
};
