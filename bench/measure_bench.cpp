// The OB/GY evaluation without report images (target: at most 5 ms), with all five growth
// tables of a set read from disk; and the result texts of one drag step's models (4 distance
// pairs, 4 traces of 200 vertices and 5 ellipses).
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

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

}  // namespace

BENCHMARK_MAIN();
