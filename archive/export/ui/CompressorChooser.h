// The "SEL" compressor chooser: the encoders this FFmpeg build can put into an AVI
// (AviCompressors), with the key-frame interval, the quality and the data rate where the
// chosen one takes them. The video export and the recorder show it when the stored quality
// word is "SEL".
#pragma once

#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>

#include <functional>
#include <optional>
#include <vector>

#include "archive/export/VideoCompressors.h"
#include "archive/export/VideoFileWriter.h"

class CCompressorChooser : public wxDialog {
public:
    explicit CCompressorChooser(wxWindow* parent = nullptr);

    // The choice after OK; nullopt after Cancel.
    std::optional<exportfile::VideoCodecChoice> Choose();
    exportfile::VideoCodecChoice Current() const;

    wxChoice* m_cmbCompressor = nullptr;
    wxSpinCtrl* m_spnKeyFrames = nullptr;
    wxSlider* m_sldQuality = nullptr;
    wxSpinCtrl* m_spnDataRate = nullptr;  // kilobytes per second; 0 none

private:
    void OnCompressorChanged();
    std::vector<exportfile::VideoCompressor> m_compressors;
};

// How an export asks for a compressor; tests script it.
using ChooseCompressorFn = std::function<std::optional<exportfile::VideoCodecChoice>()>;
// Shows CCompressorChooser modally.
std::optional<exportfile::VideoCodecChoice> ChooseCompressorDialog();
