#include "app/core/SettingsModel.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "app/core/IObPanel.h"
#include "app/core/SettingsStrings.h"
#include "common/AppFolders.h"
#include "common/DateFormatter.h"
#include "common/SettingsStore.h"
#include "imaging/ImageProc.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "probe/IProbeData.h"
#include "resources/StringTable.h"

namespace keys = SettingKeyTable;

namespace {

class StoreAccess : public ISettingsAccess {
public:
    std::string GetText(int section, SettingKey key) override { return GetSettingText(section, key); }
    bool SetDouble(int section, SettingKey key, double value) override {
        return SetSettingDouble(section, key, value);
    }
    bool SetInt(int section, SettingKey key, int value) override {
        return SetSettingInt(section, key, value);
    }
    bool SetText(int section, SettingKey key, const std::string& value) override {
        return SetSettingString(section, key, value);
    }
    std::string FilePath() override { return GetConfigFilePath(); }
};

int ProbeSection(IProbeData* probe) {
    int type = 0;
    probe->GetProbeType(&type);
    return ProbeTypeToConfigSection(type);
}

// The OB/GY panel's growth-table model caption by model.
constexpr const char* kModelCaptions[] = {"USA", "EURO1", "EURO2", "JSUM"};

// Collects the keys whose write failed.
struct Writes {
    std::vector<std::string> failed;
    void Check(bool saved, SettingKey key) {
        if (!saved)
            failed.emplace_back(key.keyName);
    }
};

}  // namespace

ISettingsAccess& DefaultSettingsAccess() {
    static StoreAccess access;
    return access;
}

const std::array<std::string, 3>& DateFormatNames() {
    static const std::array<std::string, 3> names = {DateFormatter(0).GetName(), DateFormatter(1).GetName(),
                                                     DateFormatter(2).GetName()};
    return names;
}

int FrameCorrelationRadio(double factor) {
    if (factor < 0.2)
        return 0;
    if (factor < 0.5)
        return 1;
    if (factor < 1.0)
        return 2;
    return 3;
}

double FrameCorrelationFactor(int radio) {
    constexpr double kFactors[] = {0.0, 0.2, 0.5, 1.0};
    return kFactors[std::clamp(radio, 0, 3)];
}

SettingsValues PrefillSettings(const SettingsContext& ctx) {
    SettingsValues v;
    if (ctx.proc) {
        v.frameCorrelation = FrameCorrelationRadio(ctx.proc->GetParams().smooth);
        v.scanDirection = ctx.proc->GetParams().invert ? 1 : 0;
        v.mModeType = ctx.proc->m_bMScroll ? 1 : 0;
    }
    v.autoStopText = platform::Format("%d", ctx.autoStopTime ? *ctx.autoStopTime : 0);

    const std::string dateName = ctx.store->GetText(SettingSectionApp, keys::date_format);
    const auto& names = DateFormatNames();
    const auto found = std::find(names.begin(), names.end(), dateName);
    v.dateFormat = found == names.end() ? 0 : static_cast<int>(found - names.begin());

    v.efwNames = ctx.efwNames;
    v.efwEquation = ctx.efwEquation && *ctx.efwEquation == 1 ? 1 : 0;
    // A model outside 0..3 pre-selects no radio.
    const int model = ctx.obGaModel ? *ctx.obGaModel : 0;
    v.gaModel = model >= 0 && model <= 3 ? model : -1;

    if (IProbeData* probe = ctx.probe) {
        if (probe->IsFeatureSupported(ProbeFeatureHiFrameMode)) {
            v.hiFrameSupported = true;
            v.hiFrameMode = probe->GetHiFrameMode();
        }
        if (probe->IsFeatureSupported(ProbeFeatureAutoSleepTime)) {
            v.autoSleepSupported = true;
            v.autoSleepTime = probe->GetAutoSleepTime();
            probe->GetAutoSleepTimeRange(&v.autoSleepMin, &v.autoSleepMax);
        }
        if (probe->IsFeatureSupported(ProbeFeatureImageFilter)) {
            v.imageFilterSupported = true;
            v.imageFilter = probe->GetImageFilter();
        }
    }
    v.obOptionsEnabled = ctx.obAvailable;
    return v;
}

