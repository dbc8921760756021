// The main viewer window: a thin wx frame around the core (CKALVEXDlg). It creates the
// controls from the pixel table, the live, STC and right panels, and the three view windows;
// owns the timers (the 21 ms tick, window timers 1 to 3) and the power-event watcher; turns
// clicks, keys, timers, power events and the window-close request into calls on the core;
// and implements the core's window interfaces over the real windows. It has no default
// button, and neither Esc nor Enter closes it.
#pragma once

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/timer.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/MainControlFactory.h"
#include "app/MainControlsWx.h"
#include "app/MainFonts.h"
#include "app/PanelPorts.h"
#include "app/core/IFingerLoupe.h"
#include "app/core/IKeyboardState.h"
#include "app/core/IMainViews.h"
#include "app/core/IMainWindow.h"
#include "app/core/IPatientDialogs.h"
#include "app/core/ITimerHost.h"
#include "platform/PowerEvents.h"

class CBodyMarkPickerPort;
class CKALVEXDlg;
class CRecorderPort;
class CWxRecorderUi;
class CMainArchive;
class CCineStoreProgress;
class CThumbnailListBox;
class CCoreExportSource;
class CExportPort;
class CWxPrinter;
class CLSideDxUnFreeze;
class CLSideDxSTC;
class CRSideDxUnFreeze;
class CSettingsDialogPort;
class CFingerView;
class CRestrictionDlg;
class wxMenu;
class wxGestureEvent;
class CLSideOBGYPanel;
class CObPanelPort;
class CMeasureWindowsWx;

class CMainFrame : public wxFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds the core for the patient and runs its initialisation: the window is then frozen
    // with the probe open. False when the initialisation failed.
    bool Start(const std::string& patientId, const std::string& patientName);

    CKALVEXDlg* Core() { return m_pCore.get(); }
    CMainControlsWx& Controls() { return m_controls; }
    wxWindow* ClientWindow() { return m_pClient; }
    CLSideDxUnFreeze* LivePanel() { return m_pLivePanel; }
    CLSideDxSTC* StcPanel() { return m_pStcPanel; }
    CRSideDxUnFreeze* RightPanel() { return m_pRightPanel; }
    CLSideOBGYPanel* ObPanel() { return m_pObPanel; }
    CMeasureWindowsWx* MeasureWindows() { return m_pMeasureWindows.get(); }
    // The archive (stores, thumbnail list, review), its list window and its progress window.
    CMainArchive* Archive() { return m_pArchive.get(); }
    CThumbnailListBox* ThumbnailList() { return m_pThumbnails; }
    CCineStoreProgress* CineStoreProgress() { return m_pCineProgress.get(); }
    // The exports and the print (buttons 1164, 1166, command 12 while frozen).
    CExportPort* Exports() { return m_pExports.get(); }
    CCoreExportSource* ExportSource() { return m_pExportSource.get(); }
    wxWindow* ViewWindow(int viewCode);
    // Whether the core's close handler has run (the window is about to go).
    bool IsClosed() const { return m_bClosed; }
    // The SyncView recorder's windows and the core's recorder port.
    CWxRecorderUi& RecorderUi() { return *m_pRecorderUi; }
    CRecorderPort& Recorder() { return *m_pRecorderPort; }
    // Run instead of ending the process when the core ends the dialog (tests).
    std::function<void(int result)> onEndDialog;
    // The patient dialogs the core runs (commands 14 and 16); set before Start. None: the
    // commands do nothing.
    IPatientDialogs* m_pPatientDialogs = nullptr;

    // Maximised or at the start-up size: the core moves the views and the controls. Tests
    // force a maximised client size (no window manager under Xvfb maximises).
    void ApplyWindowSize(bool maximised, const wxSize& client);
    void ForceMaximised(bool on, const wxSize& client = wxSize(1600, 860));
    // The header's context menu; tests replace the popup with a choice of theirs.
    void ShowHeaderMenu(const wxPoint& where);
    std::function<int(wxMenu& menu)> popupMenuHook;
    enum : int { ID_VERSION_INFORMATION = wxID_HIGHEST + 200 };
    // The version box, as the menu's "Version Information" opens it.
    void ShowVersionInformation();
    CFingerView* Loupe() { return m_pLoupe; }
    CRestrictionDlg* RestrictionDialog() { return m_pRestriction; }

