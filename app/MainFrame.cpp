#include "app/MainFrame.h"
#include "measure/ui/MeasureWindowsWx.h"
#include "measure/ui/ObSidePanel.h"

#include <wx/panel.h>
#include <wx/utils.h>

#include "app/IconLoader.h"
#include "app/LSideDxSTC.h"
#include "app/LSideDxUnFreeze.h"
#include "app/MainKeys.h"
#include "app/MainLayoutTable.h"
#include "app/MainViewWindow.h"
#include "app/RSideDxUnFreeze.h"
#include "app/WxImage.h"
#include "app/WxRecorderUi.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainDialogIds.h"
#include "app/core/RecorderPort.h"

namespace {

// No sizing frame: the window is at its start-up size or maximised.
constexpr long kFrameStyle = wxDEFAULT_FRAME_STYLE & ~wxRESIZE_BORDER;

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

    SetClientSize(kMainClientWidth, kMainClientHeight);
    m_tick.SetOwner(this, wxID_HIGHEST + 100);
    for (int i = 0; i < 3; ++i)
        m_windowTimers[static_cast<size_t>(i)].SetOwner(this, wxID_HIGHEST + 101 + i);
    Bind(wxEVT_TIMER, &CMainFrame::OnTickTimer, this, wxID_HIGHEST + 100);
    Bind(wxEVT_TIMER, &CMainFrame::OnWindowTimer, this, wxID_HIGHEST + 101, wxID_HIGHEST + 103);
    Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnCloseWindow, this);
    m_pClient->Bind(wxEVT_BUTTON, &CMainFrame::OnClientButton, this);
    m_pRecorderUi = std::make_unique<CWxRecorderUi>(this, m_pClient);
    m_pRecorderPort = std::make_unique<CRecorderPort>(*m_pRecorderUi);
    Bind(wxEVT_MAXIMIZE, &CMainFrame::OnMaximize, this);
    Bind(wxEVT_MOVE, &CMainFrame::OnMove, this);
}

CMainFrame::~CMainFrame() {
    StopEverything();
    m_pRecorderPort.reset();  // the recorder and its preview go while the client area exists
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
    ports.recorder = m_pRecorderPort.get();
    ports.obPanel = m_pObPort.get();
    ports.measureWindows = m_pMeasureWindows.get();
    m_pCore = std::make_unique<CKALVEXDlg>(ports);
    m_pRecorderPort->Attach(m_pCore.get(), m_pLivePort.get());
    m_pRecorderUi->Attach(m_pCore.get());
    m_views.main->BindModel(&m_pCore->View(maindlg::kViewMain));
    m_views.left->BindModel(&m_pCore->View(maindlg::kViewLeft));
    m_views.right->BindModel(&m_pCore->View(maindlg::kViewRight));
    StyleCreatedWindows();

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
        m_pCore->OnSysCommandClose();
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

void CMainFrame::OnMove(wxMoveEvent& event) {
    event.Skip();
    if (m_pCore && !m_bClosed)
        m_pRecorderPort->MoveSyncViewWindow();
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
