// The archive's speed targets: the cine store from the frozen cine to the renamed folder on
// the local disk (512 frames, three depth changes, the final flush included; target under
// 2 s), its compose and write cost per frame, the list of a patient with 1,000 items (700
// stills, 300 cines; under 1 s, no picture decoded) and the load of a 512-frame cine for
// review (under 1 s; from a cold cache under 0.5 s). The data root is a temporary folder on
// the local disk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <memory>

#include "archive/CineFolderLoader.h"
#include "archive/CineStore.h"
#include "archive/StillStore.h"
#include "archive/StoreItemList.h"
#include "archive/ThumbnailCache.h"
#include "common/AppFolders.h"
#include "common/ArchiveNames.h"
#include "common/SupportUtil.h"
#include "common/User.h"
#include "imaging/CineRing.h"
#include "platform/BmpCodec.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#ifdef TORVIK_HAVE_APP
#include "app/core/CstmPictureCtrl.h"
#endif

namespace {

// A private data root and a wall clock that moves one second per store.
class BenchArchive : public platform::IClock {
public:
    BenchArchive() {
        std::string tmpl = "/tmp/torvik-bench-XXXXXX";
        root_ = ::mkdtemp(tmpl.data());
        ::setenv("ProgramData", root_.c_str(), 1);
        ResetAppFoldersForTesting();
        platform::SetClock(this);
        CUser user;
        user.m_strId = "0001";
        user.m_strName = "Bench";
        user.Save();
    }
    ~BenchArchive() override {
        platform::SetClock(nullptr);
        DeleteFolderRecursive(root_);
    }
    int64_t UtcMicros() override { return utc_; }
    int64_t MonotonicMicros() override { return utc_; }
    void NextSecond() { utc_ += 1'000'000; }
    std::string Folder() const { return GetDataFolder() + "0001"; }

private:
    std::string root_;
    int64_t utc_ = 1'700'000'000'000'000;
};

// Speckle-like frames and records 50 ms apart; the depth changes three times.
class BenchCine : public archive::ICineSource {
public:
    BenchCine() {
        uint32_t seed = 12345;
        frames_.resize(kCineFrames);
        for (Image8& f : frames_) {
            f.Resize(480, 480);
            for (size_t i = 0; i < f.size(); ++i) {
                seed = seed * 1664525u + 1013904223u;
                f.data()[i] = static_cast<uint8_t>(seed >> 24);
            }
        }
    }
    int FrameCount() const override { return kCineFrames; }
    int NewestIndex() const override { return 200; }
    bool GetFrame(int slot, Image8& out) const override {
        out = frames_[static_cast<size_t>(slot)];
        return true;
    }
    std::optional<FrameRecord> GetRecord(int slot) const override {
        FrameRecord r;
        const int ms = slot * 50;
        r.time = {2023,
                  11,
                  2,
                  14,
                  10,
                  static_cast<uint16_t>(ms / 60000),
                  static_cast<uint16_t>(ms / 1000 % 60),
                  static_cast<uint16_t>(ms % 1000)};
        r.depth = slot < 128 ? 60 : slot < 256 ? 100 : slot < 384 ? 150 : 225;
        r.focus = 40;
        r.gain = 50;
        r.contrast = 50;
        r.gamma = 1.0;
        return r;
    }

private:
    std::vector<Image8> frames_;
};

archive::OverlayPainter MakePainter() {
#ifdef TORVIK_HAVE_APP
    auto view = std::make_shared<CCstmPictureCtrl>();
    view->SetBodyPicture(1, Image32(302, 271, GreyPixel(40)));
    view->SetProbeMarker(Image32(64, 64, MakePixel(0, 200, 255)));
    return [view](Image32& layer, int depth, int focus) {
        view->DrawDepthScale(layer, focus, 470.0 / depth);
        view->DrawBodyMark(layer);
    };
#else
    return [](Image32& layer, int depth, int) {
        for (int y = 10; y < 470; y += 47)
            for (int x = 5; x < 11 + depth % 3; ++x)
                layer.At(x, y) = 0xFFFFFF;
    };
#endif
}

void BM_CineStore512(benchmark::State& state) {
    BenchArchive archiveRoot;
    const BenchCine cine;
    archive::StoreIdentity who{"0001", 1, "bench", "1.4.2.0"};
    archive::CineStoreHooks hooks;
    hooks.drawOverlay = MakePainter();
    for (auto _ : state) {
        archive::ExamState exam;
        archive::CineStoreResult result;
        if (!archive::StoreCine(who, cine, exam, hooks, &result)) {
            state.SkipWithError("the cine store failed");
            break;
        }
        state.PauseTiming();
        DeleteFolderRecursive(result.folder);
        archiveRoot.NextSecond();
        state.ResumeTiming();
    }
    // Seconds per stored frame, everything included.
    state.counters["per_frame"] =
        benchmark::Counter(512, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CineStore512)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// One frame's compose (copy, overlay) and encode, without the disk.
void BM_ComposeFrame(benchmark::State& state) {
    const BenchCine cine;
    archive::OverlayLayer layer;
    layer.Build(MakePainter(), 480, 480, 100, 40);
    Image8 frame;
    for (auto _ : state) {
        cine.GetFrame(7, frame);
        layer.Apply(frame);
        benchmark::DoNotOptimize(platform::EncodeBmpGrey8(frame));
    }
    state.counters["overlay_pixels"] = static_cast<double>(layer.TouchedPixels());
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMicrosecond);

// One frame's two files into a folder, unsynced.
void BM_WriteFrameFiles(benchmark::State& state) {
    BenchArchive archiveRoot;
    const std::string folder = archiveRoot.Folder() + "/frames";
    platform::CreateDirectories(folder);
    const std::string bmp = platform::EncodeBmpGrey8(Image8(480, 480, 7));
    const std::string info(420, 'x');
    int n = 0;
    for (auto _ : state) {
        ++n;
        platform::CreateFileUnsynced(platform::Format("%s/%06d.bmp", folder.c_str(), n), bmp);
        platform::CreateFileUnsynced(platform::Format("%s/%06d.info", folder.c_str(), n), info);
    }
}
BENCHMARK(BM_WriteFrameFiles)->Unit(benchmark::kMicrosecond)->Iterations(512);

// Plants 1,000 items (700 stills, 300 cines) in the patient's folder, copies of one stored
// cine's record, sidecar and frame.
void Plant1000Items(BenchArchive& archiveRoot) {
    const BenchCine cine;
    archive::StoreIdentity who{"0001", 1, "bench", "1.4.2.0"};
    // One stored still and one stored cine give the bytes every planted item copies.
    const std::string folder = archiveRoot.Folder();
    {
        archive::ExamState exam;
        archive::CineStoreResult result;
        archive::StoreCine(who, cine, exam, {}, &result);
    }
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    std::string cineRecord, sidecar, frame;
    for (const auto& e : entries) {
        if (e.name.ends_with(".xml") && e.name != "0001.xml")
            platform::ReadFile(platform::JoinPath(folder, e.name), cineRecord);
        if (e.name.ends_with(".cine")) {
            platform::ReadFile(platform::JoinPath(folder, e.name + "/001.info"), sidecar);
            platform::ReadFile(platform::JoinPath(folder, e.name + "/001.bmp"), frame);
        }
        DeleteFolderRecursive(platform::JoinPath(folder, e.name));
        ::unlink(platform::JoinPath(folder, e.name).c_str());
    }
    CUser user;
    user.m_strId = "0001";
    user.m_strName = "Bench";
    user.Save();
    std::string stillRecord = cineRecord;
    const size_t type = stillRecord.find("<store_type>2<");
    if (type != std::string::npos)
        stillRecord.replace(type, 14, "<store_type>1<");
    for (int i = 0; i < 1000; ++i) {
        const std::string stamp = platform::Format("2022010100%04d", i);
        const bool isCine = i % 10 >= 7;
        platform::CreateFileUnsynced(folder + "/" + stamp + ".xml", isCine ? cineRecord : stillRecord);
        const std::string base = isCine ? folder + "/" + stamp + ".cine/001" : folder + "/" + stamp;
        if (isCine)
            platform::CreateDirectories(folder + "/" + stamp + ".cine");
        platform::CreateFileUnsynced(base + ".bmp", frame);
        platform::CreateFileUnsynced(base + ".info", sidecar);
    }
}

void BM_Fill1000Items(benchmark::State& state) {
    BenchArchive archiveRoot;
    Plant1000Items(archiveRoot);
    const uint64_t decodes = platform::BmpDecodeCount();
    archive::ExamState exam;
    int listed = 0;
    for (auto _ : state) {
        archive::StoreItemList list;
        archive::FillRequest all;
        all.patientId = "0001";
        all.examList = false;
        list.Fill(all, exam);
        listed = list.Count();
    }
    state.counters["items"] = listed;
    state.counters["decodes"] = static_cast<double>(platform::BmpDecodeCount() - decodes);
}
BENCHMARK(BM_Fill1000Items)->Unit(benchmark::kMillisecond);

// A still stored for a patient with 1,000 items: the next id looks at every store record on
// disk, from the warm cache the list left (the picture and the records written, synced).
void BM_StoreStillBeside1000Items(benchmark::State& state) {
    BenchArchive archiveRoot;
    Plant1000Items(archiveRoot);
    archive::StoreIdentity who{"0001", 1, "bench", "1.4.2.0"};
    const Image32 rendered(480, 480, GreyPixel(90));
    FrameRecord shown;
    shown.depth = 100;
    for (auto _ : state) {
        state.PauseTiming();
        archiveRoot.NextSecond();
        archive::ExamState exam;
        state.ResumeTiming();
        if (!archive::StoreStill(who, rendered, shown, exam)) {
            state.SkipWithError("the still store failed");
            break;
        }
    }
}
BENCHMARK(BM_StoreStillBeside1000Items)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// A 512-frame cine stored in the bench's archive: its folder.
std::string StoreBenchCine() {
    const BenchCine cine;
    archive::StoreIdentity who{"0001", 1, "bench", "1.4.2.0"};
    archive::ExamState exam;
    archive::CineStoreResult stored;
    archive::StoreCine(who, cine, exam, {}, &stored);
    return stored.folder;
}

// Loads a stored cine into the review ring, as the review does.
int LoadForReview(const std::string& folder, CCineRing& review) {
    archive::CineLoadSink sink;
    sink.frame = [&](int i, const Image8& f) { review.StoreFrame(i, f); };
    sink.record = [&](int i, const FrameRecord& r) { review.SetFrameRecord(i, r); };
    return archive::LoadCineFolder(folder, sink).count;
}

void BM_LoadCine512(benchmark::State& state) {
    BenchArchive archiveRoot;
    const std::string folder = StoreBenchCine();
    CCineRing review;
    for (auto _ : state) {
        review.ClearFrames();
        benchmark::DoNotOptimize(LoadForReview(folder, review));
    }
}
BENCHMARK(BM_LoadCine512)->Unit(benchmark::kMillisecond);

// Drops the page cache of every file in a folder, as after a restart: clean pages go, so
// the next read comes from the disk.
void EvictFolder(const std::string& folder) {
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    for (const auto& e : entries) {
        const int fd = ::open(platform::JoinPath(folder, e.name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// The same load from a cold cache: a cine stored in an earlier session (target under 0.5 s).
void BM_LoadCine512Cold(benchmark::State& state) {
    BenchArchive archiveRoot;
    const std::string folder = StoreBenchCine();
    CCineRing review;
    for (auto _ : state) {
        state.PauseTiming();
        EvictFolder(folder);
        review.ClearFrames();
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadForReview(folder, review));
    }
}
BENCHMARK(BM_LoadCine512Cold)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// One thumbnail of a stored frame composed from its file (target under 3 ms), and the
// memory the cache holds after the rows of 1,000 items were drawn (bounded near 32 MB).
void BM_ComposeThumbnail(benchmark::State& state) {
    BenchArchive archiveRoot;
    const std::string path = archiveRoot.Folder() + "/frame.bmp";
    platform::CreateFileUnsynced(path, platform::EncodeBmp32(Image32(480, 480, GreyPixel(90))));
    const Image32 mark(38, 38, MakePixel(255, 0, 0));
    archive::StoreItemRecord item;
    item.imagePath = path;
    item.isCine = 1;
    int n = 0;
    for (auto _ : state) {
        archive::ThumbnailCache cache;
        cache.SetCineMark(mark);
        item.number = ++n;
        benchmark::DoNotOptimize(cache.Get(item, "BPD"));
    }
}
BENCHMARK(BM_ComposeThumbnail)->Unit(benchmark::kMillisecond);

void BM_ThumbnailCacheBound(benchmark::State& state) {
    BenchArchive archiveRoot;
    const std::string path = archiveRoot.Folder() + "/frame.bmp";
    platform::CreateFileUnsynced(path, platform::EncodeBmpGrey8(Image8(480, 480, 90)));
    archive::StoreItemRecord item;
    item.imagePath = path;
    size_t bytes = 0;
    for (auto _ : state) {
        archive::ThumbnailCache cache;
        for (int i = 1; i <= 1000; ++i) {
            item.number = i;
            cache.Get(item, "");
        }
        bytes = cache.Bytes();
    }
    state.counters["cache_MB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_ThumbnailCacheBound)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
