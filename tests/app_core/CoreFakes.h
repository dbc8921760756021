// The window side of the main window's core, as plain models: what the frame would show,
// kept so tests (and the benchmark) can read it. Sliders clamp like the real ones.
#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/core/MainDlgPorts.h"

namespace coretest {

class FakeWindow : public IMainWindow {
public:
    void SetTitle(const std::string& t) override { title = t; }
    draw::Point GetClientSize() const override { return client; }
    void Redraw() override { ++redraws; }
    void SetWaitCursor(bool wait) override { waitCursor = wait; }
    void EndDialog(int result) override { endResults.push_back(result); }

    std::string title;
    draw::Point client{900, 680};
    int redraws = 0;
    bool waitCursor = false;
    std::vector<int> endResults;
};

class FakeControls : public IMainControls {
public:
    void ShowControl(int, bool) override { ++calls; }
    void EnableControl(int, bool) override { ++calls; }
    void SetControlText(int, const std::string&) override { ++calls; }
    void SetButtonState(int, int) override { ++calls; }
    void SetChecked(int, bool) override { ++calls; }
    void SetFaces(int, const maindlg::ButtonFaces&) override { ++calls; }
    void RepaintControl(int id, bool) override { ++repaints[id]; }
    void SetFocusTo(int id) override { focused = id; }
    int GetFocusedControl() const override { return focused; }

    int calls = 0;
    int focused = 0;
    std::map<int, int> repaints;
};

class FakeViews : public IMainViews {
public:
    void ShowView(int code, bool show) override { shown[code] = show; }
    void RepaintView(int code) override { ++repaints[code]; }
    std::map<int, bool> shown;
    std::map<int, int> repaints;
};

struct FakeSlider {
    int min = 0;
    int max = 100;
    int pos = 0;
    void Set(int p) { pos = std::clamp(p, min, max); }
};

struct FakeButton {
    bool enabled = true;
    int state = 5;
    int kind = 1;
    std::string caption;
    std::string sub1;
    std::string sub2;
    bool shown = true;
};

template <typename Base>
class FakePanelBase : public Base {
public:
    void PlaceAndShow(const draw::Rect& r) override {
        rect = r;
        shown = true;
    }
    void Show(bool s) override { shown = s; }
    bool IsShown() const override { return shown; }
    int AnchorRight(int id) const override {
        const auto it = anchors.find(id);
        return it == anchors.end() ? -1 : it->second;
    }
    bool shown = false;
    draw::Rect rect{};
    std::map<int, int> anchors;
};

class FakeLivePanel : public FakePanelBase<ILivePanel> {
public:
    FakeLivePanel() { anchors[maindlg::IDC_LIVE_GRADATION] = 179; }
    void EnableButton(int id, bool e) override { buttons[id].enabled = e; }
    bool IsButtonEnabled(int id) const override {
        const auto it = buttons.find(id);
        return it == buttons.end() ? true : it->second.enabled;
    }
    void SetButtonState(int id, int s) override { buttons[id].state = s; }
    void SetButtonKind(int id, int k) override { buttons[id].kind = k; }
    void SetRecButtonText(const std::string& t) override { buttons[maindlg::IDC_LIVE_REC].caption = t; }
    void SetButtonText(int id, const std::string& t) override { buttons[id].sub1 = t; }
    void SetButtonSubText2(int id, const std::string& t) override { buttons[id].sub2 = t; }
    void SetFreezeChecked(bool c) override { freezeChecked = c; }
    bool IsFreezeChecked() const override { return freezeChecked; }
    void SetGamma(double g) override { gamma = g; }
    void SetRecTimeText(const std::string& t) override { recTime = t; }
    bool IsButtonFocused() const override { return false; }
    void FocusButton(int id) override { focused = id; }

