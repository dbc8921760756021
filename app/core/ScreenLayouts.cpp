#include "app/core/ScreenLayouts.h"

#include <array>

using namespace maindlg;

namespace {

constexpr int8_t K = ControlAction::kKeep;

// Controls the layouts 0..3 hide alike: the review and stored-item controls.
#define REVIEW_HIDDEN                                                                                   \
    Hidden(IDC_REVIEW_TIME), Hidden(IDC_REVIEW_PREV), Hidden(IDC_REVIEW_PLAY), Hidden(IDC_REVIEW_NEXT), \
        Hidden(IDC_REVIEW_STOP), Hidden(IDC_DELETE), Hidden(IDC_EXP_JPEG), Hidden(IDC_EXP_VIDEO),       \
        Hidden(IDC_PRINT)

// Frozen with nothing to store or measure: the base of every frozen layout.
constexpr ControlAction kMain0[] = {
    Shown(IDC_VIEW_MAIN),
    Hidden(IDC_VIEW_LEFT),
    Hidden(IDC_VIEW_RIGHT),
    Act(IDC_FREEZE, 1, K, K, 219),
    Act(IDC_BTN4, 1, 0),
    Act(IDC_BTN5, 1, 0),
    Shown(IDC_BTN6),
    Act(IDC_BTN7, 1, 1, kStateNormal),
    Act(IDC_QUIT, 1, 1, kStateNormal),
    Shown(IDC_DIST),
    Shown(IDC_AREA),
    Shown(IDC_ELLIPSE),
    Shown(IDC_SETTINGS),
    Shown(IDC_STORE_CAPTION),
    Shown(IDC_MEASURE_CAPTION),
    Shown(IDC_COUNTER),
    Hidden(IDC_STATUS),
    Hidden(IDC_PREVIEW),
    REVIEW_HIDDEN,
    Shown(IDC_THUMBNAILS),
};
constexpr ControlAction kLive0[] = {
    Act(IDC_LIVE_BB, K, 0, kStateNormal),
    Act(IDC_LIVE_BM, K, 0, kStateNormal),
    Act(IDC_LIVE_STC, K, 0, kStateNormal),
    Act(IDC_LIVE_REC, K, 0, K, 0),
};

// Live B.
constexpr ControlAction kMain1[] = {
    Shown(IDC_VIEW_MAIN),
    Hidden(IDC_VIEW_LEFT),
    Hidden(IDC_VIEW_RIGHT),
    Act(IDC_FREEZE, 0, K, K, 178),
    Act(IDC_BTN4, 0, 1),
    Act(IDC_BTN5, 0, 1),
    Act(IDC_BTN6, 0, 0),
    Act(IDC_BTN7, 0, 0, kStateNormal),
    Act(IDC_QUIT, 0, 0, kStateNormal),
    Act(IDC_DIST, 0, 0),
    Act(IDC_AREA, 0, 0),
    Act(IDC_ELLIPSE, 0, 0),
    Act(IDC_SETTINGS, 0, 0),
    Hidden(IDC_STORE_CAPTION),
    Hidden(IDC_MEASURE_CAPTION),
    Shown(IDC_CLOCK),
    Shown(IDC_COUNTER),
    Shown(IDC_STATUS),
    REVIEW_HIDDEN,
    Hidden(IDC_THUMB_CAPTION),
    Hidden(IDC_THUMBNAILS),
};
constexpr ControlAction kLive1[] = {
    Act(IDC_LIVE_BB, K, 1, kStateNormal),
    Act(IDC_LIVE_BM, K, 1, kStateNormal),
    Act(IDC_LIVE_SYNCVIEW, K, K, kStateNormal),
};

// Live BB and BM: the two half views.
constexpr ControlAction kMain2[] = {
    Hidden(IDC_VIEW_MAIN),
    Shown(IDC_VIEW_LEFT),
    Shown(IDC_VIEW_RIGHT),
    Act(IDC_FREEZE, 0, K, K, 178),
    Act(IDC_BTN4, 0, 1),
    Act(IDC_BTN5, 0, 1),
    Hidden(IDC_BTN6),
    Act(IDC_BTN7, 0, K, kStateNormal),
    Act(IDC_QUIT, 0, 0),
    Act(IDC_DIST, 0, 0),
    Act(IDC_AREA, 0, 0),
    Act(IDC_ELLIPSE, 0, 0),
    Act(IDC_SETTINGS, 0, 0),
    Hidden(IDC_STORE_CAPTION),
    Hidden(IDC_MEASURE_CAPTION),
    Shown(IDC_CLOCK),
    Shown(IDC_COUNTER),
    Shown(IDC_STATUS),
    REVIEW_HIDDEN,
    Hidden(IDC_THUMB_CAPTION),
    Hidden(IDC_THUMBNAILS),
};
constexpr ControlAction kLive2[] = {
    Act(IDC_LIVE_BB, K, 1, kStateHighlighted),
    Act(IDC_LIVE_BM, K, 1, kStateNormal),
};
constexpr ControlAction kLive3[] = {
    Act(IDC_LIVE_BB, K, 1, kStateNormal),
    Act(IDC_LIVE_BM, K, 1),
    Act(IDC_LIVE_REC, K, K, kStateNormal),
};

// Live OB/GY: B or BB with bb and bm off.
constexpr ControlAction kLive4[] = {Disabled(IDC_LIVE_BB), Disabled(IDC_LIVE_BM)};

// Frozen B: everything to store and measure with.
constexpr ControlAction kMain5[] = {
    Enabled(IDC_BTN4), Enabled(IDC_BTN5), Enabled(IDC_BTN7),    Enabled(IDC_QUIT),
    Enabled(IDC_DIST), Enabled(IDC_AREA), Enabled(IDC_ELLIPSE), Enabled(IDC_SETTINGS),
};
constexpr ControlAction kLive5[] = {Enabled(IDC_LIVE_BB), Enabled(IDC_LIVE_BM), Enabled(IDC_LIVE_REC)};

// Frozen BB: the half views.
constexpr ControlAction kMain6[] = {Hidden(IDC_VIEW_MAIN), Shown(IDC_VIEW_LEFT), Shown(IDC_VIEW_RIGHT)};

// Frozen BM and the tools in BM: no bm button.
constexpr ControlAction kLiveNoBm[] = {Disabled(IDC_LIVE_BM)};

// The tools: their button in its pressed pictures.
constexpr ControlAction kDistActive[] = {Faces(IDC_DIST, {kBmpDistPressed, kBmpDist})};
constexpr ControlAction kAreaActive[] = {Faces(IDC_AREA, {kBmpAreaPressed, kBmpArea})};
constexpr ControlAction kEllipseActive[] = {Faces(IDC_ELLIPSE, {kBmpEllipsePressed, kBmpEllipse})};

// OB/GY item measuring: the OB/GY panel takes the left edge; only Quit stays enabled.
constexpr ControlAction kMain18[] = {
    Act(IDC_FREEZE, 0, K, K, 219),
    Hidden(IDC_BTN4),
    Hidden(IDC_BTN5),
    Hidden(IDC_BTN6),
    Hidden(IDC_BTN7),
    Act(IDC_QUIT, 0, 1),
    Act(IDC_DIST, 0, 0),
    Act(IDC_AREA, 0, 0),
    Act(IDC_ELLIPSE, 0, 0),
    Act(IDC_SETTINGS, 0, 0),
    Hidden(IDC_STORE_CAPTION),
    Hidden(IDC_MEASURE_CAPTION),
};
constexpr ControlAction kLive18[] = {
    Act(IDC_LIVE_BB, K, 0, kStateNormal),
    Act(IDC_LIVE_BM, K, 1, kStateNormal),
    Act(IDC_LIVE_REC, K, 1, kStateNormal, 119),
};

constexpr std::span<const ControlAction> kNone{};

const std::array<LayoutRow, 20> kRows = {{
    {0, -1, kMain0, kLive0, 0},         {1, -1, kMain1, kLive1, 0},
    {2, -1, kMain2, kLive2, 0},         {3, -1, kMain2, kLive3, 0},
    {4, -1, kNone, kLive4, 0},  // the base (1 or 2) follows the display mode
    {5, 0, kMain5, kLive5, 0},          {6, 5, kMain6, kNone, 0},
    {7, 6, kNone, kLiveNoBm, 0},        {8, 5, kDistActive, kNone, 1},
    {9, 6, kDistActive, kNone, 1},      {10, 6, kDistActive, kLiveNoBm, 1},
    {11, 5, kAreaActive, kNone, 2},     {12, 6, kAreaActive, kNone, 2},
    {13, 6, kAreaActive, kLiveNoBm, 2}, {14, 5, kEllipseActive, kNone, 3},
    {15, 6, kEllipseActive, kNone, 3},  {16, 6, kEllipseActive, kLiveNoBm, 3},
    {17, 5, kNone, kNone, 0},           {18, -1, kMain18, kLive18, 0},
    {19, -1, kMain18, kLive18, 0},
}};

}  // namespace

const LayoutRow* FindLayoutRow(int layout) {
    for (const LayoutRow& row : kRows) {
        if (row.layout == layout)
            return &row;
    }
    return nullptr;
}
