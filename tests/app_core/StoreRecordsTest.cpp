// Every record a still and a cine store write, field by field, against the live state it was
// taken from: the store record against the patient, the probe and the program; the still's
// sidecar against the frame on screen; each cine frame's sidecar against its ring frame. The
// frames differ from each other in every value the processor stamps, so a field taken from
// the wrong frame or written into the wrong element shows.
#include <functional>

#include "ArchiveFixture.h"
#include "app/core/VersionInfo.h"
#include "common/AppFolders.h"
#include "common/BitmapInfo.h"
#include "common/StoreInfo.h"
#include "platform/StringUtil.h"
#include "probe/ProbeIdentityText.h"

using namespace coretest;
using namespace maindlg;

namespace {

struct FrameSettings {
    int gain;
    int contrast;
    double gamma;
};

// Gain and contrast never equal, and different from frame to frame.
constexpr FrameSettings kFrames[] = {{37, 81, 1.10}, {42, 90, 1.25}, {55, 64, 0.95}, {61, 120, 1.40}};

void ExpectSidecarIs(const FrameRecord& live, const std::string& path) {
    CBitmapInfo stored;
    ASSERT_TRUE(stored.LoadXml(path)) << path;
    struct Field {
        const char* name;
        std::function<double(const FrameRecord&)> live;
        std::function<double(const CBitmapInfo&)> stored;
    };
    const Field fields[] = {
        {"depth", [](const FrameRecord& r) { return r.depth; }, [](const CBitmapInfo& s) { return s.depth; }},
        {"focus", [](const FrameRecord& r) { return r.focus; }, [](const CBitmapInfo& s) { return s.focus; }},
        {"freq_mode", [](const FrameRecord& r) { return r.freq_mode; },
         [](const CBitmapInfo& s) { return s.freq_mode; }},
        {"gain", [](const FrameRecord& r) { return r.gain; }, [](const CBitmapInfo& s) { return s.gain; }},
        {"contrast", [](const FrameRecord& r) { return r.contrast; },
         [](const CBitmapInfo& s) { return s.contrast; }},
        {"gamma", [](const FrameRecord& r) { return r.gamma; }, [](const CBitmapInfo& s) { return s.gamma; }},
    };
    for (const Field& f : fields)
        EXPECT_DOUBLE_EQ(f.stored(stored), f.live(live)) << f.name << " in " << path;
    platform::SystemTime want = live.time;
    want.wDayOfWeek = stored.time.wDayOfWeek;  // not kept in the sidecar
    EXPECT_EQ(stored.time, want) << "datetime in " << path;
}

class StoreRecordsTest : public ArchiveCoreTest, public ::testing::WithParamInterface<bool> {
protected:
    // Live on the probe of the parameter, one frame per row of kFrames, then frozen.
    void Take() {
        Attach(GetParam());
        CreateWithArchive();
        Unfreeze();
        for (const FrameSettings& s : kFrames) {
            Proc().SetGain(s.gain);
            Proc().SetContrast(s.contrast);
            Proc().SetGamma(s.gamma);
            ASSERT_TRUE(Step(1));
        }
        Freeze();
        ASSERT_EQ(Frames(), 4);
        for (int i = 0; i < 4; ++i) {
            const auto r = Proc().GetFrameRecord(i);
            ASSERT_TRUE(r);
            ASSERT_EQ(r->gain, kFrames[i].gain) << i;  // the frames carry what they were made with
            ASSERT_EQ(r->contrast, kFrames[i].contrast) << i;
        }
    }
    // The store record of the item stored last, checked against the patient, probe and program.
    void ExpectStoreRecord(int storeType, uint64_t id) {
        const std::string name = archive.Exam().lastStoredName;
        const std::string stamp = name.substr(0, 14);
        CStoreInfo record;
        ASSERT_TRUE(record.LoadXml(CStoreInfo::GetUserFolder("TEST") + stamp + ".xml")) << stamp;
        IProbeData* probe = g_pProbe.load();
        ASSERT_NE(probe, nullptr);
        int probeType = 0;
        probe->GetProbeType(&probeType);
        EXPECT_EQ(probeType, GetParam() ? ProbeTypeLinear : ProbeTypeConvex);
        EXPECT_EQ(record.id, id);
        EXPECT_EQ(record.store_type, storeType);
        EXPECT_EQ(record.probe_type, probeType);
        EXPECT_EQ(record.user_id, "TEST");
        EXPECT_EQ(record.name, stamp);
        EXPECT_EQ(CStoreInfo::MakeNameFromStoreTime(record.store_time), stamp);
        EXPECT_EQ(record.hw_info,
                  FormatHardwareId(probe->GetHardwareId(), probe->GetVersionB(), probe->GetVersionA()));
        EXPECT_EQ(record.app_name, GetProductName());
        EXPECT_EQ(record.app_version, GetFileVersionString());
        CUser user;
        ASSERT_TRUE(user.Load("TEST"));
        EXPECT_EQ(user.m_nLastStoreInfoId, id);
    }
};

}  // namespace

TEST_P(StoreRecordsTest, EveryFieldOfAStillAndACineIsTheLiveStateItCameFrom) {
    Take();
    // The still of an older frame than the newest: its sidecar is that frame's.
    dlg->ExecCommand(kCmdCinePrev);
    dlg->ExecCommand(kCmdCinePrev);
    const int shown = Proc().Cine().GetCurrentIndex();
    ASSERT_EQ(shown, 1);
    dlg->ExecCommand(kCmdStoreStill);
    ASSERT_TRUE(archive.Exam().lastStoredName.ends_with(".bmp")) << archive.Exam().lastStoredName;
    ExpectStoreRecord(StoreTypeStill, 1);
    const std::string still = CStoreInfo::GetUserFolder("TEST") + archive.Exam().lastStoredName;
    ExpectSidecarIs(*Proc().GetFrameRecord(shown), still.substr(0, still.size() - 4) + ".info");

    NextSecond();
    dlg->ExecCommand(kCmdStoreCine);
    ASSERT_TRUE(archive.Exam().lastStoredName.ends_with(".cine")) << archive.Exam().lastStoredName;
    ExpectStoreRecord(StoreTypeCine, 2);
    const std::string folder = CStoreInfo::GetUserFolder("TEST") + archive.Exam().lastStoredName + "/";
    for (int i = 0; i < 4; ++i)
        ExpectSidecarIs(*Proc().GetFrameRecord(i), folder + platform::Format("%03d.info", i + 1));
}

INSTANTIATE_TEST_SUITE_P(Probes, StoreRecordsTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Linear" : "Convex"; });
