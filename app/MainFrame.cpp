#include "app/MainFrame.h"
#include "measure/ui/MeasureWindowsWx.h"
#include "measure/ui/ObSidePanel.h"

#include <wx/panel.h>
#include <wx/utils.h>

#include <wx/menu.h>

#include "app/AboutDlg.h"
#include "app/BodyMarkPickerPort.h"
#include "app/CineStoreProgress.h"
#include "app/ColorLabel.h"
#include "app/CoreExportSource.h"
#include "app/ExportPort.h"
#include "app/FingerView.h"
#include "app/IconLoader.h"
#include "app/LSideDxSTC.h"
#include "app/LSideDxUnFreeze.h"
#include "app/MainGeometry.h"
#include "app/MainKeys.h"
#include "app/MainLayoutTable.h"
#include "app/MainViewWindow.h"
#include "app/RSideDxUnFreeze.h"
#include "app/RestrictionDlg.h"
#include "app/SettingsDialogPort.h"
#include "app/ThumbnailListBox.h"
#include "app/WxImage.h"
#include "app/core/ImageAreaRender.h"
#include "app/WxRecorderUi.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/ImageAreaRender.h"
#include "app/core/MainArchive.h"
#include "app/core/MainDialogIds.h"
#include "archive/export/ui/WxPrinter.h"
#include "app/core/SettingsCommand.h"
#include "app/core/RecorderPort.h"
#include "common/AppFolders.h"
#include "resources/StringTable.h"

namespace {

// GTK maximises only a window that can be resized: the frame keeps its sizing border and
// snaps any other size back to the start-up size, so it is at that size or maximised.
constexpr long kFrameStyle = wxDEFAULT_FRAME_STYLE;

// Far outside every view: a release over a window that is not ours to route.
const wxPoint kNowhere(-100000, -100000);

int MouseCodeOf(wxEventType type) {
    if (type == wxEVT_LEFT_DOWN)
        return maindlg::WM_LBUTTONDOWN;
    if (type == wxEVT_LEFT_UP)
        return maindlg::WM_LBUTTONUP;
    if (type == wxEVT_LEFT_DCLICK)
        return maindlg::WM_LBUTTONDBLCLK;
    if (type == wxEVT_RIGHT_DOWN)
        return maindlg::WM_RBUTTONDOWN;
    if (type == wxEVT_RIGHT_UP)
        return maindlg::WM_RBUTTONUP;
    if (type == wxEVT_MOTION)
        return maindlg::WM_MOUSEMOVE;
    return 0;
}

wxIcon WindowIcon() {
    wxIcon icon;
    const Image32 picture = LoadIcon(90, 64, 64);
    if (!picture.empty())
        icon.CopyFromBitmap(wxBitmap(ToWxImage(picture)));
    return icon;
}

}  // namespace

