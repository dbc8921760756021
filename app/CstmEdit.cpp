#include "app/CstmEdit.h"

#include <wx/richtooltip.h>

#include "app/AppStrings.h"
#include "app/EditValidation.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

namespace {
CstmEdit::BalloonShower& Shower() {
    static CstmEdit::BalloonShower shower;
    return shower;
}
}  // namespace

void CstmEdit::SetBalloonShower(BalloonShower shower) {
    Shower() = std::move(shower);
}

CstmEdit::CstmEdit(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size)
    : wxTextCtrl(parent, id, wxEmptyString, pos, size) {
    Bind(wxEVT_TEXT, &CstmEdit::OnText, this);
}

void CstmEdit::OnText(wxCommandEvent& event) {
    event.Skip();
    const EditCheck check = CheckEditText(GetValue().utf8_string(), m_nMin, m_nMax, m_nLast);
    m_nLast = check.lastAccepted;
    if (check.replace) {
        // ChangeValue sends no text event: the replacement, already checked, is not seen again.
        ChangeValue(wxString::FromUTF8(check.text));
        SetInsertionPointEnd();
        ShowPosition(GetLastPosition());
    }
    if (check.balloon)
        ShowBalloon();
}

void CstmEdit::ShowBalloon() {
    const std::string title = resources::LoadString(kStrUnacceptableValue);
    const std::string text =
        platform::Format(resources::LoadString(kStrEnterNumberBetween).c_str(), m_nMin, m_nMax);
    if (Shower()) {
        Shower()(*this, title, text);
        return;
    }
    wxRichToolTip tip(wxString::FromUTF8(title), wxString::FromUTF8(text));
    tip.SetIcon(wxICON_ERROR);
    tip.ShowFor(this);
}
