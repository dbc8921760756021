#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "archive/export/ExportSettings.h"
#include "archive/export/Mp4Transcode.h"
#include "archive/export/VideoCompressors.h"
#include "archive/export/VideoExport.h"
#include "archive/export/VideoFileWriter.h"
#include "archive/export/VideoLeftovers.h"
#include "archive/export/VideoResampler.h"
#include "platform/FileSystem.h"
#include "tests/export/DecodeBack.h"
#include "tests/support/TestSupport.h"

using namespace exportfile;
using exporttest::DecodeVideo;
using exporttest::MeanGrey;

namespace {

constexpr uint8_t kTop = 40;
constexpr uint8_t kBottom = 200;

// A cine whose frames are dark above and bright below, with a moving bar (and noise when
// asked) so an encoder has something to spend its bits on.
std::vector<Image8> MakeCine(int count, bool noise = false) {
    std::mt19937 random(7);
    std::vector<Image8> cine;
    for (int i = 0; i < count; ++i) {
        Image8 img(480, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 480; ++x) {
                int v = y < 240 ? kTop : kBottom;
                if (noise)
                    v = std::clamp(v + static_cast<int>(random() % 61) - 30, 0, 255);
                img.At(x, y) = static_cast<uint8_t>(v);
            }
        for (int y = 200; y < 280; ++y)
            img.At((i * 16) % 480, y) = 128;
        cine.push_back(std::move(img));
    }
    return cine;
}

std::vector<int64_t> TimesEvery(int count, int64_t ms) {
    std::vector<int64_t> t;
    for (int i = 0; i < count; ++i)
        t.push_back(i * ms);
    return t;
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<platform::DirEntry> entries;
    platform::ListDirectory(folder, entries);
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    return names;
}

VideoExportResult Export(const VideoPaths& paths, const std::vector<Image8>& cine, int64_t stepMs,
                         unsigned bitRate = 1'000'000, const VideoCodecChoice& codec = {},
                         const VideoExportCallbacks& callbacks = {}) {
    return RunVideoExport(
        paths, TimesEvery(static_cast<int>(cine.size()), stepMs),
        [&](int i) -> const Image8& { return cine[static_cast<size_t>(i)]; }, codec, bitRate, callbacks);
}

struct FaultGuard {
    ~FaultGuard() { platform::SetWriteFaultHook({}); }
};

}  // namespace

TEST(VideoExport, AviIsUncompressedBottomUpBgrAtTwelvePerSecond) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(5);
    VideoFileWriter writer;
    ASSERT_EQ(writer.Open(dir / "a.avi", 5), 0);
    for (const Image8& f : cine)
        ASSERT_EQ(writer.WriteGreyFrame(f), 0);
    ASSERT_EQ(writer.Finish(), 0);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.avi"});

    const auto v = DecodeVideo(dir / "a.avi", true);
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.videoStreams, 1);
    EXPECT_EQ(v.otherStreams, 0);
    EXPECT_EQ(v.codec, "rawvideo");
    EXPECT_EQ(v.pixelFormat, "bgr24");
    EXPECT_EQ(v.width, 480);
    EXPECT_EQ(v.height, 480);
    EXPECT_EQ(v.bitsPerCodedSample, 24);
    EXPECT_EQ(v.timeBaseNum, 1);
    EXPECT_EQ(v.timeBaseDen, 12);
    EXPECT_EQ(v.title, "Video #1");
    EXPECT_EQ(v.frames, 5);
    EXPECT_TRUE(v.allKeyFrames);
    ASSERT_EQ(v.greyFrames.size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(v.greyFrames[i], cine[i]) << i;  // exact, and not upside down
}