CMainFrame::CMainFrame() : wxFrame(nullptr, wxID_ANY, " ", wxDefaultPosition, wxDefaultSize, kFrameStyle) {
    m_windowPort.f = this;
    m_viewsPort.f = this;
    m_timerPort.f = this;
    m_loupePort.f = this;
    SetIcon(WindowIcon());
    m_fonts = CreateFonts();

    m_pClient = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxSize(kMainClientWidth, kMainClientHeight),
                            wxTAB_TRAVERSAL | wxBORDER_NONE);
    m_views = CreateMainControls(m_pClient, m_controls, m_fonts);
    m_pLivePanel = new CLSideDxUnFreeze(m_pClient);
    m_pStcPanel = new CLSideDxSTC(m_pClient);
    m_pRightPanel = new CRSideDxUnFreeze(m_pClient);
    m_pObPanel = new CLSideOBGYPanel(m_pClient);
    m_pObPort = std::make_unique<CObPanelPort>(m_pObPanel);
    m_pObPanel->SetKeyForwarder([this](const wxKeyEvent& e) { return ForwardKey(e); });
    m_pMeasureWindows =
        std::make_unique<CMeasureWindowsWx>(this, [this](int code) { return ViewWindow(code); });
    // The right panel sits right of the clock, at the top.
    if (const MainControlPlacement* clock = FindMainControl(maindlg::IDC_CLOCK))
        m_pRightPanel->Move(clock->x + clock->width + kRightPanelGap, 0);
    m_pLivePort = std::make_unique<CLivePanelPort>(m_pLivePanel);
    m_pStcPort = std::make_unique<CStcPanelPort>(m_pStcPanel);
    m_pRightPort = std::make_unique<CRightPanelPort>(m_pRightPanel);
    for (CSidePanel* panel : {static_cast<CSidePanel*>(m_pLivePanel), static_cast<CSidePanel*>(m_pStcPanel),
                              static_cast<CSidePanel*>(m_pRightPanel)}) {
        panel->SetKeyForwarder([this](const wxKeyEvent& e) { return ForwardKey(e); });
    }
    for (CMainViewWindow* view : {m_views.main, m_views.left, m_views.right}) {
        view->onDoubleClick = [this](int id) {
            if (m_pCore && !m_bClosed)
                m_pCore->OnStnDblclk(id);
        };
    }

    // The mouse of the views, of the window's background and of the held review buttons
    // goes through the core's routing; touch taps too.
    for (wxWindow* w : {static_cast<wxWindow*>(m_views.main), static_cast<wxWindow*>(m_views.left),
                        static_cast<wxWindow*>(m_views.right), static_cast<wxWindow*>(m_pClient)})
        BindPointer(w);
    for (int id : {maindlg::IDC_REVIEW_PREV, maindlg::IDC_REVIEW_NEXT}) {
        if (wxWindow* w = m_controls.Find(id)) {
            w->Bind(wxEVT_LEFT_DOWN, &CMainFrame::OnPointer, this);
            w->Bind(wxEVT_LEFT_UP, &CMainFrame::OnPointer, this);
            w->Bind(wxEVT_LEFT_DCLICK, &CMainFrame::OnPointer, this);
        }
    }
    if (wxWindow* header = m_controls.Find(maindlg::IDC_HEADER)) {
        header->Bind(wxEVT_RIGHT_UP, [this, header](wxMouseEvent& e) {
            ShowHeaderMenu(header->ClientToScreen(e.GetPosition()));
        });
    }
    // The finger loupe shows the pixels of our own view windows.
    m_pLoupe = new CFingerView(this);
    for (CMainViewWindow* view : {m_views.main, m_views.left, m_views.right})
        m_pLoupe->AddSource(view);
    m_pLoupe->Hide();
    // The safety notice lives as long as the window; nothing shows it.
    m_pRestriction = new CRestrictionDlg(this);

    SetClientSize(kMainClientWidth, kMainClientHeight);
    m_tick.SetOwner(this, wxID_HIGHEST + 100);
    for (int i = 0; i < 3; ++i)
        m_windowTimers[static_cast<size_t>(i)].SetOwner(this, wxID_HIGHEST + 101 + i);
    Bind(wxEVT_TIMER, &CMainFrame::OnTickTimer, this, wxID_HIGHEST + 100);
    Bind(wxEVT_TIMER, &CMainFrame::OnWindowTimer, this, wxID_HIGHEST + 101, wxID_HIGHEST + 103);
    Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnCloseWindow, this);
    Bind(wxEVT_SIZE, &CMainFrame::OnSizeEvent, this);
    Bind(wxEVT_MOVE, &CMainFrame::OnMoveEvent, this);
    // GTK may size the window before it reports the maximised state: apply it once known.
    Bind(wxEVT_MAXIMIZE, [this](wxMaximizeEvent& e) {
        e.Skip();
        CallAfter([this] {
            if (!m_bClosed)
                ApplyWindowSize(IsMaximized() || m_bForcedMaximised, GetClientSize());
        });
    });
    m_pClient->Bind(wxEVT_BUTTON, &CMainFrame::OnClientButton, this);
    m_pRecorderUi = std::make_unique<CWxRecorderUi>(this, m_pClient);
    m_pRecorderPort = std::make_unique<CRecorderPort>(*m_pRecorderUi);
    Bind(wxEVT_MAXIMIZE, &CMainFrame::OnMaximize, this);
}

