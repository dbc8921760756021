// The headless main window: the core with the fake window side, the real image processor and
// its thread, the probe opened on the simulated convex or linear probe in stepped mode, a
// queued UI dispatcher the test runs, a message-box recorder and a private ProgramData.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "../support/TestSupport.h"
#include "CoreFakes.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainGlobals.h"
#include "common/AppFolders.h"
#include "common/GainCurve.h"
#include "common/SettingsStore.h"
#include "common/SupportUtil.h"
#include "imaging/ProcessExit.h"
#include "platform/KeepAwake.h"
#include "platform/UiThread.h"
#include "platform/usbdriver/UsbDriver.h"
#include "probe/ProbeDataUM716C.h"
#include "probe/UsbProbe.h"
#include "sim/SimBridge.h"

namespace coretest {

namespace sim = usbdriver::sim;

class QuietInhibitor : public platform::IPowerInhibitor {
public:
    void Inhibit(const std::string&) override {}
    void Release() override {}
};

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        platform::SetUiDispatcher(&ui);
        platform::SetPowerInhibitor(&inhibitor);
        SetProcessExitHandler([this](int code) { exits.push_back(code); });
        std::fill(g_anStcValue, g_anStcValue + kStcKnotCount, 0);
        std::fill(g_anStcOffset, g_anStcOffset + kStcKnotCount, 0);
    }
    void TearDown() override {
        Destroy();
        ShutdownProbe(nullptr);
        UsbProbeClose();
        usbdriver::DetachAllDevices();
        SetProcessExitHandler({});
        platform::SetPowerInhibitor(nullptr);
        platform::SetUiDispatcher(nullptr);
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }

    // The simulated probe on the driver seam; frames only when the test steps them.
    void Attach(bool linear = false) {
        sim::SimOptions o;
        o.linear = linear;
        o.pacing = sim::SimPacing::Stepped;
        bridge = std::make_shared<sim::SimBridge>(o);
        usbdriver::AttachDevice(bridge);
    }

    // The window, initialised for patient "TEST": frozen, probe open, not streaming.
    CKALVEXDlg& Create() {
        return InitWith(side.Ports(), [this](CKALVEXDlg& d) { d.m_fnSleep = RecordedSleep(); });
    }
    // The window over `ports`, initialised for patient "TEST" ("Test") with pauses that return
    // at once; `beforeInit` changes the patient or attaches what must know the window before it
    // initialises.
    CKALVEXDlg& InitWith(const MainDlgPorts& ports, const std::function<void(CKALVEXDlg&)>& beforeInit = {}) {
        dlg = std::make_unique<CKALVEXDlg>(ports);
        dlg->m_fnSleep = [](int) {};
        dlg->m_strPatientId = "TEST";
        dlg->m_strPatientName = "Test";
        if (beforeInit)
            beforeInit(*dlg);
        dlg->OnInitDialog();
        ui.RunPending();
        return *dlg;
    }
    // Pauses noted in `sleeps` and cut to 10 ms.
    std::function<void(int)> RecordedSleep() {
        return [this](int ms) {
            sleeps.push_back(ms);
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 10)));
        };
    }
    void Destroy() {
        if (dlg && !dlg->m_bClosed)
            dlg->OnClose();
        dlg.reset();
        ui.RunPending();
    }

    CImageProc& Proc() { return *dlg->m_pLiveProc; }
    int Frames() { return dlg->m_pLiveProc->Cine().GetCount(); }

    // Steps `n` frames through the probe and runs their notices; fails naming the frame that
    // did not arrive. A frame that finds no free raw buffer in time is dropped, as a busy
    // machine drops live frames: another is sent in its place.
    ::testing::AssertionResult Step(int n = 1) {
        for (int i = 0; i < n; ++i) {
            const int want = Frames() + 1;
            uint64_t lost = LostFrames();
            if (bridge->StepFrames(1) != 1)
                return ::testing::AssertionFailure() << "the simulated probe refused a frame";
            int resent = 0;
            auto arrived = RunUntil(
                [&] {
                    if (Frames() >= want)
                        return true;
                    if (LostFrames() != lost) {
                        lost = LostFrames();
                        resent += bridge->StepFrames(1);
                    }
                    return false;
                },
                "cine frame " + std::to_string(want));
            if (!arrived)
                return arrived << " (" << resent << " sent again for frames dropped)";
        }
        if (!Proc().WaitIdle(static_cast<uint32_t>(testsupport::kPatience.count())))
            return ::testing::AssertionFailure() << "the image thread did not go idle";
        ui.RunPending();
        return ::testing::AssertionSuccess();
    }
    // Frames the probe driver dropped for want of a free raw buffer.
    static uint64_t LostFrames() {
        auto* probe = dynamic_cast<CProbeDataUM716C*>(g_pProbe.load());
        return probe ? probe->GetLostFrameCount() : 0;
    }
    // Runs the UI queue until `done` holds; fails naming `what` after `timeout`.
    template <typename Done>
    ::testing::AssertionResult RunUntil(Done done, const std::string& what,
                                        std::chrono::milliseconds timeout = testsupport::kPatience) {
        return testsupport::WaitUntil(done, what, timeout, [this] {
            ui.RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }
    void Unfreeze() {
        ASSERT_EQ(dlg->m_nRunState, maindlg::kFrozen);
        dlg->ExecCommand(maindlg::kCmdFreeze);
        ASSERT_EQ(dlg->m_nRunState, maindlg::kLive);
    }
    void Freeze() {
        ASSERT_EQ(dlg->m_nRunState, maindlg::kLive);
        dlg->ExecCommand(maindlg::kCmdFreeze);
        ASSERT_EQ(dlg->m_nRunState, maindlg::kFrozen);
    }
    // A layout through the dispatcher's convention.
    void Key(int key, bool alt = false) { dlg->PreTranslateKey({key, alt}); }

    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
    platform::QueuedUiDispatcher ui;
    testsupport::MessageBoxRecorder boxes;
    QuietInhibitor inhibitor;
    FakeWindowSide side;
    std::shared_ptr<sim::SimBridge> bridge;
    std::unique_ptr<CKALVEXDlg> dlg;
    std::vector<int> exits;
    std::vector<int> sleeps;
};

}  // namespace coretest
