// What killed video exports and recordings leave in an output folder, and its removal. A
// video is written into a temporary beside its name ("<name>.avi.tmp.XXXXXX", 0600) and a
// recording reserves its name with an empty file; a kill leaves both. Files an export or a
// recording of this process is still writing are claimed and never swept. Only one viewer
// runs at a time (its single-instance lock), so what no running export claims is debris.
#pragma once

#include <mutex>
#include <string>

namespace exportfile {

// A file this process is writing or holds reserved: no sweep removes it until released.
void ClaimVideoFile(const std::string& path);
void ReleaseVideoFile(const std::string& path);
// Held from creating a file to claiming it: a sweep of another thread waits meanwhile, so it
// never takes the new file for debris.
[[nodiscard]] std::unique_lock<std::mutex> HoldOffSweeps();

// True for a name this program gives a video temporary or a recording's placeholder: the
// export's "<4>_<14-digit stamp>_<name>" or the recorder's "<id>_<yyyymmdd>_<hhmmss>_<name>",
// as an AVI or MP4 with the writer's ".tmp.XXXXXX" after it, or (placeholder) as the AVI.
bool IsVideoTemporaryName(const std::string& name);
bool IsRecordingPlaceholderName(const std::string& name);

// Removes from `folder` the writer's temporaries and the empty placeholders of recordings,
// when they are regular files of this user, named as above and not claimed. Never a file of
// any other name. Returns how many were removed.
int SweepVideoLeftovers(const std::string& folder);

// At start-up, before any export or recording runs: sweeps the folders the video export and
// the recorder write into (their settings, or the Documents folder). Returns the count.
int SweepVideoLeftoversAtStart();

}  // namespace exportfile
