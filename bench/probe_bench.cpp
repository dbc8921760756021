// The probe link's cost per frame: logarithmic compression of the 128 line packets plus the
// image filter, for the convex probe at its deepest and shallowest depth and the linear probe,
// on the simulator's phantom. And the whole road of a live frame through the real threads:
// the unpaced simulator, the bridge library, the USB module's reader and assembler, the driver,
// the raw frame buffers and the image thread into the cine: frames per second with none lost,
// the memory over a long run, and the delay from a frame's last line packet to its notice.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "HeadlessMainWindow.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/KeepAwake.h"
#include "platform/usbdriver/UsbDriver.h"
#include "probe/ProbeDataUM716C.h"
#include "probe/UsbProbe.h"
#include "sim/SimBridge.h"

#include "probe/ProbeEnhance.h"
#include "probe/ProbeProtocol.h"
#include "sim/SimPhantom.h"
#include "sim/SimScanGeometry.h"

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
        CompressEchoLine(amplitudes.data(), plane.data(), static_cast<int>(kFrameSamples),
                         kConvexCompression);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_CompressOnly)->Unit(benchmark::kMillisecond);

// ---- The whole road of a frame

using Clock = std::chrono::steady_clock;

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct NoInhibitor : platform::IPowerInhibitor {
    void Inhibit(const std::string&) override {}
    void Release() override {}
};

// The simulator attached, the probe opened by the headless main window, its settings in a
// private folder (the user's own are neither read nor written).
class LiveRoad {
public:
    explicit LiveRoad(usbdriver::sim::SimPacing pacing) {
        char pattern[] = "/tmp/probe_bench.XXXXXX";
        folder_ = mkdtemp(pattern);
        setenv("ProgramData", folder_.c_str(), 1);
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        platform::SetPowerInhibitor(&inhibitor_);
        platform::SetUiDispatcher(&main.ui);
        usbdriver::sim::SimOptions options;
        options.pacing = pacing;
        sim = std::make_shared<usbdriver::sim::SimBridge>(options);
        usbdriver::AttachDevice(sim);
        main.proc.StartImageThread();
        ready = OpenProbe(&main);
    }
    ~LiveRoad() {
        ShutdownProbe(&main);
        main.proc.StopImageThread();
        platform::SetUiDispatcher(nullptr);
        platform::SetPowerInhibitor(nullptr);
        usbdriver::DetachAllDevices();
        std::system(("rm -rf '" + folder_ + "'").c_str());
    }
    CProbeDataUM716C& Driver() { return *static_cast<CProbeDataUM716C*>(g_pProbe.load()); }

    probetest::HeadlessMainWindow main;
    std::shared_ptr<usbdriver::sim::SimBridge> sim;
    bool ready = false;

private:
    std::string folder_;
    NoInhibitor inhibitor_;
};

// Frames per second from the unpaced simulator into the cine; none may be lost on the way.
void BM_LiveFramesUnpaced(benchmark::State& state) {
    const size_t frames = static_cast<size_t>(state.range(0));
    LiveRoad road(usbdriver::sim::SimPacing::Unpaced);
    if (!road.ready) {
        state.SkipWithError("the simulated probe did not open");
        return;
    }
    probetest::HeadlessMainWindow& main = road.main;
    double seconds = 0, startMiB = 0, endMiB = 0;
    for (auto _ : state) {
        main.Unfreeze();
        // Past the first 512 frames the cine ring has all its slots; from then on nothing should grow.
        const size_t warmUp = 1000;
        main.ui.RunUntil([&] { return main.notices >= warmUp; }, std::chrono::seconds(600));
        startMiB = ResidentMiB();
        const size_t first = main.notices;
        const auto t0 = Clock::now();
        main.ui.RunUntil([&] { return main.notices >= first + frames; }, std::chrono::seconds(3600));
        seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        endMiB = ResidentMiB();
        main.Freeze();
    }
    const UsbProbeStreamStats stats = UsbProbeGetStreamStats();
    const usbdriver::sim::SimBridgeState sim = road.sim->State();
    // Frames the probe sent that never became a cine frame before the freeze dropped the rest.
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["fps"] = static_cast<double>(frames) / seconds;
    state.counters["lost_no_buffer"] = static_cast<double>(road.Driver().GetLostFrameCount());
    state.counters["lost_pool"] = static_cast<double>(stats.framesLost);
    state.counters["packets_ignored"] = static_cast<double>(stats.packetsIgnored);
    state.counters["packets_dropped_by_chip"] = static_cast<double>(sim.packetsDropped);
    state.counters["rss_start_MiB"] = startMiB;
    state.counters["rss_growth_MiB"] = endMiB - startMiB;
}
BENCHMARK(BM_LiveFramesUnpaced)->Arg(3000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
// The long run for the memory figure; select it with --benchmark_filter=LiveFramesUnpaced/100000.
BENCHMARK(BM_LiveFramesUnpaced)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The delay from the moment the probe has sent a frame's last line packet to the image
// thread's frame notice, one stepped frame at a time.
void BM_LastLinePacketToFrameNotice(benchmark::State& state) {
    LiveRoad road(usbdriver::sim::SimPacing::Stepped);
    if (!road.ready) {
        state.SkipWithError("the simulated probe did not open");
        return;
    }
    probetest::HeadlessMainWindow& main = road.main;
    std::atomic<int64_t> postedAt{0};
    main.ui.onPost = [&] { postedAt = Clock::now().time_since_epoch().count(); };
    main.Unfreeze();
    std::vector<double> delays;
    for (auto _ : state) {
        const size_t before = main.notices;
        road.sim->StepFrames(1);  // returns once the last line packet is in the chip's FIFO
        const int64_t sent = Clock::now().time_since_epoch().count();
        main.ui.RunUntil([&] { return main.notices > before; });
        delays.push_back(
            std::chrono::duration<double, std::micro>(Clock::duration(postedAt.load() - sent)).count());
    }
    main.Freeze();
    std::sort(delays.begin(), delays.end());
    state.counters["median_us"] = delays[delays.size() / 2];
    state.counters["p90_us"] = delays[delays.size() * 9 / 10];
    state.counters["max_us"] = delays.back();
}
BENCHMARK(BM_LastLinePacketToFrameNotice)->Iterations(500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