SettingsApplyResult ApplySettings(const SettingsContext& ctx, const SettingsValues& values) {
    SettingsApplyResult result;
    Writes writes;
    ISettingsAccess& store = *ctx.store;
    const int probeSection = ctx.probe ? ProbeSection(ctx.probe) : SettingSectionNone;

    // 1. Frame correlation, from the next converted frame.
    const double factor = FrameCorrelationFactor(values.frameCorrelation);
    if (ctx.proc) {
        ImagingParams params = ctx.proc->GetParams();
        params.smooth = factor;
        ctx.proc->SetParams(params);
    }
    if (ctx.probe)
        writes.Check(store.SetDouble(probeSection, keys::smooth, factor), keys::smooth);

    // 2. Scan direction (saved as "invert" by the close).
    if (ctx.proc)
        ctx.proc->SetInvert(values.scanDirection == 1);

    // 3. M-mode type; the strip restarts only when it changed.
    const bool scroll = values.mModeType != 0;
    if (ctx.proc) {
        const bool changed = ctx.proc->m_bMScroll.exchange(scroll) != scroll;
        if (changed && ctx.clearMModeSweep)
            ctx.clearMModeSweep();
    }
    if (ctx.probe)
        writes.Check(store.SetInt(probeSection, keys::mscroll, scroll ? 1 : 0), keys::mscroll);

    // 4. Auto stop. An emptied field is no answer: only a typed number changes it.
    if (!values.autoStopText.empty() && ctx.autoStopTime) {
        errno = 0;
        long seconds = std::strtol(values.autoStopText.c_str(), nullptr, 10);
        seconds = std::clamp<long>(seconds, 0, INT_MAX);
        if (seconds != *ctx.autoStopTime) {
            *ctx.autoStopTime = static_cast<int>(seconds);
            writes.Check(store.SetText(SettingSectionApp, keys::auto_stop_time,
                                       platform::Format("%u", static_cast<unsigned>(seconds))),
                         keys::auto_stop_time);
        }
    }

    // 5. Date format. The cache changes only with a saved write, so a failed one leaves the
    // old format in force everywhere.
    const auto& dateNames = DateFormatNames();
    const std::string& dateName = dateNames[static_cast<size_t>(std::clamp(values.dateFormat, 0, 2))];
    const std::string before = store.GetText(SettingSectionApp, keys::date_format);
    const bool dateSaved = store.SetText(SettingSectionApp, keys::date_format, dateName);
    writes.Check(dateSaved, keys::date_format);
    result.dateFormatChanged =
        dateSaved && DateFormatter::FromName(before).GetMode() != DateFormatter::FromName(dateName).GetMode();

    // 6. The probe options: stored only when the probe took them.
    if (IProbeData* probe = ctx.probe) {
        if (values.hiFrameSupported && probe->SetHiFrameMode(values.hiFrameMode))
            writes.Check(store.SetInt(probeSection, keys::hi_frame_mode, values.hiFrameMode),
                         keys::hi_frame_mode);
        if (values.autoSleepSupported && probe->SetAutoSleepTime(values.autoSleepTime))
            writes.Check(store.SetInt(probeSection, keys::auto_sleep_time, values.autoSleepTime),
                         keys::auto_sleep_time);
        if (values.imageFilterSupported && probe->SetImageFilter(values.imageFilter))
            writes.Check(store.SetInt(probeSection, keys::image_filter, values.imageFilter),
                         keys::image_filter);
    }

    // 7. Growth-table model; none chosen (a stored model outside 0..3) writes nothing.
    if (values.gaModel >= 0 && values.gaModel <= 3) {
        if (ctx.obGaModel)
            *ctx.obGaModel = values.gaModel;
        writes.Check(store.SetInt(SettingSectionApp, keys::ob_gamodel, values.gaModel), keys::ob_gamodel);
        if (ctx.obPanel) {
            ctx.obPanel->SetGaModelText(kModelCaptions[values.gaModel]);
            ctx.obPanel->EnableItemButtons(true);
        }
    }

    // 8. Fetal-weight equation.
    bool datesLoaded = false;
    const int efw = std::clamp(values.efwEquation, 0, 1);
    const std::string& efwName = values.efwNames[static_cast<size_t>(efw)];
    if (!efwName.empty() && (efwName == ctx.efwNames[0] || efwName == ctx.efwNames[1])) {
        writes.Check(store.SetText(SettingSectionApp, keys::ob_display, efwName), keys::ob_display);
        if (ctx.efwEquation)
            *ctx.efwEquation = efwName == ctx.efwNames[0] ? 0 : 1;
        if (ctx.frozenInObgy) {
            if (ctx.obPanel)
                ctx.obPanel->SetModelCaption(efwName);
            if (ctx.loadPatientDates)
                ctx.loadPatientDates();
            datesLoaded = true;
        }
    }

    // Dates already on screen follow a new format in every mode.
    if (result.dateFormatChanged) {
        if (!datesLoaded && ctx.loadPatientDates)
            ctx.loadPatientDates();
        if (ctx.refreshDateTexts)
            ctx.refreshDateTexts();
    }

    // 9. The OB/GY panel repaints with its new captions (its setters invalidate it).

    result.unsavedKeys = writes.failed;
    if (!writes.failed.empty()) {
        std::string keyList;
        for (const std::string& key : writes.failed)
            keyList += (keyList.empty() ? "" : ", ") + key;
        platform::ShowMessageBox(platform::Format(resources::LoadString(kStrSettingsNotSaved).c_str(),
                                                  store.FilePath().c_str(), keyList.c_str()),
                                 resources::LoadString(kStrSettingsTitle), platform::MsgIcon::Exclamation);
    }
    return result;
}
