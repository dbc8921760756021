// The settings protocol shared by the JPEG export, the video export and the recorder, and
// the names they build, as pure functions: the save dialog and its callers read the stored
// words through these before the dialog and write back what these return after OK.
#pragma once

#include <optional>
#include <string>

namespace exportfile {

// Quality buttons of the save dialog; Select is the hidden one a stored "SEL" carries.
enum QualityIndex : int { kQualityHigh = 0, kQualityMiddle = 1, kQualityLow = 2, kQualitySelect = 3 };
// The index the dialog starts with when the stored word is none the caller recognises: no
// button is checked, and the word is written back as it was read.
inline constexpr int kQualityNone = -1;

enum class ExportCaller { Jpeg, Video, Recorder };

// Keys in section "app".
struct CallerKeys {
    const char* folderKey;
    const char* qualityKey;
};
CallerKeys KeysFor(ExportCaller caller);
inline constexpr const char* kDefaultQualityWord = "LOW";

// The dialog's starting index for a stored word: "HIGH", "MID", "LOW" for every caller,
// "SEL" for the two video callers only; anything else gives kQualityNone.
int InitialQualityIndex(ExportCaller caller, const std::string& storedWord);

// The word written back after OK: the index's word when the caller maps it, else the word
// that was read.
std::string QualityWordAfterOk(ExportCaller caller, int index, const std::string& storedWord);

// JPEG encoder quality of an index: 98 High, 75 Middle, 35 anything else.
int JpegQualityFor(int index);

// The folder the dialog offers: the stored one (with a '/' added when it lacks one) when it
// names an existing folder, else `documentsFolder`. "/" stays the root.
std::string ResolveOutputFolder(const std::string& stored, const std::string& documentsFolder);

// The Documents fallback: the XDG documents folder when set and present, else $HOME, else "/";
// always ending in '/'. `xdgDocuments` is what the desktop reports (may be empty).
std::string DocumentsFolder(const std::string& xdgDocuments, const std::string& home);

// A path that names a folder ends in exactly one '/'; an empty one stays empty.
std::string WithTrailingSlash(const std::string& folder);

// Why a typed free name is refused, or nullopt when it is fine. Refused: '/', NUL, "." and
// "..". Empty is allowed (the prefix alone names the file).
std::optional<std::string> FreeNameProblem(const std::string& freeName);

// Texts the JPEG and video exports fill the dialog with.
struct ExportNames {
    std::string idText;      // the item's 14-digit stamp: the item path after its last '/'
    std::string nameText;    // id-and-name text from its fifth character on, trimmed
    std::string filePrefix;  // first four characters of id-and-name, "_", stamp, "_"
};
// `idAndName` is the patient id, a space and the name. Characters are code points; an id
// shorter than four characters gives a shorter prefix and an empty or partial name line.
ExportNames MakeExportNames(const std::string& itemPath, const std::string& idAndName,
                            const std::string& stampText);

// folder + prefix + free name + extension.
std::string OutputPath(const std::string& folder, const std::string& prefix, const std::string& freeName,
                       const std::string& extension);

// The two outputs of a video export: with High, Middle or Low the AVI is a "_temp.avi" that
// becomes the ".mp4"; with "SEL" the ".avi" itself is the result.
struct VideoPaths {
    std::string avi;
    std::string result;
    bool transcode = true;
};
VideoPaths MakeVideoPaths(const std::string& folder, const std::string& prefix, const std::string& freeName,
                          int qualityIndex);

// Average MP4 bit rate of the video export: 5 Mbit/s Middle, 1 Mbit/s Low, 10 Mbit/s else.
unsigned VideoBitRateFor(int qualityIndex);

}  // namespace exportfile
