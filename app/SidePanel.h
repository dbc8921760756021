// What the three side panels share: their dialog id, colours, dialog-unit placement, the
// publishing of their events on the event hub, and key routing. A panel sees the keys
// pressed inside it first (through wxEVT_CHAR_HOOK): it consumes them, leaves them to the
// focused control, or hands them to the main window's key handler (the key forwarder).
#pragma once

#include <wx/panel.h>
#include <functional>

#include "platform/Image.h"

class CSidePanel : public wxPanel {
public:
    // Answers whether the main window used the key.
    using KeyForwarder = std::function<bool(const wxKeyEvent&)>;

    CSidePanel(wxWindow* parent, int dialogId, int widthDu, int heightDu);

    int DialogId() const { return m_nDialogId; }
    // The settings colours: background ("BCOLOR") and text ("FCOLOR").
    virtual void SetPanelColours(Colorref text, Colorref back);
    void SetKeyForwarder(KeyForwarder forwarder) { m_keyForwarder = std::move(forwarder); }

    // The panel's part of key handling: true when the key is consumed, false when the
    // focused control should handle it as usual.
    virtual bool PreTranslateKey(const wxKeyEvent& event) = 0;

    Colorref m_crBack = Colorref::FromRgb(0, 0, 14);
    Colorref m_crText = Colorref::FromRgb(255, 255, 255);

    // Dialog units to pixels at 1.5 pixels per unit.
    static int Du(int units) { return units * 3 / 2; }
    static wxPoint DuPoint(int x, int y) { return {Du(x), Du(y)}; }
    static wxSize DuSize(int w, int h) { return {Du(w), Du(h)}; }

protected:
    void PublishCommand(int controlId);
    void PublishScroll(int controlId, int scrollCode, int position);
    bool ForwardKey(const wxKeyEvent& event) { return m_keyForwarder ? m_keyForwarder(event) : false; }
    void ApplyBackground();
    static bool IsEnter(int key) { return key == WXK_RETURN || key == WXK_NUMPAD_ENTER; }
    static bool IsTabOrShift(int key) { return key == WXK_TAB || key == WXK_SHIFT; }
    static bool IsArrow(int key) {
        return key == WXK_LEFT || key == WXK_RIGHT || key == WXK_UP || key == WXK_DOWN;
    }

private:
    void OnCharHook(wxKeyEvent& event);
    int m_nDialogId;
    KeyForwarder m_keyForwarder;
};
