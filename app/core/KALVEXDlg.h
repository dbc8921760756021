// The main viewer window without its windows: the run state, display mode, tool and screen
// layout; initialisation and shut-down in their exact order; the command dispatcher; freeze
// and unfreeze; the tick and the window timers; the probe handling (IProbeHost, the raw-frame
// callback, buffers, imaging set-up, suspend and resume); the imaging controls; and the frame
// drawing into the three view models and the M-mode strip.
//
// It reaches the world only through MainDlgPorts and the process seams (PostToUi, message
// boxes, the clock, the event hub, EndProcess). Everything runs on the UI thread, except the
// raw-frame callback, which only routes buffers through the atomic processor and driver
// pointers. The frame (app/) calls:
//   OnInitDialog once; ExecCommand / OnButtonClicked for clicks; PreTranslateKey for each
//   key-down; OnTickTimer every 21 ms and OnTimer(id) for window timers 1-3;
//   OnSysCommandClose for the window's close request; OnPowerBroadcast for suspend/resume.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/core/CstmPictureCtrl.h"
#include "app/core/IntervalWindow.h"
#include "app/core/MainControlModel.h"
#include "app/core/MainDialogIds.h"
#include "app/core/MainDlgHandle.h"
#include "app/core/MainDlgPorts.h"
#include "app/core/MouseMessage.h"
#include "app/core/ScreenLayouts.h"
#include "app/core/VirtualKeys.h"
#include "app/core/WindowGeometry.h"
#include "common/UserList.h"
#include "imaging/ImageProc.h"
#include "platform/Image.h"
#include "probe/OpenProbe.h"
#include "probe/RcvQueue.h"

// The command of a key of the key table; 0 for a key without one (and for Alt+F4).
int KeyCommandOf(const KeyInput& key);

class CMeasureTools;

class CKALVEXDlg : public IProbeHost {
    friend class CMeasureTools;
    // The archive (stores, thumbnail list, review) works on the dialog's views and state.
    friend class CMainArchive;

public:
    explicit CKALVEXDlg(const MainDlgPorts& ports);
    ~CKALVEXDlg() override;
    CKALVEXDlg(const CKALVEXDlg&) = delete;
    CKALVEXDlg& operator=(const CKALVEXDlg&) = delete;

    // ---- what the frame calls
    // Initialisation: leaves the window frozen with the probe open and not streaming.
    bool OnInitDialog();
    // The dispatcher: command 1..89; data and extra as the command defines them.
    void ExecCommand(int command, int* data = nullptr, int* extra = nullptr);
    // A click on a control of the main dialog (1001, 1004..1007, 1032, 1037, 1144, 1145,
    // 1162, 1169, 1193, 1197, review 1058..1062).
    void OnButtonClicked(int id);
    // A key-down in the window or one of its panels: true when handled (consumed); false
    // when it should go on to the focused control (TAB, SHIFT, and everything while busy).
    bool PreTranslateKey(const KeyInput& key);
    // The 21 ms tick (command 61) and the window timers 1, 2, 3.
    void OnTickTimer();
    void OnTimer(int id);
    // The window's close request (title bar, window manager): closes without asking.
    void OnSysCommandClose();
    // The one dispatcher of the window commands (low four bits masked off): 0x10 the version
    // box, 0x20 the settings dialog (also the Settings button), the close command the
    // unprompted close; anything else nothing.
    void OnSysCommand(int id);
    // The ports as completed with defaults (the dialogs' ports read the OB/GY panel and the
    // measurement through them).
    const MainDlgPorts& Ports() const { return m_ports; }
    // Suspend and resume (maindlg::PowerEvent).
    void OnPowerBroadcast(int event);
    // The user messages, as posted through the handle.
    void OnOrvProbeData(int slot);
    void OnOrvProbeStop();
    void OnRecordLimit();
    // Double clicks on the views (commands 48, 52, 56).
    void OnStnDblclk(int viewId);

    CCstmPictureCtrl& View(int viewCode);
    const CMainControlModel& Controls() const { return m_controls; }
    MainDlgHandlePtr Handle() const { return m_handle; }
    // The pause of the close handler and the freeze wait's 10 ms steps (tests make it instant).
    std::function<void(int ms)> m_fnSleep;

