// The one picture of the image area that stores, report images, printing and the exports
// take: rendered from the view models, never read back from the screen. The main view as it
// shows, or in BB and BM the two half views side by side, scaled to 480 x 480 by one halftone
// stretch; then, when asked, the result labels of the active tool.
#pragma once

#include <string>

#include "archive/StillLabels.h"
#include "platform/Image.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Geometry.h"

class CKALVEXDlg;

namespace mainarchive {

inline constexpr int kStillSide = 480;

// The image area without labels.
Image32 RenderImageArea(const CKALVEXDlg& dlg);
// The column of the rendered picture where its right half starts when it shows the two half
// views side by side; 0 when it shows one image.
int HalvesSplitColumn(const CKALVEXDlg& dlg);

// The texts and visibility of the sixteen result labels, as the label model holds them.
archive::ResultLabels CollectResultLabels(const CKALVEXDlg& dlg);
archive::LabelTool LabelToolOf(int tool);
archive::LabelDisplayMode LabelModeOf(int displayMode);

// A stored still (or print): the image area with the still label layout.
Image32 RenderStill(const CKALVEXDlg& dlg);
// An OB/GY report image, with the report label layout.
Image32 RenderReport(const CKALVEXDlg& dlg);

// A text of the OB/GY result drawing: left and top in the rectangle, clipped to it, over a
// transparent background; nothing for an empty text.
void DrawOverlayText(Image32& image, const draw::Rect& rect, const std::string& text, uint32_t pixel,
                     draw::FontRole role = draw::FontRole::ResultLabel12);

}  // namespace mainarchive