TEST(VideoExport, Mp4IsBaselineH264AtTheRecordedPace) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(25);  // 100 ms apart: 2.4 s
    std::vector<int> percents;
    bool encoding = false;
    VideoExportCallbacks callbacks;
    callbacks.encodingStarts = [&] { encoding = true; };
    callbacks.encodeProgress = [&](int p) { percents.push_back(p); };
    const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "0001_20200820123456_", "", kQualityLow);
    const VideoExportResult r = Export(paths, cine, 100, VideoBitRateFor(kQualityLow), {}, callbacks);
    ASSERT_EQ(r.status, VideoExportStatus::Saved) << r.outcome.message;
    EXPECT_EQ(r.outcome.message, "saved\n\n" + paths.result);
    EXPECT_TRUE(encoding);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"0001_20200820123456_.mp4"});  // the AVI is gone
    for (int p : percents)
        EXPECT_TRUE(p >= 0 && p <= 100);

    const size_t expectedFrames = ResampleFrames(TimesEvery(25, 100)).size();
    const auto v = DecodeVideo(paths.result, true);
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.codec, "h264");
    EXPECT_EQ(v.profile & 0xFF, 66);  // Baseline (x264 flags it constrained)
    EXPECT_EQ(v.videoStreams, 1);
    EXPECT_EQ(v.otherStreams, 0);  // no audio
    EXPECT_EQ(v.width, 480);
    EXPECT_EQ(v.height, 480);
    EXPECT_EQ(v.frames, static_cast<int64_t>(expectedFrames));
    EXPECT_NEAR(v.durationSeconds, expectedFrames / 12.0, 0.1);
    ASSERT_FALSE(v.greyFrames.empty());
    EXPECT_NEAR(MeanGrey(v.greyFrames[0], 10, 190), kTop, 6);
    EXPECT_NEAR(MeanGrey(v.greyFrames[0], 290, 470), kBottom, 6);
}

TEST(VideoExport, HigherQualityMakesTheLargerFile) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(13, true);
    int64_t size[2] = {};
    for (int i = 0; i < 2; ++i) {
        const int quality = i == 0 ? kQualityHigh : kQualityLow;
        const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "q", std::to_string(quality), quality);
        ASSERT_EQ(Export(paths, cine, 83, VideoBitRateFor(quality)).status, VideoExportStatus::Saved);
        size[i] = static_cast<int64_t>(testsupport::ReadAll(paths.result).size());
    }
    EXPECT_GT(size[0], size[1] * 2);
}

TEST(VideoExport, ChosenCompressorKeepsOnlyTheAvi) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(10);
    const size_t expected = ResampleFrames(TimesEvery(10, 83)).size();
    // What a scripted chooser picks for each compressor on offer.
    const std::vector<VideoCompressor> offered = AviCompressors();
    std::vector<std::string> names;
    for (const VideoCompressor& c : offered)
        names.push_back(c.encoder);
    EXPECT_EQ(names, (std::vector<std::string>{"rawvideo", "mjpeg", "mpeg4", "ffv1", "libx264"}));
    for (const VideoCompressor& offer : offered) {
        VideoCodecChoice codec{offer.encoder, 12, offer.takesQuality ? 8500 : -1,
                               offer.takesDataRate ? 100'000 : 0};
        const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "sel_", codec.encoder, kQualitySelect);
        const VideoExportResult r = Export(paths, cine, 83, 0, codec);
        ASSERT_EQ(r.status, VideoExportStatus::Saved) << codec.encoder << ": " << r.outcome.message;
        EXPECT_EQ(r.path, paths.avi);
        const auto v = DecodeVideo(paths.avi, true);
        EXPECT_EQ(v.codec, codec.encoder == "libx264" ? "h264" : codec.encoder);
        EXPECT_EQ(v.frames, static_cast<int64_t>(expected)) << codec.encoder;
        ASSERT_FALSE(v.greyFrames.empty());
        EXPECT_NEAR(MeanGrey(v.greyFrames[0], 10, 190), kTop, 8) << codec.encoder;
        EXPECT_NEAR(MeanGrey(v.greyFrames[0], 290, 470), kBottom, 8) << codec.encoder;
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"sel_ffv1.avi", "sel_libx264.avi", "sel_mjpeg.avi",
                                                           "sel_mpeg4.avi", "sel_rawvideo.avi"}));
}

TEST(VideoExport, CancelKeepsAPlayablePartialAvi) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(25);
    VideoExportCallbacks callbacks;
    callbacks.aviFrame = [](int64_t k, int64_t) { return k < 4; };
    bool encoding = false;
    callbacks.encodingStarts = [&] { encoding = true; };
    const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "p_", "", kQualityMiddle);
    const VideoExportResult r = Export(paths, cine, 100, 5'000'000, {}, callbacks);
    EXPECT_EQ(r.status, VideoExportStatus::Cancelled);
    EXPECT_EQ(r.outcome.message, "error or saved\n\n " + paths.avi);
    EXPECT_FALSE(encoding);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"p__temp.avi"});
    const auto v = DecodeVideo(paths.avi);
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.frames, 4);
    struct stat st {};
    ASSERT_EQ(::stat(paths.avi.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "patient video";

    // Exporting the same name again is not blocked by the partial AVI: a second cancel
    // replaces it, and a finished export replaces it with the MP4.
    callbacks.aviFrame = [](int64_t k, int64_t) { return k < 2; };
    EXPECT_EQ(Export(paths, cine, 100, 5'000'000, {}, callbacks).status, VideoExportStatus::Cancelled);
    EXPECT_EQ(DecodeVideo(paths.avi).frames, 2);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"p__temp.avi"});
    const VideoExportResult done = Export(paths, cine, 100, 5'000'000);
    ASSERT_EQ(done.status, VideoExportStatus::Saved) << done.outcome.message;
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"p_.mp4"});
}

