// Thirty seconds of live imaging through the headless main window: the simulated convex
// probe paced in real time (25 frames/s), the image thread, and a UI thread that runs the
// frame notices and the 21 ms tick as the frame's event loop would. Reports the process's
// share of one core, each thread's share, the frames drawn, and resident memory at the start
// and the end of the run (it must not grow), with the main view at its start-up size (480 px)
// and maximised (744 px). Run alone: --benchmark_filter=LiveRun.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "CoreFakes.h"
#include "app/core/KALVEXDlg.h"
#include "common/SettingsStore.h"
#include "platform/KeepAwake.h"
#include "platform/MessageBox.h"
#include "platform/UiThread.h"
#include "platform/usbdriver/UsbDriver.h"
#include "probe/UsbProbe.h"
#include "sim/SimBridge.h"

namespace {

using namespace maindlg;

// CPU ticks (user + system) of one /proc stat file.
long long CpuTicks(const std::string& statPath) {
    std::ifstream in(statPath);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stoll(field);
        if (i == 15)
            stime = std::stoll(field);
    }
    return utime + stime;
}

std::map<int, long long> ThreadTicks() {
    std::map<int, long long> ticks;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            const int tid = std::atoi(e->d_name);
            ticks[tid] = CpuTicks(std::string("/proc/self/task/") + e->d_name + "/stat");
        }
        closedir(dir);
    }
    return ticks;
}

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

class QuietInhibitor : public platform::IPowerInhibitor {
public:
    void Inhibit(const std::string&) override {}
    void Release() override {}
};

// The benchmark's settings and logs go to a private folder, never the user's.
void UsePrivateDataFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/torvik-bench-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    setenv("ProgramData", folder.c_str(), 1);
}

// The views as the window shows them: each repaint renders the view over its client, as the
// view window's paint does (at the start-up size that is the back buffer itself).
class PaintingViews : public coretest::FakeViews {
public:
    void RepaintView(int code) override {
        coretest::FakeViews::RepaintView(code);
        if (dlg && side != 480) {
            const Image32& shown = dlg->View(code).ClientImage(side, side, scratch[code]);
            benchmark::DoNotOptimize(shown.data());
        }
    }
    CKALVEXDlg* dlg = nullptr;
    int side = 480;
    std::map<int, Image32> scratch;  // one per view window, kept between paints
};

void BM_LiveRun30s(benchmark::State& state) {
    UsePrivateDataFolder();
    platform::QueuedUiDispatcher ui;
    platform::SetUiDispatcher(&ui);
    QuietInhibitor inhibitor;
    platform::SetPowerInhibitor(&inhibitor);
    platform::SetMessageBoxHandler(
        [](const platform::MessageBoxRequest&) { return platform::MsgAnswer::Ok; });
    usbdriver::sim::SimOptions options;
    options.pacing = usbdriver::sim::SimPacing::RealTime;
    usbdriver::AttachDevice(std::make_shared<usbdriver::sim::SimBridge>(options));

    coretest::FakeWindowSide side;
    PaintingViews views;
    MainDlgPorts ports = side.Ports();
    ports.views = &views;
    auto dlg = std::make_unique<CKALVEXDlg>(ports);
    dlg->m_strPatientId = "BENCH";
    dlg->OnInitDialog();
    // The client side of the main view: 480 at start-up, 744 maximised.
    views.side = static_cast<int>(state.range(1));
    for (CCstmPictureCtrl* v : {&dlg->m_viewMain, &dlg->m_viewLeft, &dlg->m_viewRight})
        v->m_dViewScale = 480.0 / views.side;
    views.dlg = dlg.get();
    dlg->ExecCommand(kCmdFreeze);  // live

    const double seconds = static_cast<double>(state.range(0));
    const long hz = sysconf(_SC_CLK_TCK);
    for (auto _ : state) {
        // Warm up until the cine holds its 512 frames (they are made on first use), then measure.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (dlg->m_pLiveProc->Cine().GetCount() < 520 && std::chrono::steady_clock::now() < giveUp) {
            ui.RunPending();
            dlg->OnTickTimer();
            std::this_thread::sleep_for(std::chrono::milliseconds(21));
        }
        const long rssStart = ResidentKiB();
        const auto threadsStart = ThreadTicks();
        const long long processStart = CpuTicks("/proc/self/stat");
        const int64_t countStart = views.repaints[kViewMain];
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::duration<double>(seconds);
        auto nextTick = start;
        while (std::chrono::steady_clock::now() < end) {
            ui.RunPending();
            if (std::chrono::steady_clock::now() >= nextTick) {
                dlg->OnTickTimer();
                nextTick += std::chrono::milliseconds(21);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long long processTicks = CpuTicks("/proc/self/stat") - processStart;
        state.counters["process_cpu_%"] = 100.0 * processTicks / hz / wall;
        const auto threadsEnd = ThreadTicks();
        std::vector<double> shares;
        for (const auto& [tid, ticks] : threadsEnd) {
            const auto it = threadsStart.find(tid);
            const double share = 100.0 * (ticks - (it == threadsStart.end() ? 0 : it->second)) / hz / wall;
            if (tid == getpid())
                state.counters["ui_thread_cpu_%"] = share;
            else
                shares.push_back(share);
        }
        std::sort(shares.rbegin(), shares.rend());
        for (size_t i = 0; i < shares.size() && i < 8; ++i)
            state.counters["worker" + std::to_string(i) + "_cpu_%"] = shares[i];
        state.counters["frames_per_s"] = (views.repaints[kViewMain] - countStart) / wall;
        state.counters["rss_start_MiB"] = rssStart / 1024.0;
        state.counters["rss_end_MiB"] = ResidentKiB() / 1024.0;
    }
    dlg->ExecCommand(kCmdFreeze);
    views.dlg = nullptr;
    dlg->OnClose();
    dlg.reset();
    UsbProbeClose();
    usbdriver::DetachAllDevices();
    platform::SetMessageBoxHandler({});
    platform::SetPowerInhibitor(nullptr);
    platform::SetUiDispatcher(nullptr);
    ResetSettingsForTesting();
}
BENCHMARK(BM_LiveRun30s)
    ->Args({30, 480})
    ->Args({30, 744})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