CMainFrame::~CMainFrame() {
    StopEverything();
    m_pRecorderPort.reset();  // the recorder and its preview go while the client area exists
    if (m_pThumbnails)
        m_pThumbnails->SetArchive(nullptr);
    if (m_nBusyCursor > 0)
        wxEndBusyCursor();
}

void CMainFrame::StopEverything() {
    m_power.Stop();
    m_tick.Stop();
    for (wxTimer& t : m_windowTimers)
        t.Stop();
}

void CMainFrame::StyleCreatedWindows() {
    const MainColours colours{m_pCore->m_crText, m_pCore->m_crBack, Colorref::FromRgb(192, 160, 31),
                              Colorref::FromRgb(31, 117, 192)};
    SetBackgroundColour(ToWxColour(colours.back));
    m_pClient->SetBackgroundColour(ToWxColour(colours.back));
    ApplyMainColours(m_controls, colours);

    // The panels' looks, as the main dialog's initialisation gives them.
    m_pStcPanel->SetPanelColours(colours.text, colours.back);
    for (CCstmSliderCtrl* slider : m_pStcPanel->m_apSlider)
        slider->m_crBack = colours.back;
    for (CCstmButton* b : {m_pStcPanel->m_btnBack, m_pStcPanel->m_btnAuto}) {
        b->m_palette.focusBorder = static_cast<int>(colours.accent.value);
        b->m_font = m_fonts.m_font18B;
    }
    m_pStcPanel->SetSliderRange(0, 64);
    m_pLivePanel->SetColors(m_fonts.m_font18B, m_fonts.m_font14, m_fonts.m_font13B, colours.text,
                            colours.back, colours.accent);
    m_pRightPanel->SetPanelColours(colours.text, colours.back);
    m_pObPanel->m_crValue = colours.accent;
    m_pObPanel->SetPanelColours(colours.text, colours.back);
    for (const auto& group : m_pRightPanel->m_groups)
        group.slider->m_crBack = colours.back;
    for (CCstmButton* b : m_pRightPanel->m_btnFreq) {
        b->m_font = m_fonts.m_font13B;
        b->m_palette.focusBorder = static_cast<int>(colours.accent.value);
        b->m_nState = ButtonStateNormal;
    }
    Refresh(false);
}

