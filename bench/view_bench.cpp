// What one paint of the image view costs: the back buffer stretched over the client (start-up
// size and maximised), with the magnifier, and the overlays drawn into the buffer per frame.
#include <benchmark/benchmark.h>

#include "app/core/CstmPictureCtrl.h"

namespace {

CCstmPictureCtrl MakeView() {
    CCstmPictureCtrl view;
    view.AttachBackBuffer(480, 480);
    Image32& b = view.BackBuffer();
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 480; ++x)
            b.At(x, y) = GreyPixel(static_cast<uint8_t>((x * 7 + y * 13) & 0xFF));
    }
    return view;
}

void BM_RenderClient(benchmark::State& state) {
    CCstmPictureCtrl view = MakeView();
    const int side = static_cast<int>(state.range(0));
    view.m_dViewScale = 484.0 / (side + 4.0);
    if (state.range(1)) {
        view.m_dZoom = 2.0;
        view.m_nMagnifierX = 100;
        view.m_nMagnifierY = 100;
    }
    Image32 scratch;  // as the view window keeps it between paints
    for (auto _ : state)
        benchmark::DoNotOptimize(view.ClientImage(side, side, scratch).data());
}
BENCHMARK(BM_RenderClient)
    ->Args({480, 0})
    ->Args({480, 1})
    ->Args({744, 0})
    ->Args({744, 1})
    ->Args({941, 0})
    ->Unit(benchmark::kMillisecond);

void BM_OverlaysPerFrame(benchmark::State& state) {
    CCstmPictureCtrl view = MakeView();
    view.m_aptDistance[0] = {100, 100};
    view.m_aptDistance[1] = {300, 260};
    view.m_anDistanceFlag[0] = view.m_anDistanceFlag[1] = 1;
    view.m_nDistanceCount = 2;
    view.m_aEllipse[0].SetPoint({150, 200}, 0, 0);
    view.m_aEllipse[0].SetPoint({260, 220}, 1, 1);
    view.m_aEllipse[0].state = EllipseStateSelected;
    view.SetBodyPicture(1, Image32(302, 271, GreyPixel(40)));
    view.SetProbeMarker(Image32(64, 64, MakePixel(0, 200, 255)));
    for (auto _ : state) {
        view.DrawDepthScale(view.BackBuffer(), 40, 470.0 / 120);
        view.DrawDistanceMarks(view.BackBuffer());
        view.DrawEllipses(view.BackBuffer(), 0);
        view.DrawBodyMark(view.BackBuffer());
    }
}
BENCHMARK(BM_OverlaysPerFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
