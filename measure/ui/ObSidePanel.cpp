#include "measure/ui/ObSidePanel.h"

#include "measure/ui/EntryMark.h"
#include "resources/StringTable.h"

using resources::LoadString;

namespace {

constexpr int kObLayout = 18;

// Strings of the panel's captions.
constexpr int kStrTitle = 310;
constexpr int kStrLmp = 299;
constexpr int kStrBbt = 337;
constexpr int kStrEvaluation = 284;
constexpr int kStrGa = 291;
constexpr int kStrEfw = 280;
constexpr int kStrGAge = 326;
constexpr int kStrBack = 270;

struct ButtonRow {
    int id;
    int stringId;
    int y;
};
constexpr ButtonRow kItemRows[5] = {{CLSideOBGYPanel::IDC_BPD, 130, 126},
                                    {CLSideOBGYPanel::IDC_FL, 134, 150},
                                    {CLSideOBGYPanel::IDC_CRL, 216, 174},
                                    {CLSideOBGYPanel::IDC_AC, 135, 198},
                                    {CLSideOBGYPanel::IDC_GS, 217, 222}};

// The button of an item number (1 BPD, 2 CRL, 3 GS, 5 FL, 6 AC); 0 for SL, HC and none.
int ButtonOfItem(int item) {
    switch (item) {
        case 1:
            return CLSideOBGYPanel::IDC_BPD;
        case 2:
            return CLSideOBGYPanel::IDC_CRL;
        case 3:
            return CLSideOBGYPanel::IDC_GS;
        case 5:
            return CLSideOBGYPanel::IDC_FL;
        case 6:
            return CLSideOBGYPanel::IDC_AC;
        default:
            return 0;
    }
}

}  // namespace

CLSideOBGYPanel::CLSideOBGYPanel(wxWindow* parent) : CSidePanel(parent, kDialogId, 111, 339) {
    // The title runs to the panel's right edge (1180's right, 108): at 96 units its last letter
    // was cut off.
    CColorLabel* title = Label(IDC_TITLE, LoadString(kStrTitle), 6, 35, 102, 18, false);
    title->SetFont({draw::kUiFace, 17.0, true});
    Label(IDC_LMP_LABEL, LoadString(kStrLmp), 6, 60, 24, 12, false);
    m_pLmpText = Label(IDC_LMP_TEXT, "", 30, 60, 60, 12, true);
    m_pLmpMark = new CEntryMark(this, IDC_LMP_MARK, DuPoint(94, 63), DuSize(8, 9));
    Label(IDC_BBT_LABEL, LoadString(kStrBbt), 6, 72, 24, 12, false);
    m_pBbtText = Label(IDC_BBT_TEXT, "", 30, 72, 60, 12, true);
    m_pBbtMark = new CEntryMark(this, IDC_BBT_MARK, DuPoint(94, 75), DuSize(8, 9));
    Label(IDC_EVAL, LoadString(kStrEvaluation), 6, 84, 60, 12, false);
    // The evaluation row is narrow: its four texts in a smaller face, spaced so that "GA:",
    // "EFW:" and the longest names ("EURO1", "Hadlock") fit whole.
    Label(IDC_GA_LABEL, LoadString(kStrGa), 6, 96, 14, 12, false);
    m_pGaModel = Label(IDC_GA_MODEL, "", 20, 96, 29, 12, true);
    Label(IDC_EFW_LABEL, LoadString(kStrEfw), 50, 96, 20, 12, false);
    m_pEfwModel = Label(IDC_EFW_MODEL, "", 70, 96, 37, 12, true);
    for (int id : {IDC_GA_LABEL, IDC_GA_MODEL, IDC_EFW_LABEL, IDC_EFW_MODEL})
        static_cast<CColorLabel*>(FindWindow(id))->SetFont({draw::kUiFace, 10.0, false});
    for (int id : {IDC_LMP_LABEL, IDC_LMP_TEXT, IDC_BBT_LABEL, IDC_BBT_TEXT, IDC_EVAL})
        static_cast<CColorLabel*>(FindWindow(id))->SetFont({draw::kUiFace, 13.0, false});

    size_t i = 0;
    for (const ButtonRow& row : kItemRows) {
        auto* b = new CCstmButton(this, row.id, LoadString(row.stringId), DuPoint(6, row.y), DuSize(96, 22));
        b->m_nShape = ButtonShapeLeftCaption;
        b->m_nKind = 2;
        // 9 point: between the two 24-pixel indents the caption shares 96 pixels with the
        // value, which at 10 point takes about 70 ("345.9 mm", "600.8 cm2"); at 12 point
        // "BPD" and "CRL" ran into it.
        b->m_font = {draw::kUiFace, draw::PointsToPixels(9), false};
        m_apButtons[i++] = b;
    }
    auto* gage = new CCstmButton(this, IDC_GAGE, LoadString(kStrGAge), DuPoint(6, 246), DuSize(96, 28));
    gage->m_nKind = 8;
    auto* back = new CCstmButton(this, IDC_BACK, LoadString(kStrBack), DuPoint(6, 276), DuSize(47, 34));
    back->m_nKind = 15;
    m_apButtons[5] = gage;
    m_apButtons[6] = back;
    for (CCstmButton* b : m_apButtons) {
        b->m_palette.focusBorder = static_cast<int>(m_crValue.value);
        Bind(wxEVT_BUTTON, &CLSideOBGYPanel::OnButton, this, b->GetId());
    }
    Bind(wxEVT_BUTTON, &CLSideOBGYPanel::OnButton, this, IDC_LMP_MARK);
    Bind(wxEVT_BUTTON, &CLSideOBGYPanel::OnButton, this, IDC_BBT_MARK);
    // The right-edge anchor for the panel's width.
    auto* anchor = new wxWindow(this, IDC_ANCHOR, DuPoint(72, 288), DuSize(36, 8));
    anchor->Hide();
    SetMode(0, 0);
}

