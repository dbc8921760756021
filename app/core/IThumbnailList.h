// The thumbnail list (control 1061) and the state tests the main window asks of it. The
// default is an empty list.
#pragma once

class IThumbnailList {
public:
    virtual ~IThumbnailList() = default;
    virtual void InitThumbnailList() {}
    virtual void FillThumbnailList(int /*scrollToEnd*/, int /*rebuild*/, int /*redraw*/) {}
    virtual int GetItemCount() const { return 0; }
    virtual bool HasSelection() const { return false; }
    virtual void Deselect() {}
    // Back from the viewer to the exam's screen.
    virtual void ShowThumbnailList() {}
    // A still of the exam is stored (OB/GY button 1006 may act).
    virtual bool HasStoredImage() const { return false; }
    // A stored cine opened from the list is on screen.
    virtual bool IsStoredCineShown() const { return false; }
    // The Del button (1163): the selected items to the trash after one question.
    virtual void DeleteSelected() {}
    // A full refill that keeps the selection and what is previewed (after a settings change).
    virtual void RefillKeepingSelection() {}
};
