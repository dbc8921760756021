// A revocable way back to the main window for work posted from other threads (frame notices)
// or queued for later (the tick's user messages, power events): the close handler revokes
// it, and work that arrives afterwards finds no window and is dropped.
#pragma once

#include <atomic>
#include <memory>

class CKALVEXDlg;

class CMainDlgHandle {
public:
    explicit CMainDlgHandle(CKALVEXDlg* dlg) : dlg_(dlg) {}
    CKALVEXDlg* Get() const { return dlg_.load(std::memory_order_acquire); }
    void Revoke() { dlg_.store(nullptr, std::memory_order_release); }

private:
    std::atomic<CKALVEXDlg*> dlg_;
};

using MainDlgHandlePtr = std::shared_ptr<CMainDlgHandle>;
