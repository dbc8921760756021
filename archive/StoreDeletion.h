// Deleting stored items: the selected items go to the trash after one question, and the
// exam's rendered stills and the OB/GY items measured on them follow only what really went.
// Paths come from the list's records, never from displayed texts.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/ExamState.h"
#include "archive/StoreItemList.h"

class CStoreInfo;

namespace archive {

struct DeletionRequest {
    const std::vector<StoreItemRecord>* items = nullptr;
    std::vector<int> selected;  // list indices
};

struct DeletionOutcome {
    bool asked = false;       // the question was answered OK
    bool deletedAny = false;  // at least one item left the list
    // The exam stills that went, each an index into ExamState::stills as it stood just before
    // that still was removed (the OB/GY items follow them in this order).
    std::vector<int> removedStills;
    std::vector<std::string> stayed;  // items that could not be moved, for the report
};

using DeleteFilesFn = std::function<bool(const CStoreInfo& record, std::string* errorText)>;

// Asks "May I delete it?"; on OK moves every selected item to the trash ("No data" when
// nothing is selected) and keeps the exam stills and the OB/GY tags in step; the outcome
// names the exam stills that went. Items that stayed are reported in one message.
DeletionOutcome DeleteStoredItems(const DeletionRequest& request, ExamState& exam,
                                  std::map<std::string, std::string>& obImageTags,
                                  const DeleteFilesFn& deleteFiles = nullptr);

}  // namespace archive
