#include "app/core/SettingsCommand.h"

#include "app/core/KALVEXDlg.h"
#include "probe/OpenProbe.h"

SysCommand ClassifySysCommand(int id) {
    switch (id & ~0xF) {
        case 0x10:
            return SysCommand::About;
        case 0x20:
            return SysCommand::Settings;
        case kScClose:
            return SysCommand::Close;
        default:
            return SysCommand::None;
    }
}

SettingsContext MakeSettingsContext(CKALVEXDlg& dlg, const MainDlgPorts& ports, ISettingsAccess& store) {
    SettingsContext ctx;
    ctx.proc = dlg.m_pLiveProc.get();
    ctx.probe = g_pProbe.load();
    ctx.store = &store;
    ctx.autoStopTime = &dlg.m_nAutoStopTime;
    ctx.obGaModel = &dlg.m_nObGaModel;
    ctx.efwEquation = &dlg.m_nEfwEquation;
    ctx.obAvailable = dlg.m_bObAvailable;
    ctx.efwNames = dlg.m_astrEfwModels;
    ctx.obPanel = ports.obPanel;
    ctx.frozenInObgy = dlg.m_nRunState == maindlg::kFrozen && ports.obPanel && ports.obPanel->GetState() == 1;
    ctx.clearMModeSweep = [&dlg] { dlg.ClearMModeSweep(); };
    IObgy* obgy = ports.obgy;
    ctx.loadPatientDates = [obgy] {
        if (obgy)
            obgy->LoadPatientDates();
    };
    IThumbnailList* thumbnails = ports.thumbnails;
    ctx.refreshDateTexts = [thumbnails] {
        // The list in its current mode, rebuilt so its times use the new format; the
        // selection and what is previewed stay.
        if (thumbnails && thumbnails->GetItemCount() > 0)
            thumbnails->RefillKeepingSelection();
    };
    return ctx;
}

bool RunSettingsDialog(const SettingsContext& ctx, const SettingsDialogRun& run) {
    SettingsValues values = PrefillSettings(ctx);
    if (!run(values))
        return false;  // Cancel changes nothing
    ApplySettings(ctx, values);
    return true;
}
