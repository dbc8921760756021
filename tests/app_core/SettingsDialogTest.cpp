// The settings dialog's model on the headless main window (pre-fill, the nine steps, the
// faults of auto stop, date format and failed writes), the window menu's dispatch, and
// command 81 opening the body-mark picker.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CoreFixture.h"
#include "app/core/BodyMarkTransfer.h"
#include "app/core/IObPanel.h"
#include "app/core/SettingsCommand.h"
#include "common/CommonUtil.h"
#include "platform/AtomicFile.h"
#include "platform/StringUtil.h"

using namespace coretest;
using namespace maindlg;

namespace {

// Reads from the real store, records each write and answers it as told.
class RecordingStore : public ISettingsAccess {
public:
    struct Write {
        int section;
        std::string key;
        std::string text;
    };
    std::string GetText(int section, SettingKey key) override { return GetSettingText(section, key); }
    bool SetDouble(int section, SettingKey key, double value) override {
        return Record(section, key, platform::Format("%g", value));
    }
    bool SetInt(int section, SettingKey key, int value) override {
        return Record(section, key, std::to_string(value));
    }
    bool SetText(int section, SettingKey key, const std::string& value) override {
        return Record(section, key, value);
    }
    std::string FilePath() override { return "/cfg/TorvikViewerCL.xml"; }

    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const Write& w : writes)
            keys.push_back(w.key);
        return keys;
    }
    const Write* Find(const std::string& key) const {
        for (const Write& w : writes)
            if (w.key == key)
                return &w;
        return nullptr;
    }

    std::vector<Write> writes;
    std::set<std::string> failing;

private:
    bool Record(int section, SettingKey key, std::string text) {
        writes.push_back({section, key.keyName, std::move(text)});
        return failing.count(key.keyName) == 0;
    }
};

class FakeObPanel : public IObPanel {
public:
    int GetState() const override { return state; }
    void EnableItemButtons(bool enable) override { itemsEnabled = enable; }
    // Each caption lands in its control, as the panel shows it.
    void SetModelCaption(const std::string& text) override { shown[1181] = text; }
    void SetGaModelText(const std::string& text) override { shown[1182] = text; }
    void SetItemCaption(int id, const std::string& text) override { shown[id] = text; }
    int state = 0;
    bool itemsEnabled = false;
    std::map<int, std::string> shown;  // control id -> text
};

class FakeObgy : public IObgy {
public:
    void LoadPatientDates() override { ++loads; }
    int loads = 0;
};

class FakeThumbnails : public IThumbnailList {
public:
    int GetItemCount() const override { return 3; }
    void FillThumbnailList(int a, int b, int c) override { fills.push_back({a, b, c}); }
    void RefillKeepingSelection() override { ++refills; }
    std::vector<std::array<int, 3>> fills;
    int refills = 0;
};

class SettingsDialogModelTest : public CoreTest {
protected:
    SettingsContext Context() { return Context(store); }
    SettingsContext Context(ISettingsAccess& access) {
        MainDlgPorts ports = side.Ports();
        ports.obPanel = &obPanel;
        ports.obgy = &obgy;
        ports.thumbnails = &thumbnails;
        return MakeSettingsContext(*dlg, ports, access);
    }
    void SetSmooth(double f) {
        ImagingParams p = Proc().GetParams();
        p.smooth = f;
        Proc().SetParams(p);
    }
    RecordingStore store;
    FakeObPanel obPanel;
    FakeObgy obgy;
    FakeThumbnails thumbnails;
};

}  // namespace

TEST(SysCommand, LowFourBitsAreMaskedOff) {
    const std::pair<int, SysCommand> cases[] = {
        {0x10, SysCommand::About},    {0x13, SysCommand::About},   {0x1F, SysCommand::About},
        {0x20, SysCommand::Settings}, {0xF060, SysCommand::Close}, {0xF062, SysCommand::Close},
        {0x30, SysCommand::None},     {0xF020, SysCommand::None},  {0, SysCommand::None}};
    for (const auto& [id, want] : cases)
        EXPECT_EQ(ClassifySysCommand(id), want) << std::hex << id;
}

namespace {

class RecordingSettingsDialog : public ISettingsDialog {
public:
    void ShowSettings() override { calls.emplace_back("settings"); }
    void ShowAbout() override { calls.emplace_back("about"); }
    std::vector<std::string> calls;
};

class SysCommandTest : public CoreTest {
protected:
    CKALVEXDlg& CreateWithDialogs() {
        MainDlgPorts ports = side.Ports();
        ports.settings = &dialogs;
        return InitWith(ports);
    }
    RecordingSettingsDialog dialogs;
};

}  // namespace

