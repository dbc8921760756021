// Where the measurement result labels go on a stored still and on an OB/GY report image:
// which labels, in which rectangles of the 480 x 480 picture, in which colour. Texts and
// visibility come from the main window's label model; DrawStillLabels draws the layout,
// each text clipped to its rectangle.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Geometry.h"

namespace archive {

struct ResultLabel {
    std::string text;
    bool visible = false;
};

// The sixteen result labels: a row of four (controls 1024 to 1027) and four columns of three
// (1028 1029 1031, 1030 1038 1039, 1042 1043 1044, 1045 1046 1047).
struct ResultLabels {
    std::array<ResultLabel, 4> row;
    std::array<std::array<ResultLabel, 3>, 4> column;  // column[k][r]
};

enum class LabelTool { None, Distance, Area, Ellipse, Other };  // Other: OB/GY, zoom and the rest
enum class LabelDisplayMode { B, BB, BM };

struct PlacedLabel {
    draw::Rect rect;
    std::string text;
    int colour = 0;  // 0..3: overlay colour k - 1 of label k

    friend bool operator==(const PlacedLabel&, const PlacedLabel&) = default;
};

// The colour of label k (k = 1..4) as an overlay pixel.
uint32_t LabelColour(int colour);

// The labels of a stored still (and of a print).
std::vector<PlacedLabel> StillLabelLayout(LabelTool tool, LabelDisplayMode mode, const ResultLabels& labels);
// The labels of an OB/GY item's report image.
std::vector<PlacedLabel> ReportLabelLayout(LabelTool tool, LabelDisplayMode mode, const ResultLabels& labels);

// Draws each label left and top aligned in its colour, clipped to its rectangle, with a
// transparent background.
void DrawStillLabels(Image32& image, const std::vector<PlacedLabel>& labels,
                     draw::FontRole role = draw::FontRole::ResultLabel12);

}  // namespace archive