CColorLabel* CLSideOBGYPanel::Label(int id, const std::string& text, int x, int y, int w, int h, bool value) {
    auto* label =
        new CColorLabel(this, id, text, DuPoint(x, y), DuSize(w, h), draw::kTextLeft | draw::kTextVCenter);
    label->SetColourSource([this, value] { return LabelColours{value ? m_crValue : m_crText, m_crBack}; });
    return label;
}

CCstmButton* CLSideOBGYPanel::Button(int id) const {
    for (CCstmButton* b : m_apButtons)
        if (b && b->GetId() == id)
            return b;
    return nullptr;
}

void CLSideOBGYPanel::ClearMeasureValues() {
    for (int id : kItemButtons) {
        CCstmButton* b = Button(id);
        b->SetSubText1("");
        b->SetSubText2("");
        b->Refresh(false);
    }
}

void CLSideOBGYPanel::SetMode(int layout, int item) {
    const int highlighted = ButtonOfItem(item);
    for (int id : kItemButtons) {
        CCstmButton* b = Button(id);
        if (layout == kObLayout) {
            // Enabled or not by the layout before this call: a growth-table set outside the
            // four has no items to measure.
            b->m_nState = id == highlighted ? ButtonStateHighlighted : ButtonStateNormal;
            b->Show();
        } else {
            // Hidden but still enabled: the patient keys F1 and F4 ask BPD and CRL in every layout.
            b->m_nState = ButtonStateNormal;
            b->Hide();
        }
        b->Refresh(false);
    }
    if (layout == kObLayout) {
        m_pLmpText->SetText(m_strLmp);
        m_pBbtText->SetText(m_strBbt);
    }
}

void CLSideOBGYPanel::SetDateTexts(const std::string& lmp, const std::string& bbt) {
    m_strLmp = lmp;
    m_strBbt = bbt;
    m_pLmpText->SetText(lmp);
    m_pBbtText->SetText(bbt);
}

