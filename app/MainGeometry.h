// The main window's start-up rectangles and the resize constants, taken from the pixel
// table, for the core's maximise and restore geometry. No wx.
#pragma once

#include "app/core/WindowGeometry.h"

// The gradation bar and the right panel are placed by their panels; the rest comes from the table.
StartupRects MainStartupRects(const draw::Rect& gradation, const draw::Rect& rightPanel);
// Our layout's constants: views without a border, the result labels under the thumbnail
// list's column, narrowed for their smaller font.
GeometryConstants MainGeometryConstants();
