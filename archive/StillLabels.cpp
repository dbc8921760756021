#include "archive/StillLabels.h"

#include "platform/draw/Painter.h"

namespace archive {

namespace {

bool Shown(const ResultLabel& l) {
    return !l.text.empty() && l.visible;
}

void Place(std::vector<PlacedLabel>& out, const draw::Rect& rect, const ResultLabel& label, int colour) {
    out.push_back({rect, label.text, colour});
}

}  // namespace

uint32_t LabelColour(int colour) {
    static constexpr std::array<uint32_t, 4> kColours = {MakePixel(0, 167, 227), MakePixel(0, 255, 0),
                                                         MakePixel(255, 0, 0), MakePixel(255, 255, 255)};
    return kColours[static_cast<size_t>(colour & 3)];
}

std::vector<PlacedLabel> StillLabelLayout(LabelTool tool, LabelDisplayMode mode, const ResultLabels& labels) {
    std::vector<PlacedLabel> out;
    for (int i = 0; i < 4; ++i) {  // i = k - 1
        const ResultLabel& row = labels.row[static_cast<size_t>(i)];
        const ResultLabel& head = labels.column[static_cast<size_t>(i)][0];
        const int a = i / 2;
        const int b = i % 2;
        if (tool == LabelTool::Distance && mode != LabelDisplayMode::BM) {
            if (Shown(row))
                Place(out, {60 + 100 * i, 450, 160 + 100 * i, 480}, row, i);
        } else if (tool == LabelTool::Distance) {
            if (Shown(row))
                Place(out, {60 + 100 * a, 436 + 20 * b, 160 + 100 * a, 456 + 20 * b}, row, i);
        } else if (tool == LabelTool::Area || tool == LabelTool::Ellipse) {
            // The ellipse tool draws its values whenever they exist, shown or not.
            const bool draw = tool == LabelTool::Ellipse ? !row.text.empty() : Shown(row);
            if (!draw)
                continue;
            const int right = 160 + 105 * i;
            const int left = right - (mode == LabelDisplayMode::B ? 135 : 105);
            Place(out, {left, 436, right, 456}, row, i);
            Place(out, {left, 456, right, 476}, head, i);
        }
    }
    if (tool == LabelTool::Distance && mode == LabelDisplayMode::BM) {
        // The strip's M-mode readings ("999.9 mm/240.00 s" at the longest) in one column over the
        // strip, right of the lengths: two columns side by side would cut them.
        for (int i = 0; i < 4; ++i) {
            const ResultLabel& head = labels.column[static_cast<size_t>(i)][0];
            if (Shown(head))
                Place(out, {260, 396 + 20 * i, 480, 416 + 20 * i}, head, i);
        }
    }
    return out;
}

std::vector<PlacedLabel> ReportLabelLayout(LabelTool tool, LabelDisplayMode mode,
                                           const ResultLabels& labels) {
    std::vector<PlacedLabel> out;
    for (int i = 0; i < 4; ++i) {
        const ResultLabel& row = labels.row[static_cast<size_t>(i)];
        const auto& column = labels.column[static_cast<size_t>(i)];
        const int a = i / 2;
        const int b = i % 2;
        if (tool == LabelTool::Distance && mode != LabelDisplayMode::BM) {
            if (Shown(row))
                Place(out, {60 + 100 * i, 450, 160 + 100 * i, 480}, row, i);
        } else if (tool == LabelTool::Distance) {
            if (Shown(row))
                Place(out, {60 + 100 * a, 420 + 30 * b, 160 + 100 * a, 450 + 30 * b}, row, i);
        } else if (tool == LabelTool::Area && Shown(row)) {
            const int right = 160 + 105 * i;
            Place(out, {right - 105, 420, right, 450}, row, i);
            Place(out, {right - 105, 450, right, 480}, column[0], i);
        }
    }
    if (tool == LabelTool::Distance && mode == LabelDisplayMode::BM) {
        for (int i = 0; i < 4; ++i) {
            const auto& column = labels.column[static_cast<size_t>(i)];
            if (!Shown(column[0]))
                continue;
            const int a = i / 2;
            const int b = i % 2;
            for (int r = 0; r < 3; ++r) {
                const int top = 360 + 60 * b + 18 * r;
                Place(out, {250 + 120 * a, top, 360 + 120 * a, top + 18}, column[static_cast<size_t>(r)], i);
            }
        }
    }
    return out;
}

void DrawStillLabels(Image32& image, const std::vector<PlacedLabel>& labels, draw::FontRole role) {
    if (labels.empty())
        return;
    const draw::Font font = draw::FontFor(role);
    draw::Painter painter(image);
    for (const PlacedLabel& l : labels) {
        if (!l.text.empty())
            painter.DrawText(l.rect, l.text, font, LabelColour(l.colour), draw::kTextLeft | draw::kTextTop);
    }
}

}  // namespace archive