    // ---- IProbeHost
    void* GetWindowHandle() override { return this; }
    bool HasLiveImageProcessor() override { return m_pLiveProc != nullptr; }
    bool InitProbeImaging() override;
    ProbeIdentity GetRememberedProbeIdentity() override;
    bool IsProbeLost() override { return m_bProbeLost; }
    void WaitImageThreadIdle() override;

    // ---- exam (window-state steps; the archive parts come with their subsystems)
    bool StartExam(const std::string& id, const std::string& name);
    // Command 14: edits the current patient's record through the entry dialog.
    void SelectExam();
    // Command 16: picks or creates another patient and starts an exam for it.
    void ChangePatient();
    // Every patient, reloaded at each exam start (the thumbnail list finds its patient here).
    CUserList m_userList;

    // ---- dispatcher handlers and the operations other parts call
    void ToggleFreeze(int* data, int* extra);
    void Quit();
    void SetDisplayB();
    void SetDisplayBB();
    void ToggleBM();
    void ToggleInvert();
    void ToggleDistance();
    void ToggleArea();
    void StoreStill();
    void StoreCineCmd();
    void PrintOrRecord();
    // Export buttons 1164 and 1166.
    void OnBnClickedExpJpeg();
    void OnBnClickedExpVideo();
    void ZoomStep();
    void ShowViewer();
    void CineStep(int direction);
    void BbLeft();
    void BbRight();
    void OnMeasureMain(int* data);
    void PressFocusedButton();
    void ToggleStcPanel();
    void StcKnot(int* data);
    void GammaStep();
    void DeveloperCommand(int command);
    void OnBnClickedBb();
    void OnBnClickedBm();
    void OnBnClickedBtn7();
    void OnBnClickedEllipse();
    void OnClickLeftImage(int* data);
    void OnClickRightImage(int* data);
    // Live BM: a click at (x, y) of the left view's image pixels aims the M-line there when
    // it lies inside the sector.
    void AimMLine(int x, int y);
    // Frozen, no OB/GY item chosen and the OB/GY panel not in its item state.
    bool IsFrozenIdle() const;

    // Imaging controls.
    void ApplyDepth(int* scrollCode, int* force);
    void IncreaseDepth();
    void DecreaseDepth();
    void GainDown();
    void GainUp();
    void ContrastDown();
    void ContrastUp();
    void GainFromSlider(int* scrollCode);
    void ContrastFromSlider(int* scrollCode);
    void SelectPreset(int buttonId);
    void UpdatePresetButtons(int index, int defaultIndex, const TxFrequencyTable& table);
    void DisablePresetButtons();
    void SyncStcSliders();
    void ToggleStcAuto();
    void UpdateStcCurve();
    void ApplyGammaFromSlider();

    // Probe handling.
    static void OnRawBufferEvent(void* payload);
    bool AllocRawBuffers();
    void LoadImageSettings(int section);

    // Panel events.
    static void OnPanelCommand(void* payload);
    static void OnPanelValueChanged(void* payload);
    static void OnPanelNotify(void* payload);
    void ShowPanel(bool show, ISidePanel* panel, int anchorId);

    // Layouts.
    void SetScreenLayout(int layout, int subItem, bool redraw);
    void EnableStoreMeasureButtons(bool enable);
    void SetBtn7Locked(bool lock);

    // Frame drawing and cine position.
    void DrawFrame(int index, bool activeSide);
    void DrawView(int viewNumber);
    void RedrawImages();
    void SelectCineFrame();
    void ShowCinePosition(bool enableButtons);
    void OnNewFrame(int* data);
    void SelectMeasureSlot(int n);
    void ClearMModeSweep();
    void OnTick();

    // State tests of the thumbnail list's Part.
    bool CanPlayCine() const;
    bool IsPreviewShown() const;

    void OnClose();

