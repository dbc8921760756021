// The main window's cost of one live frame: from command 62 (the frame notice) to the
// finished render of every view it repainted, for B, BB and BM at the start-up size (480 px
// views) and maximised (744 px; 941 px on a 1920 x 1080 screen). The core runs headless on
// the fake window side with a cine of real-looking frames; no probe is needed.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <set>
#include <string>

#include "CoreFakes.h"
#include "app/core/KALVEXDlg.h"
#include "common/SettingsStore.h"
#include "platform/MessageBox.h"
#include "platform/UiThread.h"

namespace {

using namespace maindlg;

// Remembers which views a command repainted.
class RecordingViews : public IMainViews {
public:
    void ShowView(int, bool) override {}
    void RepaintView(int code) override { repainted.insert(code); }
    std::set<int> repainted;
};

// The benchmark's settings and logs go to a private folder, never the user's.
void UsePrivateDataFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/torvik-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    setenv("ProgramData", folder.c_str(), 1);
}

struct Window {
    Window(int displayMode, int side) {
        UsePrivateDataFolder();
        platform::SetMessageBoxHandler(
            [](const platform::MessageBoxRequest&) { return platform::MsgAnswer::Ok; });
        MainDlgPorts ports = fakes.Ports();
        ports.views = &views;
        dlg = std::make_unique<CKALVEXDlg>(ports);
        dlg->m_fnSleep = [](int) {};
        dlg->m_strPatientId = "BENCH";
        dlg->OnInitDialog();
        CImageProc& proc = *dlg->m_pLiveProc;
        proc.SetProbeGeometry(ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 60.0, 40.0, 20, 225));
        proc.SetDepth(150);
        proc.SetFocus(70);
        Image8 frame(480, 480);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 480; ++x)
                frame.At(x, y) = static_cast<uint8_t>(128 + 100 * std::sin(x * 0.05) * std::cos(y * 0.03));
        }
        FrameRecord r;
        r.depth = 150;
        r.focus = 70;
        for (int i = 0; i < 8; ++i)
            proc.Cine().Commit(frame, r, MLineSample{}, 0.0, 150);
        dlg->m_nRunState = kLive;
        dlg->m_nScreenLayout = 1;
        dlg->SetScreenLayout(1, 0, false);
        if (displayMode == kDisplayBB)
            dlg->ExecCommand(kCmdDisplayBB);
        else if (displayMode == kDisplayBM)
            dlg->ExecCommand(kCmdDisplayBM);
        // The client sizes: 480 x 480 (half views 240 x 480) or maximised 744 x 744 (372 x 744).
        const bool full = displayMode == kDisplayB;
        width = full ? side : side / 2;
        height = side;
        for (CCstmPictureCtrl* v : {&dlg->m_viewMain, &dlg->m_viewLeft, &dlg->m_viewRight})
            v->m_dViewScale = 480.0 / side;
    }
    ~Window() {
        dlg->OnClose();
        dlg.reset();
        platform::SetMessageBoxHandler({});
        ResetSettingsForTesting();
    }

    coretest::FakeWindowSide fakes;
    RecordingViews views;
    std::unique_ptr<CKALVEXDlg> dlg;
    int width = 480;
    int height = 480;
};

void BM_FrameNoticeToRender(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const int side = static_cast<int>(state.range(1));
    Window w(mode, side);
    int slot = 0;
    std::map<int, Image32> scratch;  // one per view window, kept between paints
    for (auto _ : state) {
        w.views.repainted.clear();
        slot = (slot + 1) % 8;
        int data = slot;
        w.dlg->ExecCommand(kCmdNewFrame, &data);
        for (int code : w.views.repainted) {
            const CCstmPictureCtrl& view = w.dlg->View(code);
            const int cw = code == kViewMain ? side : w.width;
            benchmark::DoNotOptimize(view.ClientImage(cw, w.height, scratch[code]).data());
        }
    }
    static const char* kNames[] = {"", "B", "BB", "BM"};
    state.SetLabel(std::string(kNames[mode]) + " " + std::to_string(side) + " px");
}
BENCHMARK(BM_FrameNoticeToRender)
    ->Args({kDisplayB, 480})
    ->Args({kDisplayBB, 480})
    ->Args({kDisplayBM, 480})
    ->Args({kDisplayB, 744})
    ->Args({kDisplayBB, 744})
    ->Args({kDisplayBM, 744})
    ->Args({kDisplayB, 941})
    ->Args({kDisplayBB, 941})
    ->Args({kDisplayBM, 941})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
