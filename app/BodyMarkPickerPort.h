// The main window's IBodyMarkPicker: command 81 runs CSaveDlg over the main view's body mark.
#pragma once

#include <functional>
#include <utility>

#include "app/core/IBodyMarkPicker.h"

class CKALVEXDlg;
class wxWindow;

class CBodyMarkPickerPort : public IBodyMarkPicker {
public:
    // `measuring` answers IMeasurement::IsMeasureMode.
    CBodyMarkPickerPort(wxWindow* parent, std::function<bool()> measuring)
        : m_pParent(parent), m_fnMeasuring(std::move(measuring)) {}
    // The main window, once it exists (it is built with this port).
    void SetMainDialog(CKALVEXDlg* dlg) { m_pDlg = dlg; }
    void OpenSaveDialog() override;

private:
    wxWindow* m_pParent;
    std::function<bool()> m_fnMeasuring;
    CKALVEXDlg* m_pDlg = nullptr;
};