bool CMainFrame::Start(const std::string& patientId, const std::string& patientName) {
    MainDlgPorts ports;
    ports.window = &m_windowPort;
    ports.controls = &m_controls;
    ports.views = &m_viewsPort;
    ports.livePanel = m_pLivePort.get();
    ports.stcPanel = m_pStcPort.get();
    ports.rightPanel = m_pRightPort.get();
    ports.timers = &m_timerPort;
    ports.keyboard = &m_keyboardPort;
    m_pSettingsPort = std::make_unique<CSettingsDialogPort>(this, [this] { ShowVersionInformation(); });
    m_pPickerPort = std::make_unique<CBodyMarkPickerPort>(
        this, [this] { return m_pCore && m_pCore->Ports().measurement->IsMeasureMode(); });
    ports.settings = m_pSettingsPort.get();
    ports.picker = m_pPickerPort.get();
    ports.recorder = m_pRecorderPort.get();
    ports.loupe = &m_loupePort;
    ports.obPanel = m_pObPort.get();
    ports.measureWindows = m_pMeasureWindows.get();
    m_pArchive = std::make_unique<CMainArchive>();
    m_pCineProgress = std::make_unique<CCineStoreProgress>(this);
    m_pThumbnails = dynamic_cast<CThumbnailListBox*>(m_controls.Find(maindlg::IDC_THUMBNAILS));
    ports.stores = m_pArchive.get();
    ports.thumbnails = m_pArchive.get();
    ports.review = m_pArchive.get();
    ports.obStills = m_pArchive.get();
    ports.patients = m_pPatientDialogs;
    m_pExportSource = std::make_unique<CCoreExportSource>([this] { return m_pCore.get(); });
    m_pPrinter = std::make_unique<CWxPrinter>();
    m_pExports = std::make_unique<CExportPort>(*m_pExportSource, this, *m_pPrinter);
    ports.exports = m_pExports.get();
    ports.printing = m_pExports.get();
    m_pCore = std::make_unique<CKALVEXDlg>(ports);
    m_pSettingsPort->SetMainDialog(m_pCore.get(), m_pCore->Ports());
    m_pPickerPort->SetMainDialog(m_pCore.get());
    for (int code : {maindlg::kViewMain, maindlg::kViewLeft, maindlg::kViewRight})
        LoadBodyMarkPictures(m_pCore->View(code));
    m_pRecorderPort->Attach(m_pCore.get(), m_pLivePort.get());
    m_pRecorderUi->Attach(m_pCore.get());
    // The recording takes the same render of the image area as the stores.
    m_pRecorderUi->renderImageArea = [core = m_pCore.get()] { return mainarchive::RenderImageArea(*core); };
    m_pArchive->Attach(m_pCore.get(), m_pThumbnails, m_pCineProgress.get());
    m_pArchive->Cache().SetCineMark(LoadIcon(232, 38, 38));
    if (m_pThumbnails)
        m_pThumbnails->SetArchive(m_pArchive.get());
    // The exports take the list's first selected item and the still's render from the archive.
    m_pExportSource->selectedItem = [this]() -> std::optional<archive::StoreItemRecord> {
        if (!m_pThumbnails || !m_pArchive)
            return std::nullopt;
        const std::vector<int> rows = m_pThumbnails->GetSelection();
        const auto& items = m_pArchive->List().Items();
        if (rows.empty() || rows.front() < 0 || rows.front() >= static_cast<int>(items.size()))
            return std::nullopt;
        return items[static_cast<size_t>(rows.front())];
    };
    m_pExportSource->renderImageArea = [this] {
        return m_pCore ? mainarchive::RenderStill(*m_pCore) : Image32();
    };
    // The gradation bar as tall as the main view, and the start-up rectangles of the resize.
    const wxRect grad = m_pLivePanel->m_rcGradation;
    const wxRect rp = m_pRightPanel->GetRect();
    const StartupRects startup = MainStartupRects({grad.x, grad.y, grad.GetRight() + 1, grad.GetBottom() + 1},
                                                  {rp.x, rp.y, rp.GetRight() + 1, rp.GetBottom() + 1});
    m_pLivePanel->SetGradationRect(wxRect(startup.gradation.left, startup.gradation.top,
                                          startup.gradation.Width(), startup.gradation.Height()));
    m_pCore->SetStartupGeometry(startup, MainGeometryConstants());
    m_views.main->BindModel(&m_pCore->View(maindlg::kViewMain));
    m_views.left->BindModel(&m_pCore->View(maindlg::kViewLeft));
    m_views.right->BindModel(&m_pCore->View(maindlg::kViewRight));
    StyleCreatedWindows();
    // Every label asks the core for its colours when it paints.
    for (const MainControlPlacement& c : kMainControls) {
        if (auto* label = dynamic_cast<CColorLabel*>(m_controls.Find(c.id))) {
            label->SetColourSource([this, id = c.id] {
                if (!m_pCore)
                    return LabelColours{Colorref::FromRgb(255, 255, 255), Colorref::FromRgb(0, 0, 14)};
                const CKALVEXDlg::CtlColours colours = m_pCore->OnCtlColor(id);
                return LabelColours{colours.text, colours.back};
            });
        }
    }

    m_pCore->m_strPatientId = patientId;
    m_pCore->m_strPatientName = patientName;
    const bool ok = m_pCore->OnInitDialog();

    // Suspend and resume reach the core on the UI thread, and only while it is open.
    std::weak_ptr<CMainDlgHandle> handle = m_pCore->Handle();
    m_power.Start([handle](platform::PowerEvent event) {
        if (auto h = handle.lock(); h && h->Get()) {
            h->Get()->OnPowerBroadcast(event == platform::PowerEvent::Suspend
                                           ? maindlg::PBT_APMSUSPEND
                                           : maindlg::PBT_APMRESUMESUSPEND);
        }
    });
    return ok;
}

