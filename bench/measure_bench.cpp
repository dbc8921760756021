// The OB/GY evaluation without report images (target: at most 5 ms), with all five growth
// tables of a set read from disk; the result texts of one drag step's models (4 distance
// pairs, 4 traces of 200 vertices and 5 ellipses); and, with the main window's core, one whole
// drag step of a distance caliper: the model, its label and the main view's redraw and render
// with 4 pairs, 4 traces of 200 vertices and 5 ellipses on it (targets: 2 ms at 480 px, 5 ms
// at 744 px).
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef TORVIK_HAVE_APP_CORE
#include <memory>

#include "CoreFakes.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MeasureTools.h"
#include "common/SettingsStore.h"
#include "platform/MessageBox.h"
#endif
#include "measure/EllipseMeasure.h"
#include "measure/MeasureText.h"
#include "measure/ObEvaluation.h"
#include "measure/TraceMeasure.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace {

// Full-size tables (one line per millimetre up to 400 mm) in a private temporary folder.
std::string MakeTables() {
    char pattern[] = "/tmp/measure-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir)
        std::abort();
    const std::string root = std::string(dir) + "/";
    platform::CreateDirectories(root + "JSUM");
    for (const char* file : {"BPD.DAT", "CRL.DAT", "FL.DAT", "AC.DAT", "GS.DAT"}) {
        std::string text = "benchmark table\r\n";
        for (int mm = 1; mm <= 400; ++mm)
            text += platform::Format("%.1f,%d,%d\r\n", mm / 10.0, 5 + mm / 10, mm % 7);
        platform::WriteFileAtomic(root + "JSUM/" + file, text);
    }
    return root;
}

void RemoveTables(const std::string& root) {
    for (const char* file : {"BPD.DAT", "CRL.DAT", "FL.DAT", "AC.DAT", "GS.DAT"})
        unlink((root + "JSUM/" + file).c_str());
    rmdir((root + "JSUM").c_str());
    rmdir(root.c_str());
}

void BM_ObEvaluation(benchmark::State& state) {
    const std::string root = MakeTables();
    ObEvaluationInput in;
    in.values = {92.5, 45.0, 20.0, 12.0, 71.6, 320.6, 330.0};
    in.imageIndices = {0, 1, 2, 3, 4, 5, 6};
    in.gaModel = 3;
    in.tableRoot = root;
    in.lmpDate.wYear = 2024;
    in.lmpDate.wMonth = 1;
    in.lmpDate.wDay = 1;
    in.lmpText = "01-01-2024";
    in.patientHeader = "ID: 0001  Name: Jane Roe";
    in.patientFolder = "/data/0001";
    for (auto _ : state) {
        ObEvaluationResult r = EvaluateOb(in);
        benchmark::DoNotOptimize(r);
    }
    RemoveTables(root);
}
BENCHMARK(BM_ObEvaluation)->Unit(benchmark::kMillisecond);

void BM_DragStepTexts(benchmark::State& state) {
    const MeasureScale scale = MeasureScale::FromPixelsPerMm(470.0 / 100.0);
    std::vector<std::vector<draw::Point>> traces(4);
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 200; ++i) {
            const double a = i * 2.0 * 3.141592653589793 / 200.0;
            traces[t].push_back(
                {240 + static_cast<int>(100 * std::cos(a)) + t, 240 + static_cast<int>(80 * std::sin(a))});
        }
        traces[t].push_back(traces[t].front());
    }
    for (auto _ : state) {
        std::string all;
        for (int k = 0; k < 4; ++k)
            all += DistanceText({10 + k, 20}, {200, 300 + k}, scale);
        for (const auto& t : traces) {
            const TraceTexts texts = FormatTraceTexts(MeasureTrace(t, scale));
            all += texts.perimeter + texts.area;
        }
        for (int e = 0; e < 5; ++e) {
            const EllipseTexts texts = FormatEllipseTexts(MeasureEllipse(100.0 + e, 50.0, scale));
            all += texts.circumference + texts.area;
        }
        benchmark::DoNotOptimize(all);
    }
}
BENCHMARK(BM_DragStepTexts)->Unit(benchmark::kMicrosecond);

