// The cine store's progress window over the main window: the main window is disabled while
// it is up; Esc in it or its Cancel button asks the store to stop.
#pragma once

#include <memory>

#include <wx/window.h>

#include "app/BusyWindowLock.h"

#include "app/core/IThumbnailView.h"

class CProgressDlg;

class CCineStoreProgress : public ICineStoreProgress {
public:
    explicit CCineStoreProgress(wxWindow* frame) : m_pFrame(frame) {}
    ~CCineStoreProgress() override;

    void Begin(int total, const std::string& caption) override;
    void Update(int done) override;
    bool Cancelled() const override;
    void End() override;

    // The window while a store runs (tests take its picture and press its keys).
    CProgressDlg* Dialog() const { return m_pDlg; }

private:
    wxWindow* m_pFrame;
    CProgressDlg* m_pDlg = nullptr;
    std::unique_ptr<CBusyWindowLock> m_pLock;
};
