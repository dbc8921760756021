// Where the main window's 49 controls sit at start-up: one row per control with its id,
// kind, rectangle in client pixels, caption (string id, 0 for none), picture and style.
// The client area is 900 x 680; the main view 480 x 480 with the two half views over it;
// the left panels cover the left edge, the right panel sits right of the clock. Screen
// layouts then show, hide and caption the controls; maximising moves some of them.
// No wx here, so that headless code and tests can read the table too.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kMainClientWidth = 900;
inline constexpr int kMainClientHeight = 680;
// The gap between the clock's right edge and the right panel.
inline constexpr int kRightPanelGap = 18;

enum class MainControlKind {
    Toggle,        // the Freeze/UnFreeze check button
    Button,        // a drawn push button with a caption
    BitmapButton,  // a drawn button showing a picture (its faces change with the state)
    ImageView,     // an image view
    Static,        // a text label
    List,          // the thumbnail list
};

enum MainControlStyle : uint32_t {
    kMainStyleNone = 0,
    kMainTextLeft = 1u << 0,
    kMainTextRight = 1u << 1,
    kMainTextCentre = 1u << 2,
    kMainHidden = 1u << 3,        // not visible at start-up
    kMainDisabled = 1u << 4,      // disabled at start-up
    kMainTextEllipsis = 1u << 5,  // a text that does not fit ends in "…"
};

struct MainControlPlacement {
    int id;
    MainControlKind kind;
    int x, y, width, height;
    int captionId;  // string table id, 0: none
    int pictureId;  // bitmap id of the normal face, 0: none
    uint32_t style;
};

inline constexpr int kMainControlCount = 49;
extern const std::array<MainControlPlacement, kMainControlCount> kMainControls;

// The row of a control id; nullptr for an id that is not in the table.
const MainControlPlacement* FindMainControl(int id);

// The 16 result labels in label order 0 to 15.
inline constexpr std::array<int, 16> kResultLabelIds = {1024, 1025, 1026, 1027, 1028, 1029, 1031, 1030,
                                                        1038, 1039, 1042, 1043, 1044, 1045, 1046, 1047};
