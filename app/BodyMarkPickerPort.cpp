#include "app/BodyMarkPickerPort.h"

#include "app/SaveDlg.h"
#include "app/core/BodyMarkTransfer.h"

void CBodyMarkPickerPort::OpenSaveDialog() {
    if (!m_pDlg)
        return;
    const bool measuring = m_fnMeasuring && m_fnMeasuring();
    ::OpenSaveDialog(*m_pDlg, measuring, [this](CBodyMarkPicker& picker) {
        CSaveDlg dlg(m_pParent, picker);
        return dlg.ShowModal();
    });
}
