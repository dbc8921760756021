// Time of one live frame through the image thread's conversion (processing with the
// default settings, scan conversion, mark, M-line and scale; FastPathTuned with settings
// that take the double-precision drawing). Targets: median at most 0.5 ms and 99th
// percentile at most 0.8 ms per frame, the frame after a depth change at most 1.5 ms. Each
// case reports the median, 99th percentile and maximum of its frames. The plain reference
// is timed for comparison; with OpenCV, two peers on the same geometry and frames:
// cv::remap with float maps plus a gamma lookup, and the stronger fixed-point one
// (cv::convertMaps, cv::remap, cv::LUT, the tone curve by OpenCV's own vector loops).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ReferenceImaging.h"
#include "imaging/FrameConverter.h"
#include "imaging/StcCurve.h"

#if defined(TORVIK_HAVE_OPENCV)
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

enum Probe { kConvex225, kConvex70, kLinear38, kLinear120 };

ScanGeometry GeometryFor(Probe probe) {
    ScanGeometry g;
    if (probe == kConvex225 || probe == kConvex70) {
        g.Apply(ConvexProbeGeometry(ProbeTypeConvex, 1024, 128, 0, true, 60.0, 60.0, 70.0, 240.0));
    } else {
        g.Apply(LinearProbeGeometry(ProbeTypeLinear, 1024, 128, 0, true, 38.0, 38.0, 120.0));
    }
    return g;
}

int DepthFor(Probe probe) {
    switch (probe) {
        case kConvex225:
            return 225;
        case kConvex70:
            return 70;
        case kLinear38:
            return 38;
        default:
            return 120;
    }
}

// The settings a user starts with, and the depth preset's STC curve.
FrameSettings DefaultSettings(Probe probe) {
    FrameSettings s;
    s.params.gainBase = -60.0;
    s.params.aveMode = 4;
    s.params.depth = DepthFor(probe);
    s.geometry = GeometryFor(probe);
    const StcKnots deep = {41, 32, 25, 19, 25, 39, 51, 52, 53, 37, 0};
    const StcKnots shallow = {44, 43, 44, 47, 35, 32, 41, 45, 43, 44, 0};
    const StcKnots& knots = s.params.depth > 150 ? deep : shallow;
    s.stc.assign(1024, 0);
    if (s.geometry.splineStc) {
        MakeGainCurve(0, s.stc.data(), 1024, 102.4, knots);
    } else {
        MakeLinearStcCurve(0, s.stc.data(), 1024, 102.4, knots);
    }
    return s;
}

std::vector<std::vector<int>> Frame(uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> speckle(0, 120);
    std::vector<std::vector<int>> f(128, std::vector<int>(1024));
    for (int l = 0; l < 128; ++l) {
        for (int s = 0; s < 1024; ++s)
            f[l][s] = std::min(255, speckle(rng) + (s / 128 % 2) * 60);
    }
    return f;
}

// Per-frame times of one case, reported as counters in milliseconds: the median, 99th
// percentile and maximum of the wall time, and of the thread's CPU time ("cpu_"), which
// leaves out the time other processes took the core (the machine may be busy).
class FrameTimes {
public:
    struct Sample {
        double wall;
        double cpu;
    };
    class Watch {
    public:
        Watch() : wall_(std::chrono::steady_clock::now()), cpu_(CpuMs()) {}
        Sample Stop() const {
            return {
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_).count(),
                CpuMs() - cpu_};
        }

    private:
        std::chrono::steady_clock::time_point wall_;
        double cpu_;
    };
    void Add(Sample s) {
        wall_.push_back(s.wall);
        cpu_.push_back(s.cpu);
    }
    void Report(benchmark::State& state, const std::string& prefix = "") {
        Report(state, prefix, wall_);
        Report(state, prefix + "cpu_", cpu_);
    }

private:
    static double CpuMs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
    static void Report(benchmark::State& state, const std::string& prefix, std::vector<double>& ms) {
        if (ms.empty())
            return;
        std::sort(ms.begin(), ms.end());
        auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))]; };
        state.counters[prefix + "median_ms"] = at(0.5);
        state.counters[prefix + "p99_ms"] = at(0.99);
        state.counters[prefix + "max_ms"] = ms.back();
    }
    std::vector<double> wall_;
    std::vector<double> cpu_;
};

// One frame as the image thread converts it: the samples copied in, then the conversion.
void ConvertFrame(CFrameConverter& converter, const std::vector<std::vector<int>>& f, int depth, int count,
                  const FrameSettings& settings, Image8& image) {
    int** raw = converter.RawFrame(1024, 128);
    for (int l = 0; l < 128; ++l)
        std::copy(f[l].begin(), f[l].end(), raw[l]);
    converter.RawToBitmap(depth, count, settings, image);
    benchmark::DoNotOptimize(image.data());
}