// What killed exports and recordings leave: the writer's temporaries and the empty name a
// recording reserved go, at the next export too; a user's files, a kept recording and what a
// running export holds stay.
TEST(VideoExport, LeftoversOfKilledExportsAreSweptAndNothingElse) {
    testsupport::TempDir dir;
    const std::vector<std::string> debris = {
        "0001_20200820123456_x_temp.avi.tmp.Ab12Cd",   // an export killed writing its AVI
        "0001_20200820123456_x.mp4.tmp.Zz99aa",        // ... or transcoding
        "0001_20200820_123456_r_temp.avi.tmp.abcdef",  // a recording killed while recording
        "0001_20200820_123456_r_temp.avi",             // ... and the name it reserved, empty
        "0001_20200820_123457_s.avi",                  // a "SEL" recording's reserved name
    };
    const std::vector<std::string> kept = {
        "holiday.avi.tmp.abcdef",                // no name of this program
        "0001_20200820123456_x.avi.tmp.abc",     // not the writer's suffix
        "0001_20200820123456_x.jpg.tmp.abcdef",  // not a video
        "0001_20200820_123458_k_temp.avi",       // a kept recording (its transcode failed)
        "0001_20200820123456_y.mp4",             // an export
        "0001_20200820123456_z_temp.avi",        // a cancelled export's partial AVI
        "0001_20200820123456_w.mp4.tmp.Claim1",  // an export under way
        "notes.txt",
    };
    const auto make = [&] {
        for (const std::string& name : debris)
            testsupport::WriteAll(dir / name, name.ends_with(".avi") ? "" : "frames");
        for (const std::string& name : kept)
            testsupport::WriteAll(dir / name, "frames");
    };
    make();
    ASSERT_EQ(::mkdir((dir / "0001_20200820123456_d.mp4.tmp.Dir123").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("notes.txt", (dir / "0001_20200820123456_l.mp4.tmp.Link12").c_str()), 0);
    std::vector<std::string> stays = kept;
    stays.push_back("0001_20200820123456_d.mp4.tmp.Dir123");
    stays.push_back("0001_20200820123456_l.mp4.tmp.Link12");
    std::sort(stays.begin(), stays.end());

    ClaimVideoFile(dir / "0001_20200820123456_w.mp4.tmp.Claim1");
    EXPECT_EQ(SweepVideoLeftovers(dir.path()), static_cast<int>(debris.size()));
    EXPECT_EQ(Names(dir.path()), stays);

    // The next export sweeps its folder before it writes.
    make();
    const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "n_", "", kQualityLow);
    ASSERT_EQ(Export(paths, MakeCine(5), 100).status, VideoExportStatus::Saved);
    stays.push_back("n_.mp4");
    std::sort(stays.begin(), stays.end());
    EXPECT_EQ(Names(dir.path()), stays);
    ReleaseVideoFile(dir / "0001_20200820123456_w.mp4.tmp.Claim1");
    EXPECT_EQ(SweepVideoLeftovers(dir.path()), 1) << "released: debris now";
}

// A sweep of another thread (a recording starting while an export writes) must not take a
// temporary that its writer has created but not yet claimed.
TEST(VideoExport, ASweepWaitsWhileAWriterCreatesAndClaimsItsTemporary) {
    testsupport::TempDir dir;
    const std::string temporary = dir / "0001_20200820123456_w.mp4.tmp.New123";
    std::thread sweeper;
    {
        const std::unique_lock noSweep = HoldOffSweeps();
        testsupport::WriteAll(temporary, "frames");
        sweeper = std::thread([&] { SweepVideoLeftovers(dir.path()); });
        // Room for a sweep that does not wait to run and remove the file.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ClaimVideoFile(temporary);
    }
    sweeper.join();
    EXPECT_TRUE(platform::PathExists(temporary)) << "the sweep removed a file being claimed";
    ReleaseVideoFile(temporary);
}

