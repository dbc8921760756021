// The imaging controls: depth with its presets of gain, contrast and STC, the gain, contrast
// and depth steps of the keys, the transmit-frequency buttons, the STC sliders and the
// automatic STC switch, and gamma.
#include <algorithm>
#include <array>

#include "app/core/CoreStrings.h"
#include "app/core/DepthMath.h"
#include "app/core/KALVEXDlg.h"
#include "common/GainCurve.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

struct DepthPreset {
    int from;
    int to;
    int gain;
    int contrast;
    std::array<int32_t, kStcKnotCount> bases;
};

constexpr DepthPreset kDepthPresets[] = {
    {20, 100, 59, 85, {44, 43, 44, 47, 35, 32, 41, 45, 43, 44, 0}},
    {101, 150, 59, 95, {54, 53, 45, 37, 35, 32, 41, 45, 53, 54, 0}},
    {151, 240, 89, 105, {41, 32, 25, 19, 25, 39, 51, 52, 53, 37, 0}},
};

constexpr int kFreqButtons[3] = {IDC_R_FREQ1, IDC_R_FREQ2, IDC_R_FREQ3};

}  // namespace

void CKALVEXDlg::UpdateStcCurve() {
    CImageProc* proc = Live();
    if (!proc)
        return;
    StcKnots knots{};
    for (int i = 0; i < kStcKnotCount; ++i)
        knots[static_cast<size_t>(i)] = g_anStcOffset[i] + g_anStcValue[i];
    proc->UpdateStcCurve(knots);
}

void CKALVEXDlg::SyncStcSliders() {
    IStcPanel& stc = *m_ports.stcPanel;
    for (int i = 0; i < IStcPanel::kSliderCount; ++i) {
        stc.SetSliderPos(i, g_anStcValue[i] + (m_nStcMode == kStcAbsolute ? 0 : g_anStcOffset[i]));
        stc.UpdateValueLabel(i);
    }
}

void CKALVEXDlg::ApplyDepth(int* scrollCode, int* force) {
    CImageProc* proc = Live();
    if (!proc)
        return;
    const int code = scrollCode ? *scrollCode : 0;
    const bool forced = force && *force != 0;
    IRightPanel& right = *m_ports.rightPanel;
    const int position = right.GetSliderPos(IDC_R_DEPTH);
    if (position < 0)
        return;
    proc->SetDepth(position);
    const int d = DepthFromPixelScale(proc->GetPixelScale(position));
    if (code <= 7 && (forced || d != m_nLastPresetDepth)) {
        if (m_nStcMode == kStcAuto || m_nStcMode == kStcAbsolute) {
            // The rows whose range the move entered (or, forced, the row of the depth); the last
            // one wins, except that the row holding the new depth wins over a row only crossed
            // on the way down (225 to 90 mm crosses both lower rows and must get the first).
            const DepthPreset* chosen = nullptr;
            for (const DepthPreset& row : kDepthPresets) {
                const bool holds = row.from <= d && d <= row.to;
                const bool inside = forced && holds;
                const bool crossedUp = m_nLastPresetDepth < row.from && row.from <= d;
                const bool crossedDown = d <= row.to && row.to < m_nLastPresetDepth;
                if ((inside || crossedUp || crossedDown) &&
                    !(chosen && chosen->from <= d && d <= chosen->to && !holds))
                    chosen = &row;
            }
            if (chosen) {
                SetSliderValue(IDC_R_GAIN, chosen->gain);
                SetSliderValue(IDC_R_CONTRAST, chosen->contrast);
                proc->SetGain(SliderValue(IDC_R_GAIN));
                proc->SetContrast(SliderValue(IDC_R_CONTRAST));
                std::copy(chosen->bases.begin(), chosen->bases.end(), g_anStcOffset);
                if (m_nStcMode != kStcAbsolute)
                    std::fill(g_anStcValue, g_anStcValue + kStcKnotCount, 0);
                SyncStcSliders();
                UpdateStcCurve();
            }
        }
        const ImagingParams p = proc->GetParams();
        right.SetValueText(IDC_R_DEPTH, platform::Format("%d", d));
        right.SetValueText(IDC_R_GAIN, platform::Format("%d", p.gain));
        right.SetValueText(IDC_R_CONTRAST, platform::Format("%d", p.contrast));
        m_nLastPresetDepth = d;
        if (IProbeData* probe = g_pProbe.load()) {
            probe->SetDepth(d);
            if (probe->IsFeatureSupported(ProbeFeatureFocus)) {
                const int depth10 = DepthFromPixelScale(proc->GetPixelScale(proc->GetDepth())) / 10 * 10;
                int focus = static_cast<int>(depth10 * 0.6 / 10) * 10;
                focus = std::min(std::max(focus, 10), probe->GetMaxFocus());
                const int current = probe->GetFocus();
                if (depth10 <= current && focus < current && probe->SetFocus(focus))
                    proc->SetFocus(focus);
            }
        }
        for (CCstmPictureCtrl* view : {&m_viewMain, &m_viewLeft, &m_viewRight})
            view->m_nLabelInterval = d > 50 ? 5 : 1;
    }
    m_nImageTop = proc->GetImageTop(proc->GetDepth());
    SyncStcSliders();
    UpdateStcCurve();
    if (m_nDisplayMode == kDisplayBM)
        ClearMModeSweep();
}