    // ---- mouse, touch, window plumbing and label colours
    // Every mouse message of the views and of the window's background, its point in client
    // coordinates: true when handled. Steps 1 to 7 of the main window's message filter.
    bool PreTranslateMouse(const MouseMessage& msg);
    // The held review Prev/Next picture buttons; true when the message was theirs.
    bool TrackPictureButtonPress(const MouseMessage& msg);
    // A touch gesture at a client point: true when handled (no default handling).
    bool OnGesture(int gestureId, draw::Point client);
    // The click sequence's entry for one view: the point must lie inside it.
    void OnMeasureLButton(const MouseMessage& msg, int viewCode, int command);
    // Depth of a view for the measurement handlers; -1 when there is none.
    int ViewDepth(int viewCode) const;
    // Display B, the OB/GY tool, or BB with both halves at one depth: the main view measures.
    bool MeasuresOnMainView() const;
    // A view's window rectangle (client coordinates) and a client point in its image pixels.
    draw::Rect ViewRect(int viewCode) const;
    bool PointInView(int viewCode, draw::Point client) const;
    draw::Point ToImagePoint(int viewCode, draw::Point client) const;
    // The start-up rectangles and the layout constants, from the frame's pixel table; set
    // before OnInitDialog.
    void SetStartupGeometry(const StartupRects& rects, const GeometryConstants& constants);
    // Resizing: maximised or not (the window is at its start-up size or maximised).
    void OnSize(bool maximised, int cx, int cy);
    void OnMove();
    void ShowFingerView(bool show);
    // Colours of a static or button of the main dialog at paint time.
    struct CtlColours {
        Colorref text;
        Colorref back;
    };
    CtlColours OnCtlColor(int controlId) const;
    Colorref GetMeasureLabelColor(int label) const;
    const WindowLayout& CurrentGeometry() const { return m_geometry; }

    int m_nPendingGesture = 0;
    int m_nEnlargement = 0;
    // The last mouse point routed (client coordinates): "the cursor" of the mouse commands,
    // whose data carries only the message code.
    draw::Point m_ptLastMouse{-100000, -100000};

    // ---- state (names as the rest of the program knows them)
    int m_nRunState = maindlg::kLive;
    int m_nDisplayMode = maindlg::kDisplayB;
    int m_nBbSide = 0;
    int m_nTool = maindlg::kToolNone;
    int m_nObItem = 0;
    int m_nObSelItem = 0;
    int m_nScreenLayout = 0;
    int m_nStcMode = maindlg::kStcManual;
    int MeasureClickState = 0;
    int m_nPressedToolButton = -1;
    bool m_bInitialised = false;
    bool m_bExamList = true;
    bool m_bStillStored = true;
    bool m_bCineStored = true;
    int m_nTraceView = 0;
    int m_nLiveSeconds = 0;
    int m_nAutoStopTime = 0;
    bool m_bSelPrinter = true;
    bool m_bPcMode = true;
    int m_nPressView = 0;
    int m_nLastClickView = 0;
    int m_nMColumnsThisSecond = -1;
    int m_nMColumnsPerSecond = -1;
    int m_nMSweepColumn = 0;
    bool m_bSyncView = false;
    int m_nImageTop = 0;
    int m_nMouseButtons = 0;
    bool m_bBusy = false;
    bool m_bDeveloper = false;
    bool m_bCineStoreRunning = false;
    bool m_bCancelRequested = false;
    bool m_bStoredItemShown = false;
    bool m_bPlaying = false;
    int m_nHeldPicButton = 0;
    int m_nPicButtonToRestore = 0;
    int m_nHeldTicks = 0;
    bool m_bProbeLost = false;
    bool m_bProbeGone = false;  // unplugged while live: "probe not found" stays until it is back
    int m_nObSelectedImage = -1;
    int m_nObGaModel = 0;
    int m_nEfwEquation = 0;
    bool m_bActive = true;
    bool m_bAskBeforeQuit = false;
    bool m_bObAvailable = true;
    bool m_bShowFps = false;
    bool m_bShowTemperature = false;
    int m_nProbeType = 0;
    std::array<int, 3> m_anProbeIdentity{};
    std::map<int, int> m_mapFreqButtons;
    Colorref m_crBack = Colorref::FromRgb(0, 0, 14);
    Colorref m_crText = Colorref::FromRgb(255, 255, 255);
    std::string m_strPatientId;
    std::string m_strPatientName;
    std::string m_strPatientFolder;
    std::string m_strPatientHeader;
    std::string m_strExamStamp;
    std::string m_strAppVersion;
    std::array<std::string, 28> m_astrCaptions;
    std::array<std::string, 2> m_astrEfwModels;
    CRcvQueue m_lstRawBuffers;
    CIntervalWindow m_timingWindow;
    // The M-mode strip kept at the last freeze (240 x 480), on the heap.
    std::unique_ptr<Image32> m_aMModeStrip;