TEST_F(SysCommandTest, TheVersionBoxAndTheSettingsDialogGoThroughOneDispatcher) {
    Attach();
    CKALVEXDlg& d = CreateWithDialogs();
    const size_t boxesBefore = boxes.shown().size();
    d.OnSysCommand(0x10);
    d.OnSysCommand(0x13);  // the low four bits are the system's own
    d.OnSysCommand(0x20);
    d.OnSysCommand(0x30);  // no such command
    d.OnButtonClicked(IDC_SETTINGS);
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"about", "about", "settings", "settings"}));
    EXPECT_FALSE(d.m_bClosing);
    EXPECT_TRUE(exits.empty());
    EXPECT_EQ(boxes.shown().size(), boxesBefore);
}

TEST_F(SysCommandTest, TheWindowsCloseEndsTheProgramWithoutAsking) {
    Attach();
    CKALVEXDlg& d = CreateWithDialogs();
    // Unstored work and the question armed: the close neither offers to store nor asks.
    d.m_bStillStored = false;
    d.m_bCineStored = false;
    d.m_bAskBeforeQuit = true;
    const size_t boxesBefore = boxes.shown().size();
    d.OnSysCommand(kScClose | 0x2);
    EXPECT_TRUE(d.m_bStillStored);
    EXPECT_TRUE(d.m_bCineStored);
    EXPECT_FALSE(d.m_bAskBeforeQuit);
    EXPECT_TRUE(d.m_bClosed);
    EXPECT_EQ(boxes.shown().size(), boxesBefore);
    EXPECT_EQ(side.window.endResults, std::vector<int>{2});
    EXPECT_EQ(exits, std::vector<int>{0});
    EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(SettingsDialogModelTest, PrefillPicksTheRadiosOfTheLiveValues) {
    Attach();
    Create();
    const std::pair<double, int> factors[] = {{0, 0},   {0.19, 0}, {0.2, 1}, {0.35, 1},
                                              {0.5, 2}, {0.99, 2}, {1.0, 3}};
    for (const auto& [f, radio] : factors) {
        SetSmooth(f);
        EXPECT_EQ(PrefillSettings(Context()).frameCorrelation, radio) << f;
    }
    // 0.35 confirmed untouched becomes 0.2, in the processor and in the probe's section.
    SetSmooth(0.35);
    const SettingsContext ctx = Context();
    ApplySettings(ctx, PrefillSettings(ctx));
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.2);
    ASSERT_NE(store.Find("smooth"), nullptr);
    EXPECT_EQ(store.Find("smooth")->text, "0.2");
    EXPECT_EQ(store.Find("smooth")->section, SettingSectionProbeConvex);

    Proc().SetInvert(true);
    Proc().m_bMScroll = true;
    dlg->m_nAutoStopTime = 600;
    const SettingsValues v = PrefillSettings(Context());
    EXPECT_EQ(v.scanDirection, 1);
    EXPECT_EQ(v.mModeType, 1);
    EXPECT_EQ(v.autoStopText, "600");
    EXPECT_TRUE(v.hiFrameSupported && v.autoSleepSupported && v.imageFilterSupported);
    EXPECT_EQ(v.autoSleepMin, 1);
    EXPECT_EQ(v.autoSleepMax, 7200);
    EXPECT_EQ(v.autoSleepTime, 5);
    EXPECT_TRUE(v.obOptionsEnabled);
}

TEST_F(SettingsDialogModelTest, PrefillOfUnknownNamesAModelOutOfRangeAndNoProbe) {
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::date_format, "DD.MM.YY"));
    Create();                 // no probe
    dlg->m_nEfwEquation = 1;  // "Hadlock"
    dlg->m_nObGaModel = 7;
    const SettingsContext ctx = Context();
    const SettingsValues v = PrefillSettings(ctx);
    EXPECT_EQ(v.dateFormat, 0);  // the first name is selected
    EXPECT_EQ(v.efwEquation, 1);
    EXPECT_EQ(v.efwNames[1], "Hadlock");
    EXPECT_EQ(v.gaModel, -1);
    EXPECT_FALSE(v.hiFrameSupported || v.autoSleepSupported || v.imageFilterSupported);
    // Without a probe the processor changes but no probe key is written; no model chosen
    // writes no model (never -1).
    SettingsValues chosen = v;
    chosen.frameCorrelation = 2;
    chosen.mModeType = 1;
    ApplySettings(ctx, chosen);
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.5);
    EXPECT_TRUE(Proc().m_bMScroll);
    EXPECT_EQ(store.Find("smooth"), nullptr);
    EXPECT_EQ(store.Find("mscroll"), nullptr);
    EXPECT_EQ(store.Find("ob_gamodel"), nullptr);
    EXPECT_EQ(dlg->m_nObGaModel, 7);
    EXPECT_EQ(store.Find("ob_display")->text, "Hadlock");
}