// Frozen with the OB/GY tool, the step keys pick an item the panel offers. True when the key
// belongs to OB/GY (then nothing else happens).
bool CKALVEXDlg::SelectObItemByKey(int buttonId, int command) {
    if (m_nRunState != kFrozen || m_nTool != kToolObgy)
        return false;
    if (m_ports.obPanel->IsButtonEnabled(buttonId)) {
        m_ports.obPanel->FocusButton(buttonId);
        ExecCommand(command);
    }
    return true;
}

void CKALVEXDlg::IncreaseDepth() {
    if (SelectObItemByKey(IDC_OB_BPD, 17) || m_nRunState != kLive)
        return;
    IRightPanel& right = *m_ports.rightPanel;
    const int pos = right.GetSliderPos(IDC_R_DEPTH);
    if (pos < right.GetSliderMax(IDC_R_DEPTH)) {
        right.SetSliderPos(IDC_R_DEPTH, pos + 1);
        int code = SB_THUMBTRACK;
        ExecCommand(kCmdApplyDepth, &code, nullptr);
    } else if (CImageProc* proc = Live()) {
        proc->SetDepth(pos);
        m_nImageTop = proc->GetImageTop(pos);
        SyncStcSliders();
        UpdateStcCurve();
    }
}

void CKALVEXDlg::DecreaseDepth() {
    if (SelectObItemByKey(IDC_OB_CRL, 18) || m_nRunState != kLive)
        return;
    IRightPanel& right = *m_ports.rightPanel;
    const int pos = right.GetSliderPos(IDC_R_DEPTH);
    if (pos > right.GetSliderMin(IDC_R_DEPTH)) {
        right.SetSliderPos(IDC_R_DEPTH, pos - 1);
        int code = SB_THUMBTRACK;
        ExecCommand(kCmdApplyDepth, &code, nullptr);
    } else if (CImageProc* proc = Live()) {
        proc->SetDepth(pos);
        m_nImageTop = proc->GetImageTop(pos);
        SyncStcSliders();
        UpdateStcCurve();
    }
}

// One gain or contrast step of a key: down while above 0, up while below 100 (a contrast
// above 100 from the slider or a preset is not raised further).
void CKALVEXDlg::StepSlider(int sliderId, int delta) {
    const int v = SliderValue(sliderId);
    if (delta < 0 ? v <= 0 : v >= 100)
        return;
    SetSliderValue(sliderId, v + delta);
    const int now = SliderValue(sliderId);
    if (CImageProc* proc = Live()) {
        if (sliderId == IDC_R_GAIN)
            proc->SetGain(now);
        else
            proc->SetContrast(now);
    }
    m_ports.rightPanel->SetValueText(sliderId, platform::Format("%d", now));
}

void CKALVEXDlg::GainDown() {
    if (SelectObItemByKey(IDC_OB_GS, 19) || m_nRunState != kLive)
        return;
    StepSlider(IDC_R_GAIN, -1);
}

void CKALVEXDlg::GainUp() {
    if (m_nRunState != kLive)
        return;
    StepSlider(IDC_R_GAIN, 1);
}

void CKALVEXDlg::ContrastDown() {
    if (SelectObItemByKey(IDC_OB_FL, 21) || m_nRunState != kLive)
        return;
    StepSlider(IDC_R_CONTRAST, -1);
}

void CKALVEXDlg::ContrastUp() {
    if (SelectObItemByKey(IDC_OB_AC, 22) || m_nRunState != kLive)
        return;
    StepSlider(IDC_R_CONTRAST, 1);
}

