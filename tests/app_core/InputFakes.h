// Recording fakes of the later subsystems' ports that the input, layout and plumbing tests
// read: the measurement handlers, the OB/GY mode, the recorder, the body-mark picker and the
// thumbnail list (the OB/GY panel's fake is the measuring's own).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "MeasureFakes.h"
#include "app/core/MainDlgPorts.h"

namespace coretest {

class RecordingMeasurement : public IMeasurement {
public:
    struct Call {
        std::string what;
        int view = 0;
        bool inside = true;
        friend bool operator==(const Call&, const Call&) = default;
    };
    void OnMeasureLButton(int view, const MeasurePointer& p) override {
        calls.push_back({"lbutton", view, p.inside});
    }
    void OnMeasureMouse(int view, int, int, int) override { calls.push_back({"mouse", view}); }
    void OnMeasureRButtonUp(int view, const MeasurePointer& p) override {
        calls.push_back({"rup", view, p.inside});
    }
    void OnMeasureMouseMove(int view, const MeasurePointer& p) override {
        calls.push_back({"move", view, p.inside});
    }
    void CancelMeasureSequence() override { calls.push_back({"cancel", 0}); }
    void ClearMeasurements() override { ++clears; }

    std::vector<Call> Named(const std::string& what) const {
        std::vector<Call> out;
        for (const Call& c : calls) {
            if (c.what == what)
                out.push_back(c);
        }
        return out;
    }
    // The views that took the event with the point inside them.
    std::vector<int> InsideViews(const std::string& what) const {
        std::vector<int> out;
        for (const Call& c : calls) {
            if (c.what == what && c.inside)
                out.push_back(c.view);
        }
        return out;
    }
    std::vector<Call> calls;
    int clears = 0;
};

class FakeObgy : public IObgy {
public:
    double ObValue(int item) const override {
        const auto it = values.find(item);
        return it == values.end() ? 0.0 : it->second;
    }
    std::map<int, double> values;
};

class FakeRecorder : public IRecorder {
public:
    bool Exists() const override { return exists; }
    int State() const override { return state; }
    void MoveSyncViewWindow() override { ++moves; }
    bool exists = false;
    int state = 0;
    int moves = 0;
};

class FakePicker : public IBodyMarkPicker {
public:
    void OpenSaveDialog() override { ++opened; }
    int opened = 0;
};

class FakeThumbnails : public IThumbnailList {
public:
    void ShowThumbnailList() override { ++shown; }
    bool HasStoredImage() const override { return stored; }
    int shown = 0;
    bool stored = false;
};

}  // namespace coretest
