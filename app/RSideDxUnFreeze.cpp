#include "app/RSideDxUnFreeze.h"

#include <algorithm>

#include "app/AppStrings.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using resources::LoadString;

namespace {
struct GroupLayout {
    int slider, letter, caption, value;
    AppStringId letterText, captionText;
    int x, y;  // slider x, caption and value y
};
constexpr GroupLayout kLayout[4] = {
    {CRSideDxUnFreeze::IDC_SLIDER_DEPTH, CRSideDxUnFreeze::IDC_LETTER_DEPTH,
     CRSideDxUnFreeze::IDC_CAPTION_DEPTH, CRSideDxUnFreeze::IDC_VALUE_DEPTH, kStrLetterDepth, kStrDepth, 12,
     42},
    {CRSideDxUnFreeze::IDC_SLIDER_GAIN, CRSideDxUnFreeze::IDC_LETTER_GAIN, CRSideDxUnFreeze::IDC_CAPTION_GAIN,
     CRSideDxUnFreeze::IDC_VALUE_GAIN, kStrLetterGain, kStrGain, 28, 54},
    {CRSideDxUnFreeze::IDC_SLIDER_CONTRAST, CRSideDxUnFreeze::IDC_LETTER_CONTRAST,
     CRSideDxUnFreeze::IDC_CAPTION_CONTRAST, CRSideDxUnFreeze::IDC_VALUE_CONTRAST, kStrLetterContrast,
     kStrContrast, 44, 66},
    {CRSideDxUnFreeze::IDC_SLIDER_GAMMA, CRSideDxUnFreeze::IDC_LETTER_GAMMA,
     CRSideDxUnFreeze::IDC_CAPTION_GAMMA, CRSideDxUnFreeze::IDC_VALUE_GAMMA, kStrLetterGamma, kStrGamma, 60,
     78},
};
}  // namespace

CRSideDxUnFreeze::CRSideDxUnFreeze(wxWindow* parent) : CSidePanel(parent, kDialogId, 110, 322) {
    const unsigned left = draw::kTextLeft | draw::kTextVCenter;
    const unsigned right = draw::kTextRight | draw::kTextVCenter;
    const unsigned centre = draw::kTextCenter | draw::kTextVCenter;
    for (int i = 0; i < 4; ++i) {
        const GroupLayout& g = kLayout[i];
        SliderGroup& group = m_groups[i];
        // The values end where the template's do (x 90) but reach further left, and every
        // text is 12 units tall, so that 12 point "Contrast", "240" and "0.99" fit DejaVu
        // Sans, which runs wider than the template's face.
        group.caption = new CColorLabel(this, g.caption, LoadString(g.captionText), DuPoint(18, g.y),
                                        DuSize(48, 12), left);
        group.value =
            new CColorLabel(this, g.value, i == 3 ? "0.99" : "100", DuPoint(66, g.y), DuSize(24, 12), right);
        group.letter = new CColorLabel(this, g.letter, LoadString(g.letterText), DuPoint(g.x + 1, 95),
                                       DuSize(10, 12), centre);
        group.letter->SetFont(draw::FontFor(draw::FontRole::PanelLetter));
        group.slider = new CCstmSliderCtrl(this, g.slider, true, DuPoint(g.x, 108), DuSize(12, 66));
        for (CColorLabel* label : {group.caption, group.value, group.letter})
            ColourBySlider(label, group.slider);
    }
    m_lblFreq = new CColorLabel(this, IDC_FREQ_CAPTION, LoadString(kStrFreq), DuPoint(76, 95), DuSize(30, 12),
                                centre);
    m_lblFreq->SetColourSource([this] { return LabelColours{m_crNormalText, m_crBack}; });
    const char* freqTexts[3] = {"4.0", "3.3", "2.8"};
    for (int i = 0; i < 3; ++i) {
        m_btnFreq[i] =
            new CCstmButton(this, IDC_FREQ_1 + i, freqTexts[i], DuPoint(78, 115 + 18 * i), DuSize(26, 14));
        m_btnFreq[i]->m_font = draw::FontFor(draw::FontRole::FrequencyButton);
        m_btnFreq[i]->m_palette.textNormal = kSmallTextNormal;  // 13 point: legible blue
        m_btnFreq[i]->m_palette.focusBorder = static_cast<int>(m_crHighlightText.value);
        Bind(wxEVT_BUTTON, &CRSideDxUnFreeze::OnFreqButton, this, IDC_FREQ_1 + i);
    }
    m_lblFrameCorrelation[0] =
        new CColorLabel(this, IDC_FRAME_CORRELATION_1, LoadString(kStrFrameCorrelation), DuPoint(6, 306),
                        DuSize(40, 10), left);
    m_lblFrameCorrelation[1] =
        new CColorLabel(this, IDC_FRAME_CORRELATION_2, "", DuPoint(48, 300), DuSize(40, 10), left);
    for (CColorLabel* label : m_lblFrameCorrelation)
        label->Hide();

    // Depth 20 to 240 in pages of 7; gain and contrast in pages of 10 with the thumb where
    // the value reads 50; gamma 0.60 to 1.20 in steps of 0.01.
    CCstmSliderCtrl* depth = m_groups[0].slider;
    depth->SetRange(20, 240);
    depth->SetPageSize(7);
    depth->SetTicFreq(7);
    for (CCstmSliderCtrl* s : {m_groups[1].slider, m_groups[2].slider}) {
        s->SetRange(0, s == m_groups[1].slider ? 100 : 200);
        s->SetPageSize(10);
        s->SetTicFreq(1);
        s->SetPos(s->GetRangeMax() - (2 * s->GetRangeMin() + 50));
    }
    CCstmSliderCtrl* gamma = m_groups[3].slider;
    gamma->SetRange(60, 120);
    gamma->SetPageSize(1);
    gamma->SetTicFreq(1);

    Bind(EVT_CSTM_SLIDER_SCROLL, &CRSideDxUnFreeze::OnSliderScroll, this);
}