void CKALVEXDlg::GainFromSlider(int* scrollCode) {
    const int value = SliderValue(IDC_R_GAIN);
    if (CImageProc* proc = Live())
        proc->SetGain(value);
    const int code = scrollCode ? *scrollCode : 0;
    if (code >= 0 && code <= 7)
        m_ports.rightPanel->SetValueText(IDC_R_GAIN, platform::Format("%d", value));
}

void CKALVEXDlg::ContrastFromSlider(int* scrollCode) {
    const int value = SliderValue(IDC_R_CONTRAST);
    if (CImageProc* proc = Live())
        proc->SetContrast(value);
    const int code = scrollCode ? *scrollCode : 0;
    if (code >= 0 && code <= 7)
        m_ports.rightPanel->SetValueText(IDC_R_CONTRAST, platform::Format("%d", value));
}

void CKALVEXDlg::SelectPreset(int buttonId) {
    IProbeData* probe = g_pProbe.load();
    if (!probe || !probe->IsFeatureSupported(ProbeFeatureTxFrequency))
        return;
    // Only the buttons the last set-up offered select a frequency.
    const auto it = m_mapFreqButtons.find(buttonId);
    if (it == m_mapFreqButtons.end())
        return;
    const int index = it->second;
    if (!probe->SetTxFrequency(index) || probe->GetTxFrequency() != index)
        return;
    IRightPanel& right = *m_ports.rightPanel;
    for (int id : kFreqButtons)
        right.SetFreqButtonState(id, id == buttonId ? kStateHighlighted : kStateNormal);
    right.RedrawFreqButtons();
}

void CKALVEXDlg::UpdatePresetButtons(int index, int defaultIndex, const TxFrequencyTable& table) {
    m_mapFreqButtons.clear();
    if (table.size() != 3) {
        DisablePresetButtons();
        return;
    }
    const auto found = table.find(index);
    const int selected = found != table.end() && found->second.offered == 1 ? index : defaultIndex;
    IRightPanel& right = *m_ports.rightPanel;
    int remembered = 0;
    size_t i = 0;
    for (const auto& [entryIndex, entry] : table) {
        const int id = kFreqButtons[i++];
        const bool offered = entry.offered == 1;
        right.SetFreqButtonCaption(id, entry.label);
        right.EnableFreqButton(id, offered);
        right.ShowFreqButton(id, offered);
        m_mapFreqButtons[id] = entryIndex;
        if (entryIndex == selected)
            remembered = id;
    }
    if (remembered)
        SelectPreset(remembered);
}

void CKALVEXDlg::DisablePresetButtons() {
    IRightPanel& right = *m_ports.rightPanel;
    for (int id : kFreqButtons) {
        right.EnableFreqButton(id, false);
        right.SetFreqButtonState(id, kStateNormal);
    }
    m_mapFreqButtons.clear();
}

void CKALVEXDlg::ToggleStcAuto() {
    if (m_nStcMode == kStcAbsolute)
        return;
    m_nStcMode = m_nStcMode == kStcAuto ? kStcManual : kStcAuto;
    const bool automatic = m_nStcMode == kStcAuto;
    m_ports.livePanel->SetButtonSubText2(IDC_LIVE_STC,
                                         automatic ? resources::LoadString(kStrStcAutomatic) : "");
    m_ports.stcPanel->SetAutoButton(resources::LoadString(automatic ? kStrStcOn : kStrStcOff),
                                    automatic ? kStateHighlighted : kStateNormal);
    if (automatic) {
        int code = SB_THUMBPOSITION;
        int force = 1;
        ExecCommand(kCmdApplyDepth, &code, &force);
    }
}

void CKALVEXDlg::ApplyGammaFromSlider() {
    const double gamma = GammaFromSlider();
    if (CImageProc* proc = Live())
        proc->SetGamma(gamma);
    m_ports.livePanel->SetGamma(gamma);
    m_ports.rightPanel->SetValueText(IDC_R_GAMMA, platform::Format("%3.2f", gamma));
}

void CKALVEXDlg::GammaStep() {
    if (m_nRunState != kLive)
        return;
    IRightPanel& right = *m_ports.rightPanel;
    const int pos = right.GetSliderPos(IDC_R_GAMMA);
    if (pos >= right.GetSliderMax(IDC_R_GAMMA))
        return;
    right.SetSliderPos(IDC_R_GAMMA, pos + 1);
    ApplyGammaFromSlider();
}
