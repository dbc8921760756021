// The thumbnail list (control 1061): an owner-drawn virtual list of 120 x 120 thumbnails with
// several items selectable. It holds only the count and the selection; each row's picture is
// asked of the archive when the row is drawn. A two-finger tap or a press-and-tap on a row
// selects it as a click would. A picture that does not load draws the fallback, and its
// message comes after the paint, never from it.
#pragma once

#include <wx/vlbox.h>

#include "app/core/IThumbnailView.h"
#include "platform/Image.h"

class CMainArchive;

class CThumbnailListBox : public wxVListBox, public IThumbnailView {
public:
    CThumbnailListBox(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

    void SetArchive(CMainArchive* archive) { m_pArchive = archive; }

    // ---- IThumbnailView
    void SetItemCount(int count) override;
    std::vector<int> GetSelection() const override;
    int GetFocusedItem() const override;
    void SetSelection(const std::vector<int>& rows) override;
    int GetTopIndex() const override;
    void ScrollToRow(int row) override;
    void RefreshRows() override;
    void SetFocusToList() override;

    // A gesture on the row under `position` (client pixels): it becomes the one selected.
    void SelectByGesture(const wxPoint& position);

    // The rows in view as they are drawn (window tests compose screenshots from it).
    Image32 Render() const;

    static constexpr int kRowHeight = 124;

private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;
    void OnSelect(wxCommandEvent& event);
    void OnDoubleClick(wxCommandEvent& event);
    void OnTwoFingerTap(wxTwoFingerTapEvent& event);
    void OnPressAndTap(wxPressAndTapEvent& event);

    CMainArchive* m_pArchive = nullptr;
    wxBitmap m_fallback;
    mutable bool m_bMessageQueued = false;
};