    std::map<int, FakeButton> buttons;
    bool freezeChecked = true;  // the panel starts frozen
    double gamma = 0.0;
    std::string recTime;
    int focused = 0;
};

class FakeStcPanel : public FakePanelBase<IStcPanel> {
public:
    FakeStcPanel() { anchors[maindlg::IDC_STC_ANCHOR] = 158; }
    void SetSliderRange(int mn, int mx) override {
        for (FakeSlider& s : sliders) {
            s.min = mn;
            s.max = mx;
            s.Set(s.pos);
        }
    }
    int GetSliderPos(int i) const override { return sliders.at(static_cast<size_t>(i)).pos; }
    void SetSliderPos(int i, int p) override { sliders.at(static_cast<size_t>(i)).Set(p); }
    void UpdateValueLabel(int i) override {
        if (showValues)
            labels.at(static_cast<size_t>(i)) = std::to_string(GetSliderPos(i));
    }
    void SetShowValues(bool s) override { showValues = s; }
    void SetAutoButton(const std::string& c, int s) override {
        autoCaption = c;
        autoState = s;
    }
    void EnableBackButton(bool e) override { backEnabled = e; }
    bool IsButtonFocused() const override { return false; }
    void FocusBackButton() override { backFocused = true; }

    std::array<FakeSlider, 10> sliders{};
    std::array<std::string, 10> labels{};
    bool showValues = false;
    std::string autoCaption;
    int autoState = 5;
    bool backEnabled = true;
    bool backFocused = false;
};

class FakeRightPanel : public FakePanelBase<IRightPanel> {
public:
    FakeRightPanel() {
        sliders[maindlg::IDC_R_DEPTH] = {20, 240, 225};
        sliders[maindlg::IDC_R_GAIN] = {0, 100, 50};
        sliders[maindlg::IDC_R_CONTRAST] = {0, 200, 150};
        sliders[maindlg::IDC_R_GAMMA] = {60, 120, 80};
    }
    int GetSliderPos(int id) const override { return sliders.at(id).pos; }
    void SetSliderPos(int id, int p) override { sliders.at(id).Set(p); }
    int GetSliderMin(int id) const override { return sliders.at(id).min; }
    int GetSliderMax(int id) const override { return sliders.at(id).max; }
    void SetSliderRange(int id, int mn, int mx, bool) override {
        FakeSlider& s = sliders.at(id);
        s.min = mn;
        s.max = mx;
        s.Set(s.pos);
    }
    bool IsSliderReversed(int id) const override {
        return id == maindlg::IDC_R_GAIN || id == maindlg::IDC_R_CONTRAST;
    }
    void SetValueText(int id, const std::string& t) override { values[id] = t; }
    bool RedrawSliderValues(const void*) override {
        ++sliderRedraws;
        return true;
    }
    void SetFreqButtonCaption(int id, const std::string& c) override { freq[id].caption = c; }
    void EnableFreqButton(int id, bool e) override { freq[id].enabled = e; }
    void ShowFreqButton(int id, bool s) override { freq[id].shown = s; }
    void SetFreqButtonState(int id, int s) override { freq[id].state = s; }
    void RedrawFreqButtons() override { ++freqRedraws; }

    std::map<int, FakeSlider> sliders;
    std::map<int, std::string> values;
    std::map<int, FakeButton> freq;
    int sliderRedraws = 0;
    int freqRedraws = 0;
};

class FakeTimers : public ITimerHost {
public:
    void StartTick(int ms) override { tickPeriod = ms; }
    void StopTick() override { tickPeriod = 0; }
    void StartTimer(int id, int ms) override { timers[id] = ms; }
    void KillTimer(int id) override { timers.erase(id); }
    int tickPeriod = 0;
    std::map<int, int> timers;
};

class FakeKeyboard : public IKeyboardState {
public:
    ModifierKeys Read() const override { return keys; }
    ModifierKeys keys{true, false, false};
};

class FakeLoupe : public IFingerLoupe {
public:
    bool IsShown() const override { return shown; }
    void Hide() override { shown = false; }
    void FollowCursor() override { ++follows; }
    void ShowAtWindowCorner(bool show) override { shown = show; }
    bool shown = false;
    int follows = 0;
};

// Every window-side fake and the ports that point at them.
struct FakeWindowSide {
    FakeWindow window;
    FakeControls controls;
    FakeViews views;
    FakeLivePanel live;
    FakeStcPanel stc;
    FakeRightPanel right;
    FakeTimers timers;
    FakeKeyboard keyboard;
    FakeLoupe loupe;

    MainDlgPorts Ports() {
        MainDlgPorts p;
        p.window = &window;
        p.controls = &controls;
        p.views = &views;
        p.livePanel = &live;
        p.stcPanel = &stc;
        p.rightPanel = &right;
        p.timers = &timers;
        p.keyboard = &keyboard;
        p.loupe = &loupe;
        return p;
    }
};

}  // namespace coretest