    // The views, by view code 1, 11, 12.
    CCstmPictureCtrl m_viewMain;
    CCstmPictureCtrl m_viewLeft;
    CCstmPictureCtrl m_viewRight;

    // The live and review image processors (g_pImageProc, g_pReviewImageProc).
    std::unique_ptr<CImageProc> m_pLiveProc;
    std::unique_ptr<CImageProc> m_pReviewProc;

    // Sound-behaviour state of our own.
    bool m_bFreezing = false;    // inside the freeze's wait for the stopped state
    int m_nPendingPower = 0;     // a power event that arrived during that wait
    bool m_bClosing = false;     // the close handler has begun: commands are ignored
    bool m_bClosed = false;      // the close handler has ended
    bool m_bStopPosted = false;  // WM_PROBE_STOP posted for this live run

    // Measuring and OB/GY (MeasureTools.cpp, ObTools.cpp); the depth the M-mode strip's
    // columns were swept at (-1 none yet).
    std::unique_ptr<CMeasureTools> m_pMeasureTools;
    int m_nMStripDepth = -1;
    CMeasureTools& Measure() { return *m_pMeasureTools; }
    // The archive: texts of the item last previewed or opened (list sub-items 2 and 3).
    std::string m_strSelTimeText;
    std::string m_strSelTypeText;

private:
    void InitPorts(const MainDlgPorts& ports);
    bool RouteClick(const MouseMessage& msg);
    bool DepthScaleClick(const MouseMessage& msg);
    void AbandonPressSequence();
    void RouteRightButtonUp(const MouseMessage& msg);
    MeasurePointer PointerOf(const MouseMessage& msg, int viewCode) const;
    void ApplyGeometry(const WindowLayout& layout);
    void ReplaceScreen();
    // Frozen with a stored still or cine in the main view instead of the cine.
    bool IsStoredItemOnScreen() const;
    void ApplyObLayout(int layout, int subItem, bool redraw);
    void StripCaliperClick(draw::Point p);
    StartupRects m_startup = DefaultStartupRects();
    GeometryConstants m_geometryConstants;
    WindowLayout m_geometry = RestoredLayout(m_startup);
    void SetMeasureNumbers(bool frozen);
    // Shows or hides an image view (view code 1, 11, 12) and keeps the control model in step.
    void ShowViewWindow(int viewCode, bool show);
    bool SelectObItemByKey(int buttonId, int command);
    void StepSlider(int sliderId, int delta);
    void SetLayout(int layout, int subItem);
    void ToggleTool(int tool, int firstLayout);
    void FreezeNow();
    void UnfreezeNow();
    void WaitForStopped();
    void SuspendProbe();
    void OnProbeGone();
    void ShowProbeGone();
    void PostUserMessage(int message);
    void ApplyLayoutRow(const LayoutRow& row);
    void ApplyBaseLayout(int layout, int subItem);
    void LayoutEnd(bool redraw);
    void SetTextShown(int id, const std::string& text, bool shown);
    void ClearResultLabels();
    void RefreshCounter(int position, int total);
    void DrawBbInto(int index, bool left, int special, bool activeDrawn);
    void DrawBbHalf(int index, bool activeSide);
    void DrawBmHalf(int index);
    void DrawSingle(int index);
    void DrawMLine(Image32& buffer);
    void DrawMColumn(bool secondChanged);
    void FeedLoupe();
    void SaveSettingsOnClose();
    double GammaFromSlider() const;
    int SliderValue(int sliderId) const;
    void SetSliderValue(int sliderId, int value);
    CImageProc* Live() const { return m_pLiveProc.get(); }
    int CapturedFrames() const;

    MainDlgPorts m_ports;
    CMainControlModel m_controls;
    MainDlgHandlePtr m_handle;
    // Defaults for ports the frame leaves empty.
    std::vector<std::shared_ptr<void>> m_defaults;
    int m_nLastPresetDepth;
    int64_t m_nTickCounter = 0;
    int64_t m_nLastClockSecond = -1;
    Image8 m_frameScratch;  // one frame's pixels, reused for every draw
};
