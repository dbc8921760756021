// The fetal items of the OB/GY mode and what each of them is called, stored as and looked
// up in.
#pragma once

#include <array>

enum ObItem : int {
    ObItemNone = 0,
    ObItemBpd = 1,
    ObItemCrl = 2,
    ObItemGs = 3,
    ObItemSl = 4,
    ObItemFl = 5,
    ObItemAc = 6,
    ObItemHc = 7,
};
inline constexpr int kObItemCount = 7;

// Item tags and report-image name parts, by ObItem (index 0 unused).
inline constexpr std::array<const char*, kObItemCount + 1> kObItemNames = {"",   "BPD", "CRL", "GS",
                                                                           "SL", "FL",  "AC",  "HC"};

// The items the evaluation reports, in the order of their save-image flags and of the
// results table: BPD, CRL, FL, AC, GS.
enum ObEvalItem : int { ObEvalBpd = 0, ObEvalCrl, ObEvalFl, ObEvalAc, ObEvalGs, kObEvalItemCount };
inline constexpr std::array<ObItem, kObEvalItemCount> kObEvalItems = {ObItemBpd, ObItemCrl, ObItemFl,
                                                                      ObItemAc, ObItemGs};

inline constexpr bool IsObItem(int item) {
    return item >= ObItemBpd && item <= ObItemHc;
}
inline constexpr bool IsTwoPointObItem(int item) {
    return item >= ObItemBpd && item <= ObItemFl;
}
inline const char* ObItemName(int item) {
    return IsObItem(item) ? kObItemNames[item] : "";
}
