#include "app/LSideDxUnFreeze.h"

#include <cmath>

#include "app/AppStrings.h"
#include "resources/StringTable.h"

using resources::LoadString;

CLSideDxUnFreeze::CLSideDxUnFreeze(wxWindow* parent) : CSidePanel(parent, kDialogId, 126, 332) {
    // The buttons reach 6 units further to each side than the template's, so that 18 point
    // "SyncView" and "UnFreeze" fit DejaVu Sans, which runs wider than the template's face;
    // the recording time is wider and taller for its 14 point digits.
    m_btnFreeze =
        new CCstmCheckBox(this, IDC_FREEZE, LoadString(kStrFreeze), DuPoint(10, 36), DuSize(98, 54));
    m_btnBB = new CCstmButton(this, IDC_BB, LoadString(kStrBB), DuPoint(10, 102), DuSize(98, 40));
    m_btnBM = new CCstmButton(this, IDC_BM, LoadString(kStrBM), DuPoint(10, 147), DuSize(98, 40));
    m_btnSyncView =
        new CCstmButton(this, IDC_SYNCVIEW, LoadString(kStrSyncView), DuPoint(10, 192), DuSize(98, 40));
    m_btnSTC = new CCstmButton(this, IDC_STC, LoadString(kStrSTC), DuPoint(10, 237), DuSize(98, 40));
    m_btnRec = new CCstmButton(this, IDC_REC, LoadString(kStrREC), DuPoint(10, 289), DuSize(38, 36));
    m_gradation = new CGradationCtrl(this, IDC_GRADATION, DuPoint(114, 35), DuSize(5, 242));
    m_lblRecTime = new CColorLabel(this, IDC_REC_TIME, LoadString(kStrRecTimeZero), DuPoint(54, 299),
                                   DuSize(44, 14), draw::kTextLeft | draw::kTextVCenter);
    m_rcGradation = m_gradation->GetRect();

    m_btnRec->m_nShape = ButtonShapeCircle;
    m_btnRec->m_palette.textNormal = kSmallTextNormal;  // 13 point: legible blue
    m_btnFreeze->m_bChecked = true;
    SetColors(draw::FontFor(draw::FontRole::ButtonCaption), draw::FontFor(draw::FontRole::RecTime),
              draw::FontFor(draw::FontRole::RecButton), m_crText, m_crBack, m_crFocusBorder);

    for (int id : {IDC_FREEZE, IDC_STC, IDC_BB, IDC_BM, IDC_SYNCVIEW, IDC_REC}) {
        Bind(wxEVT_BUTTON, &CLSideDxUnFreeze::OnButton, this, id);
    }
    Bind(wxEVT_SHOW, &CLSideDxUnFreeze::OnShow, this);
}

void CLSideDxUnFreeze::OnButton(wxCommandEvent& event) {
    PublishCommand(event.GetId());
}

void CLSideDxUnFreeze::OnShow(wxShowEvent& event) {
    if (event.IsShown())
        m_gradation->SetSize(m_rcGradation);
    event.Skip();
}

void CLSideDxUnFreeze::SetRecButtonText(const std::string& text) {
    m_btnRec->SetCaption(text);
}

CCstmButton* CLSideDxUnFreeze::GetButton(int id) {
    switch (id) {
        case IDC_STC:
            return m_btnSTC;
        case IDC_BB:
            return m_btnBB;
        case IDC_BM:
            return m_btnBM;
        case IDC_SYNCVIEW:
            return m_btnSyncView;
        case IDC_REC:
            return m_btnRec;
        default:
            return nullptr;
    }
}

void CLSideDxUnFreeze::EnableButton(int id, bool enable) {
    if (CCstmButton* button = GetButton(id))
        button->EnableButton(enable);
}

void CLSideDxUnFreeze::SetButtonText(int id, const std::string& text) {
    CCstmButton* button = GetButton(id);
    if (!button)
        return;
    button->m_palette.subText = Colorref::FromRgb(192, 192, 192);
    button->SetSubText1(text);
    button->Refresh(true);
}

void CLSideDxUnFreeze::SetGamma(double gamma) {
    // A gamma of zero or below has no curve; the sliders never give one, callers clamp.
    if (!(gamma > 0.0) || !std::isfinite(gamma))
        return;
    for (int i = 0; i < 256; ++i) {
        m_gradation->m_anTable[static_cast<size_t>(i)] =
            static_cast<int>(255.0 * std::pow(i / 255.0, 1.0 / gamma));
    }
    m_gradation->Refresh(false);
}

void CLSideDxUnFreeze::SetColors(const draw::Font& buttonFont, const draw::Font& recTimeFont,
                                 const draw::Font& recFont, Colorref text, Colorref back,
                                 Colorref focusBorder) {
    SetPanelColours(text, back);
    m_crFocusBorder = focusBorder;
    for (CCstmButton* b :
         {static_cast<CCstmButton*>(m_btnFreeze), m_btnBB, m_btnBM, m_btnSyncView, m_btnSTC, m_btnRec}) {
        b->m_palette.focusBorder = static_cast<int>(focusBorder.value);
        b->m_font = b == m_btnRec ? recFont : buttonFont;
        b->Refresh(false);
    }
    m_lblRecTime->SetFont(recTimeFont);
    m_lblRecTime->SetColourSource([this] { return LabelColours{m_crText, m_crBack}; });
}

void CLSideDxUnFreeze::SetGradationRect(const wxRect& rect) {
    m_rcGradation = rect;
    m_gradation->SetSize(rect);
}

bool CLSideDxUnFreeze::IsButtonFocused() const {
    const wxWindow* focus = wxWindow::FindFocus();
    return focus && (focus == m_btnFreeze || focus == m_btnBB || focus == m_btnBM || focus == m_btnSyncView ||
                     focus == m_btnRec || focus == m_btnSTC);
}

void CLSideDxUnFreeze::RefreshRecButton() {
    m_btnRec->Refresh(false);
}

bool CLSideDxUnFreeze::PreTranslateKey(const wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (IsEnter(key)) {
        if (IsButtonFocused())
            PublishCommand(wxWindow::FindFocus()->GetId());
        return true;  // consumed whether or not a button had the focus
    }
    if (key == 'S') {
        PublishCommand(IDC_STC);
        return true;
    }
    if (IsTabOrShift(key))
        return false;
    return ForwardKey(event);
}
