#include "measure/ObItemValues.h"

#include <cmath>

#include "measure/MeasureText.h"

ObItemValues::ObItemValues() = default;

ObItemValues::Slot* ObItemValues::At(int item) {
    return IsObItem(item) ? &slots_[item - 1] : nullptr;
}

const ObItemValues::Slot* ObItemValues::At(int item) const {
    return IsObItem(item) ? &slots_[item - 1] : nullptr;
}

void ObItemValues::BeginMeasure(int item) {
    if (Slot* s = At(item)) {
        s->pending = true;
        s->pendingValue.reset();
    }
}

void ObItemValues::UpdatePending(int item, std::optional<double> millimetres) {
    if (Slot* s = At(item)) {
        s->pending = true;
        s->pendingValue = millimetres && std::isfinite(*millimetres) ? millimetres : std::nullopt;
    }
}

void ObItemValues::Commit(int item, std::optional<double> millimetres, int imageIndex) {
    Slot* s = At(item);
    if (!s)
        return;
    s->pending = false;
    s->pendingValue.reset();
    s->value = millimetres && std::isfinite(*millimetres) && *millimetres > 0.0 ? *millimetres : 0.0;
    s->imageIndex = imageIndex;
}

void ObItemValues::Abandon(int item) {
    if (Slot* s = At(item)) {
        s->pending = false;
        s->pendingValue.reset();
    }
}

void ObItemValues::Clear(int item) {
    if (Slot* s = At(item))
        *s = Slot{};
}

std::vector<int> ObItemValues::RemoveImage(int imageIndex) {
    std::vector<int> measuredOnIt;
    if (imageIndex < 0)
        return measuredOnIt;
    for (int item = ObItemBpd; item <= ObItemHc; ++item) {
        Slot& slot = slots_[item - 1];
        if (slot.imageIndex == imageIndex) {
            slot = Slot{};
            measuredOnIt.push_back(item);
        } else if (slot.imageIndex > imageIndex) {
            --slot.imageIndex;
        }
    }
    return measuredOnIt;
}

bool ObItemValues::IsPending(int item) const {
    const Slot* s = At(item);
    return s && s->pending;
}

double ObItemValues::Value(int item) const {
    const Slot* s = At(item);
    return s ? s->value : 0.0;
}

int ObItemValues::ImageIndex(int item) const {
    const Slot* s = At(item);
    return s ? s->imageIndex : -1;
}

std::string ObItemValues::ButtonText(int item) const {
    const Slot* s = At(item);
    if (!s)
        return {};
    if (s->pending)
        return "---";
    return s->value > 0.0 ? FormatLengthMm(s->value) : std::string();
}

std::optional<double> ObItemValues::ShownValue(int item) const {
    const Slot* s = At(item);
    if (!s)
        return std::nullopt;
    if (s->pending)
        return s->pendingValue;
    if (s->value > 0.0)
        return s->value;
    return std::nullopt;
}

std::array<double, kObItemCount> ObItemValues::Values() const {
    std::array<double, kObItemCount> v{};
    for (int i = 0; i < kObItemCount; ++i)
        v[i] = slots_[i].value;
    return v;
}

std::array<int, kObItemCount> ObItemValues::ImageIndices() const {
    std::array<int, kObItemCount> v{};
    for (int i = 0; i < kObItemCount; ++i)
        v[i] = slots_[i].imageIndex;
    return v;
}
