#include "measure/ObItemValues.h"

#include <gtest/gtest.h>

TEST(ObItemValues, AbandonedRemeasureKeepsTheCommittedValue) {
    ObItemValues v;
    v.BeginMeasure(ObItemBpd);
    EXPECT_EQ(v.ButtonText(ObItemBpd), "---");
    v.UpdatePending(ObItemBpd, 40.0);
    v.Commit(ObItemBpd, 90.0, 2);
    EXPECT_EQ(v.Value(ObItemBpd), 90.0);
    EXPECT_EQ(v.ImageIndex(ObItemBpd), 2);
    EXPECT_EQ(v.ButtonText(ObItemBpd), "90.0 mm");

    // Re-measure on another image: the rubber band moves, then the pair is abandoned.
    v.BeginMeasure(ObItemBpd);
    v.UpdatePending(ObItemBpd, 12.3);
    EXPECT_EQ(v.Value(ObItemBpd), 90.0) << "the rubber band never reaches the evaluation";
    EXPECT_EQ(v.ShownValue(ObItemBpd), 12.3);
    v.Abandon(ObItemBpd);
    EXPECT_EQ(v.Value(ObItemBpd), 90.0);
    EXPECT_EQ(v.ImageIndex(ObItemBpd), 2);
    EXPECT_EQ(v.ButtonText(ObItemBpd), "90.0 mm");

    // A first measurement that is abandoned leaves nothing.
    v.BeginMeasure(ObItemFl);
    v.UpdatePending(ObItemFl, 30.0);
    v.Abandon(ObItemFl);
    EXPECT_EQ(v.Value(ObItemFl), 0.0);
    EXPECT_EQ(v.ImageIndex(ObItemFl), -1);
    EXPECT_EQ(v.ButtonText(ObItemFl), "");
}

TEST(ObItemValues, CompletionWithoutScaleStoresNoValue) {
    ObItemValues v;
    v.Commit(ObItemAc, 300.0, 1);
    v.BeginMeasure(ObItemAc);
    v.Commit(ObItemAc, std::nullopt, 3);
    EXPECT_EQ(v.Value(ObItemAc), 0.0);
    EXPECT_EQ(v.ButtonText(ObItemAc), "");
    // The ellipse stays with the still it was drawn on: it is no cine frame to bring back.
    EXPECT_EQ(v.ImageIndex(ObItemAc), 3);
}

TEST(ObItemValues, ADeletedStillForgetsItsItemsAndLaterOnesMoveDown) {
    ObItemValues v;
    // BPD, CRL, GS, SL, FL, AC, HC measured on stills 1, none, 0, 3, 2, 1, 2.
    const int on[kObItemCount] = {1, -1, 0, 3, 2, 1, 2};
    for (int item = ObItemBpd; item <= ObItemHc; ++item) {
        if (on[item - 1] >= 0)
            v.Commit(item, 10.0 * item, on[item - 1]);
    }
    EXPECT_EQ(v.RemoveImage(1), (std::vector<int>{ObItemBpd, ObItemAc}));
    const std::array<int, kObItemCount> after{-1, -1, 0, 2, 1, -1, 1};
    EXPECT_EQ(v.ImageIndices(), after);
    EXPECT_EQ(v.Value(ObItemBpd), 0.0);
    EXPECT_EQ(v.Value(ObItemSl), 40.0);  // the others keep their values
    EXPECT_TRUE(v.RemoveImage(5).empty());
    EXPECT_TRUE(v.RemoveImage(-1).empty());
    EXPECT_EQ(v.ImageIndices(), after);
}

TEST(ObItemValues, ClearForgetsAndBadItemsAreIgnored) {
    ObItemValues v;
    v.Commit(ObItemHc, 250.0, 0);
    v.Clear(ObItemHc);
    EXPECT_EQ(v.Value(ObItemHc), 0.0);
    for (int bad : {0, 8, -1}) {
        v.Commit(bad, 5.0, 0);
        EXPECT_EQ(v.Value(bad), 0.0);
        EXPECT_EQ(v.ImageIndex(bad), -1);
    }
    v.Commit(ObItemCrl, 45.0, 4);
    EXPECT_EQ(v.Values()[ObItemCrl - 1], 45.0);
    EXPECT_EQ(v.ImageIndices()[ObItemCrl - 1], 4);
}
