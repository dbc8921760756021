// The probe link's cost per frame: logarithmic compression of the 128 line packets plus the
// image filter, for the convex probe at its deepest and shallowest depth and the linear probe,
// on the simulator's phantom.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/usbdriver/sim/SimPhantom.h"
#include "platform/usbdriver/sim/SimScanGeometry.h"
#include "probe/ProbeEnhance.h"
#include "probe/ProbeProtocol.h"

namespace {

constexpr size_t kFrameSamples = static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine;

// The echo amplitudes the probe sends for one phantom frame.
std::vector<float> PhantomAmplitudes(bool linear, int depth) {
    const usbdriver::sim::SimPhantom phantom(
        linear ? usbdriver::sim::SimScanGeometry::Linear() : usbdriver::sim::SimScanGeometry::Convex(),
        linear ? kLinearCompression : kConvexCompression, 716);
    std::vector<float> display(kFrameSamples);
    phantom.RenderDisplay(1, depth, display.data());
    std::vector<float> amplitudes(kFrameSamples);
    for (size_t i = 0; i < kFrameSamples; ++i)
        amplitudes[i] = phantom.DisplayToAmplitude(display[i]);
    return amplitudes;
}

void BM_CompressAndEnhanceFrame(benchmark::State& state) {
    const bool linear = state.range(0) != 0;
    const int depth = static_cast<int>(state.range(1));
    const std::vector<float> amplitudes = PhantomAmplitudes(linear, depth);
    const ProbeCompression compression = linear ? kLinearCompression : kConvexCompression;
    ProbeSetDefaultBlendWeights(linear);
    std::vector<float> plane(kFrameSamples);
    std::vector<uint8_t> image(kFrameSamples);
    for (auto _ : state) {
        for (int l = 0; l < kProbeLinesPerFrame; ++l) {
            const size_t at = static_cast<size_t>(l) * kProbeSamplesPerLine;
            CompressEchoLine(amplitudes.data() + at, plane.data() + at, kProbeSamplesPerLine, compression);
        }
        ProbeEnhanceFrame(linear, plane.data(), image.data(), depth);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetLabel(linear ? "linear" : "convex");
}
BENCHMARK(BM_CompressAndEnhanceFrame)
    ->Args({0, 225})
    ->Args({0, 70})
    ->Args({1, 120})
    ->Unit(benchmark::kMillisecond);

void BM_CompressOnly(benchmark::State& state) {
    const std::vector<float> amplitudes = PhantomAmplitudes(false, 225);
    std::vector<float> plane(kFrameSamples);
    for (auto _ : state) {
        CompressEchoLine(amplitudes.data(), plane.data(), static_cast<int>(kFrameSamples), kConvexCompression);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_CompressOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