TEST_F(SettingsDialogModelTest, ALinearProbeTurnsTheObOptionsOff) {
    Attach(true);
    Create();
    EXPECT_FALSE(PrefillSettings(Context()).obOptionsEnabled);
}

TEST_F(SettingsDialogModelTest, TheNineStepsInOrder) {
    Attach();
    Create();
    dlg->m_nAutoStopTime = 7200;
    const SettingsContext ctx = Context();
    SettingsValues v = PrefillSettings(ctx);
    v.frameCorrelation = 3;
    v.scanDirection = 1;
    v.mModeType = 1;
    v.autoStopText = "300";
    v.dateFormat = 1;
    v.hiFrameMode = 1;
    v.autoSleepTime = 60;
    v.imageFilter = 0;
    v.gaModel = 0;
    v.efwEquation = 1;
    ApplySettings(ctx, v);
    EXPECT_EQ(store.Keys(),
              (std::vector<std::string>{"smooth", "mscroll", "auto_stop_time", "date_format", "hi_frame_mode",
                                        "auto_sleep_time", "image_filter", "ob_gamodel", "ob_display"}));
    EXPECT_EQ(store.Find("auto_stop_time")->text, "300");
    EXPECT_EQ(store.Find("auto_stop_time")->section, SettingSectionApp);
    EXPECT_EQ(store.Find("date_format")->text, "YYYY-MM-DD");
    EXPECT_EQ(store.Find("auto_sleep_time")->section, SettingSectionProbeConvex);
    EXPECT_EQ(store.Find("ob_display")->text, "Hadlock");
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 1.0);
    EXPECT_TRUE(Proc().GetParams().invert);
    EXPECT_EQ(dlg->m_nAutoStopTime, 300);
    EXPECT_EQ(dlg->m_nObGaModel, 0);
    EXPECT_EQ(dlg->m_nEfwEquation, 1);
    // The model's name goes to the model caption; the equation's waits for the OB/GY layout.
    EXPECT_EQ(obPanel.shown, (std::map<int, std::string>{{1182, "USA"}}));
    EXPECT_TRUE(obPanel.itemsEnabled);
    // The probe took its options.
    EXPECT_EQ(g_pProbe.load()->GetHiFrameMode(), 1);
    EXPECT_EQ(g_pProbe.load()->GetAutoSleepTime(), 60);
    EXPECT_EQ(g_pProbe.load()->GetImageFilter(), 0);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SettingsDialogModelTest, TheMModeStripRestartsOnlyWhenTheTypeChanged) {
    Attach();
    Create();
    const SettingsContext ctx = Context();
    SettingsValues v = PrefillSettings(ctx);
    dlg->m_nMSweepColumn = 77;
    ApplySettings(ctx, v);  // the same type
    EXPECT_EQ(dlg->m_nMSweepColumn, 77);
    v.mModeType = 1;
    ApplySettings(ctx, v);
    EXPECT_EQ(dlg->m_nMSweepColumn, 0);
    EXPECT_TRUE(Proc().m_bMScroll);
    EXPECT_EQ(store.Find("mscroll")->text, "0");
    EXPECT_EQ(store.writes.back().key, "ob_display");
}

TEST_F(SettingsDialogModelTest, AutoStopUnchangedZeroAndEmpty) {
    Attach();
    Create();
    dlg->m_nAutoStopTime = 7200;
    const SettingsContext ctx = Context();
    SettingsValues v = PrefillSettings(ctx);
    ApplySettings(ctx, v);  // the text as it came
    EXPECT_EQ(store.Find("auto_stop_time"), nullptr);
    v.autoStopText = "";  // emptied: no answer, nothing changes
    ApplySettings(ctx, v);
    EXPECT_EQ(store.Find("auto_stop_time"), nullptr);
    EXPECT_EQ(dlg->m_nAutoStopTime, 7200);
    v.autoStopText = "0";  // typed 0: no automatic stop
    ApplySettings(ctx, v);
    ASSERT_NE(store.Find("auto_stop_time"), nullptr);
    EXPECT_EQ(store.Find("auto_stop_time")->text, "0");
    EXPECT_EQ(dlg->m_nAutoStopTime, 0);
    EXPECT_EQ(PrefillSettings(ctx).autoStopText, "0");
}

