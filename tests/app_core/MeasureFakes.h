// Fakes of the measuring's windows: the OB/GY panel and the cursor, date picker and results
// table behind IMeasureWindows, recording what the core asks of them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/core/IMeasureWindows.h"
#include "app/core/IObPanel.h"

namespace coretest {

class FakeObPanel : public IObPanel {
public:
    void PlaceAndShow(const draw::Rect& r) override {
        rect = r;
        shown = true;
    }
    void Show(bool s) override { shown = s; }
    bool IsShown() const override { return shown; }
    int AnchorRight(int id) const override { return id == maindlg::IDC_OB_ANCHOR ? 166 : -1; }
    int GetState() const override { return state; }
    void SetState(int s) override { state = s; }
    void EnableItemButtons(bool enable) override { itemsEnabled = enable; }
    void SetItemSubCaption(int id, const std::string& text) override { sub[id] = text; }
    void SetAcSubCaptionColour(uint32_t pixel) override { acColour = pixel; }
    void SetModelCaption(const std::string& text) override { model = text; }
    void SetMode(int layout, int subItem, bool) override {
        modeLayout = layout;
        modeSubItem = subItem;
    }
    void SetDateTexts(const std::string& l, const std::string& b) override {
        lmp = l;
        bbt = b;
    }
    bool shown = false;
    draw::Rect rect{};
    int state = 0;
    bool itemsEnabled = true;
    std::map<int, std::string> sub;
    uint32_t acColour = 0;
    std::string model;
    int modeLayout = -1;
    int modeSubItem = -1;
    std::string lmp, bbt;
};

class FakeMeasureWindows : public IMeasureWindows {
public:
    void WarpPointer(int view, draw::Point p) override { warps.push_back({view, p}); }
    void SetSizingCursor(bool on) override { sizing = on; }
    void ShowResults(const ObEvaluationResult& r) override { results.push_back(r); }
    // The date picker answers OK with `pick`, or Cancel without one.
    bool PickDate(const std::string&, platform::SystemTime& date) override {
        if (!pick)
            return false;
        date = *pick;
        return true;
    }
    std::optional<platform::SystemTime> pick;
    std::vector<ObEvaluationResult> results;
    std::vector<std::pair<int, draw::Point>> warps;
    bool sizing = false;
};

}  // namespace coretest