TEST(VideoExport, BadOutputGivesOneMessageAndNoPartialFile) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(25);
    FaultGuard guard;
    {
        SCOPED_TRACE("full disk at the third frame");
        int writes = 0;
        platform::SetWriteFaultHook([&](const std::string&) { return ++writes > 25; });  // 64 KiB each
        const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "full_", "", kQualityLow);
        const VideoExportResult r = Export(paths, cine, 100);
        platform::SetWriteFaultHook({});
        EXPECT_EQ(r.status, VideoExportStatus::Failed);
        EXPECT_EQ(r.outcome.message,
                  "save error\n\u3000" + paths.avi + "\nThere is not enough free space on the disk.");
        EXPECT_TRUE(Names(dir.path()).empty());
    }
    {
        SCOPED_TRACE("the transcode fails: the AVI stays, no MP4");
        platform::SetWriteFaultHook([](const std::string& path) { return path.ends_with(".mp4"); });
        const VideoPaths paths = MakeVideoPaths(dir.path() + "/", "tc_", "", kQualityLow);
        const VideoExportResult r = Export(paths, cine, 100);
        platform::SetWriteFaultHook({});
        EXPECT_EQ(r.status, VideoExportStatus::Failed);
        EXPECT_EQ(r.path, paths.avi);
        EXPECT_NE(r.outcome.message.find("The AVI file was kept:\n" + paths.avi), std::string::npos);
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"tc__temp.avi"});
        EXPECT_EQ(DecodeVideo(paths.avi).frames,
                  static_cast<int64_t>(ResampleFrames(TimesEvery(25, 100)).size()));
        ::unlink(paths.avi.c_str());
    }
    {
        SCOPED_TRACE("existing results are never replaced");
        testsupport::WriteAll(dir / "y.mp4", "old mp4");
        testsupport::WriteAll(dir / "s.avi", "old avi");
        const VideoExportResult a = Export(MakeVideoPaths(dir.path() + "/", "y", "", kQualityLow), cine, 100);
        const VideoExportResult b = Export(MakeVideoPaths(dir.path() + "/", "s", "", kQualitySelect), cine,
                                           100, 0, VideoCodecChoice{});
        for (const auto& r : {a, b}) {
            EXPECT_EQ(r.status, VideoExportStatus::Failed);
            EXPECT_NE(r.outcome.message.find("already exists"), std::string::npos);
        }
        EXPECT_EQ(testsupport::ReadAll(dir / "y.mp4"), "old mp4");
        EXPECT_EQ(testsupport::ReadAll(dir / "s.avi"), "old avi");
        ::unlink((dir / "s.avi").c_str());
    }
    {
        SCOPED_TRACE("a folder under a regular file");
        const VideoExportResult r = Export(MakeVideoPaths(dir / "y.mp4/", "z", "", kQualityLow), cine, 100);
        EXPECT_EQ(r.status, VideoExportStatus::Failed);
        EXPECT_NE(r.outcome.message.find("folder does not exist"), std::string::npos) << r.outcome.message;
    }
}

TEST(VideoExport, LandsWhereTheFileSystemHasNoHardLinks) {
    testsupport::TempDir dir;
    const std::vector<Image8> cine = MakeCine(13);
    const int64_t frames = static_cast<int64_t>(ResampleFrames(TimesEvery(13, 100)).size());
    struct StepGuard {
        ~StepGuard() { platform::SetFileStepFaultForTesting({}); }
    } guard;
    using platform::FileStep;
    struct Case {
        const char* name;
        std::vector<FileStep> failing;
        bool saved;
    };
    const Case cases[] = {
        {"nolink", {FileStep::HardLink}, true},
        {"copy", {FileStep::HardLink, FileStep::RenameNoReplace}, true},
        {"none", {FileStep::HardLink, FileStep::RenameNoReplace, FileStep::ExclusiveOpen}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::SetFileStepFaultForTesting([&c](FileStep step, const std::string&) {
            return std::find(c.failing.begin(), c.failing.end(), step) != c.failing.end() ? EPERM : 0;
        });
        const VideoPaths paths = MakeVideoPaths(dir.path() + "/", c.name, "", kQualityLow);
        const VideoExportResult r = Export(paths, cine, 100);
        const VideoPaths sel = MakeVideoPaths(dir.path() + "/", c.name, "", kQualitySelect);
        const VideoExportResult a = Export(sel, cine, 100, 0, VideoCodecChoice{"rawvideo", 12, -1, 0});
        if (c.saved) {
            ASSERT_EQ(r.status, VideoExportStatus::Saved) << r.outcome.message;
            EXPECT_EQ(DecodeVideo(paths.result).frames, frames);
            ASSERT_EQ(a.status, VideoExportStatus::Saved) << a.outcome.message;
            EXPECT_EQ(DecodeVideo(sel.avi).frames, frames);
        } else {
            EXPECT_EQ(r.status, VideoExportStatus::Failed);
            EXPECT_EQ(r.outcome.message,
                      "save error\n\u3000" + paths.avi + "\nThe folder cannot be written to.");
            EXPECT_EQ(a.status, VideoExportStatus::Failed);
        }
    }
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{"copy.avi", "copy.mp4", "nolink.avi", "nolink.mp4"}));
}