TEST_F(SettingsDialogModelTest, AProbeOptionTheProbeRefusesIsNotStored) {
    Attach();
    Create();
    const SettingsContext ctx = Context();
    SettingsValues v = PrefillSettings(ctx);
    v.hiFrameMode = 1;
    v.autoSleepTime = 9000;  // the probe refuses more than 7200 s
    ApplySettings(ctx, v);
    EXPECT_NE(store.Find("hi_frame_mode"), nullptr);
    EXPECT_EQ(store.Find("auto_sleep_time"), nullptr);
    EXPECT_NE(store.Find("image_filter"), nullptr);
    EXPECT_EQ(g_pProbe.load()->GetAutoSleepTime(), 5);
}

TEST_F(SettingsDialogModelTest, AFailedWriteIsReportedOnceNamingTheFileAndTheKeys) {
    Attach();
    Create();
    const std::string config = GetConfigFilePath();
    platform::SetWriteFaultHook([&](const std::string& path) { return path == config; });
    SettingsContext ctx = MakeSettingsContext(*dlg, side.Ports());
    SettingsValues v = PrefillSettings(ctx);
    v.dateFormat = 1;
    v.frameCorrelation = 2;
    const SettingsApplyResult r = ApplySettings(ctx, v);
    platform::SetWriteFaultHook({});
    ASSERT_EQ(boxes.shown().size(), 1u);
    const std::string& text = boxes.shown()[0].text;
    EXPECT_NE(text.find(config), std::string::npos) << text;
    for (const char* key : {"smooth", "mscroll", "date_format", "hi_frame_mode", "ob_gamodel", "ob_display"})
        EXPECT_NE(text.find(key), std::string::npos) << key;
    EXPECT_FALSE(r.dateFormatChanged);
    // What lives in memory stays in force; the date format stays the old one everywhere.
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.5);
    EXPECT_EQ(CCommonUtil::GetDateFormatter().GetMode(), DateFormatModeDayFirst);
    const SettingsValues next = PrefillSettings(ctx);
    EXPECT_EQ(next.dateFormat, 0);
    EXPECT_EQ(next.frameCorrelation, 2);
}

TEST_F(SettingsDialogModelTest, ANewDateFormatReachesTheDatesOnScreenOutsideObgy) {
    Attach();
    Create();
    const SettingsContext ctx = Context(DefaultSettingsAccess());
    ASSERT_FALSE(ctx.frozenInObgy);
    SettingsValues v = PrefillSettings(ctx);
    ApplySettings(ctx, v);  // unchanged: nothing is rebuilt
    EXPECT_EQ(obgy.loads, 0);
    EXPECT_EQ(thumbnails.refills, 0);
    v.dateFormat = 1;
    const SettingsApplyResult r = ApplySettings(ctx, v);
    EXPECT_TRUE(r.dateFormatChanged);
    EXPECT_EQ(CCommonUtil::GetDateFormatter().GetMode(), DateFormatModeYearFirst);
    EXPECT_EQ(obgy.loads, 1);
    // The list is rebuilt keeping its selection and preview.
    EXPECT_EQ(thumbnails.refills, 1);
    EXPECT_TRUE(thumbnails.fills.empty());
    // Frozen in OB/GY the equation caption changes too, and the dates load once.
    obPanel.state = 1;
    const SettingsContext ob = Context(DefaultSettingsAccess());
    ASSERT_TRUE(ob.frozenInObgy);
    v.dateFormat = 2;
    v.efwEquation = 1;
    ApplySettings(ob, v);
    EXPECT_EQ(obgy.loads, 2);
    // The equation's caption (1181) and the model's (1182) are told apart.
    EXPECT_EQ(obPanel.shown[1181], "Hadlock");
    EXPECT_EQ(obPanel.shown[1182], "USA");
}