wxWindow* CMainFrame::ViewWindow(int viewCode) {
    switch (viewCode) {
        case maindlg::kViewMain:
            return m_views.main;
        case maindlg::kViewLeft:
            return m_views.left;
        case maindlg::kViewRight:
            return m_views.right;
        default:
            return nullptr;
    }
}

bool CMainFrame::ForwardKey(const wxKeyEvent& event) {
    if (!m_pCore || m_bClosed)
        return false;
    return m_pCore->PreTranslateKey(ToKeyInput(event));
}

void CMainFrame::OnCharHook(wxKeyEvent& event) {
    if (ForwardKey(event))
        return;
    // Not ours: the focused control handles the key as usual.
    event.StopPropagation();
    event.Skip();
}

void CMainFrame::OnClientButton(wxCommandEvent& event) {
    // Only the main dialog's own controls: the panels publish their clicks on the event hub.
    const wxWindow* source = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!source || source->GetParent() != m_pClient || !FindMainControl(event.GetId())) {
        event.Skip();
        return;
    }
    if (m_pCore && !m_bClosed)
        m_pCore->OnButtonClicked(event.GetId());
}

void CMainFrame::OnTickTimer(wxTimerEvent&) {
    if (m_pCore && !m_bClosed)
        m_pCore->OnTickTimer();
}

void CMainFrame::OnWindowTimer(wxTimerEvent& event) {
    if (m_pCore && !m_bClosed)
        m_pCore->OnTimer(event.GetId() - wxID_HIGHEST - 100);
}

void CMainFrame::OnCloseWindow(wxCloseEvent& event) {
    if (m_pCore && !m_bClosed) {
        m_pCore->OnSysCommand(kScClose);
        if (!m_bClosed && event.CanVeto()) {
            event.Veto();
            return;
        }
    }
    StopEverything();
    Destroy();
}

void CMainFrame::OnMaximize(wxMaximizeEvent& event) {
    event.Skip();
    // GTK keeps the maximise box: a maximise during a recording is undone instead.
    if (m_pRecorderUi)
        m_pRecorderUi->UndoMaximiseWhileRecording();
}

// ---- the core's window interfaces

void CMainFrame::WindowPort::SetTitle(const std::string& title) {
    f->wxFrame::SetTitle(wxString::FromUTF8(title));
}

draw::Point CMainFrame::WindowPort::GetClientSize() const {
    const wxSize s = f->m_pClient->GetClientSize();
    return {s.x, s.y};
}

void CMainFrame::WindowPort::Redraw() {
    f->Refresh(false);
    f->Update();
}

void CMainFrame::WindowPort::SetWaitCursor(bool wait) {
    if (wait) {
        wxBeginBusyCursor();
        ++f->m_nBusyCursor;
    } else if (f->m_nBusyCursor > 0) {
        wxEndBusyCursor();
        --f->m_nBusyCursor;
    }
}

void CMainFrame::WindowPort::EndDialog(int result) {
    f->m_bClosed = true;
    f->StopEverything();
    if (f->onEndDialog) {
        f->onEndDialog(result);
        return;
    }
    f->Hide();
    f->Destroy();
}

void CMainFrame::ViewsPort::ShowView(int viewCode, bool show) {
    if (wxWindow* w = f->ViewWindow(viewCode))
        w->Show(show);
}

void CMainFrame::ViewsPort::RepaintView(int viewCode) {
    if (wxWindow* w = f->ViewWindow(viewCode))
        w->Refresh(false);
}