TEST(VideoExport, NothingToExportIsRefused) {
    EXPECT_EQ(VideoExportRefusal(0, 0), "No data");
    EXPECT_EQ(VideoExportRefusal(1, 0), "No data");
    EXPECT_EQ(VideoExportRefusal(30, 0), std::nullopt);
    const auto failed = VideoExportRefusal(30, 3);
    ASSERT_TRUE(failed.has_value());
    EXPECT_NE(failed->find('3'), std::string::npos);
}

namespace {

// A recorder-style AVI: 960 x 480 at 13 frames per second with some frames missing, which the
// AVI muxer stores as empty chunks.
void WriteGappyAvi(const std::string& path, int lastIndex, const std::vector<int>& missing) {
    AVFormatContext* out = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str()), 0);
    AVStream* st = avformat_new_stream(out, nullptr);
    st->time_base = {1, 13};
    st->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    st->codecpar->codec_id = AV_CODEC_ID_RAWVIDEO;
    st->codecpar->format = AV_PIX_FMT_BGR24;
    st->codecpar->width = 960;
    st->codecpar->height = 480;
    st->codecpar->bits_per_coded_sample = 24;
    ASSERT_GE(avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(out, nullptr), 0);
    std::vector<uint8_t> bgr(960 * 480 * 3, 90);
    for (int i = 0; i <= lastIndex; ++i) {
        if (std::find(missing.begin(), missing.end(), i) != missing.end())
            continue;
        AVPacket* pkt = av_packet_alloc();
        av_new_packet(pkt, static_cast<int>(bgr.size()));
        std::copy(bgr.begin(), bgr.end(), pkt->data);
        pkt->pts = pkt->dts = av_rescale_q(i, {1, 13}, st->time_base);
        pkt->flags |= AV_PKT_FLAG_KEY;
        ASSERT_GE(av_write_frame(out, pkt), 0);
        av_packet_free(&pkt);
    }
    av_write_trailer(out);
    avio_closep(&out->pb);
    avformat_free_context(out);
}

}  // namespace

TEST(Mp4Transcode, KeepsTheSourceTimingAcrossGaps) {
    testsupport::TempDir dir;
    WriteGappyAvi(dir / "rec.avi", 38, {5, 6, 20});  // 3 s at 13 frames/s, 36 frames stored
    EXPECT_EQ(g_aMp4ProfileParams[0].width, 960u);
    EXPECT_EQ(g_aMp4ProfileParams[2].averageBitRate, 1'000'000u);
    EXPECT_EQ(g_aMp4ProfileParams[5].width, 480u);
    ASSERT_EQ(TranscodeToMp4({}, g_aMp4ProfileParams[0], dir / "rec.avi", dir / "rec.mp4"), 0);
    const auto v = DecodeVideo(dir / "rec.mp4");
    ASSERT_EQ(v.status, 0);
    EXPECT_EQ(v.width, 960);
    EXPECT_EQ(v.height, 480);
    EXPECT_EQ(v.frames, 36);
    EXPECT_NEAR(v.durationSeconds, 39 / 13.0, 0.1);  // not 36 / 12
}

TEST(Mp4Transcode, MissingSourceGivesANegativeStatusAndNoFile) {
    testsupport::TempDir dir;
    EXPECT_LT(TranscodeToMp4({}, g_aMp4ProfileParams[3], dir / "none.avi", dir / "out.mp4"), 0);
    testsupport::WriteAll(dir / "junk.avi", "RIFF but not really");
    EXPECT_LT(TranscodeToMp4({}, g_aMp4ProfileParams[3], dir / "junk.avi", dir / "out.mp4"), 0);
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"junk.avi"});
}
