// The main window's ISettingsDialog: the Settings button (1197) and the window menu's
// "Settings" run CSettingsDlg over the settings model; "Version Information" runs the
// About box the caller gives.
#pragma once

#include <functional>
#include <utility>

#include "app/core/ISettingsDialog.h"
#include "app/core/MainDlgPorts.h"

class CKALVEXDlg;
class wxWindow;

class CSettingsDialogPort : public ISettingsDialog {
public:
    CSettingsDialogPort(wxWindow* parent, std::function<void()> showAbout = {})
        : m_pParent(parent), m_fnShowAbout(std::move(showAbout)) {}
    // The main window and the ports it was built with (the OB/GY panel, OB/GY and the
    // thumbnail list are reached through them).
    void SetMainDialog(CKALVEXDlg* dlg, const MainDlgPorts& ports) {
        m_pDlg = dlg;
        m_ports = ports;
    }
    void ShowSettings() override;
    void ShowAbout() override {
        if (m_fnShowAbout)
            m_fnShowAbout();
    }

private:
    wxWindow* m_pParent;
    std::function<void()> m_fnShowAbout;
    CKALVEXDlg* m_pDlg = nullptr;
    MainDlgPorts m_ports;
};
