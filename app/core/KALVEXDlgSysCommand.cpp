// The window commands: the version box, the settings dialog and the unprompted close.
#include "app/core/KALVEXDlg.h"
#include "app/core/SettingsCommand.h"

void CKALVEXDlg::OnSysCommand(int id) {
    switch (ClassifySysCommand(id)) {
        case SysCommand::About:
            m_ports.settings->ShowAbout();
            break;
        case SysCommand::Settings:
            m_ports.settings->ShowSettings();
            break;
        case SysCommand::Close:
            OnSysCommandClose();
            break;
        case SysCommand::None:
            break;
    }
}
