// What the archive needs of the windows beside the core: the thumbnail list control (1061),
// a virtual list that holds only a count and a selection and asks for each row's picture
// when it draws it, and the cine store's progress window.
#pragma once

#include <string>
#include <vector>

class IThumbnailView {
public:
    virtual ~IThumbnailView() = default;
    virtual void SetItemCount(int count) = 0;
    // Selected rows in list order.
    virtual std::vector<int> GetSelection() const = 0;
    // The row with the keyboard focus, -1 when none.
    virtual int GetFocusedItem() const = 0;
    // Selects the rows (and focuses the last), without notifying the archive.
    virtual void SetSelection(const std::vector<int>& rows) = 0;
    virtual int GetTopIndex() const = 0;
    // Scrolls so that the row is at the top (or as far as the list goes).
    virtual void ScrollToRow(int row) = 0;
    virtual void RefreshRows() = 0;
    virtual void SetFocusToList() = 0;
};

// The progress window of the cine store (string 335) and of opening a stored cine (string 173).
// While it is up the main window is disabled.
class ICineStoreProgress {
public:
    virtual ~ICineStoreProgress() = default;
    virtual void Begin(int total, const std::string& caption) = 0;
    virtual void Update(int done) = 0;
    // Its Cancel button or Esc in it.
    virtual bool Cancelled() const = 0;
    virtual void End() = 0;
};
