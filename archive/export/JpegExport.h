// The JPEG export of a shown still: a 480 x 500 picture with a one-line caption band above
// the 480 x 480 image area, encoded with TurboJPEG and written without ever replacing a file.
#pragma once

#include <string>

#include "platform/Image.h"
#include "platform/MessageBox.h"

namespace exportfile {

inline constexpr int kJpegWidth = 480;
inline constexpr int kJpegHeight = 500;
inline constexpr int kJpegImageTop = 20;
inline constexpr uint32_t kCaptionBand = 0xC0C0C0;

// White picture; the render stretched onto (0, 20)-(480, 500); the caption trimmed and
// followed by 56 spaces, black on an opaque light-grey band from (0, 0).
Image32 ComposeJpegPicture(const Image32& render, const std::string& caption);

// Baseline JPEG, 4:2:0, at the given quality (1..100). False when the encoder fails.
bool EncodeJpeg(const Image32& picture, int quality, std::string& jpeg);

// What the caller shows after an export or a failed one: one message box.
struct ExportOutcome {
    bool ok = false;
    std::string message;
    platform::MsgIcon icon = platform::MsgIcon::None;
};

// "saved\n%s", or "save error\n\u3000%s" with a line giving the reason.
ExportOutcome SavedOutcome(const std::string& path);
ExportOutcome SaveErrorOutcome(const std::string& path, const std::string& reason);
// The reason a file could not be created in its folder, judged after the failure.
std::string WriteFailureReason(const std::string& path);

// Composes, encodes at JpegQualityFor(qualityIndex) and creates the file exclusively: an
// existing file is never replaced, and a failure leaves no file behind. A missing render
// (the still's bitmap did not load) gives "Bitmap Load Error." and writes nothing.
ExportOutcome ExportJpeg(const std::string& path, const Image32& render, const std::string& caption,
                         int qualityIndex);

}  // namespace exportfile
