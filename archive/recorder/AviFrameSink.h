// The recorder's frame sink and transcoder over the export code: an AVI at 13 frames a second
// written into the name the recording reserved, and the MP4 transcode with a row of the
// profile table. The encoder of a "SEL" recording is made here per recording from the choice
// the recorder keeps, and freed with the sink.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "archive/export/VideoFileWriter.h"
#include "archive/recorder/FrameSink.h"
#include "archive/recorder/RecordingSession.h"

namespace recorder {

inline constexpr int kRecordingFramesPerSecond = 13;
inline constexpr int kRecordingMaxFrames = 30 * kRecordingFramesPerSecond + 8;

// A sink factory writing AVIs with `codec` (the uncompressed stream by default).
SinkFactory AviSinkFactory(exportfile::VideoCodecChoice codec = {});

// A transcoder reporting progress in percent on the calling thread.
Transcoder Mp4Transcoder(std::function<void(int percent)> progress = {});

}  // namespace recorder
