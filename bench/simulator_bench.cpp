// The simulated probe's cost per frame: the phantom's picture, and a whole frame of packets
// through the simulated bridge into the host's reads (unpaced, as the throughput runs use it).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimBridge.h"
#include "sim/SimPhantom.h"

using namespace usbdriver;

static void BM_PhantomFrame(benchmark::State& state) {
    const bool convex = state.range(0) != 0;
    const sim::SimPhantom phantom(convex ? sim::SimScanGeometry::Convex() : sim::SimScanGeometry::Linear(),
                                  convex ? kConvexCompression : kLinearCompression, 716);
    std::vector<float> display(static_cast<size_t>(kProbeLinesPerFrame) * kProbeSamplesPerLine);
    uint64_t frame = 1;
    for (auto _ : state) {
        phantom.RenderDisplay(frame++, convex ? 225 : 120, display.data());
        benchmark::DoNotOptimize(display.data());
    }
}
BENCHMARK(BM_PhantomFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

static void BM_UnpacedFrameThroughTheSeam(benchmark::State& state) {
    sim::SimOptions options;
    options.pacing = sim::SimPacing::Unpaced;
    auto device = std::make_shared<sim::SimBridge>(options);
    AttachDevice(device);
    const DeviceHandle handle = OpenDevice(device->Path());
    auto io = [&](uint32_t request, uint8_t pipe, void* buffer, uint32_t length) {
        Overlapped record;
        uint32_t n = 0;
        DeviceIoControl(handle, DriverCode(request), &pipe, 1, buffer, length, nullptr, &record);
        GetOverlappedResult(handle, &record, &n, true);
    };
    UsbProbeCommand start{};
    start.SetCode(kProbeCommandStartStreaming);
    io(kRequestWritePipe, kProbeCommandPipe, start.bytes, 512);
    io(kRequestReadPipe, kProbeReplyPipe, start.bytes, 512);
    std::vector<uint8_t> packet(5120);
    for (auto _ : state) {
        for (int i = 0; i < 1 + kProbeLinesPerFrame; ++i)
            io(kRequestReadPipe, kProbeStreamPipe, packet.data(), 5120);
    }
    state.SetItemsProcessed(state.iterations());
    CloseDevice(handle);
    DetachAllDevices();
}
BENCHMARK(BM_UnpacedFrameThroughTheSeam)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
