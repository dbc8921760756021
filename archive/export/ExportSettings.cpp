#include "archive/export/ExportSettings.h"

#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace exportfile {

namespace {

constexpr const char* kWords[] = {"HIGH", "MID", "LOW", "SEL"};

bool MapsSelect(ExportCaller caller) {
    return caller != ExportCaller::Jpeg;
}

std::string Trim(const std::string& text) {
    const char* ws = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(ws);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(ws) - first + 1);
}

// The text from code point `count` on.
std::string SkipCodePoints(const std::string& utf8, size_t count) {
    return utf8.substr(platform::TruncateCodePoints(utf8, count).size());
}

}  // namespace

CallerKeys KeysFor(ExportCaller caller) {
    switch (caller) {
        case ExportCaller::Jpeg:
            return {"outputfolder", "jpeg_quality"};
        case ExportCaller::Video:
            return {"outputfolder", "avi_quality"};
        case ExportCaller::Recorder:
            return {"camera_outputfolder", "camera_quality"};
    }
    return {"outputfolder", "jpeg_quality"};
}

int InitialQualityIndex(ExportCaller caller, const std::string& storedWord) {
    const int last = MapsSelect(caller) ? kQualitySelect : kQualityLow;
    for (int i = 0; i <= last; ++i)
        if (storedWord == kWords[i])
            return i;
    return kQualityNone;
}

std::string QualityWordAfterOk(ExportCaller caller, int index, const std::string& storedWord) {
    const int last = MapsSelect(caller) ? kQualitySelect : kQualityLow;
    if (index >= 0 && index <= last)
        return kWords[index];
    return storedWord;
}

int JpegQualityFor(int index) {
    if (index == kQualityHigh)
        return 98;
    if (index == kQualityMiddle)
        return 75;
    return 35;
}

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + '/';
}

std::string ResolveOutputFolder(const std::string& stored, const std::string& documentsFolder) {
    if (!stored.empty() && platform::IsDirectory(stored))
        return WithTrailingSlash(stored);
    return WithTrailingSlash(documentsFolder);
}

std::string DocumentsFolder(const std::string& xdgDocuments, const std::string& home) {
    if (!xdgDocuments.empty() && platform::IsDirectory(xdgDocuments))
        return WithTrailingSlash(xdgDocuments);
    if (!home.empty())
        return WithTrailingSlash(home);
    return "/";
}

std::optional<std::string> FreeNameProblem(const std::string& freeName) {
    if (freeName.find('/') != std::string::npos)
        return "The file name must not contain '/'.";
    if (freeName.find('\0') != std::string::npos)
        return "The file name must not contain a NUL character.";
    if (freeName == "." || freeName == "..")
        return "The file name must not be \".\" or \"..\".";
    return std::nullopt;
}

ExportNames MakeExportNames(const std::string& itemPath, const std::string& idAndName,
                            const std::string& stampText) {
    ExportNames names;
    const size_t slash = itemPath.rfind('/');
    names.idText = slash == std::string::npos ? itemPath : itemPath.substr(slash + 1);
    names.nameText = Trim(SkipCodePoints(idAndName, 4));
    names.filePrefix = platform::TruncateCodePoints(idAndName, 4) + "_" + stampText + "_";
    return names;
}

std::string OutputPath(const std::string& folder, const std::string& prefix, const std::string& freeName,
                       const std::string& extension) {
    return folder + prefix + freeName + extension;
}

VideoPaths MakeVideoPaths(const std::string& folder, const std::string& prefix, const std::string& freeName,
                          int qualityIndex) {
    if (qualityIndex == kQualitySelect) {
        const std::string avi = OutputPath(folder, prefix, freeName, ".avi");
        return {avi, avi, false};
    }
    return {OutputPath(folder, prefix, freeName, "_temp.avi"), OutputPath(folder, prefix, freeName, ".mp4"),
            true};
}

unsigned VideoBitRateFor(int qualityIndex) {
    if (qualityIndex == kQualityMiddle)
        return 5'000'000;
    if (qualityIndex == kQualityLow)
        return 1'000'000;
    return 10'000'000;
}

}  // namespace exportfile
