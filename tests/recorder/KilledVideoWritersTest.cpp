// Recordings and video exports killed (SIGKILL) at random moments in a child process: what
// they leave is patient video, private to the user, and the next recording or export in that
// folder removes every temporary, so only finished videos remain. TORVIK_KILLS sets the kills
// per kind (default 6).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "archive/export/ExportSettings.h"
#include "archive/export/VideoExport.h"
#include "archive/recorder/AviFrameSink.h"
#include "archive/recorder/RecordingSession.h"
#include "platform/FileSystem.h"
#include "tests/common/ArchiveTestFixture.h"
#include "tests/support/TestSupport.h"

namespace {

int Kills() {
    const char* text = std::getenv("TORVIK_KILLS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 6;
}

struct Left {
    int finished = 0;  // MP4 results
    int other = 0;     // anything else: temporaries, placeholders, AVIs
    bool allPrivate = true;
};

Left Look(const std::string& folder) {
    Left left;
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    for (const auto& e : entries) {
        struct stat st {};
        ::lstat(platform::JoinPath(folder, e.name).c_str(), &st);
        if ((st.st_mode & 0777) != 0600)
            left.allPrivate = false;
        if (e.name.ends_with(".mp4") && st.st_size > 0)
            ++left.finished;
        else
            ++left.other;
    }
    return left;
}

// Runs `work` in a child and kills it after a random time up to `maxMs`; the child exits
// by itself when the work ends first.
template <typename Work>
void RunAndKill(std::mt19937& random, int maxMs, Work work) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        ::_exit(0);
    }
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(0, maxMs)(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
}

std::vector<Image8> Cine() {
    std::vector<Image8> frames;
    for (int i = 0; i < 20; ++i)
        frames.emplace_back(480, 480, static_cast<uint8_t>(i * 10));
    return frames;
}

exportfile::VideoExportResult ExportInto(const std::string& folder, const std::string& name,
                                         const std::vector<Image8>& cine) {
    std::vector<int64_t> times;
    for (size_t i = 0; i < cine.size(); ++i)
        times.push_back(static_cast<int64_t>(i) * 100);
    const exportfile::VideoPaths paths =
        exportfile::MakeVideoPaths(folder + "/", "0001_20200820123456_", name, 2);
    return exportfile::RunVideoExport(
        paths, times, [&](int i) -> const Image8& { return cine[static_cast<size_t>(i)]; }, {}, 1'000'000);
}

bool Record(const std::string& folder, const std::string& name, int second, int frames) {
    recorder::RecordingSession session(recorder::AviSinkFactory(), [](const recorder::WriteFailure&) {});
    const recorder::SessionSetup setup{folder, "0001", name, false, recorder::kQualityLow};
    if (!session.Open(setup, MakeTime(2020, 8, 20, 12, 34, second % 60)).ok)
        return false;
    while (session.FrameClock() < frames)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !session.Stop(recorder::Mp4Transcoder()).resultPath.empty();
}

}  // namespace

TEST(KilledVideoWriters, TheNextRecordingRemovesWhatKilledRecordingsLeft) {
    testsupport::TempDir dir;
    std::mt19937 random(7);
    const int kills = Kills();
    int leaving = 0;
    for (int i = 0; i < kills; ++i) {
        // Each recording sweeps what the one killed before it left.
        RunAndKill(random, 700, [&] { Record(dir.path(), "k" + std::to_string(i), i, 4); });
        const Left left = Look(dir.path());
        leaving += left.other > 0;
        EXPECT_TRUE(left.allPrivate) << "patient video is 0600";
    }
    const Left killed = Look(dir.path());
    ASSERT_TRUE(Record(dir.path(), "next", 59, 2));
    const Left after = Look(dir.path());
    std::printf("recordings: %d kills, %d left files behind, %d files left after the next recording\n", kills,
                leaving, after.other);
    EXPECT_EQ(after.other, 0) << "only finished MP4s stay";
    EXPECT_EQ(after.finished, killed.finished + 1);
}

TEST(KilledVideoWriters, TheNextExportRemovesWhatKilledExportsLeft) {
    testsupport::TempDir dir;
    std::mt19937 random(11);
    const std::vector<Image8> cine = Cine();
    const int kills = Kills();
    int leaving = 0;
    for (int i = 0; i < kills; ++i) {
        RunAndKill(random, 600, [&] { ExportInto(dir.path(), "k" + std::to_string(i), cine); });
        const Left left = Look(dir.path());
        leaving += left.other > 0;
        EXPECT_TRUE(left.allPrivate) << "patient video is 0600";
    }
    const Left killed = Look(dir.path());
    const exportfile::VideoExportResult next = ExportInto(dir.path(), "next", cine);
    ASSERT_EQ(next.status, exportfile::VideoExportStatus::Saved) << next.outcome.message;
    const Left after = Look(dir.path());
    std::printf("exports: %d kills, %d left files behind, %d files left after the next export\n", kills,
                leaving, after.other);
    EXPECT_EQ(after.other, 0) << "only finished MP4s stay";
    EXPECT_EQ(after.finished, killed.finished + 1);
}
