// The 16 result labels of the measurements, numbered 0 to 15, and which label a measurement
// writes: measurement k of a view its first value into label k and its second into label
// 4 + 3k. Label numbers from slot indices are taken modulo 4, so a slot index that has run
// past the last slot never addresses a label of another measurement.
#pragma once

#include <array>

inline constexpr int kResultLabelCount = 16;
// Control ids by label number (labels 6 and 7 are 1031 and 1030, in that order).
inline constexpr std::array<int, kResultLabelCount> kResultLabelControlIds = {
    1024, 1025, 1026, 1027, 1028, 1029, 1031, 1030, 1038, 1039, 1042, 1043, 1044, 1045, 1046, 1047};

// The control id of a label, or -1 for a number outside 0..15.
constexpr int ResultLabelControlId(int label) {
    return label >= 0 && label < kResultLabelCount ? kResultLabelControlIds[label] : -1;
}

constexpr int WrapSlot(int slot) {
    return ((slot % 4) + 4) % 4;
}
// The first label of measurement slot k (distance pair, trace or ellipse of views 1 and 11).
constexpr int FirstResultLabel(int slot) {
    return WrapSlot(slot);
}
// The second label of measurement slot k (M-mode pair, area).
constexpr int SecondResultLabel(int slot) {
    return 4 + 3 * WrapSlot(slot);
}