void CMainFrame::ViewsPort::MoveView(int viewCode, const draw::Rect& rect) {
    if (wxWindow* w = f->ViewWindow(viewCode)) {
        w->SetSize(rect.left, rect.top, rect.Width(), rect.Height());
        w->Refresh(false);
    }
}

void CMainFrame::TimerPort::StartTick(int periodMs) {
    f->m_tick.Start(periodMs, wxTIMER_CONTINUOUS);
}

void CMainFrame::TimerPort::StopTick() {
    f->m_tick.Stop();
}

void CMainFrame::TimerPort::StartTimer(int id, int periodMs) {
    if (id >= 1 && id <= 3)
        f->m_windowTimers[static_cast<size_t>(id - 1)].Start(periodMs, wxTIMER_CONTINUOUS);
}

void CMainFrame::TimerPort::KillTimer(int id) {
    if (id >= 1 && id <= 3)
        f->m_windowTimers[static_cast<size_t>(id - 1)].Stop();
}

ModifierKeys CMainFrame::KeyboardPort::Read() const {
    ModifierKeys keys;
    keys.readable = true;
    keys.ctrl = wxGetKeyState(WXK_CONTROL);
    keys.shift = wxGetKeyState(WXK_SHIFT);
    return keys;
}

// ---- mouse, touch, size and the header's menu

void CMainFrame::BindPointer(wxWindow* window) {
    window->Bind(wxEVT_LEFT_DOWN, &CMainFrame::OnPointer, this);
    window->Bind(wxEVT_LEFT_UP, &CMainFrame::OnPointer, this);
    window->Bind(wxEVT_LEFT_DCLICK, &CMainFrame::OnPointer, this);
    window->Bind(wxEVT_RIGHT_DOWN, &CMainFrame::OnPointer, this);
    window->Bind(wxEVT_RIGHT_UP, &CMainFrame::OnPointer, this);
    window->Bind(wxEVT_MOTION, &CMainFrame::OnPointer, this);
    window->EnableTouchEvents(wxTOUCH_PRESS_GESTURES);
    window->Bind(wxEVT_TWO_FINGER_TAP,
                 [this](wxTwoFingerTapEvent& e) { OnTouch(e, maindlg::GID_TWOFINGERTAP); });
    window->Bind(wxEVT_PRESS_AND_TAP,
                 [this](wxPressAndTapEvent& e) { OnTouch(e, maindlg::GID_PRESSANDTAP); });
}

bool CMainFrame::IsPointerWindow(const wxWindow* window) const {
    return window == m_pClient || window == m_views.main || window == m_views.left || window == m_views.right;
}

void CMainFrame::OnPointer(wxMouseEvent& event) {
    event.Skip();
    const int code = MouseCodeOf(event.GetEventType());
    auto* source = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!m_pCore || m_bClosed || code == 0 || !source)
        return;
    const wxPoint screen = source->ClientToScreen(event.GetPosition());
    wxPoint client = m_pClient->ScreenToClient(screen);
    if (code == maindlg::WM_LBUTTONUP || code == maindlg::WM_RBUTTONUP) {
        // GTK gives the release to the window that got the press; the release belongs to
        // the window under the pointer, and over anything but a view it is in no view.
        const wxWindow* under = wxFindWindowAtPoint(screen);
        if (under && !IsPointerWindow(under) && under != m_controls.Find(maindlg::IDC_REVIEW_PREV) &&
            under != m_controls.Find(maindlg::IDC_REVIEW_NEXT))
            client = kNowhere;
    }
    if (m_pCore->PreTranslateMouse(MouseMessage{code, {client.x, client.y}}))
        event.Skip(false);
}

void CMainFrame::OnTouch(wxGestureEvent& event, int gestureId) {
    auto* source = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!m_pCore || m_bClosed || !source) {
        event.Skip();
        return;
    }
    const wxPoint client = m_pClient->ScreenToClient(source->ClientToScreen(event.GetPosition()));
    const draw::Point p{client.x, client.y};
    if (event.IsGestureStart())
        m_pCore->OnGesture(maindlg::GID_BEGIN, p);
    m_pCore->OnGesture(gestureId, p);
    if (!(event.IsGestureEnd() && m_pCore->OnGesture(maindlg::GID_END, p)))
        event.Skip();
}

