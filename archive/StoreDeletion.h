// Deleting stored items: the selected items go to the trash after one question, and the
// exam's rendered stills and the OB/GY items measured on them follow only what really went.
// Paths come from the list's records, never from displayed texts.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/ExamState.h"
#include "archive/StoreItemList.h"

class CStoreInfo;

namespace archive {

// The OB/GY items that measure on an exam still: BPD, CRL, GS, FL and AC, in this order.
inline constexpr int kObgyImageItems = 5;
using ObgyImageIndices = std::array<int, kObgyImageItems>;  // index into ExamState::stills, -1 none

struct DeletionRequest {
    const std::vector<StoreItemRecord>* items = nullptr;
    std::vector<int> selected;  // list indices
};

struct DeletionOutcome {
    bool asked = false;               // the question was answered OK
    bool deletedAny = false;          // at least one item left the list
    std::vector<int> forgottenItems;  // positions (0..4) of OB/GY items measured on a deleted still
    std::vector<std::string> stayed;  // items that could not be moved, for the report
};

using DeleteFilesFn = std::function<bool(const CStoreInfo& record, std::string* errorText)>;

// Asks "May I delete it?"; on OK moves every selected item to the trash ("No data" when
// nothing is selected) and keeps the exam stills, the OB/GY tags and the OB/GY image indices
// in step. Items that stayed are reported in one message.
DeletionOutcome DeleteStoredItems(const DeletionRequest& request, ExamState& exam,
                                  std::map<std::string, std::string>& obImageTags,
                                  ObgyImageIndices& obImageIndex, const DeleteFilesFn& deleteFiles = nullptr);

}  // namespace archive
