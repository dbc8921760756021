#include "archive/export/ui/CompressorChooser.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include "archive/export/ExportItem.h"
#include "platform/draw/Fonts.h"
#include "resources/StringTable.h"

namespace {

constexpr int kDefaultKeyFrames = 12;
constexpr int kDefaultQuality = 75;  // percent

wxString Text(int id) {
    return wxString::FromUTF8(resources::LoadString(id));
}

}  // namespace

CCompressorChooser::CCompressorChooser(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, Text(exportfile::strings::kChooseCompressor), wxDefaultPosition,
               wxDefaultSize, wxCAPTION),
      m_compressors(exportfile::AviCompressors()) {
    SetFont(wxFont(wxFontInfo(wxSize(0, 12)).FaceName(draw::kUiFace)));
    SetClientSize(420, 220);
    new wxStaticText(this, wxID_ANY, "Compressor:", {12, 18}, {120, 20});
    m_cmbCompressor = new wxChoice(this, wxID_ANY, {136, 12}, {270, 32});
    for (const auto& c : m_compressors)
        m_cmbCompressor->Append(wxString::FromUTF8(c.label));
    new wxStaticText(this, wxID_ANY, "Key frame every:", {12, 60}, {120, 20});
    m_spnKeyFrames =
        new wxSpinCtrl(this, wxID_ANY, "", {136, 54}, {130, 32}, wxSP_ARROW_KEYS, 0, 1000, kDefaultKeyFrames);
    new wxStaticText(this, wxID_ANY, "frames", {274, 60}, {100, 20});
    new wxStaticText(this, wxID_ANY, "Quality:", {12, 102}, {120, 20});
    m_sldQuality = new wxSlider(this, wxID_ANY, kDefaultQuality, 0, 100, {136, 94}, {270, 36},
                                wxSL_HORIZONTAL | wxSL_VALUE_LABEL);
    new wxStaticText(this, wxID_ANY, "Data rate:", {12, 144}, {120, 20});
    m_spnDataRate = new wxSpinCtrl(this, wxID_ANY, "", {136, 138}, {130, 32}, wxSP_ARROW_KEYS, 0, 100000, 0);
    new wxStaticText(this, wxID_ANY, "KB/s (0: none)", {274, 144}, {140, 20});
    auto* ok = new wxButton(this, wxID_OK, Text(214), {216, 178}, {92, 34});
    new wxButton(this, wxID_CANCEL, Text(210), {314, 178}, {92, 34});
    ok->SetDefault();
    ok->Enable(!m_compressors.empty());
    if (!m_compressors.empty())
        m_cmbCompressor->SetSelection(0);
    m_cmbCompressor->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { OnCompressorChanged(); });
    OnCompressorChanged();
    CentreOnScreen();
}

void CCompressorChooser::OnCompressorChanged() {
    const int i = m_cmbCompressor->GetSelection();
    const bool valid = i >= 0 && i < static_cast<int>(m_compressors.size());
    m_sldQuality->Enable(valid && m_compressors[static_cast<size_t>(i)].takesQuality);
    m_spnDataRate->Enable(valid && m_compressors[static_cast<size_t>(i)].takesDataRate);
}

exportfile::VideoCodecChoice CCompressorChooser::Current() const {
    exportfile::VideoCodecChoice choice;
    const int i = m_cmbCompressor->GetSelection();
    if (i < 0 || i >= static_cast<int>(m_compressors.size()))
        return choice;
    const exportfile::VideoCompressor& c = m_compressors[static_cast<size_t>(i)];
    choice.encoder = c.encoder;
    choice.keyFrameEvery = m_spnKeyFrames->GetValue();
    choice.quality = c.takesQuality ? m_sldQuality->GetValue() * 100 : -1;
    choice.bytesPerSecond = c.takesDataRate ? static_cast<int64_t>(m_spnDataRate->GetValue()) * 1024 : 0;
    return choice;
}

std::optional<exportfile::VideoCodecChoice> CCompressorChooser::Choose() {
    if (ShowModal() != wxID_OK)
        return std::nullopt;
    return Current();
}

std::optional<exportfile::VideoCodecChoice> ChooseCompressorDialog() {
    CCompressorChooser chooser;
    return chooser.Choose();
}
