// The recorder's per-frame work at 960 x 480: composing a frame on the writer thread
// (target 2 ms), publishing the UI thread's view snapshot (2 ms), and converting a 640 x 480
// camera picture from YUYV or MJPEG (3 ms). The AVI write and the transcode are measured
// with the export code's writer.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <fstream>

#include <filesystem>

#include "archive/export/Mp4Transcode.h"
#include "archive/recorder/AviFrameSink.h"
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

// A fresh reserved name in a private folder of the local disk.
std::string ReservedAvi(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "torvik_recorder_bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    std::filesystem::remove(path);
    std::ofstream(path).close();
    return path;
}

// Composing plus the AVI write, per frame (budget 77 ms, target 15 ms); a new file every 390
// frames, as a 30-second recording would start one.
void BM_ComposeAndWriteAvi(benchmark::State& state) {
    const camera::CameraSample sample = SimulatedSample(640, 480);
    const Image32 view(480, 480, 0x303030);
    const Image32 caption = recorder::RenderCaptionBlock({109, 50, 60}, "Torvik", Image32(32, 32, 0xFF0000));
    recorder::FrameComposer composer(true);
    std::vector<uint8_t> frame;
    std::string error;
    std::unique_ptr<recorder::IFrameSink> sink;
    int index = 0;
    for (auto _ : state) {
        if (!sink || index == recorder::kRecordingMaxFrames) {
            state.PauseTiming();
            if (sink)
                sink->Close(error);
            sink = recorder::AviSinkFactory()(ReservedAvi("write.avi"), 960, error);
            index = 0;
            state.ResumeTiming();
            if (!sink) {
                state.SkipWithError(error.c_str());
                break;
            }
        }
        composer.Compose(view, &sample, &caption, frame);
        if (sink->WriteFrame(index++, frame, error) != 0) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    if (sink)
        sink->Close(error);
}
BENCHMARK(BM_ComposeAndWriteAvi)->Unit(benchmark::kMillisecond);

// Transcoding 32 s of SyncView recording (416 frames at 13 a second) with row 0 (target 6 s).
void BM_Transcode32Seconds(benchmark::State& state) {
    const camera::CameraSample sample = SimulatedSample(640, 480);
    const Image32 caption = recorder::RenderCaptionBlock({109, 50, 60}, "Torvik", Image32(32, 32, 0xFF0000));
    recorder::FrameComposer composer(true);
    std::vector<uint8_t> frame;
    std::string error;
    const std::string avi = ReservedAvi("transcode.avi");
    {
        auto sink = recorder::AviSinkFactory()(avi, 960, error);
        Image32 view(480, 480);
        for (int i = 0; sink && i < 416; ++i) {
            view.Fill(static_cast<uint32_t>(i * 0x010101 % 0xFFFFFF));
            composer.Compose(view, &sample, &caption, frame);
            sink->WriteFrame(i, frame, error);
        }
        if (!sink || !sink->Close(error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    const std::string mp4 = avi + ".mp4";
    for (auto _ : state) {
        std::filesystem::remove(mp4);
        if (!recorder::Mp4Transcoder()(avi, mp4, 0, error))
            state.SkipWithError(error.c_str());
    }
    std::filesystem::remove(mp4);
    std::filesystem::remove(avi);
}
BENCHMARK(BM_Transcode32Seconds)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
