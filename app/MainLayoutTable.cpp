#include "app/MainLayoutTable.h"

namespace {

using K = MainControlKind;

// The image area.
constexpr int kViewLeft = 190;
constexpr int kViewTop = 40;
constexpr int kViewSize = 480;
constexpr int kViewBottom = kViewTop + kViewSize;
// Result labels: one row per measurement k under the image, its first value (label k: a
// length, a perimeter or a dash text) then its second (label 4 + 3k: an area or the M-mode
// "mm/s" reading), then labels 5 + 3k and 6 + 3k, which hold a perimeter at most (the fourth
// ellipse on a right half writes label 5). Each is as wide as the longest text of its kind
// needs at 12 point, "9999.9 mm" and "999.9 mm/240.00 s".
constexpr int kLabelHeight = 20;
constexpr int kLabelTop = kViewBottom + 28;
constexpr int kLabelColumns[5] = {0, 100, 264, 364, kViewSize};  // left edges, then the row's end

constexpr MainControlPlacement Label(int index, int id) {
    const int row = index < 4 ? index : (index - 4) / 3;
    const int column = index < 4 ? 0 : 1 + (index - 4) % 3;
    return {id,
            K::Static,
            kViewLeft + kLabelColumns[column],
            kLabelTop + kLabelHeight * row,
            kLabelColumns[column + 1] - kLabelColumns[column],
            kLabelHeight,
            0,
            0,
            kMainTextLeft | kMainHidden};
}

// The right column of the frozen screen: the thumbnail list and the stored-item buttons.
constexpr int kListLeft = 680;
constexpr int kListWidth = 214;

}  // namespace

const std::array<MainControlPlacement, kMainControlCount> kMainControls = {{
    // The left column of the frozen screen (the live panels cover it while live).
    {1001, K::Toggle, 24, 54, 129, 81, 219, 0, kMainStyleNone},
    {1194, K::Static, 24, 146, 129, 22, 322, 0, kMainTextLeft},
    {1004, K::BitmapButton, 24, 170, 62, 62, 0, 252, kMainDisabled},
    {1005, K::BitmapButton, 91, 170, 62, 62, 0, 253, kMainDisabled},
    {1195, K::Static, 24, 240, 129, 22, 303, 0, kMainTextLeft},
    {1162, K::BitmapButton, 24, 264, 62, 62, 0, 248, kMainDisabled},
    {1169, K::BitmapButton, 91, 264, 62, 62, 0, 249, kMainDisabled},
    {1193, K::BitmapButton, 24, 330, 62, 62, 0, 250, kMainDisabled},
    {1006, K::BitmapButton, 91, 330, 62, 62, 0, 243, kMainStyleNone},
    {1007, K::Button, 24, 404, 129, 48, 121, 0, kMainStyleNone},
    {1197, K::BitmapButton, 24, 464, 62, 62, 0, 245, kMainStyleNone},
    {1032, K::Button, 24, 560, 129, 48, 315, 0, kMainStyleNone},
    // The image area: patient header and clock above, status and counter below.
    // The clock's text takes about 170 px at its font; the header has the rest up to it.
    {1018, K::Static, kViewLeft, 6, 340, 28, 0, 0, kMainTextLeft | kMainTextEllipsis},
    {1019, K::Static, 530, 6, 187, 28, 0, 0, kMainTextRight},
    {1011, K::ImageView, kViewLeft, kViewTop, kViewSize, kViewSize, 0, 0, kMainStyleNone},
    {1012, K::ImageView, kViewLeft, kViewTop, kViewSize / 2, kViewSize, 0, 0, kMainHidden},
    {1014, K::ImageView, kViewLeft + kViewSize / 2, kViewTop, kViewSize / 2, kViewSize, 0, 0, kMainHidden},
    {1220, K::Static, kViewLeft, kViewBottom + 2, 300, 22, 0, 0, kMainTextLeft | kMainHidden},
    {1021, K::Static, kViewLeft + kViewSize - 180, kViewBottom, 180, 26, 0, 0, kMainTextRight},
    Label(0, 1024),
    Label(1, 1025),
    Label(2, 1026),
    Label(3, 1027),
    Label(4, 1028),
    Label(5, 1029),
    Label(6, 1031),
    Label(7, 1030),
    Label(8, 1038),
    Label(9, 1039),
    Label(10, 1042),
    Label(11, 1043),
    Label(12, 1044),
    Label(13, 1045),
    Label(14, 1046),
    Label(15, 1047),
    // Frozen cine stepping, under the result labels.
    {1144, K::BitmapButton, kViewLeft, 634, 64, 40, 0, 1002, kMainHidden},
    {1145, K::BitmapButton, kViewLeft + kViewSize - 64, 634, 64, 40, 0, 1003, kMainHidden},
    // The thumbnail list with its caption and the stored-item buttons, right of the image.
    {1165, K::Static, kListLeft, 40, kListWidth, 22, 330, 0, kMainTextLeft | kMainHidden},
    {1061, K::List, kListLeft, 64, kListWidth, 400, 0, 0, kMainStyleNone},
    {1163, K::BitmapButton, kListLeft, 470, 48, 40, 0, 224, kMainHidden},
    {1164, K::BitmapButton, kListLeft + 54, 470, 48, 40, 0, 226, kMainHidden},
    {1166, K::BitmapButton, kListLeft + 108, 470, 48, 40, 0, 246, kMainHidden},
    {1037, K::BitmapButton, kListLeft + 162, 470, 48, 40, 0, 247, kMainHidden},
    {1057, K::Static, kListLeft, 516, kListWidth, 22, 0, 0, kMainTextLeft | kMainHidden},
    {1058, K::BitmapButton, kListLeft, 546, 40, 32, 0, 174, kMainHidden},
    {1059, K::BitmapButton, kListLeft + 44, 546, 40, 32, 0, 173, kMainHidden},
    {1060, K::BitmapButton, kListLeft + 88, 546, 40, 32, 0, 172, kMainHidden},
    {1062, K::BitmapButton, kListLeft + 44, 546, 40, 32, 0, 177, kMainHidden},  // in Play's place
    {1196, K::Static, kListLeft, 584, kListWidth, 22, 4030, 0, kMainTextLeft | kMainHidden},
}};

const MainControlPlacement* FindMainControl(int id) {
    for (const MainControlPlacement& c : kMainControls) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}
