#include "measure/ui/ResultsTable.h"

#include <wx/button.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>

#include "platform/draw/Fonts.h"
#include "resources/ResultsPage.h"

CResultsTable::CResultsTable(wxWindow* parent, const ObEvaluationResult& result)
    : wxDialog(parent, wxID_ANY, "OB/GY Measure", wxDefaultPosition, wxSize(580, 440),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    SetBackgroundColour(wxColour(0x4a, 0x4a, 0x4a));
    m_strPage = FillResultsPage(std::string(resources::ResultsPageTemplate()), result);
    m_pHtml = new wxHtmlWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHW_SCROLLBAR_AUTO);
    // 14 pt body text in the program's face.
    const int sizes[7] = {10, 12, 14, 19, 24, 32, 48};
    m_pHtml->SetFonts(draw::kUiFace, draw::kUiFace, sizes);
    m_pHtml->SetBorders(8);
    m_pHtml->SetPage(wxString::FromUTF8(m_strPage.c_str()));

    auto* close = new wxButton(this, wxID_OK, "Close", wxDefaultPosition, wxSize(80, 48));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pHtml, 1, wxEXPAND);
    sizer->Add(close, 0, wxALIGN_RIGHT | wxTOP | wxRIGHT | wxBOTTOM, 12);
    SetSizer(sizer);
    SetSize(wxSize(580, 440));
    SetAffirmativeId(wxID_OK);
    SetEscapeId(wxID_OK);
    close->SetDefault();
    close->SetFocus();
    CentreOnParent();
}
