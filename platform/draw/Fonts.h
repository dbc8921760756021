// Fonts by role, in one place. DejaVu Sans stands in for the Windows UI faces. Sizes are the
// em size in pixels (what pango calls the absolute size). Panel and button texts take the
// main window's point sizes at 96 dpi (pixels = points x 4 / 3); the depth scale keeps the
// cells of its GDI heights.
#pragma once

#include <string>

namespace draw {

enum class FontRole {
    DepthScaleLabel,   // depth-scale numbers
    DepthScaleFocus,   // the focus depth's number, bold
    ButtonCaption,     // captions of the control kit's buttons (18 pt bold)
    ButtonSubCaption,  // the small second line of a button (10 pt)
    RecButton,         // the round REC button (13 pt bold)
    RecTime,           // the recording time beside REC (14 pt)
    FrequencyButton,   // the transmit-frequency choices (13 pt bold)
    PanelText,         // captions and values on the side panels (12 pt)
    PanelLetter,       // the letters over the right panel's sliders (12 pt)
    ResultLabel12,     // measurement result labels at the start-up size (12 pt)
    ResultLabel10,     // measurement result labels while maximised (10 pt)
    Overlay,           // texts drawn over the image
    ThumbnailNumber,   // the item number on an archive thumbnail
    ThumbnailTag,      // the OB/GY item tag on an archive thumbnail, bold
};

struct Font {
    std::string face;
    double pixelSize = 12.0;
    bool bold = false;
};

// The Latin face of every role; Japanese texts fall back to IPA Gothic through fontconfig.
inline constexpr const char* kUiFace = "DejaVu Sans";
// The face Japanese texts are set in where a dialog chooses it (the notices).
inline constexpr const char* kJapaneseFace = "IPAGothic";

// Em size in pixels of a size in points on a 96 dpi screen.
constexpr double PointsToPixels(double points) {
    return points * 4.0 / 3.0;
}

Font FontFor(FontRole role);

}  // namespace draw
