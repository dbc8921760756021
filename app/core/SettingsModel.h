// The settings dialog without its window: what it shows (pre-filled from the live image
// processor, the probe driver, the settings file and the main window) and the nine steps
// that put the confirmed values into force, in their order.
//
// Everything runs on the UI thread: the processor's setters take its lock and the image
// thread copies them once per frame; the settings cache is locked.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/SettingKeys.h"

class CImageProc;
class IObPanel;
class IProbeData;

// The settings store as the dialog uses it; tests record the writes.
class ISettingsAccess {
public:
    virtual ~ISettingsAccess() = default;
    virtual std::string GetText(int section, SettingKey key) = 0;
    // Each returns true when the settings file was saved.
    virtual bool SetDouble(int section, SettingKey key, double value) = 0;
    virtual bool SetInt(int section, SettingKey key, int value) = 0;
    virtual bool SetText(int section, SettingKey key, const std::string& value) = 0;
    // The settings file, named when a write failed.
    virtual std::string FilePath() = 0;
};

// The real settings store (common/SettingsStore).
ISettingsAccess& DefaultSettingsAccess();

// Where the dialog reads from and writes to.
struct SettingsContext {
    CImageProc* proc = nullptr;   // the live processor; none: its values stay at the defaults
    IProbeData* probe = nullptr;  // g_pProbe; none: the probe options are off and no probe key is written
    ISettingsAccess* store = nullptr;
    // The main window's members.
    int* autoStopTime = nullptr;          // m_nAutoStopTime
    int* obGaModel = nullptr;             // m_nObGaModel
    int* efwEquation = nullptr;           // m_nEfwEquation
    bool obAvailable = true;              // m_bObAvailable
    std::array<std::string, 2> efwNames;  // "JSUM", "Hadlock"
    bool frozenInObgy = false;            // frozen with OB/GY mode on
    IObPanel* obPanel = nullptr;
    std::function<void()> clearMModeSweep;
    std::function<void()> loadPatientDates;  // the LMP and BBT texts in the user's format
    std::function<void()> refreshDateTexts;  // the thumbnail times, the clock
};

// What the dialog shows, and what the user confirmed.
struct SettingsValues {
    int frameCorrelation = 0;  // 0 OFF, 1 x0.2, 2 x0.5, 3 x1.0
    int mModeType = 0;         // 0 moving bar, 1 scroll
    int gaModel = 0;           // 0 USA, 1 Euro1, 2 Euro2, 3 JSUM; -1 none chosen
    int scanDirection = 0;     // 0 normal, 1 invert
    int hiFrameMode = 0;
    int autoSleepTime = 0;
    int imageFilter = 0;
    std::string autoStopText;  // digits; empty: unchanged
    int dateFormat = 0;        // index into DateFormatNames()
    int efwEquation = 0;       // index into the equation names
    bool obOptionsEnabled = true;
    bool hiFrameSupported = false;
    bool autoSleepSupported = false;
    bool imageFilterSupported = false;
    int autoSleepMin = 0;
    int autoSleepMax = 0;
    std::array<std::string, 2> efwNames;
};

// "DD-MM-YYYY", "YYYY-MM-DD", "MM-DD-YYYY": the date modes 0, 1, 2.
const std::array<std::string, 3>& DateFormatNames();
// The radio of a frame-correlation factor, and the factor of a radio.
int FrameCorrelationRadio(double factor);
double FrameCorrelationFactor(int radio);

SettingsValues PrefillSettings(const SettingsContext& ctx);

// What applying changed and what it could not store.
struct SettingsApplyResult {
    std::vector<std::string> unsavedKeys;
    bool dateFormatChanged = false;
};
// The nine steps; a settings write that failed is reported once, naming the file and keys.
SettingsApplyResult ApplySettings(const SettingsContext& ctx, const SettingsValues& values);
