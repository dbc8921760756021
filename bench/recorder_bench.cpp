// The recorder's per-frame work at 960 x 480: composing a frame on the writer thread
// (target 2 ms), publishing the UI thread's view snapshot (2 ms), and converting a 640 x 480
// camera picture from YUYV or MJPEG (3 ms). The AVI write and the transcode are measured
// with the export code's writer.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include "archive/recorder/CaptionBlock.h"
#include "archive/recorder/FrameComposer.h"
#include "archive/recorder/SharedImage.h"
#include "platform/camera/FrameConverter.h"
#include "platform/camera/SimulatedCamera.h"

namespace {

camera::CameraSample SimulatedSample(int w, int h) {
    Image32 picture(w, h);
    camera::SimulatedCamera::Render(picture, 42, platform::SystemTime{2026, 12, 4, 10, 12, 0, 0, 0});
    camera::CameraSample s{w, h, 1, {}};
    camera::ToBottomUpBgr(picture, s.bgr);
    return s;
}

void BM_ComposeSyncViewFrame(benchmark::State& state) {
    const camera::CameraSample sample = SimulatedSample(640, 480);
    const Image32 view(480, 480, 0x303030);
    const Image32 caption = recorder::RenderCaptionBlock({109, 50, 60}, "Torvik", Image32(32, 32, 0xFF0000));
    recorder::SharedImage shared;
    shared.Publish(view);
    recorder::FrameComposer composer(true);
    Image32 viewCopy;
    std::vector<uint8_t> frame;
    for (auto _ : state) {
        shared.Copy(viewCopy);
        composer.Compose(viewCopy, &sample, &caption, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_ComposeSyncViewFrame)->Unit(benchmark::kMillisecond);

void BM_PublishViewSnapshot(benchmark::State& state) {
    const Image32 view(480, 480, 0x303030);
    recorder::SharedImage shared;
    for (auto _ : state)
        shared.Publish(view);
}
BENCHMARK(BM_PublishViewSnapshot)->Unit(benchmark::kMillisecond);

void BM_ConvertCameraPicture(benchmark::State& state) {
    const bool mjpeg = state.range(0) == 1;
    const camera::CameraSample sample = SimulatedSample(640, 480);
    std::vector<uint8_t> input;
    if (mjpeg) {
        tjhandle tj = tjInitCompress();
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        tjCompress2(tj, sample.bgr.data(), 640, 640 * 3, 480, TJPF_BGR, &jpeg, &size, TJSAMP_422, 85,
                    TJFLAG_BOTTOMUP);
        input.assign(jpeg, jpeg + size);
        tjFree(jpeg);
        tjDestroy(tj);
    } else {
        input.assign(640 * 480 * 2, 0);
        for (size_t i = 0; i < input.size(); i += 4) {
            input[i] = input[i + 2] = static_cast<uint8_t>(i / 4);
            input[i + 1] = 100;
            input[i + 3] = 160;
        }
    }
    const camera::CameraFormat format{mjpeg ? camera::kFourccMjpeg : camera::kFourccYuyv, 640, 480};
    camera::FrameConverter converter;
    std::vector<uint8_t> bgr(640 * 480 * 3);
    std::string error;
    for (auto _ : state)
        if (!converter.Convert(format, input.data(), input.size(), bgr, error))
            state.SkipWithError(error.c_str());
    state.SetLabel(mjpeg ? "MJPEG" : "YUYV");
}
BENCHMARK(BM_ConvertCameraPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
