// A list that selects an item with a touch gesture: a two-finger tap or a press-and-tap
// on an item selects and focuses it and tells the owner (notification 1027).
#pragma once

#include <wx/listctrl.h>

// Sent to the owner with the list's id; GetInt() is the selected item.
wxDECLARE_EVENT(EVT_LIST_GESTURE_SELECT, wxCommandEvent);

class CCstmListCtrl : public wxListCtrl {
public:
    static constexpr int kGestureNotify = 1027;
    enum Gesture : int { GestureNone = 0, GestureTwoFingerTap = 6, GesturePressAndTap = 7 };

    CCstmListCtrl(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, long style);

    // One gesture message: begin clears, a tap is remembered, the end of a remembered tap
    // selects the item under `position` (client coordinates). True when consumed.
    bool OnGesture(int gesture, bool begin, bool end, const wxPoint& position);

    wxWindow* m_pOwner = nullptr;  // receives the notification
    int m_nPendingGesture = GestureNone;
    bool m_bPostNotify = true;  // posted (queued) rather than sent

private:
    wxPoint ItemAreaPoint(const wxPoint& position) const;
    void OnTwoFingerTap(wxTwoFingerTapEvent& event);
    void OnPressAndTap(wxPressAndTapEvent& event);
};
