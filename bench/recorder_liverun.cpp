// Ten seconds of SyncView recording through the headless main window with the simulated probe
// live at real pace and the simulated camera: the samples written (expect 130 at 13 a second)
// and the gaps, and the live frame rate with and without the recording (within 5 %).
// Run alone: --benchmark_filter=RecordingLiveRun.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "CoreFakes.h"
#include "app/core/CaptureRecorder.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/RecorderPort.h"
#include "common/SettingsStore.h"
#include "platform/KeepAwake.h"
#include "platform/MessageBox.h"
#include "platform/UiThread.h"
#include "platform/usbdriver/UsbDriver.h"
#include "probe/UsbProbe.h"
#include "sim/SimBridge.h"

namespace {

using namespace maindlg;

class QuietInhibitor : public platform::IPowerInhibitor {
public:
    void Inhibit(const std::string&) override {}
    void Release() override {}
};

class NullPreview : public recorder::ICameraPreviewHost {
public:
    void CreatePreview(const camera::ICamera&, const recorder::PreviewPlacement&) override {}
    void PlacePreview(const recorder::PreviewPlacement&) override {}
    void ShowPreview(bool) override {}
    void DestroyPreview() override {}
};

// The windows' side of the recorder; the image area is rendered as the viewer does.
class BenchRecorderUi : public IRecorderUi {
public:
    int RunRecordingDialog(const RecordingDialogRequest& request, RecordingDialogResult& result) override {
        result.folder = folder;
        result.fileName = "bench";
        result.camera = request.cameras.empty() ? "" : request.cameras.front();
        result.quality = 0;
        return kRecordingDialogOk;
    }
    bool ChooseCompressor(exportfile::VideoCodecChoice&) override { return true; }
    recorder::ICameraPreviewHost* PreviewHost() override { return &preview; }
    void SetMaximiseAllowed(bool) override {}
    int Enlargement() const override { return 0; }
    void BeginEncoding() override {}
    void EncodingProgress(int) override {}
    void EndEncoding() override {}
    Image32 RenderImageArea() override {
        const CCstmPictureCtrl& view = dlg->View(kViewMain);
        Image32 image = view.BackBuffer();
        view.DrawBodyMark(image);
        return image;
    }
    Image32 CaptionIcon() override { return {}; }

    std::string folder;
    CKALVEXDlg* dlg = nullptr;
    NullPreview preview;
};

std::string PrivateFolder() {
    char pattern[] = "/tmp/torvik-recbench-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "/tmp";
}

// Runs the UI thread's loop (notices and the 21 ms tick) for `seconds`; frames drawn per second.
double RunLive(CKALVEXDlg& dlg, platform::QueuedUiDispatcher& ui, coretest::FakeWindowSide& side,
               double seconds) {
    const int64_t countStart = side.views.repaints[kViewMain];
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    auto nextTick = start;
    while (std::chrono::steady_clock::now() < end) {
        ui.RunPending();
        if (std::chrono::steady_clock::now() >= nextTick) {
            dlg.OnTickTimer();
            nextTick += std::chrono::milliseconds(21);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return (side.views.repaints[kViewMain] - countStart) / wall;
}

void BM_RecordingLiveRun(benchmark::State& state) {
    const std::string folder = PrivateFolder();
    setenv("ProgramData", folder.c_str(), 1);
    setenv("TORVIK_CAMERA", "sim", 1);
    platform::QueuedUiDispatcher ui;
    platform::SetUiDispatcher(&ui);
    QuietInhibitor inhibitor;
    platform::SetPowerInhibitor(&inhibitor);
    platform::SetMessageBoxHandler(
        [](const platform::MessageBoxRequest&) { return platform::MsgAnswer::Ok; });
    usbdriver::sim::SimOptions options;
    options.pacing = usbdriver::sim::SimPacing::RealTime;
    usbdriver::AttachDevice(std::make_shared<usbdriver::sim::SimBridge>(options));

    coretest::FakeWindowSide side;
    BenchRecorderUi recorderUi;
    recorderUi.folder = folder + "/";
    // No MP4 here: the transcode has its own benchmark.
    CRecorderPort port(recorderUi, [](IRecorderUi& u) {
        return new CCaptureRecorder(u, {}, [](std::function<void(int)>) -> recorder::Transcoder {
            return [](const std::string&, const std::string&, int, std::string&) { return true; };
        });
    });
    MainDlgPorts ports = side.Ports();
    ports.recorder = &port;
    auto dlg = std::make_unique<CKALVEXDlg>(ports);
    recorderUi.dlg = dlg.get();
    port.Attach(dlg.get(), &side.live);
    dlg->m_strPatientId = "BENCH";
    dlg->OnInitDialog();
    dlg->ExecCommand(kCmdFreeze);  // live
    port.ToggleCamera();

    const double seconds = static_cast<double>(state.range(0));
    for (auto _ : state) {
        RunLive(*dlg, ui, side, 3.0);  // warm up
        const double plainRate = RunLive(*dlg, ui, side, seconds);
        dlg->ExecCommand(kCmdPrintRecord);
        const double recordingRate = RunLive(*dlg, ui, side, seconds);
        dlg->ExecCommand(kCmdPrintRecord);
        const recorder::FinishOutcome& done = port.LastFinish();
        state.counters["samples"] = done.stop.framesWritten;
        state.counters["gaps"] = done.stop.lastIndex + 1 - done.stop.framesWritten;
        state.counters["live_fps"] = plainRate;
        state.counters["recording_fps"] = recordingRate;
        state.counters["fps_change_%"] = plainRate > 0 ? 100.0 * (recordingRate - plainRate) / plainRate : 0;
    }
    port.ToggleCamera();
    dlg->ExecCommand(kCmdFreeze);
    dlg->OnClose();
    dlg.reset();
    UsbProbeClose();
    usbdriver::DetachAllDevices();
    platform::SetMessageBoxHandler({});
    platform::SetPowerInhibitor(nullptr);
    platform::SetUiDispatcher(nullptr);
    ResetSettingsForTesting();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecordingLiveRun)->Arg(10)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
