// Fonts by role, in one place. DejaVu Sans stands in for the Windows UI faces. Sizes are the
// em size in pixels (what pango calls the absolute size), chosen so the text fills the same
// cells as the original GDI heights.
#pragma once

#include <string>

namespace draw {

enum class FontRole {
    DepthScaleLabel,   // depth-scale numbers
    DepthScaleFocus,   // the focus depth's number, bold
    ButtonCaption,     // captions of the control kit's buttons
    ButtonSubCaption,  // the small second line of a button
    RecButton,         // the round REC button
    RecTime,           // the recording time beside REC
    PanelText,         // captions and values on the side panels
    PanelLetter,       // the letters over the right panel's sliders
    ResultLabel12,     // measurement result labels at the start-up size
    ResultLabel10,     // measurement result labels while maximised
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

Font FontFor(FontRole role);

}  // namespace draw
