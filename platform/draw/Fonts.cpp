#include "platform/draw/Fonts.h"

namespace draw {

Font FontFor(FontRole role) {
    switch (role) {
        // GDI cell heights 14 and 19 (weight 400 and 700): DejaVu's cell is 1.164 em.
        case FontRole::DepthScaleLabel:
            return {kUiFace, 12.0, false};
        case FontRole::DepthScaleFocus:
            return {kUiFace, 16.0, true};
        case FontRole::ButtonCaption:
            return {kUiFace, 14.0, true};
        case FontRole::ButtonSubCaption:  // 10 point at 96 dpi, a little smaller for DejaVu's width
            return {kUiFace, 12.0, false};
        case FontRole::RecButton:
            return {kUiFace, 12.0, true};
        case FontRole::RecTime:
            return {kUiFace, 13.0, false};
        case FontRole::PanelText:
            return {kUiFace, 12.0, false};
        case FontRole::PanelLetter:
            return {kUiFace, 12.0, true};
        case FontRole::ResultLabel12:
            return {kUiFace, 14.0, false};
        case FontRole::ResultLabel10:
            return {kUiFace, 12.0, false};
        case FontRole::Overlay:
            return {kUiFace, 12.0, false};
        // The dialog's 14- and 22-point faces, scaled like the result labels.
        case FontRole::ThumbnailNumber:
            return {kUiFace, 16.0, false};
        case FontRole::ThumbnailTag:
            return {kUiFace, 25.0, true};
    }
    return {kUiFace, 12.0, false};
}

}  // namespace draw
