#include "app/CineStoreProgress.h"

#include <algorithm>

#include "app/ProgressDlg.h"

CCineStoreProgress::~CCineStoreProgress() {
    // The frame is going too: only the dialog is ours to end.
    if (m_pLock)
        m_pLock->Forget();
    if (m_pDlg)
        m_pDlg->Destroy();
}

void CCineStoreProgress::Begin(int total, const std::string& caption) {
    End();
    m_pLock = std::make_unique<CBusyWindowLock>(m_pFrame);
    m_pDlg = new CProgressDlg();
    m_pDlg->Create(m_pFrame);
    m_pDlg->m_bCancel = false;
    m_pDlg->m_ctlProgress->SetRange(std::max(total, 1));
    const wxString label = wxString::FromUTF8(caption);
    m_pDlg->m_ctlCaption->SetLabel(label);
    // The caption's spaces are wider in our font than in the original's: the window grows so
    // that "(ESC:Cancel)" is not cut off.
    const int overflow = m_pDlg->m_ctlCaption->GetTextExtent(label).x - m_pDlg->m_ctlCaption->GetSize().x;
    if (overflow > 0) {
        const wxSize client = m_pDlg->GetClientSize();
        m_pDlg->SetClientSize(client.x + overflow + 4, client.y);
        m_pDlg->m_ctlCaption->SetSize(m_pDlg->m_ctlCaption->GetSize().x + overflow + 4, -1);
    }
    m_pDlg->CentreOnParent();
    m_pDlg->Show();
    m_pDlg->Raise();
    m_pDlg->SetFocus();
}

void CCineStoreProgress::Update(int done) {
    if (!m_pDlg)
        return;
    m_pDlg->m_ctlProgress->SetValue(std::clamp(done, 0, m_pDlg->m_ctlProgress->GetRange()));
    m_pDlg->Update();
}

bool CCineStoreProgress::Cancelled() const {
    return m_pDlg && m_pDlg->m_bCancel;
}

void CCineStoreProgress::End() {
    if (!m_pDlg)
        return;
    m_pDlg->Destroy();
    m_pDlg = nullptr;
    m_pLock.reset();
}
