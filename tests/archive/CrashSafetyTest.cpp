// A crash or power loss at any write of a store costs at most the item being stored: a child
// process stores a still and a cine and is killed at its k-th write step, and the archive it
// leaves behind is checked.
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <random>

#include "archive/CineStore.h"
#include "archive/StillStore.h"
#include "archive/StoreItemList.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/StoreInfo.h"
#include "platform/BmpCodec.h"
#include "platform/StringUtil.h"
#include "tests/archive/RandomKill.h"
#include "tests/archive/StoreFixture.h"

namespace archivetest {
namespace {

// Write steps of one still and one cine: the still's record, patient file, sidecar and image;
// the cine's record and patient file, two files a frame, one flush and the rename. A short
// cine has every kind of step a full one has, without writing 120 MB and flushing them for
// each death.
constexpr int kCineFrames = 16;
constexpr int kStillSteps = 4;
constexpr int kAllSteps = kStillSteps + 2 + 2 * kCineFrames + 2;

class CrashSafetyTest : public StoreTest {
protected:
    // Runs the two stores in a child that kills itself at write step `killAt` (never when it
    // is beyond the last); returns the child's wait status.
    int StoreInChild(int killAt) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            int steps = 0;
            platform::SetWriteFaultHook([&](const std::string&) {
                if (++steps == killAt)
                    ::raise(SIGKILL);
                return false;
            });
            bool ok = archive::StoreStill(who, RenderedStill(9), ShownFrame(), exam);
            clock.Advance(1'000'000);
            FakeCine cine(kCineFrames, kCineFrames - 1);
            ok = archive::StoreCine(who, cine, exam, {}) && ok;
            ::_exit(ok && steps == kAllSteps ? 0 : 1);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    }

    // Every file below the patient folder with its bytes.
    std::map<std::string, std::string> Snapshot(const std::string& folder, const std::string& prefix = {}) {
        std::map<std::string, std::string> files;
        std::vector<platform::DirEntry> entries;
        platform::ListDirectory(folder, entries);
        for (const auto& e : entries) {
            const std::string path = platform::JoinPath(folder, e.name);
            if (e.isDirectory) {
                files.merge(Snapshot(path, prefix + e.name + "/"));
            } else {
                files[prefix + e.name] = testsupport::ReadAll(path);
            }
        }
        return files;
    }

    size_t TrashCount() {
        std::vector<platform::DirEntry> entries;
        platform::ListDirectory(TrashFiles(), entries);
        return entries.size();
    }