private:
    // The core's window interfaces, each over this frame.
    struct WindowPort : IMainWindow {
        CMainFrame* f;
        void SetTitle(const std::string& title) override;
        draw::Point GetClientSize() const override;
        void Redraw() override;
        void SetWaitCursor(bool wait) override;
        void EndDialog(int result) override;
    };
    struct ViewsPort : IMainViews {
        CMainFrame* f;
        void ShowView(int viewCode, bool show) override;
        void RepaintView(int viewCode) override;
        void MoveView(int viewCode, const draw::Rect& rect) override;
    };
    struct TimerPort : ITimerHost {
        CMainFrame* f;
        void StartTick(int periodMs) override;
        void StopTick() override;
        void StartTimer(int id, int periodMs) override;
        void KillTimer(int id) override;
    };
    struct KeyboardPort : IKeyboardState {
        ModifierKeys Read() const override;
    };
    struct LoupePort : IFingerLoupe {
        CMainFrame* f;
        bool IsShown() const override;
        void Hide() override;
        void Show() override;
        void FollowCursor() override;
        void ShowAtWindowCorner(bool show) override;
    };
    LoupePort m_loupePort;
    WindowPort m_windowPort;
    ViewsPort m_viewsPort;
    TimerPort m_timerPort;
    KeyboardPort m_keyboardPort;

    void StyleCreatedWindows();
    void OnCharHook(wxKeyEvent& event);
    void OnClientButton(wxCommandEvent& event);
    void OnTickTimer(wxTimerEvent& event);
    void OnWindowTimer(wxTimerEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnPower(platform::PowerEvent event);
    bool ForwardKey(const wxKeyEvent& event);
    void StopEverything();
    void BindPointer(wxWindow* window);
    void OnPointer(wxMouseEvent& event);
    void OnTouch(wxGestureEvent& event, int gestureId);
    void OnSizeEvent(wxSizeEvent& event);
    void OnMoveEvent(wxMoveEvent& event);
    bool IsPointerWindow(const wxWindow* window) const;
    void OnMaximize(wxMaximizeEvent& event);

    wxPanel* m_pClient = nullptr;
    MainDialogFonts m_fonts;
    CMainControlsWx m_controls;
    MainViewWindows m_views;
    CLSideDxUnFreeze* m_pLivePanel = nullptr;
    CLSideDxSTC* m_pStcPanel = nullptr;
    CRSideDxUnFreeze* m_pRightPanel = nullptr;
    std::unique_ptr<CLivePanelPort> m_pLivePort;
    std::unique_ptr<CStcPanelPort> m_pStcPort;
    std::unique_ptr<CRightPanelPort> m_pRightPort;
    // The settings dialog with the version box, and the body-mark picker (they outlive the core).
    std::unique_ptr<CSettingsDialogPort> m_pSettingsPort;
    std::unique_ptr<CBodyMarkPickerPort> m_pPickerPort;
    CLSideOBGYPanel* m_pObPanel = nullptr;
    std::unique_ptr<CObPanelPort> m_pObPort;
    std::unique_ptr<CMeasureWindowsWx> m_pMeasureWindows;
    std::unique_ptr<CWxRecorderUi> m_pRecorderUi;
    std::unique_ptr<CRecorderPort> m_pRecorderPort;
    // The archive outlives the core, which calls it until its close handler has run.
    std::unique_ptr<CMainArchive> m_pArchive;
    std::unique_ptr<CCineStoreProgress> m_pCineProgress;
    CThumbnailListBox* m_pThumbnails = nullptr;
    std::unique_ptr<CCoreExportSource> m_pExportSource;
    std::unique_ptr<CWxPrinter> m_pPrinter;
    std::unique_ptr<CExportPort> m_pExports;
    std::unique_ptr<CKALVEXDlg> m_pCore;

    wxTimer m_tick;
    std::array<wxTimer, 3> m_windowTimers;  // window timers 1, 2, 3
    platform::PowerEventWatcher m_power;
    bool m_bClosed = false;
    int m_nBusyCursor = 0;
    CFingerView* m_pLoupe = nullptr;
    CRestrictionDlg* m_pRestriction = nullptr;
    bool m_bForcedMaximised = false;
    bool m_bMaximisedApplied = false;
    wxSize m_szApplied;
};