TEST_F(SettingsDialogModelTest, CancelChangesNothing) {
    Attach();
    Create();
    const SettingsContext ctx = Context();
    EXPECT_FALSE(RunSettingsDialog(ctx, [](SettingsValues& v) {
        v.frameCorrelation = 3;
        v.autoStopText = "1";
        return false;
    }));
    EXPECT_TRUE(store.writes.empty());
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 0.0);
    EXPECT_TRUE(RunSettingsDialog(ctx, [](SettingsValues& v) {
        v.frameCorrelation = 3;
        return true;
    }));
    EXPECT_DOUBLE_EQ(Proc().GetParams().smooth, 1.0);
}

// ---- command 81

TEST_F(CoreTest, BodyMarkPickerOpensOnlyFrozenOnTheExamListWithoutPreviewOrMeasurement) {
    Attach();
    CKALVEXDlg& d = Create();
    int runs = 0;
    const BodyMarkPickerRun count = [&](CBodyMarkPicker&) {
        ++runs;
        return 2;
    };
    ASSERT_EQ(d.m_nRunState, kFrozen);
    EXPECT_FALSE(OpenSaveDialog(d, true, count));  // measuring
    d.m_bExamList = false;                         // viewer mode
    EXPECT_FALSE(OpenSaveDialog(d, false, count));
    d.m_bExamList = true;
    auto& controls = const_cast<CMainControlModel&>(d.Controls());
    controls.Show(IDC_PREVIEW, true);  // a stored item's preview
    EXPECT_FALSE(OpenSaveDialog(d, false, count));
    controls.Show(IDC_PREVIEW, false);
    // Already open: a second command 81 from inside the picker does nothing.
    bool nested = true;
    EXPECT_TRUE(OpenSaveDialog(d, false, [&](CBodyMarkPicker&) {
        ++runs;
        EXPECT_TRUE(d.m_bCineStoreRunning);  // the key router passes only Esc
        nested = OpenSaveDialog(d, false, count);
        return 2;
    }));
    EXPECT_FALSE(nested);
    EXPECT_FALSE(d.m_bCineStoreRunning);
    EXPECT_FALSE(IsBodyMarkPickerOpen());
    Unfreeze();
    EXPECT_FALSE(OpenSaveDialog(d, false, count));  // live
    EXPECT_EQ(runs, 1);
}

TEST_F(CoreTest, BodyMarkPickerChoiceGoesToTheMainAndLeftViews) {
    Attach();
    CKALVEXDlg& d = Create();
    for (int code : {kViewMain, kViewLeft, kViewRight}) {
        d.View(code).m_nBodyMark = 1;
        d.View(code).m_nBodyMarkX = 10;
        d.View(code).m_nBodyMarkY = 10;
        d.View(code).m_dBodyMarkAngle = 10;
    }
    d.View(kViewLeft).m_nBodyMarkY = 20;
    // Closed by the window manager: nothing is taken over.
    EXPECT_TRUE(OpenSaveDialog(d, false, [](CBodyMarkPicker& p) {
        p.OnKeyDown(vk::kF3, false);
        return 2;
    }));
    EXPECT_EQ(d.View(kViewMain).m_nBodyMark, 1);
    // F3, ten steps right, a turn and Enter.
    EXPECT_TRUE(OpenSaveDialog(d, false, [](CBodyMarkPicker& p) {
        p.OnKeyDown(vk::kF3, false);
        for (int i = 0; i < 10; ++i)
            p.OnKeyDown(vk::kRight, false);
        p.OnKeyDown(vk::kRight, true);
        EXPECT_EQ(p.OnKeyDown(vk::kReturn, false), CBodyMarkPicker::KeyResult::Accept);
        return 1;
    }));
    for (int code : {kViewMain, kViewLeft}) {
        EXPECT_EQ(d.View(code).m_nBodyMark, 2);
        EXPECT_EQ(d.View(code).m_dBodyMarkAngle, 15);
        EXPECT_EQ(d.View(code).m_nBodyMarkX, 12);  // ten preview pixels are two view pixels
    }
    EXPECT_EQ(d.View(kViewMain).m_nBodyMarkY, 10);  // untouched: each keeps its own
    EXPECT_EQ(d.View(kViewLeft).m_nBodyMarkY, 20);
    EXPECT_EQ(d.View(kViewRight).m_nBodyMark, 1);
    // "none" removes the mark.
    EXPECT_TRUE(OpenSaveDialog(d, false, [](CBodyMarkPicker& p) {
        p.SelectBodyMark(CBodyMarkPicker::kBodyMarkNone);
        return 1;
    }));
    EXPECT_EQ(d.View(kViewMain).m_nBodyMark, CBodyMarkPicker::kBodyMarkNone);
}
