// The control kit's push button: drawn face with a colour scheme (kind), a state, one of
// three shapes and two sub-captions. A click sends wxEVT_BUTTON with the button's id to
// its parent; Space clicks it from the keyboard (Enter is the panels' business). The second
// press of a double click is no click, so a quick double tap on Freeze toggles once.
#pragma once

#include <string>

#include "app/ButtonLook.h"
#include "app/DrawnControl.h"

class CCstmButton : public CDrawnControl {
public:
    CCstmButton(wxWindow* parent, int id, const std::string& caption, const wxPoint& pos, const wxSize& size);

    void SetSubText1(const std::string& text) { m_strSubText1 = text; }
    const std::string& GetSubText1() const { return m_strSubText1; }
    void SetSubText2(const std::string& text) { m_strSubText2 = text; }
    void SetCaption(const std::string& caption);
    std::string GetCaption() const;
    // Sets the enabled field and the window's enabled state together.
    void EnableButton(bool enable);

    bool IsPressed() const { return m_bPressed; }
    bool HasFocusNow() const;
    // Sends the click, as a mouse click or Space would.
    void Click();

    // Owners write these directly and then Refresh().
    ButtonPalette m_palette;
    int m_nShape = ButtonShapeCentred;
    int m_nKind = 1;
    int m_nState = ButtonStateNormal;
    std::string m_strSubText1;
    std::string m_strSubText2;
    int m_nEnabled = 1;
    int m_nMultiLine = 0;
    draw::Font m_font = draw::FontFor(draw::FontRole::ButtonCaption);

    // What the button shows and the colours it is drawn with now.
    ButtonContent Content() const;
    virtual ButtonColours PickColours() const;

protected:
    void RenderInto(Image32& image) const override;

private:
    void OnLeftDown(wxMouseEvent& event);
    void OnDoubleClick(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void SetPressed(bool pressed);
    // True when the press completes a double click begun by the last press that clicked.
    bool CompletesDoubleClick(const wxMouseEvent& event) const;

    bool m_bPressed = false;
    bool m_bTracking = false;
    bool m_bFirstPressKnown = false;  // the last press began a click: a double click may follow
    long m_lFirstPressTime = 0;       // its time stamp (ms) and place
    wxPoint m_ptFirstPress;
};

// The toggle look of the control kit: red when checked (or pressed), gold otherwise. The
// owner sets m_bChecked; a click only reports.
class CCstmCheckBox : public CCstmButton {
public:
    using CCstmButton::CCstmButton;
    bool m_bChecked = false;

protected:
    ButtonColours PickColours() const override;
};
