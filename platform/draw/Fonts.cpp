#include "platform/draw/Fonts.h"

namespace draw {

Font FontFor(FontRole role) {
    switch (role) {
        // GDI cell heights 14 and 19 (weight 400 and 700): DejaVu's cell is 1.164 em.
        case FontRole::DepthScaleLabel:
            return {kUiFace, 12.0, false};
        case FontRole::DepthScaleFocus:
            return {kUiFace, 16.0, true};
        // The main window's fonts by point size: 18 bold for button captions, 13 bold for REC
        // and the frequencies, 14 for the recording time, 12 for every static, and 10 for
        // sub-captions.
        case FontRole::ButtonCaption:
            return {kUiFace, PointsToPixels(18), true};
        case FontRole::ButtonSubCaption:
            return {kUiFace, PointsToPixels(10), false};
        case FontRole::RecButton:
        case FontRole::FrequencyButton:
            return {kUiFace, PointsToPixels(13), true};
        case FontRole::RecTime:
            return {kUiFace, PointsToPixels(14), false};
        case FontRole::PanelText:
        case FontRole::PanelLetter:
        case FontRole::ResultLabel12:
            return {kUiFace, PointsToPixels(12), false};
        case FontRole::ResultLabel10:
            return {kUiFace, PointsToPixels(10), false};
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
