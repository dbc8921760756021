// The measured value and image of each OB/GY item, as the evaluation and the fetal weight
// read them. A value is committed only when the item's measurement completes (the second
// point of a pair, the closed AC ellipse, the closed HC trace); the rubber band of a
// re-measure in progress is only pending, so an abandoned re-measure leaves the committed
// value and its button text as they were.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "measure/ObItems.h"

class ObItemValues {
public:
    ObItemValues();

    // The first point of a pair was placed: the item's button shows "---" until the pair
    // completes or is abandoned.
    void BeginMeasure(int item);
    // The free end moved: the pending length (none without a scale). Never reaches the
    // committed value.
    void UpdatePending(int item, std::optional<double> millimetres);
    // The measurement completed on the image: the value becomes the committed one. Without
    // a scale no value is stored (the item reads as not measured), but its points still
    // belong to that image.
    void Commit(int item, std::optional<double> millimetres, int imageIndex);
    // A half-placed measurement was reset: back to the committed value and its text.
    void Abandon(int item);
    // The item is forgotten: no value, no image.
    void Clear(int item);
    // The exam still at `imageIndex` left the exam: the items measured on it are forgotten
    // and returned (their calipers go too), and items on later stills move down by one.
    std::vector<int> RemoveImage(int imageIndex);

    bool IsPending(int item) const;
    // The committed value in millimetres; 0.0 when none.
    double Value(int item) const;
    // The image the committed value was measured on; -1 when none.
    int ImageIndex(int item) const;
    // The button's first sub-caption: "---" while pending, "%.1f mm" of the committed
    // value, or empty.
    std::string ButtonText(int item) const;
    // The value shown in the result label while measuring: the pending length, else the
    // committed one; none when neither exists.
    std::optional<double> ShownValue(int item) const;

    // m_adObValue and m_anObImageIndex, by item index (item − 1), for the evaluation.
    std::array<double, kObItemCount> Values() const;
    std::array<int, kObItemCount> ImageIndices() const;

private:
    struct Slot {
        double value = 0.0;  // committed; 0.0 none
        int imageIndex = -1;
        bool pending = false;
        std::optional<double> pendingValue;
    };
    Slot* At(int item);
    const Slot* At(int item) const;

    std::array<Slot, kObItemCount> slots_{};
};
