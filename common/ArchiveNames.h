// How the archive names things. Every stored item is named by the 14-digit local-time stamp
// of the second it was stored ("YYYYMMDDhhmmss"); its files are that stamp plus an
// extension in the patient's folder, and a cine keeps its frames in a folder of its own:
//
//   <data root>/<patient id>/<patient id>.xml    patient file
//   <data root>/<patient id>/<stamp>.xml         store record
//   <data root>/<patient id>/<stamp>.bmp         still image, with <stamp>.info beside it
//   <data root>/<patient id>/<stamp>.cine/       cine folder: 001.bmp, 001.info, 002.bmp ...
#pragma once

#include <cstddef>
#include <string>

#include "platform/Clock.h"

inline constexpr size_t kStampLength = 14;
inline constexpr int kMaxCineFrames = 512;

inline constexpr const char* kRecordExtension = ".xml";
inline constexpr const char* kBitmapExtension = ".bmp";
inline constexpr const char* kSidecarExtension = ".info";
inline constexpr const char* kCineExtension = ".cine";

// "%04d%02d%02d%02d%02d%02d" of the six numbers, as they stand.
std::string MakeStamp(int year, int month, int day, int hour, int minute, int second);
std::string MakeStamp(const platform::SystemTime& local);

// True for exactly 14 ASCII digits.
bool IsStamp(const std::string& text);

// Reads the six numbers of a stamp from the front of the text (numbers the text does not
// supply count as 0); false when they name no valid date and time of day.
bool ReadStamp(const std::string& text, platform::SystemTime& time);

// The UTC store time "%04d-%02d-%02dT%02d:%02d:%02dZ".
std::string FormatStoreTime(const platform::SystemTime& utc);
// Reads a store time; false when the text holds fewer than six numbers or no valid time.
bool ParseStoreTime(const std::string& text, platform::SystemTime& utc);

// The file of frame `frame` (counted from 1) in a cine folder ending with '/':
// "%s%03d%s" of the folder, the frame number and the extension.
std::string MakeCineFramePath(const std::string& cineFolder, int frame, const char* extension);