// Times the frames of one case at its depth. Returns the pixels drawn a frame.
size_t TimeFrames(benchmark::State& state, const FrameSettings& settings) {
    const auto frames = std::vector{Frame(1), Frame(2)};
    CFrameConverter converter;
    // As the image thread has them when it starts: built ahead, not in the first frame.
    converter.Prebuild(settings, settings.params.depth);
    converter.WaitPrebuilt();
    Image8 image;
    FrameTimes times;
    int n = 0;
    for (auto _ : state) {
        const FrameTimes::Watch watch;
        const int frame = n++;
        ConvertFrame(converter, frames[frame % 2], settings.params.depth, frame + 2, settings, image);
        times.Add(watch.Stop());
    }
    times.Report(state);
    return converter.DrawnPixelCount();
}

void FastPath(benchmark::State& state) {
    const Probe probe = static_cast<Probe>(state.range(0));
    const size_t pixels = TimeFrames(state, DefaultSettings(probe));
    state.counters["pixels"] = static_cast<double>(pixels);
}

// FastPath with settings whose processed samples are not whole numbers (contrast 60, frame
// correlation 0.3): the frames take the double-precision drawing.
void FastPathTuned(benchmark::State& state) {
    const Probe probe = static_cast<Probe>(state.range(0));
    FrameSettings settings = DefaultSettings(probe);
    settings.params.contrast = 60;
    settings.params.smooth = 0.3;
    TimeFrames(state, settings);
}

// The depth changes every 25 frames between the case's depth and a second one of the same
// probe. As in a live session, the new depth is set some time before the first frame of it
// arrives (the probe answers the command first): the case waits one frame period, untimed.
// Reports the frames right after a change apart ("changed_").
void FastPathDepthChange(benchmark::State& state) {
    const Probe probe = static_cast<Probe>(state.range(0));
    FrameSettings settings[2] = {DefaultSettings(probe), DefaultSettings(probe)};
    settings[1].params.depth = probe == kConvex225  ? 150
                               : probe == kConvex70 ? 110
                               : probe == kLinear38 ? 60
                                                    : 90;
    const auto frames = std::vector{Frame(1), Frame(2)};
    CFrameConverter converter;
    Image8 image;
    FrameTimes times;
    FrameTimes changed;
    int n = 0;
    for (auto _ : state) {
        const FrameSettings& s = settings[(n / 25) % 2];
        const bool first = n % 25 == 0;
        if (first) {
            state.PauseTiming();
            converter.Prebuild(s, s.params.depth);
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            state.ResumeTiming();
        }
        const FrameTimes::Watch watch;
        const int frame = n++;
        ConvertFrame(converter, frames[frame % 2], s.params.depth, frame + 2, s, image);
        const FrameTimes::Sample took = watch.Stop();
        times.Add(took);
        if (first)
            changed.Add(took);
    }
    times.Report(state);
    changed.Report(state, "changed_");
}

void PlainReference(benchmark::State& state) {
    const Probe probe = static_cast<Probe>(state.range(0));
    const FrameSettings settings = DefaultSettings(probe);
    const auto frame = Frame(1);
    ReferenceImaging reference;
    int n = 0;
    for (auto _ : state) {
        auto result = reference.Convert(frame, settings.params.depth, ++n + 1, settings.params,
                                        settings.geometry, settings.stc, settings.gamma);
        benchmark::DoNotOptimize(result.image.data());
    }
}

#if defined(TORVIK_HAVE_OPENCV)
// The source position (sample, line) of each pixel of the 480 x 480 image, for cv::remap.
void RemapMaps(const FrameSettings& settings, cv::Mat& mapX, cv::Mat& mapY) {
    const DepthGeometry d = ComputeDepthGeometry(settings.geometry, settings.params.depth, 1);
    mapX.create(480, 480, CV_32F);
    mapY.create(480, 480, CV_32F);
    const double pps = d.depth * d.pixelsPerMm / 1024;
    for (int row = 0; row < 480; ++row) {
        const int y = row + d.imageTop + 1;
        for (int x = 0; x < 480; ++x) {
            double line, sample;
            if (settings.geometry.IsConvex()) {
                const double dx = x - 240, r = std::sqrt(dx * dx + double(y) * y);
                line = (std::asin(dx / r) * 57.29577951308232 + 30.0) / 60.0 * 128 - 0.5;
                sample = (r - d.topOffset) / pps;
            } else {
                line = (x - d.leftMargin) / d.linearWidthPx * 128 - 0.5;
                sample = (y - d.topOffset) / pps;
            }
            mapX.at<float>(row, x) = static_cast<float>(sample);
            mapY.at<float>(row, x) = static_cast<float>(line);
        }
    }
}