#ifdef TORVIK_HAVE_APP_CORE
// The main window's core, headless, frozen in B with a full set of measurements.
struct MeasuringWindow {
    explicit MeasuringWindow(int side) {
        char pattern[] = "/tmp/torvik-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        setenv("ProgramData", made ? made : "/tmp", 1);
        platform::SetMessageBoxHandler(
            [](const platform::MessageBoxRequest&) { return platform::MsgAnswer::Ok; });
        dlg = std::make_unique<CKALVEXDlg>(fakes.Ports());
        dlg->m_fnSleep = [](int) {};
        dlg->m_strPatientId = "BENCH";
        dlg->OnInitDialog();
        CImageProc& proc = *dlg->m_pLiveProc;
        proc.SetProbeGeometry(ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 60.0, 40.0, 20, 225));
        proc.SetDepth(150);
        Image8 frame(480, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 480; ++x)
                frame.At(x, y) = static_cast<uint8_t>(128 + 100 * std::sin(x * 0.05) * std::cos(y * 0.03));
        FrameRecord r;
        r.depth = 150;
        const int slot = proc.Cine().Commit(frame, r, MLineSample{}, 0.0, 150);
        proc.Cine().SetCurrentIndex(slot);
        dlg->m_nRunState = maindlg::kFrozen;
        dlg->m_nDisplayMode = maindlg::kDisplayB;
        CCstmPictureCtrl& v = dlg->m_viewMain;
        v.m_dViewScale = 480.0 / side;
        for (int i = 0; i < 8; ++i) {
            v.m_aptDistance[static_cast<size_t>(i)] = {40 + 50 * i, 60 + 30 * (i % 2)};
            v.m_anDistanceFlag[static_cast<size_t>(i)] = 1;
        }
        for (size_t t = 0; t < 4; ++t) {
            for (int i = 0; i < 200; ++i) {
                const double a = i * 2.0 * 3.141592653589793 / 200.0;
                v.m_avecTrace[t].push_back(
                    {240 + static_cast<int>(100 * std::cos(a)) + static_cast<int>(t) * 5,
                     240 + static_cast<int>(80 * std::sin(a))});
            }
            v.m_avecTrace[t].push_back(v.m_avecTrace[t].front());
            v.m_abTraceFlag[t] = 1;
        }
        for (size_t e = 0; e < 4; ++e) {
            v.m_aEllipse[e].SetPoint({100 + 20 * static_cast<int>(e), 300}, 0, 0);
            v.m_aEllipse[e].SetPoint({300, 320 + 10 * static_cast<int>(e)}, 1, 1);
            v.m_aEllipse[e].state = EllipseStateDeselected;
        }
        v.m_nEllipseCount = 4;
        v.m_ellipseObgy.SetPoint({120, 200}, 0, 0);
        v.m_ellipseObgy.SetPoint({360, 220}, 1, 1);
        v.m_ellipseObgy.state = EllipseStateSelected;
        dlg->m_nTool = maindlg::kToolDistance;
        // The fourth pair is open: its free end follows the mouse.
        v.m_nDistanceCount = 7;
        dlg->MeasureClickState = 2;
        dlg->m_nPressView = maindlg::kViewMain;
    }
    ~MeasuringWindow() {
        dlg->OnClose();
        dlg.reset();
        platform::SetMessageBoxHandler({});
        ResetSettingsForTesting();
    }
    coretest::FakeWindowSide fakes;
    std::unique_ptr<CKALVEXDlg> dlg;
};

void BM_DragStepMainView(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    MeasuringWindow w(side);
    CMeasureTools& m = *w.dlg->m_pMeasureTools;
    int x = 0;
    Image32 scratch;
    for (auto _ : state) {
        x = (x + 7) % side;
        m.OnMeasureMouseMove(maindlg::kViewMain, {kMsgMouseMove, {x, side / 2}});
        benchmark::DoNotOptimize(w.dlg->m_viewMain.ClientImage(side, side, scratch).data());
    }
    state.SetLabel(std::to_string(side) + " px");
}
BENCHMARK(BM_DragStepMainView)->Arg(480)->Arg(744)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
