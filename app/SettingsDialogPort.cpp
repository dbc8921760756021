#include "app/SettingsDialogPort.h"

#include "app/SettingsDlg.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/SettingsCommand.h"

void CSettingsDialogPort::ShowSettings() {
    if (!m_pDlg)
        return;
    const SettingsContext ctx = MakeSettingsContext(*m_pDlg, m_ports);
    const bool pcMode = m_pDlg->m_bPcMode;
    RunSettingsDialog(ctx, [&](SettingsValues& values) {
        CSettingsDlg dlg(m_pParent, values, pcMode);
        return dlg.ShowModal() == wxID_OK;
    });
}
