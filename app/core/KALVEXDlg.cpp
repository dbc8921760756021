#include "app/core/KALVEXDlg.h"

#include <climits>
#include <thread>

#include "app/core/MainGlobals.h"

CKALVEXDlg::CKALVEXDlg(const MainDlgPorts& ports) : m_handle(std::make_shared<CMainDlgHandle>(this)) {
    m_ports = ports;
    m_nLastPresetDepth = INT_MIN;
    m_fnSleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

CKALVEXDlg::~CKALVEXDlg() {
    m_handle->Revoke();
}

bool CKALVEXDlg::OnInitDialog() {
    return true;
}
void CKALVEXDlg::OnClose() {}
void CKALVEXDlg::OnSysCommandClose() {}
bool CKALVEXDlg::StartExam(const std::string&, const std::string&) {
    return true;
}

CCstmPictureCtrl& CKALVEXDlg::View(int viewCode) {
    if (viewCode == maindlg::kViewLeft)
        return m_viewLeft;
    if (viewCode == maindlg::kViewRight)
        return m_viewRight;
    return m_viewMain;
}
