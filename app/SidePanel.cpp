#include "app/SidePanel.h"

#include "app/WxImage.h"
#include "common/EventHub.h"

CSidePanel::CSidePanel(wxWindow* parent, int dialogId, int widthDu, int heightDu)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, DuSize(widthDu, heightDu),
              wxTAB_TRAVERSAL | wxBORDER_NONE),
      m_nDialogId(dialogId) {
    Hide();  // shown by a screen layout
    ApplyBackground();
    Bind(wxEVT_CHAR_HOOK, &CSidePanel::OnCharHook, this);
}

void CSidePanel::ApplyBackground() {
    SetBackgroundColour(ToWxColour(m_crBack));
    SetForegroundColour(ToWxColour(m_crText));
}

void CSidePanel::SetPanelColours(Colorref text, Colorref back) {
    m_crText = text;
    m_crBack = back;
    ApplyBackground();
    Refresh(false);
}

void CSidePanel::PublishCommand(int controlId) {
    CommandEventArgs args{m_nDialogId, controlId};
    CEventHub::GetInstance().Publish(EventKindCommand, &args);
}

void CSidePanel::PublishScroll(int controlId, int scrollCode, int position) {
    ScrollEventArgs args{m_nDialogId, controlId, static_cast<uint32_t>(scrollCode),
                         static_cast<uint32_t>(position)};
    CEventHub::GetInstance().Publish(EventKindScroll, &args);
}

void CSidePanel::OnCharHook(wxKeyEvent& event) {
    if (PreTranslateKey(event))
        return;
    // The focused control handles the key as usual, and the key goes no further up to the
    // main window's own hook. (A handled hook event with DoAllowNextEvent never reaches the
    // control under wxGTK 3.2.2: neither a slider's arrows nor Tab would work.)
    event.StopPropagation();
    event.Skip();
}
