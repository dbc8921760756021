#include "archive/export/VideoExport.h"

#include <unistd.h>
#include <cerrno>
#include <cstdio>

extern "C" {
#include <libavutil/error.h>
}

#include "archive/export/ExclusiveAvioFile.h"
#include "archive/export/VideoLeftovers.h"
#include "archive/export/VideoResampler.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace exportfile {

std::optional<std::string> VideoExportRefusal(int frameCount, int failedFrames) {
    if (frameCount < 2)
        return std::string("No data");
    if (failedFrames > 0)
        return platform::Format("%d frame(s) of this cine could not be loaded; it cannot be exported.",
                                failedFrames);
    return std::nullopt;
}

std::string VideoFailureReason(int averror) {
    if (averror == AVERROR(EEXIST))
        return "A file of that name already exists.";
    if (averror == AVERROR(ENOSPC))
        return "There is not enough free space on the disk.";
    if (averror == AVERROR(ENOENT) || averror == AVERROR(ENOTDIR))
        return "The folder does not exist.";
    if (averror == AVERROR(EACCES) || averror == AVERROR(EPERM) || averror == AVERROR(EROFS))
        return "The folder cannot be written to.";
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    return platform::Format("The video could not be written (%s).", text);
}

namespace {

VideoExportResult Failed(const std::string& path, int averror) {
    return {VideoExportStatus::Failed, {}, SaveErrorOutcome(path, VideoFailureReason(averror))};
}

}  // namespace

VideoExportResult RunVideoExport(const VideoPaths& paths, const std::vector<int64_t>& times,
                                 const std::function<const Image8&(int index)>& frame,
                                 const VideoCodecChoice& codec, unsigned bitRate,
                                 const VideoExportCallbacks& callbacks) {
    const std::vector<int64_t> repaired = RepairFrameTimes(times);
    const std::vector<int> chosen = ResampleFrames(repaired);
    const int64_t planned = PlannedOutputFrames(repaired);
    if (chosen.empty())
        return {VideoExportStatus::Failed, {}, {false, "No data", platform::MsgIcon::Exclamation}};

    // What killed exports left in the folder goes first: it is patient video nobody can use.
    SweepVideoLeftovers(platform::ParentFolder(paths.avi));
    // Refuse before any work: an existing result, or too little room for the AVI and the MP4.
    if (paths.transcode && platform::PathExists(paths.result))
        return Failed(paths.result, AVERROR(EEXIST));
    const int64_t mp4Bytes =
        paths.transcode ? static_cast<int64_t>(bitRate / 8) * (planned / 12 + 1) * 2 + (1 << 20) : 0;
    const int64_t free = FreeBytesIn(platform::ParentFolder(paths.avi));
    if (free >= 0 && free < EstimatedAviBytes(planned) + mp4Bytes)
        return Failed(paths.avi, AVERROR(ENOSPC));

    VideoFileWriter writer;
    VideoStreamFormat format;
    // The temporary AVI's name is this program's own: one that a cancelled export left is
    // replaced, and never blocks the export.
    format.replaceLeftover = paths.transcode;
    int rc = writer.Open(paths.avi, planned, codec, format);
    if (rc < 0)
        return Failed(paths.avi, rc);
    const int64_t last = static_cast<int64_t>(chosen.size()) - 1;
    bool cancelled = false;
    for (int64_t k = 0; k <= last; ++k) {
        if (callbacks.aviFrame && !callbacks.aviFrame(k, last)) {
            cancelled = true;
            break;
        }
        rc = writer.WriteGreyFrame(frame(chosen[static_cast<size_t>(k)]));
        if (rc < 0)
            return Failed(paths.avi, rc);  // the writer removes its file
    }
    if (cancelled || !paths.transcode) {
        // A cancelled export still finalises what it wrote, so the partial AVI plays.
        rc = writer.Finish();
        if (rc < 0)
            return Failed(paths.avi, rc);
        if (cancelled)
            return {VideoExportStatus::Cancelled,
                    paths.avi,
                    {false, platform::Format("error or saved\n\n %s", paths.avi.c_str()),
                     platform::MsgIcon::Exclamation}};
        return {VideoExportStatus::Saved,
                paths.avi,
                {true, platform::Format("saved\n\n%s", paths.avi.c_str()), platform::MsgIcon::Information}};
    }

    // The AVI stays under its temporary name while it is transcoded: a kill leaves only
    // temporaries, which the next export sweeps.
    rc = writer.Complete();
    if (rc < 0)
        return Failed(paths.avi, rc);
    if (callbacks.encodingStarts)
        callbacks.encodingStarts();
    const Mp4ProfileParams params{66, 12, 1, kVideoSize, kVideoSize, bitRate};
    rc = TranscodeToMp4(callbacks.encodeProgress, params, writer.CompletedPath(), paths.result);
    if (rc < 0) {
        // The AVI is complete and playable: keep it rather than lose the export.
        VideoExportResult result = Failed(paths.result, rc);
        const int placed = writer.Place();
        if (placed < 0)
            return Failed(paths.avi, placed);
        result.path = paths.avi;
        result.outcome.message += platform::Format("\nThe AVI file was kept:\n%s", paths.avi.c_str());
        return result;
    }
    writer.Abort();
    // A partial AVI of this name that a cancelled export left is replaced by this export.
    if (platform::IsRegularFile(paths.avi))
        ::unlink(paths.avi.c_str());
    return {VideoExportStatus::Saved,
            paths.result,
            {true, platform::Format("saved\n\n%s", paths.result.c_str()), platform::MsgIcon::Information}};
}

}  // namespace exportfile
