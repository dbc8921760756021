// The OB/GY results table: a modal dialog "OB/GY Measure" showing the evaluation's page (the
// template of resources/ with the twenty texts, escaped) and a Close button.
#pragma once

#include <wx/dialog.h>

#include <string>

#include "measure/ObEvaluation.h"

class wxHtmlWindow;

class CResultsTable : public wxDialog {
public:
    CResultsTable(wxWindow* parent, const ObEvaluationResult& result);
    // The page as shown (for tests).
    const std::string& Page() const { return m_strPage; }
    wxHtmlWindow* Html() const { return m_pHtml; }

private:
    std::string m_strPage;
    wxHtmlWindow* m_pHtml = nullptr;
};
