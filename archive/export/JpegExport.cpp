#include "archive/export/JpegExport.h"

#include <turbojpeg.h>

#include <algorithm>

#include "archive/export/ExportSettings.h"
#include "platform/FileSystem.h"
#include "platform/StringUtil.h"
#include "platform/draw/Painter.h"
#include "platform/draw/Raster.h"
#include "platform/draw/Scale.h"

namespace exportfile {

namespace {

// The caption's face: its line (about 17 pixels) fits the 20 rows above the image.
draw::Font CaptionFont() {
    return {draw::kUiFace, 14.0, false};
}

std::string Trim(const std::string& text) {
    const char* ws = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(ws);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(ws) - first + 1);
}

}  // namespace

Image32 ComposeJpegPicture(const Image32& render, const std::string& caption) {
    Image32 picture(kJpegWidth, kJpegHeight, 0xFFFFFF);
    const draw::Rect area{0, kJpegImageTop, kJpegWidth, kJpegHeight};
    if (!render.empty()) {
        if (render.width() == area.Width() && render.height() == area.Height()) {
            for (int y = 0; y < render.height(); ++y)
                std::copy_n(render.Row(y), render.width(), picture.Row(area.top + y));
        } else {
            draw::StretchHalftone(render, {0, 0, render.width(), render.height()}, picture, area);
        }
    }
    const std::string line = Trim(caption) + std::string(56, ' ');
    const draw::Font font = CaptionFont();
    const draw::TextSize size = draw::MeasureText(line, font);
    const draw::Rect band{0, 0, std::min(size.width, kJpegWidth), std::min(size.height, kJpegImageTop)};
    draw::FillRect(picture, band, kCaptionBand);
    draw::DrawText(picture, band, line, font, 0x000000);
    return picture;
}

bool EncodeJpeg(const Image32& picture, int quality, std::string& jpeg) {
    jpeg.clear();
    if (picture.empty())
        return false;
    tjhandle handle = tjInitCompress();
    if (!handle)
        return false;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    // 0x00RRGGBB in little-endian memory is B, G, R, X.
    const int rc = tjCompress2(handle, reinterpret_cast<const unsigned char*>(picture.data()),
                               picture.width(), picture.width() * 4, picture.height(), TJPF_BGRX, &buffer,
                               &size, TJSAMP_420, std::clamp(quality, 1, 100), TJFLAG_ACCURATEDCT);
    if (rc == 0 && buffer)
        jpeg.assign(reinterpret_cast<const char*>(buffer), size);
    tjFree(buffer);
    tjDestroy(handle);
    return rc == 0 && !jpeg.empty();
}

ExportOutcome SavedOutcome(const std::string& path) {
    return {true, platform::Format("saved\n%s", path.c_str()), platform::MsgIcon::Information};
}

ExportOutcome SaveErrorOutcome(const std::string& path, const std::string& reason) {
    return {false, platform::Format("save error\n\u3000%s\n%s", path.c_str(), reason.c_str()),
            platform::MsgIcon::Error};
}

std::string WriteFailureReason(const std::string& path) {
    const std::string folder = platform::ParentFolder(path);
    if (!folder.empty() && !platform::IsDirectory(folder))
        return "The folder does not exist.";
    return "The file could not be written (the disk may be full or the folder read-only).";
}

ExportOutcome ExportJpeg(const std::string& path, const Image32& render, const std::string& caption,
                         int qualityIndex) {
    if (render.empty())
        return {false, "Bitmap Load Error.", platform::MsgIcon::Exclamation};
    if (platform::PathExists(path))
        return SaveErrorOutcome(path, "A file of that name already exists.");
    std::string jpeg;
    if (!EncodeJpeg(ComposeJpegPicture(render, caption), JpegQualityFor(qualityIndex), jpeg))
        return SaveErrorOutcome(path, "The picture could not be encoded.");
    switch (platform::CreateFileExclusive(path, jpeg)) {
        case platform::WriteResult::Ok:
            return SavedOutcome(path);
        case platform::WriteResult::Exists:
            return SaveErrorOutcome(path, "A file of that name already exists.");
        case platform::WriteResult::Failed:
            break;
    }
    return SaveErrorOutcome(path, WriteFailureReason(path));
}

}  // namespace exportfile