int CLSideOBGYPanel::CodeOf(int controlId) {
    switch (controlId) {
        case IDC_BACK:
            return kCodeBack;
        case IDC_LMP_MARK:
            return kCodeLmp;
        case IDC_BBT_MARK:
            return kCodeBbt;
        case IDC_BPD:
        case IDC_FL:
        case IDC_CRL:
        case IDC_AC:
        case IDC_GS:
        case IDC_GAGE:
            return controlId;
        default:
            return 0;
    }
}

void CLSideOBGYPanel::OnButton(wxCommandEvent& event) {
    if (const int code = CodeOf(event.GetId()); code != 0)
        PublishCommand(code);
}

bool CLSideOBGYPanel::PreTranslateKey(const wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (IsEnter(key)) {
        const wxWindow* focus = wxWindow::FindFocus();
        for (CCstmButton* b : m_apButtons) {
            if (focus == b) {
                PublishCommand(CodeOf(b->GetId()));
                break;
            }
        }
        return true;  // consumed also when no button has the focus
    }
    if (IsTabOrShift(key))
        return false;
    return ForwardKey(event);
}

// ---- the core's port

void CObPanelPort::PlaceAndShow(const draw::Rect& rect) {
    m_pPanel->SetSize(rect.left, rect.top, rect.Width(), rect.Height());
    m_pPanel->Show(true);
    m_pPanel->Raise();
}

void CObPanelPort::Show(bool show) {
    m_pPanel->Show(show);
    if (show)
        m_pPanel->Raise();
}

bool CObPanelPort::IsShown() const {
    return m_pPanel->IsShown();
}

int CObPanelPort::AnchorRight(int controlId) const {
    const wxWindow* control = m_pPanel->FindWindow(controlId);
    if (!control || control == m_pPanel)
        return -1;
    return m_pPanel->GetPosition().x + control->GetPosition().x + control->GetSize().x;
}

bool CObPanelPort::IsButtonEnabled(int id) const {
    const CCstmButton* b = m_pPanel->Button(id);
    // Enabled whether shown or not, as the patient keys need it.
    return b && b->m_nEnabled == 1;
}

void CObPanelPort::FocusButton(int id) {
    if (CCstmButton* b = m_pPanel->Button(id))
        b->SetFocus();
}

void CObPanelPort::EnableItemButtons(bool enable) {
    for (int id : CLSideOBGYPanel::kItemButtons)
        m_pPanel->Button(id)->EnableButton(enable);
}

void CObPanelPort::SetItemSubCaption(int id, const std::string& text) {
    if (CCstmButton* b = m_pPanel->Button(id)) {
        b->SetSubText1(text);
        if (text.empty())
            b->SetSubText2("");
        b->Refresh(false);
    }
}

void CObPanelPort::SetItemSubCaptionColour(int id, uint32_t pixel) {
    if (CCstmButton* b = m_pPanel->Button(id))
        b->m_palette.subText = Colorref::FromRgb(PixelR(pixel), PixelG(pixel), PixelB(pixel));
}

void CObPanelPort::SetAcSubCaptionColour(uint32_t pixel) {
    SetItemSubCaptionColour(CLSideOBGYPanel::IDC_AC, pixel);
}

void CObPanelPort::SetModelCaption(const std::string& text) {
    m_pPanel->m_pEfwModel->SetText(text);
}

void CObPanelPort::SetGaModelText(const std::string& text) {
    m_pPanel->m_pGaModel->SetText(text);
}

void CObPanelPort::SetItemCaption(int id, const std::string& text) {
    if (CCstmButton* b = m_pPanel->Button(id))
        b->SetCaption(text);
}

void CObPanelPort::SetMode(int layout, int subItem, bool redraw) {
    m_pPanel->SetMode(layout, subItem);
    if (redraw)
        m_pPanel->Refresh(false);
}
