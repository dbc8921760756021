#include "app/ThumbnailListBox.h"

#include <wx/dc.h>

#include <algorithm>

#include "app/IconLoader.h"
#include "app/WxImage.h"
#include "app/core/MainArchive.h"
#include "platform/draw/Blit.h"
#include "platform/draw/Raster.h"

namespace {

constexpr int kFallbackBitmap = 202;
const wxColour kListBack(36, 35, 35);

}  // namespace

CThumbnailListBox::CThumbnailListBox(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : wxVListBox(parent, id, pos, size, wxLB_MULTIPLE | wxBORDER_NONE) {
    SetBackgroundColour(kListBack);
    SetSelectionBackground(wxColour(31, 117, 192));
    const Image32 fallback = LoadIcon(kFallbackBitmap, 64, 64, MakePixel(36, 35, 35));
    if (!fallback.empty())
        m_fallback = wxBitmap(ToWxImage(fallback));
    EnableTouchEvents(wxTOUCH_PRESS_GESTURES);
    Bind(wxEVT_LISTBOX, &CThumbnailListBox::OnSelect, this);
    Bind(wxEVT_LISTBOX_DCLICK, &CThumbnailListBox::OnDoubleClick, this);
    Bind(wxEVT_TWO_FINGER_TAP, &CThumbnailListBox::OnTwoFingerTap, this);
    Bind(wxEVT_PRESS_AND_TAP, &CThumbnailListBox::OnPressAndTap, this);
}

void CThumbnailListBox::SetItemCount(int count) {
    wxVListBox::SetItemCount(static_cast<size_t>(std::max(count, 0)));
}

std::vector<int> CThumbnailListBox::GetSelection() const {
    std::vector<int> rows;
    unsigned long cookie = 0;
    for (int i = GetFirstSelected(cookie); i != wxNOT_FOUND; i = GetNextSelected(cookie))
        rows.push_back(i);
    return rows;
}

int CThumbnailListBox::GetFocusedItem() const {
    for (size_t i = 0; i < GetItemCount(); ++i) {
        if (IsCurrent(i))
            return static_cast<int>(i);
    }
    return -1;
}

void CThumbnailListBox::SetSelection(const std::vector<int>& rows) {
    DeselectAll();
    for (int row : rows) {
        if (row >= 0 && static_cast<size_t>(row) < GetItemCount())
            Select(static_cast<size_t>(row), true);
    }
}

int CThumbnailListBox::GetTopIndex() const {
    return static_cast<int>(GetVisibleRowsBegin());
}

void CThumbnailListBox::ScrollToRow(int row) {
    if (GetItemCount() > 0)
        wxVListBox::ScrollToRow(
            static_cast<size_t>(std::min<size_t>(static_cast<size_t>(row), GetItemCount() - 1)));
}

void CThumbnailListBox::RefreshRows() {
    RefreshAll();
}

void CThumbnailListBox::SetFocusToList() {
    SetFocus();
}

wxCoord CThumbnailListBox::OnMeasureItem(size_t) const {
    return kRowHeight;
}

void CThumbnailListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const {
    const Image32* thumb = m_pArchive ? m_pArchive->ThumbnailFor(static_cast<int>(n)) : nullptr;
    const int left = rect.x + (rect.width - 120) / 2;
    const int top = rect.y + (rect.height - 120) / 2;
    if (thumb && !thumb->empty()) {
        dc.DrawBitmap(wxBitmap(ToWxImage(*thumb)), left, top);
    } else if (m_fallback.IsOk()) {
        dc.DrawBitmap(m_fallback, left + 28, top + 28);
        // The message of a picture that does not load waits until painting is over.
        if (m_pArchive && !m_bMessageQueued) {
            m_bMessageQueued = true;
            const_cast<CThumbnailListBox*>(this)->CallAfter([this] {
                m_bMessageQueued = false;
                if (m_pArchive)
                    m_pArchive->ShowPendingPaintMessage();
            });
        }
    }
}

void CThumbnailListBox::OnSelect(wxCommandEvent&) {
    if (m_pArchive)
        m_pArchive->OnSelectionChanged();
}

void CThumbnailListBox::OnDoubleClick(wxCommandEvent&) {
    if (m_pArchive)
        m_pArchive->OnItemDoubleClicked();
}

void CThumbnailListBox::SelectByGesture(const wxPoint& position) {
    const int row = VirtualHitTest(position.y);
    if (row == wxNOT_FOUND)
        return;
    DeselectAll();
    Select(static_cast<size_t>(row), true);
    DoSetCurrent(row);
    if (m_pArchive)
        m_pArchive->OnSelectionChanged();
}

void CThumbnailListBox::OnTwoFingerTap(wxTwoFingerTapEvent& event) {
    if (event.IsGestureEnd())
        SelectByGesture(event.GetPosition());
}

void CThumbnailListBox::OnPressAndTap(wxPressAndTapEvent& event) {
    if (event.IsGestureEnd())
        SelectByGesture(event.GetPosition());
}

Image32 CThumbnailListBox::Render() const {
    const wxSize size = GetClientSize();
    Image32 out(size.x, size.y, MakePixel(36, 35, 35));
    const size_t first = GetVisibleRowsBegin();
    for (size_t row = first; row < GetItemCount(); ++row) {
        const int top = static_cast<int>(row - first) * kRowHeight;
        if (top >= size.y)
            break;
        if (IsSelected(row))
            draw::FillRect(out, draw::RectOfSize(0, top, size.x, kRowHeight), MakePixel(31, 117, 192));
        const Image32* thumb = m_pArchive ? m_pArchive->ThumbnailFor(static_cast<int>(row)) : nullptr;
        if (thumb && !thumb->empty()) {
            draw::CopyRect(*thumb, {0, 0, thumb->width(), thumb->height()}, out,
                           {(size.x - thumb->width()) / 2, top + (kRowHeight - thumb->height()) / 2});
        }
    }
    return out;
}
