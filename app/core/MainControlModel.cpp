#include "app/core/MainControlModel.h"

void CMainControlModel::Show(int id, bool show) {
    At(id).shown = show;
    if (sink_)
        sink_->ShowControl(id, show);
}

void CMainControlModel::Enable(int id, bool enable) {
    At(id).enabled = enable;
    if (sink_)
        sink_->EnableControl(id, enable);
}

void CMainControlModel::SetText(int id, const std::string& text) {
    At(id).text = text;
    if (sink_)
        sink_->SetControlText(id, text);
}

void CMainControlModel::SetButtonState(int id, int state) {
    At(id).buttonState = state;
    if (sink_)
        sink_->SetButtonState(id, state);
}

void CMainControlModel::SetChecked(int id, bool checked) {
    At(id).checked = checked;
    if (sink_)
        sink_->SetChecked(id, checked);
}

void CMainControlModel::SetFaces(int id, const maindlg::ButtonFaces& faces) {
    At(id).faces = faces;
    if (sink_)
        sink_->SetFaces(id, faces);
}

void CMainControlModel::Repaint(int id, bool erase) {
    if (sink_)
        sink_->RepaintControl(id, erase);
}

void CMainControlModel::SetFocus(int id) {
    if (sink_)
        sink_->SetFocusTo(id);
}

const CMainControlModel::State& CMainControlModel::Get(int id) const {
    static const State kDefault;
    const auto it = states_.find(id);
    return it == states_.end() ? kDefault : it->second;
}