// What both OpenCV peers start from: one thread, the case's settings, the remap maps of its
// geometry and its gamma as a lookup table.
struct OpenCvCase {
    explicit OpenCvCase(const benchmark::State& state)
        : settings(DefaultSettings(static_cast<Probe>(state.range(0)))) {
        cv::setNumThreads(1);
        RemapMaps(settings, mapX, mapY);
        for (int i = 0; i < 256; ++i)
            lut.at<uint8_t>(i) = settings.gamma[i];
    }
    FrameSettings settings;
    cv::Mat mapX, mapY;
    cv::Mat lut = cv::Mat(1, 256, CV_8U);
};

// cv::remap (bilinear) of the processed 128 x 1024 lines onto the same 480 x 480 geometry,
// then a gamma lookup table: what a user would otherwise pick.
void OpenCvRemap(benchmark::State& state) {
    const OpenCvCase c(state);
    const FrameSettings& settings = c.settings;
    const auto frame = Frame(1);
    cv::Mat work(128, 1024, CV_32F), out;
    const double offset = settings.params.GainOffset(), factor = settings.params.ContrastFactor();
    for (auto _ : state) {
        for (int l = 0; l < 128; ++l) {
            float* w = work.ptr<float>(l);
            for (int s = 0; s < 1024; ++s) {
                const double v = frame[l][s];
                w[s] =
                    v == 0
                        ? 0.0f
                        : static_cast<float>(std::clamp((v + settings.stc[s] + offset) * factor, 0.0, 255.0));
            }
        }
        cv::Mat out32, out8;
        cv::remap(work, out32, c.mapX, c.mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar());
        out32.convertTo(out8, CV_8U);
        cv::LUT(out8, c.lut, out);
        benchmark::DoNotOptimize(out.data);
    }
}
// The stronger peer, given what FastPath is given: the same frames copied in, the tone curve
// (STC, gain, contrast, 0 kept 0) by OpenCV's vector loops into 8 bits, cv::remap through
// fixed-point maps (cv::convertMaps, made once per geometry) and cv::LUT for the gamma.
void OpenCvFixedPoint(benchmark::State& state) {
    const OpenCvCase c(state);
    const FrameSettings& settings = c.settings;
    cv::Mat map1, map2;
    cv::convertMaps(c.mapX, c.mapY, map1, map2, CV_16SC2);
    cv::Mat stc(128, 1024, CV_32S);
    for (int l = 0; l < 128; ++l)
        std::copy(settings.stc.begin(), settings.stc.end(), stc.ptr<int>(l));
    const double offset = settings.params.GainOffset(), factor = settings.params.ContrastFactor();
    const auto frames = std::vector{Frame(1), Frame(2)};
    cv::Mat raw(128, 1024, CV_32S), sum, tone, empty, remapped, out;
    FrameTimes times;
    int n = 0;
    for (auto _ : state) {
        const FrameTimes::Watch watch;
        const auto& f = frames[n++ % 2];
        for (int l = 0; l < 128; ++l)
            std::copy(f[l].begin(), f[l].end(), raw.ptr<int>(l));
        cv::add(raw, stc, sum);
        sum.convertTo(tone, CV_8U, factor, offset * factor);
        cv::compare(raw, 0, empty, cv::CMP_EQ);
        tone.setTo(0, empty);
        cv::remap(tone, remapped, map1, map2, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar());
        cv::LUT(remapped, c.lut, out);
        benchmark::DoNotOptimize(out.data);
        times.Add(watch.Stop());
    }
    times.Report(state);
}
BENCHMARK(OpenCvFixedPoint)
    ->Arg(kConvex225)
    ->Arg(kConvex70)
    ->Arg(kLinear38)
    ->Arg(kLinear120)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(OpenCvRemap)
    ->Arg(kConvex225)
    ->Arg(kConvex70)
    ->Arg(kLinear38)
    ->Arg(kLinear120)
    ->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK(FastPath)
    ->Arg(kConvex225)
    ->Arg(kConvex70)
    ->Arg(kLinear38)
    ->Arg(kLinear120)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FastPathTuned)
    ->Arg(kConvex225)
    ->Arg(kConvex70)
    ->Arg(kLinear38)
    ->Arg(kLinear120)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FastPathDepthChange)
    ->Arg(kConvex225)
    ->Arg(kConvex70)
    ->Arg(kLinear38)
    ->Arg(kLinear120)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PlainReference)->Arg(kConvex225)->Arg(kConvex70)->Arg(kLinear38)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