void CRSideDxUnFreeze::ColourBySlider(CColorLabel* label, CCstmSliderCtrl* slider) {
    label->SetColourSource([this, slider] {
        return LabelColours{slider->m_bFocused ? m_crHighlightText : m_crNormalText, m_crBack};
    });
}

double CRSideDxUnFreeze::GetGamma() const {
    const CCstmSliderCtrl* s = m_groups[3].slider;
    return (s->GetRangeMax() + s->GetRangeMin() - s->GetPos()) / 100.0;
}

double CRSideDxUnFreeze::ClampGamma(double gamma) const {
    const CCstmSliderCtrl* s = m_groups[3].slider;
    return std::clamp(gamma, s->GetRangeMin() / 100.0, s->GetRangeMax() / 100.0);
}

void CRSideDxUnFreeze::SetGammaText(double gamma) {
    m_groups[3].value->SetText(platform::Format("%3.2f", gamma));
}

const CRSideDxUnFreeze::SliderGroup* CRSideDxUnFreeze::GroupOf(const wxWindow* slider) const {
    for (const SliderGroup& g : m_groups) {
        if (g.slider == slider)
            return &g;
    }
    return nullptr;
}

bool CRSideDxUnFreeze::RedrawSliderValues(const wxWindow* slider) {
    const SliderGroup* g = GroupOf(slider);
    if (!g)
        return false;
    for (CColorLabel* label : {g->letter, g->caption, g->value})
        label->Refresh(false);
    return true;
}

CCstmSliderCtrl* CRSideDxUnFreeze::GetSlider(int id) {
    for (SliderGroup& g : m_groups) {
        if (g.slider->GetId() == id)
            return g.slider;
    }
    return nullptr;
}

CColorLabel* CRSideDxUnFreeze::GetLabel(int id) {
    return dynamic_cast<CColorLabel*>(FindWindow(id));
}

CCstmButton* CRSideDxUnFreeze::GetFreqButton(int id) {
    return id >= IDC_FREQ_1 && id <= IDC_FREQ_3 ? m_btnFreq[id - IDC_FREQ_1] : nullptr;
}

void CRSideDxUnFreeze::SetPanelColours(Colorref text, Colorref back) {
    m_crNormalText = text;
    CSidePanel::SetPanelColours(text, back);
}

void CRSideDxUnFreeze::OnFreqButton(wxCommandEvent& event) {
    PublishCommand(event.GetId());
}

void CRSideDxUnFreeze::OnSliderScroll(wxCommandEvent& event) {
    if (!GetSlider(event.GetId()))
        return;
    PublishScroll(event.GetId(), event.GetInt(), static_cast<int>(event.GetExtraLong()));
}

bool CRSideDxUnFreeze::PreTranslateKey(const wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_BACK || IsEnter(key) || key == WXK_ESCAPE)
        return true;
    if (IsTabOrShift(key) || IsArrow(key))
        return false;
    return ForwardKey(event);
}
