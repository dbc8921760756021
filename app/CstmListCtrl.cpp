#include "app/CstmListCtrl.h"

wxDEFINE_EVENT(EVT_LIST_GESTURE_SELECT, wxCommandEvent);

CCstmListCtrl::CCstmListCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, long style)
    : wxListCtrl(parent, id, pos, size, style) {
    EnableTouchEvents(wxTOUCH_PRESS_GESTURES);
    Bind(wxEVT_TWO_FINGER_TAP, &CCstmListCtrl::OnTwoFingerTap, this);
    Bind(wxEVT_PRESS_AND_TAP, &CCstmListCtrl::OnPressAndTap, this);
}

void CCstmListCtrl::OnTwoFingerTap(wxTwoFingerTapEvent& event) {
    if (!OnGesture(GestureTwoFingerTap, event.IsGestureStart(), event.IsGestureEnd(), event.GetPosition())) {
        event.Skip();
    }
}

void CCstmListCtrl::OnPressAndTap(wxPressAndTapEvent& event) {
    if (!OnGesture(GesturePressAndTap, event.IsGestureStart(), event.IsGestureEnd(), event.GetPosition())) {
        event.Skip();
    }
}

wxPoint CCstmListCtrl::ItemAreaPoint(const wxPoint& position) const {
    // The list draws its items in a child window below the column header; hit tests count
    // from that window's corner. The item area is the tallest child.
    const wxWindow* area = nullptr;
    for (const wxWindow* child : GetChildren()) {
        if (!area || child->GetSize().y > area->GetSize().y)
            area = child;
    }
    return area ? position - area->GetPosition() : position;
}

bool CCstmListCtrl::OnGesture(int gesture, bool begin, bool end, const wxPoint& position) {
    if (begin)
        m_nPendingGesture = GestureNone;
    if (gesture == GestureTwoFingerTap || gesture == GesturePressAndTap)
        m_nPendingGesture = gesture;
    if (!end || m_nPendingGesture == GestureNone)
        return false;
    m_nPendingGesture = GestureNone;
    int flags = 0;
    const long item = HitTest(ItemAreaPoint(position), flags);
    if (item >= 0 && item < GetItemCount() && m_pOwner) {
        SetItemState(item, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                     wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        // A posted notification carries its own copy; a sent one is handled before we return.
        wxCommandEvent notify(EVT_LIST_GESTURE_SELECT, GetId());
        notify.SetEventObject(this);
        notify.SetInt(static_cast<int>(item));
        notify.SetExtraLong(kGestureNotify);
        if (m_bPostNotify) {
            m_pOwner->GetEventHandler()->AddPendingEvent(notify);
        } else {
            m_pOwner->GetEventHandler()->ProcessEvent(notify);
        }
    }
    return true;
}