void CMainFrame::OnSizeEvent(wxSizeEvent& event) {
    event.Skip();  // the client panel fills the frame
    if (!m_pCore || m_bClosed)
        return;
    const bool maximised = IsMaximized() || m_bForcedMaximised;
    const wxSize client = GetClientSize();
    if (!maximised && client != wxSize(kMainClientWidth, kMainClientHeight)) {
        // Not maximised: only the start-up size.
        CallAfter([this] {
            if (!m_bClosed && !IsMaximized() && !m_bForcedMaximised)
                SetClientSize(kMainClientWidth, kMainClientHeight);
        });
    }
    ApplyWindowSize(maximised, client);
}

void CMainFrame::ApplyWindowSize(bool maximised, const wxSize& client) {
    if (!m_pCore || m_bClosed)
        return;
    if (maximised == m_bMaximisedApplied && (!maximised || client == m_szApplied))
        return;
    m_bMaximisedApplied = maximised;
    m_szApplied = client;
    m_pClient->SetSize(maximised ? client : wxSize(kMainClientWidth, kMainClientHeight));
    m_pCore->OnSize(maximised, client.x, client.y);
}

void CMainFrame::ForceMaximised(bool on, const wxSize& client) {
    m_bForcedMaximised = on;
    SetClientSize(on ? client : wxSize(kMainClientWidth, kMainClientHeight));
    ApplyWindowSize(on, on ? client : wxSize(kMainClientWidth, kMainClientHeight));
}

void CMainFrame::OnMoveEvent(wxMoveEvent& event) {
    event.Skip();
    if (m_pCore && !m_bClosed)
        m_pCore->OnMove();
}

void CMainFrame::ShowHeaderMenu(const wxPoint& where) {
    if (!m_pCore || m_bClosed)
        return;
    const std::string& version = resources::LoadString(101);
    if (version.empty())
        return;
    wxMenu menu;
    menu.Append(ID_VERSION_INFORMATION, wxString::FromUTF8(version + " " + GetProductName()));
    const int chosen =
        popupMenuHook ? popupMenuHook(menu) : GetPopupMenuSelectionFromUser(menu, ScreenToClient(where));
    if (chosen == ID_VERSION_INFORMATION)
        m_pCore->OnSysCommand(0x10);  // the same dispatcher as the Settings button
}

void CMainFrame::ShowVersionInformation() {
    // Keys and clicks stand aside while the box is up.
    const bool busy = m_pCore->m_bBusy;
    m_pCore->m_bBusy = true;
    CAboutDlg about(this);
    about.DoModal();
    if (m_pCore)
        m_pCore->m_bBusy = busy;
}

bool CMainFrame::LoupePort::IsShown() const {
    return f->m_pLoupe && f->m_pLoupe->IsShown();
}

void CMainFrame::LoupePort::Hide() {
    if (f->m_pLoupe)
        f->m_pLoupe->Hide();
}

void CMainFrame::LoupePort::Show() {
    // The measuring's press: the loupe goes where the main window puts it (not in PC mode).
    if (f->m_pCore)
        f->m_pCore->ShowFingerView(true);
}

void CMainFrame::LoupePort::FollowCursor() {
    if (!f->m_pLoupe)
        return;
    f->m_pLoupe->m_ptLoupe = wxGetMousePosition();
    f->m_pLoupe->Refresh(false);
}

void CMainFrame::LoupePort::ShowAtWindowCorner(bool show) {
    if (!f->m_pLoupe)
        return;
    f->m_pLoupe->Move(f->GetScreenPosition());
    f->m_pLoupe->m_ptLoupe = wxGetMousePosition();
    f->m_pLoupe->Show(show);
    if (show)
        f->m_pLoupe->Refresh(false);
}
