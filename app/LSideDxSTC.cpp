#include "app/LSideDxSTC.h"

#include "app/AppStrings.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using resources::LoadString;

CLSideDxSTC::CLSideDxSTC(wxWindow* parent) : CSidePanel(parent, kDialogId, 126, 332) {
    for (int i = 0; i < kSliderCount; ++i) {
        const int y = 42 + 24 * i;
        m_apSlider[static_cast<size_t>(i)] =
            new CCstmSliderCtrl(this, IDC_STC_SLIDER_FIRST + i, false, DuPoint(18, y), DuSize(75, 15));
        // Wider and taller than the template's 12 x 10 units, so that 12 point "-32" fits
        // DejaVu Sans with its sign; level with its slider.
        CColorLabel* label = new CColorLabel(this, IDC_STC_VALUE_FIRST + i, "0", DuPoint(94, y),
                                             DuSize(24, 15), draw::kTextRight | draw::kTextVCenter);
        label->SetColourSource([this] { return LabelColours{m_crText, m_crBack}; });
        m_apValue[static_cast<size_t>(i)] = label;
    }
    // 50 units wide instead of 40, so that the 18 point captions fit.
    m_btnAuto = new CCstmButton(this, IDC_AUTO, LoadString(kStrAuto), DuPoint(12, 282), DuSize(50, 24));
    m_btnBack = new CCstmButton(this, IDC_BACK, LoadString(kStrBack), DuPoint(64, 282), DuSize(50, 24));
    for (CCstmButton* b : {m_btnAuto, m_btnBack})
        b->m_palette.focusBorder = static_cast<int>(Rgb(192, 160, 31).value);
    SetSliderRange(0, 64);
    SetShowValues(m_bShowValues);

    Bind(wxEVT_BUTTON, &CLSideDxSTC::OnButton, this, IDC_BACK);
    Bind(wxEVT_BUTTON, &CLSideDxSTC::OnButton, this, IDC_AUTO);
    Bind(EVT_CSTM_SLIDER_SCROLL, &CLSideDxSTC::OnSliderScroll, this);
}

void CLSideDxSTC::SetSliderRange(int minimum, int maximum) {
    for (CCstmSliderCtrl* s : m_apSlider) {
        s->SetRange(minimum, maximum, false);
        s->SetTicFreq(1);
        s->SetPageSize(10);
    }
}

CCstmSliderCtrl* CLSideDxSTC::GetSlider(int index) {
    return index >= 0 && index < kSliderCount ? m_apSlider[static_cast<size_t>(index)] : nullptr;
}

CColorLabel* CLSideDxSTC::GetValueLabel(int index) {
    return index >= 0 && index < kSliderCount ? m_apValue[static_cast<size_t>(index)] : nullptr;
}

int CLSideDxSTC::SliderIndexFromId(int id) {
    const int i = id - IDC_STC_SLIDER_FIRST;
    return i >= 0 && i < kSliderCount ? i : -1;
}

void CLSideDxSTC::UpdateValueLabel(int index) {
    if (!m_bShowValues || index < 0 || index >= kSliderCount)
        return;
    m_apValue[static_cast<size_t>(index)]->SetText(
        platform::Format("%d", m_apSlider[static_cast<size_t>(index)]->GetPos()));
}

void CLSideDxSTC::SetShowValues(bool show) {
    m_bShowValues = show;
    for (CColorLabel* label : m_apValue)
        label->Show(show);
}

bool CLSideDxSTC::IsButtonFocused() const {
    const wxWindow* focus = wxWindow::FindFocus();
    return focus && (focus == m_btnBack || focus == m_btnAuto);
}

void CLSideDxSTC::OnButton(wxCommandEvent& event) {
    PublishCommand(event.GetId());
}

void CLSideDxSTC::OnSliderScroll(wxCommandEvent& event) {
    const int index = SliderIndexFromId(event.GetId());
    if (index < 0)
        return;
    UpdateValueLabel(index);
    PublishScroll(event.GetId(), event.GetInt(), static_cast<int>(event.GetExtraLong()));
}

bool CLSideDxSTC::PreTranslateKey(const wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (IsEnter(key)) {
        if (IsButtonFocused())
            PublishCommand(wxWindow::FindFocus()->GetId());
        return true;
    }
    if (key == 'S') {
        PublishCommand(IDC_BACK);
        return true;
    }
    if (IsTabOrShift(key) || IsArrow(key))
        return false;
    // Any other key first takes the focus off a slider, so the main window's keys act at once.
    const wxWindow* focus = wxWindow::FindFocus();
    for (CCstmSliderCtrl* s : m_apSlider) {
        if (focus == s) {
            m_btnBack->SetFocus();
            break;
        }
    }
    return ForwardKey(event);
}
