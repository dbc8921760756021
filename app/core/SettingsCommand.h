// The window menu's commands and the settings dialog's run against the main window: what
// CKALVEXDlg::OnSysCommand dispatches to, and the settings dialog's sources and targets
// taken from the main window and its ports.
#pragma once

#include <functional>

#include "app/core/SettingsModel.h"

class CKALVEXDlg;
struct MainDlgPorts;

enum class SysCommand { None, About, Settings, Close };
inline constexpr int kScClose = 0xF060;  // the window's close command
// The low four bits of the id are the system's own and are masked off.
SysCommand ClassifySysCommand(int id);

// The settings dialog's view of the main window (the live processor, g_pProbe, the members).
SettingsContext MakeSettingsContext(CKALVEXDlg& dlg, const MainDlgPorts& ports,
                                    ISettingsAccess& store = DefaultSettingsAccess());

// Runs the modal dialog on the pre-filled values (true: OK) and applies them on OK.
using SettingsDialogRun = std::function<bool(SettingsValues& values)>;
bool RunSettingsDialog(const SettingsContext& ctx, const SettingsDialogRun& run);
