// The exports: the AVI phase of a 20-second cine (241 output frames) to the local disk, the
// 480 x 480 MP4 transcode of that AVI, and the JPEG picture composed and encoded.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/export/ExportSettings.h"
#include "archive/export/JpegExport.h"
#include "archive/export/Mp4Transcode.h"
#include "archive/export/VideoExport.h"

namespace {

// A scratch folder beside the working directory (the local disk, not a tmpfs).
struct Scratch {
    std::string path;
    Scratch() {
        path = std::filesystem::absolute("export_bench_scratch").string();
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~Scratch() { std::filesystem::remove_all(path); }
};

std::vector<Image8> MakeCine(int count) {
    std::vector<Image8> cine;
    uint32_t seed = 1;
    for (int i = 0; i < count; ++i) {
        Image8 img(480, 480);
        for (size_t p = 0; p < img.size(); ++p) {
            seed = seed * 1664525u + 1013904223u;
            img.data()[p] = static_cast<uint8_t>((p / 480 + i) / 2 + (seed >> 28));
        }
        cine.push_back(std::move(img));
    }
    return cine;
}

// 20 s of cine at about 25 frames/s gives 241 output frames at 12/s.
const std::vector<Image8>& Cine() {
    static const std::vector<Image8> cine = MakeCine(501);
    return cine;
}

std::vector<int64_t> Times() {
    std::vector<int64_t> t;
    for (int i = 0; i < 501; ++i)
        t.push_back(i * 40);
    return t;
}

void BM_AviPhase(benchmark::State& state) {
    Scratch scratch;
    int run = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        const exportfile::VideoPaths paths = exportfile::MakeVideoPaths(
            scratch.path + "/", "bench", std::to_string(run++), exportfile::kQualitySelect);
        const auto r = exportfile::RunVideoExport(
            paths, Times(), [](int i) -> const Image8& { return Cine()[static_cast<size_t>(i)]; }, {}, 0);
        if (r.status != exportfile::VideoExportStatus::Saved)
            state.SkipWithError(r.outcome.message.c_str());
        frames += 241;
        state.PauseTiming();
        ::unlink(paths.avi.c_str());
        state.ResumeTiming();
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AviPhase)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Transcode480(benchmark::State& state) {
    Scratch scratch;
    const exportfile::VideoPaths source =
        exportfile::MakeVideoPaths(scratch.path + "/", "source", "", exportfile::kQualitySelect);
    exportfile::RunVideoExport(
        source, Times(), [](int i) -> const Image8& { return Cine()[static_cast<size_t>(i)]; }, {}, 0);
    int run = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        const std::string mp4 = scratch.path + "/out" + std::to_string(run++) + ".mp4";
        const int rc =
            exportfile::TranscodeToMp4({}, exportfile::g_aMp4ProfileParams[state.range(0)], source.avi, mp4);
        if (rc != 0)
            state.SkipWithError("transcode failed");
        frames += 241;
        state.PauseTiming();
        ::unlink(mp4.c_str());
        state.ResumeTiming();
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Transcode480)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegComposeEncode(benchmark::State& state) {
    Image32 render(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            render.At(x, y) = GreyPixel(static_cast<uint8_t>((x * 7 + y * 13) & 0xFF));
    std::string jpeg;
    for (auto _ : state) {
        const Image32 picture =
            exportfile::ComposeJpegPicture(render, "Measurement Time:2020/08/20 12:34:56");
        exportfile::EncodeJpeg(picture, 98, jpeg);
        benchmark::DoNotOptimize(jpeg.data());
    }
}
BENCHMARK(BM_JpegComposeEncode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
