// The numeric edit: accepts digits only, drops leading zeros and keeps the value between
// its minimum and maximum, explaining a refused entry in an error balloon.
#pragma once

#include <wx/textctrl.h>
#include <functional>
#include <string>

class CstmEdit : public wxTextCtrl {
public:
    CstmEdit(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

    // The owner sets these before the dialog shows.
    int m_nMin = 0;
    int m_nMax = 0;
    int m_nLast = 0;  // last accepted value

    // Shows the balloon; tests replace it to see the title and text instead.
    using BalloonShower = std::function<void(CstmEdit&, const std::string& title, const std::string& text)>;
    static void SetBalloonShower(BalloonShower shower);

private:
    void OnText(wxCommandEvent& event);
    void ShowBalloon();
};