    void ExpectComplete(const archive::StoreItemRecord& item) {
        SCOPED_TRACE(item.imagePath);
        if (!item.isCine) {
            Image32 still;
            EXPECT_TRUE(platform::ReadBmpFile(item.imagePath, still));
            EXPECT_EQ(still, RenderedStill(9));
            EXPECT_FALSE(item.captureTime.empty());
            return;
        }
        for (int n = 1; n <= kCineFrames; ++n) {
            const std::string bmp = MakeCineFramePath(item.cineFolder, n, ".bmp");
            ASSERT_EQ(testsupport::ReadAll(bmp).size(), 231478u) << n;
            CBitmapInfo info;
            ASSERT_TRUE(info.LoadXml(MakeCineFramePath(item.cineFolder, n, ".info"))) << n;
        }
        Image8 last;
        EXPECT_TRUE(platform::ReadBmpFileGrey(MakeCineFramePath(item.cineFolder, kCineFrames, ".bmp"), last));
    }
};

TEST_F(CrashSafetyTest, ADeathAtAnyWriteCostsAtMostTheItemBeingStored) {
    const int killAts[] = {
        1, 2, 3, 4, 5, 6, 7, 8, 9, kAllSteps / 2 + 1, kAllSteps - 2, kAllSteps - 1, kAllSteps, kAllSteps + 1};
    int patient = 100;
    for (const int k : killAts) {
        SCOPED_TRACE(k);
        UsePatient(platform::Format("%04d", patient++));
        // An earlier item of the patient.
        ASSERT_TRUE(archive::StoreStill(who, RenderedStill(9), ShownFrame(), exam));
        NextSecond();
        const auto before = Snapshot(Folder());
        const uint64_t idBefore = LastId();

        const int status = StoreInChild(k);
        if (k <= kAllSteps) {
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        } else {
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "every step counted";
        }
        clock.Advance(2'000'000);

        // Earlier items and the patient file read back unchanged, or with a raised id.
        const auto after = Snapshot(Folder());
        for (const auto& [name, bytes] : before) {
            if (name == who.patientId + ".xml")
                continue;
            ASSERT_TRUE(after.count(name)) << name;
            EXPECT_EQ(after.at(name), bytes) << name;
        }
        EXPECT_GE(LastId(), idBefore);
        EXPECT_LE(LastId(), idBefore + 2);

        // The interrupted item is complete or not listed at all.
        const size_t trashBefore = TrashCount();
        archive::StoreItemList list;
        archive::FillRequest all;
        all.patientId = who.patientId;
        all.examList = false;
        list.Fill(all, exam);
        const int expected = 1 + (k > kStillSteps ? 1 : 0) + (k > kAllSteps ? 1 : 0);
        ASSERT_EQ(list.Count(), expected);
        for (const auto& item : list.Items())
            ExpectComplete(item);

        // The fill swept the leftovers into the trash.
        for (const auto& [name, bytes] : Snapshot(Folder())) {
            EXPECT_EQ(name.find(".part"), std::string::npos) << name;
            EXPECT_EQ(name.find(".tmp."), std::string::npos) << name;
        }
        // A death inside the cine leaves its .part folder; inside a record write at most a named
        // temporary, where the file system has no unnamed ones.
        EXPECT_LE(list.SweptLeftovers(), k <= kAllSteps ? 1 : 0);
        EXPECT_EQ(TrashCount(), trashBefore + static_cast<size_t>(list.SweptLeftovers()));
    }
}

// The ids of the store records in the patient folder.
std::vector<uint64_t> StoredIds(const std::string& folder) {
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    std::vector<uint64_t> ids;
    for (const auto& e : entries) {
        CStoreInfo record;
        if (!e.isDirectory && e.name.ends_with(".xml") && record.LoadXml(platform::JoinPath(folder, e.name)))
            ids.push_back(record.id);
    }
    return ids;
}

testing::AssertionResult NoIdTwice(std::vector<uint64_t> ids) {
    std::sort(ids.begin(), ids.end());
    const auto twice = std::adjacent_find(ids.begin(), ids.end());
    if (twice != ids.end())
        return testing::AssertionFailure() << "id " << *twice << " names two items of " << ids.size();
    return testing::AssertionSuccess();
}

// The next id follows the records on disk as well as the patient file: a patient file left
// behind by a kill or a failed write, or one that lost its last id, never brings an id back.
TEST_F(CrashSafetyTest, NoIdNamesTwoItems) {
    // The patient file not written after the store record.
    RecordWrites(std::string(kPatient) + ".xml");
    EXPECT_FALSE(archive::StoreStill(who, RenderedStill(1), ShownFrame(), exam));
    platform::SetWriteFaultHook(nullptr);
    NextSecond();
    EXPECT_TRUE(archive::StoreStill(who, RenderedStill(2), ShownFrame(), exam));
    NextSecond();
    EXPECT_TRUE(NoIdTwice(StoredIds(Folder())));

    // Killed between the store record and the patient file.
    const pid_t pid = ::fork();
    if (pid == 0) {
        platform::SetWriteFaultHook([](const std::string& path) {
            if (path.ends_with(std::string("/") + kPatient + ".xml"))
                ::raise(SIGKILL);
            return false;
        });
        archive::StoreStill(who, RenderedStill(4), ShownFrame(), exam);
        ::_exit(0);
    }
    int killed = 0;
    ASSERT_EQ(::waitpid(pid, &killed, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(killed)) << killed;
    NextSecond();
    EXPECT_TRUE(archive::StoreStill(who, RenderedStill(5), ShownFrame(), exam));
    NextSecond();
    EXPECT_TRUE(NoIdTwice(StoredIds(Folder())));

    // The patient file lost its last id.
    CUser user;
    ASSERT_TRUE(user.Load(kPatient));
    user.m_nLastStoreInfoId = 0;
    ASSERT_TRUE(user.Save());
    EXPECT_TRUE(archive::StoreStill(who, RenderedStill(3), ShownFrame(), exam));
    NextSecond();
    EXPECT_TRUE(archive::StoreCine(who, FakeCine(3, 2), exam, {}));
    NextSecond();
    EXPECT_TRUE(NoIdTwice(StoredIds(Folder())));

    // Kills at random moments of stills stored one after the other, after 0, 1 or 2 stores.
    std::mt19937 rng(5);
    for (int round = 0; round < 30; ++round) {
        clock.Advance(100'000'000);  // past every stamp of the round before
        uint32_t n = 0;
        const auto store = [&] {
            archive::StoreStill(who, RenderedStill(n++), ShownFrame(), exam);
            clock.Advance(1'000'000);
        };
        ASSERT_TRUE(KillDuringSteps(store, round % 3, 40000, rng)) << "round " << round;
    }
    const std::vector<uint64_t> ids = StoredIds(Folder());
    EXPECT_GT(ids.size(), 10u) << "the children stored before they were killed";
    EXPECT_TRUE(NoIdTwice(ids));
}

}  // namespace
}  // namespace archivetest
