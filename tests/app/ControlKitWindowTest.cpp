// The control kit on a real (virtual) display: states drawn, trackbar keys and mouse with
// their scroll codes, focus events, the numeric edit, and list gestures.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/uiaction.h>
#include <thread>
#include <vector>

#include "app/CstmBitmapButton.h"
#include "app/CstmButton.h"
#include "app/CstmEdit.h"
#include "app/CstmListCtrl.h"
#include "app/CstmSliderCtrl.h"
#include "app/GradationCtrl.h"
#include "app/IconLoader.h"
#include "app/PictureWindow.h"
#include "app/WxUiDispatcher.h"
#include "common/EventHub.h"
#include "platform/draw/Blit.h"
#include "platform/draw/Raster.h"
#include "tests/app/WxTestSupport.h"

using wxtest::Flush;

namespace {

struct ScrollRecord {
    int code;
    long position;
};

class ControlKitTest : public wxtest::WindowTest {
protected:
    std::vector<ScrollRecord> scrolls;
    void Record(CCstmSliderCtrl* slider) {
        slider->Bind(EVT_CSTM_SLIDER_SCROLL, [this](wxCommandEvent& e) {
            scrolls.push_back({e.GetInt(), e.GetExtraLong()});
        });
    }
};

void Key(wxWindow* target, int code) {
    for (wxEventType type : {wxEVT_KEY_DOWN, wxEVT_KEY_UP}) {
        wxKeyEvent e(type);
        e.m_keyCode = code;
        e.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(e);
    }
}

// Each event a second after the one before, unless the test gives its time (ms).
void Mouse(wxWindow* target, wxEventType type, wxPoint at, long time = -1) {
    static long clock = 0;
    clock = time >= 0 ? time : clock + 1000;
    wxMouseEvent e(type);
    e.SetTimestamp(clock);
    e.SetPosition(at);
    e.m_leftDown = type != wxEVT_LEFT_UP;
    e.SetEventObject(target);
    target->GetEventHandler()->ProcessEvent(e);
}

std::vector<CCstmSliderCtrl*> g_focusEvents;
std::vector<bool> g_focusFlags;
void OnSliderFocus(void* payload) {
    auto* slider = static_cast<CCstmSliderCtrl*>(payload);
    g_focusEvents.push_back(slider);
    g_focusFlags.push_back(slider->m_bFocused);
}

}  // namespace

TEST_F(ControlKitTest, ButtonStatesAreDrawnAndKeptAsAScreenshot) {
    struct Look {
        const char* caption;
        int kind, state, shape;
        bool enabled;
        const char* sub1;
        const char* sub2;
    };
    const Look looks[] = {
        {"Kind 1", 1, 5, 0, true, "", ""},     {"Kind 8", 8, 5, 0, true, "", ""},
        {"Kind 2", 2, 5, 0, true, "", ""},     {"Kind 13", 13, 5, 0, true, "", ""},
        {"Kind 14", 14, 5, 0, true, "", ""},   {"Kind 15", 15, 5, 0, true, "", ""},
        {"State 6", 1, 6, 0, true, "", ""},    {"State 7", 1, 7, 0, true, "", ""},
        {"Disabled", 13, 6, 0, false, "", ""}, {"Depth", 1, 5, 0, true, "120 mm", ""},
        {"Gain", 1, 5, 1, true, "50", "dB"},   {"REC", 13, 5, 2, true, "", ""},
    };
    std::vector<CCstmButton*> buttons;
    for (size_t i = 0; i < std::size(looks); ++i) {
        const Look& l = looks[i];
        auto* b =
            new CCstmButton(frame, 2000 + static_cast<int>(i), l.caption,
                            wxPoint(10 + 160 * static_cast<int>(i % 4), 10 + 70 * static_cast<int>(i / 4)),
                            wxSize(l.shape == 2 ? 60 : 147, 60));
        b->m_nKind = l.kind;
        b->m_nState = l.state;
        b->m_nShape = l.shape;
        b->SetSubText1(l.sub1);
        b->SetSubText2(l.sub2);
        if (l.shape == ButtonShapeCircle)
            b->m_font = draw::FontFor(draw::FontRole::RecButton);
        if (!l.enabled)
            b->EnableButton(false);
        buttons.push_back(b);
    }
    auto* unchecked = new CCstmCheckBox(frame, 2100, "Freeze", wxPoint(10, 220), wxSize(147, 81));
    auto* checked = new CCstmCheckBox(frame, 2101, "UnFreeze", wxPoint(170, 220), wxSize(147, 81));
    checked->m_bChecked = true;
    auto* pictureButton = new CCstmBitmapButton(frame, 2102, LoadIcon(kBitmapProbeMarker, 40, 40),
                                                wxPoint(330, 220), wxSize(60, 60));
    auto* bar = new CGradationCtrl(frame, 2103, wxPoint(420, 220), wxSize(8, 120));
    Flush();

    const auto centreFace = [](CCstmButton* b) {
        const Image32 img = b->Render();
        return img.At(4, img.height() / 2);  // inside the border, left of any caption
    };
    EXPECT_EQ(centreFace(buttons[0]), MakePixel(0, 0, 14));
    EXPECT_EQ(centreFace(buttons[1]), MakePixel(0, 50, 94));
    EXPECT_EQ(centreFace(buttons[3]), MakePixel(192, 31, 31));
    EXPECT_EQ(centreFace(buttons[6]), MakePixel(0, 50, 94));
    EXPECT_EQ(buttons[7]->Render().At(40, 0), MakePixel(255, 0, 0));  // warning border
    EXPECT_EQ(centreFace(buttons[8]), MakePixel(128, 128, 128));      // disabled: grey, whatever kind
    EXPECT_EQ(centreFace(unchecked), MakePixel(192, 160, 31));
    EXPECT_EQ(centreFace(checked), MakePixel(192, 31, 31));
    EXPECT_FALSE(pictureButton->Render().empty());

    const std::string path = wxtest::SaveArtifact(wxtest::ComposeWindow(frame), "control_kit_buttons");
    EXPECT_FALSE(path.empty());
    (void)bar;
}

TEST_F(ControlKitTest, ButtonClickRequiresPressAndReleaseInside) {
    auto* b = new CCstmButton(frame, 2200, "BB", wxPoint(10, 10), wxSize(120, 60));
    int clicks = 0;
    frame->Bind(wxEVT_BUTTON, [&](wxCommandEvent& e) { clicks += e.GetId() == 2200; });
    Flush();
    Mouse(b, wxEVT_LEFT_DOWN, {20, 20});
    EXPECT_TRUE(b->IsPressed());
    EXPECT_EQ(b->Render().At(60, 0), MakePixel(0, 255, 0));  // pressed: highlighted border
    Mouse(b, wxEVT_LEFT_UP, {20, 20});
    EXPECT_EQ(clicks, 1);
    Mouse(b, wxEVT_LEFT_DOWN, {20, 20});
    Mouse(b, wxEVT_MOTION, {300, 20});
    EXPECT_FALSE(b->IsPressed());
    Mouse(b, wxEVT_LEFT_UP, {300, 20});  // released outside: no click
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlKitTest, TheSecondPressOfADoubleClickIsNoClick) {
    auto* b = new CCstmButton(frame, 2201, "Freeze", wxPoint(10, 10), wxSize(120, 60));
    int clicks = 0;
    frame->Bind(wxEVT_BUTTON, [&](wxCommandEvent& e) { clicks += e.GetId() == 2201; });
    Flush();
    wxUIActionSimulator pointer;
    pointer.MouseMove(b->ClientToScreen(wxPoint(60, 30)));
    Flush();
    pointer.MouseDblClick();
    for (int i = 0; i < 5; ++i)
        Flush();
    EXPECT_EQ(clicks, 1) << "a double click on the display";
    pointer.MouseMove(0, 0);  // off every window, so no later test finds it hovering
    Flush();

    // However the second press arrives, in time and in place it is no click; the press after
    // it begins a new one, and so does a second press too late or too far away.
    const long late = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC) + 1;
    const int far = wxSystemSettings::GetMetric(wxSYS_DCLICK_X) / 2 + 1;
    struct Case {
        const char* what;
        wxEventType second;
        long after;
        int dx;
        int clicks;
    };
    long t = 0;
    for (const Case& c :
         {Case{"wx double click", wxEVT_LEFT_DCLICK, 50, 0, 1},
          Case{"plain second press", wxEVT_LEFT_DOWN, 50, 1, 1},
          Case{"too late", wxEVT_LEFT_DOWN, late, 0, 2}, Case{"too far", wxEVT_LEFT_DOWN, 50, far, 2}}) {
        clicks = 0;
        t += 100000;
        Mouse(b, wxEVT_LEFT_DOWN, {20, 20}, t);
        Mouse(b, wxEVT_LEFT_UP, {20, 20}, t + 10);
        Mouse(b, c.second, {20 + c.dx, 20}, t + c.after);
        Mouse(b, wxEVT_LEFT_UP, {20 + c.dx, 20}, t + c.after + 10);
        EXPECT_EQ(clicks, c.clicks) << c.what;
        EXPECT_FALSE(b->IsPressed()) << c.what;
        if (c.clicks == 1) {  // a third quick press is a click again
            Mouse(b, wxEVT_LEFT_DOWN, {20, 20}, t + c.after + 60);
            Mouse(b, wxEVT_LEFT_UP, {20, 20}, t + c.after + 70);
            EXPECT_EQ(clicks, 2) << c.what;
        }
    }
}

TEST_F(ControlKitTest, SliderKeysSendTrackbarCodesThenEndTrack) {
    auto* s = new CCstmSliderCtrl(frame, 2300, true, wxPoint(10, 10), wxSize(18, 99));
    s->SetRange(0, 100);
    s->SetPageSize(10);
    s->SetPos(50);
    Record(s);
    struct Case {
        int key, code, pos;
    };
    for (const Case& c :
         {Case{WXK_DOWN, TB_LINEDOWN, 51}, Case{WXK_UP, TB_LINEUP, 50}, Case{WXK_RIGHT, TB_LINEDOWN, 51},
          Case{WXK_LEFT, TB_LINEUP, 50}, Case{WXK_PAGEDOWN, TB_PAGEDOWN, 60}, Case{WXK_PAGEUP, TB_PAGEUP, 50},
          Case{WXK_HOME, TB_TOP, 0}, Case{WXK_END, TB_BOTTOM, 100},
          Case{WXK_PAGEDOWN, TB_PAGEDOWN, 100}}) {  // clamped at the end of the range
        scrolls.clear();
        Key(s, c.key);
        ASSERT_EQ(scrolls.size(), 2u) << c.key;
        EXPECT_EQ(scrolls[0].code, c.code);
        EXPECT_EQ(scrolls[0].position, 0);  // only thumb codes carry the position
        EXPECT_EQ(scrolls[1].code, TB_ENDTRACK);
        EXPECT_EQ(s->GetPos(), c.pos);
    }
}

TEST_F(ControlKitTest, SliderMousePagesTowardTheClickAndDragsTheThumb) {
    auto* s = new CCstmSliderCtrl(frame, 2301, true, wxPoint(10, 10), wxSize(18, 99));
    s->SetRange(20, 240);
    s->SetPageSize(7);
    s->SetPos(100);
    Record(s);
    Flush();
    const wxRect thumb = s->ThumbRect();
    Mouse(s, wxEVT_LEFT_DOWN, {9, thumb.GetBottom() + 20});  // below the thumb
    Mouse(s, wxEVT_LEFT_UP, {9, thumb.GetBottom() + 20});
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0].code, TB_PAGEDOWN);
    EXPECT_EQ(s->GetPos(), 107);
    EXPECT_EQ(scrolls[1].code, TB_ENDTRACK);

    scrolls.clear();
    Mouse(s, wxEVT_LEFT_DOWN, {9, 3});  // above it
    Mouse(s, wxEVT_LEFT_UP, {9, 3});
    ASSERT_EQ(scrolls.size(), 2u);
    EXPECT_EQ(scrolls[0].code, TB_PAGEUP);
    EXPECT_EQ(s->GetPos(), 100);

    scrolls.clear();
    const wxRect t = s->ThumbRect();
    const wxPoint grab(t.x + t.width / 2, t.y + t.height / 2);
    Mouse(s, wxEVT_LEFT_DOWN, grab);
    Mouse(s, wxEVT_MOTION, grab + wxPoint(0, 30));
    Mouse(s, wxEVT_LEFT_UP, grab + wxPoint(0, 30));
    ASSERT_EQ(scrolls.size(), 3u);
    EXPECT_EQ(scrolls[0].code, TB_THUMBTRACK);
    EXPECT_GT(scrolls[0].position, 100);
    EXPECT_EQ(scrolls[1].code, TB_THUMBPOSITION);
    EXPECT_EQ(scrolls[1].position, s->GetPos());
    EXPECT_EQ(scrolls[2].code, TB_ENDTRACK);
}

TEST_F(ControlKitTest, SliderWheelStepsAreLineStepsWithTheirCodes) {
    auto* s = new CCstmSliderCtrl(frame, 2302, false, wxPoint(10, 10), wxSize(112, 22));
    s->SetRange(0, 100);
    s->SetLineSize(2);
    s->SetPos(50);
    Record(s);
    Flush();
    const auto wheel = [s](int rotation) {
        wxMouseEvent e(wxEVT_MOUSEWHEEL);
        e.SetEventObject(s);
        e.m_wheelRotation = rotation;
        e.m_wheelDelta = 120;
        e.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
        e.SetPosition({50, 10});
        s->GetEventHandler()->ProcessEvent(e);
    };
    struct Case {
        std::vector<int> rotations;
        std::vector<int> codes;
        int pos;
    };
    for (const Case& c : {Case{{120}, {TB_LINEUP}, 48}, Case{{-120}, {TB_LINEDOWN}, 50},
                          Case{{-240}, {TB_LINEDOWN, TB_LINEDOWN}, 54},
                          Case{{60, 30}, {}, 54},          // smooth wheels: short of a step
                          Case{{30}, {TB_LINEUP}, 52}}) {  // ... until the steps add up
        scrolls.clear();
        for (int r : c.rotations)
            wheel(r);
        std::vector<int> codes;
        for (const ScrollRecord& r : scrolls) {
            codes.push_back(r.code);
            EXPECT_EQ(r.position, 0);  // line codes carry no position
        }
        EXPECT_EQ(codes, c.codes) << c.rotations[0];
        EXPECT_EQ(s->GetPos(), c.pos) << c.rotations[0];
    }
}

TEST_F(ControlKitTest, TwoSlidersSwappingFocusPublishTwoFocusEvents) {
    auto* a = new CCstmSliderCtrl(frame, 2400, false, wxPoint(10, 10), wxSize(112, 22));
    auto* b = new CCstmSliderCtrl(frame, 2401, false, wxPoint(10, 40), wxSize(112, 22));
    CEventHub::GetInstance().Subscribe(EventKindSliderFocus, OnSliderFocus);
    a->SetFocus();
    ASSERT_TRUE(wxtest::PumpUntil([&] { return a->m_bFocused; }, "the keyboard focus on the slider"));
    const wxRect t = a->ThumbRect();
    EXPECT_EQ(a->Render().At(t.x + t.width / 2, t.y + t.height / 2),
              MakePixel(192, 160, 31));  // gold when focused
    g_focusEvents.clear();
    g_focusFlags.clear();
    b->SetFocus();
    Flush();
    CEventHub::GetInstance().Unsubscribe(EventKindSliderFocus, OnSliderFocus);
    ASSERT_EQ(g_focusEvents.size(), 2u);
    EXPECT_EQ(g_focusEvents[0], a);
    EXPECT_FALSE(g_focusFlags[0]);
    EXPECT_EQ(g_focusEvents[1], b);
    EXPECT_TRUE(g_focusFlags[1]);
    EXPECT_FALSE(a->m_bFocused);

    Image32 shot(260, 70, MakePixel(0, 0, 14));
    for (CCstmSliderCtrl* s : {a, b}) {
        const Image32 img = s->Render();
        draw::CopyRect(img, {0, 0, img.width(), img.height()}, shot,
                       {s->GetPosition().x, s->GetPosition().y});
    }
    b->Enable(false);
    const Image32 disabled = b->Render();
    draw::CopyRect(disabled, {0, 0, disabled.width(), disabled.height()}, shot, {135, 40});
    wxtest::SaveArtifact(shot, "control_kit_sliders");
}

TEST_F(ControlKitTest, TabSkipsTheGreyBarAndTheImageView) {
    // Neither shows a focus, so neither may hold it: Tab goes from button to button.
    auto* panel = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), wxSize(700, 500), wxTAB_TRAVERSAL);
    auto* first = new CCstmButton(panel, 2800, "First", wxPoint(10, 10), wxSize(100, 40));
    new CGradationCtrl(panel, 2801, wxPoint(120, 10), wxSize(8, 240));
    new CPictureWindow(panel, 2802, wxPoint(140, 10), wxSize(240, 240));
    auto* last = new CCstmButton(panel, 2803, "Last", wxPoint(400, 10), wxSize(100, 40));
    first->SetFocus();
    Flush();
    ASSERT_EQ(wxWindow::FindFocus(), first) << "the display gave no keyboard focus";
    wxUIActionSimulator keys;
    keys.Char(WXK_TAB);
    for (int i = 0; i < 5; ++i)
        Flush();
    EXPECT_EQ(wxWindow::FindFocus(), last);
    keys.Char(WXK_TAB, wxMOD_SHIFT);
    for (int i = 0; i < 5; ++i)
        Flush();
    EXPECT_EQ(wxWindow::FindFocus(), first);
}

TEST_F(ControlKitTest, NumericEditCases) {
    auto* edit = new CstmEdit(frame, 2500, wxPoint(10, 10), wxSize(120, 30));
    edit->m_nMin = 1;
    edit->m_nMax = 7200;
    edit->m_nLast = 5;
    std::vector<std::pair<std::string, std::string>> balloons;
    int textEvents = 0;
    edit->Bind(wxEVT_TEXT, [&](wxCommandEvent& e) {
        ++textEvents;
        e.Skip();
    });
    CstmEdit::SetBalloonShower([&](CstmEdit&, const std::string& title, const std::string& text) {
        balloons.push_back({title, text});
    });
    struct Case {
        const char* typed;
        const char* shown;
        bool balloon;
    };
    for (const Case& c :
         {Case{"007", "7", false}, Case{"7201", "7200", true}, Case{"12a", "7", true}, Case{"", "", false},
          Case{"0", "1", true}, Case{"123456789012345678901234", "7200", true}}) {
        balloons.clear();
        textEvents = 0;
        edit->SetValue(wxString::FromUTF8(c.typed));
        Flush();
        EXPECT_EQ(edit->GetValue().utf8_string(), c.shown) << c.typed;
        EXPECT_EQ(edit->GetInsertionPoint(), edit->GetLastPosition()) << c.typed;  // caret at the end
        EXPECT_LE(textEvents, 1) << c.typed;  // our replacement does not set off another check
        ASSERT_EQ(balloons.size(), c.balloon ? 1u : 0u) << c.typed;
        if (c.balloon) {
            EXPECT_EQ(balloons[0].first, "Unacceptable Value");
            EXPECT_EQ(balloons[0].second, "Please enter a number between 1 and 7200.");
        }
    }
    CstmEdit::SetBalloonShower(nullptr);
}

TEST_F(ControlKitTest, ListGestureSelectsOnlyAnItemUnderTheTap) {
    auto* list =
        new CCstmListCtrl(frame, 2600, wxPoint(10, 10), wxSize(300, 200), wxLC_REPORT | wxLC_SINGLE_SEL);
    list->AppendColumn("Item", wxLIST_FORMAT_LEFT, 280);
    for (const char* name : {"first", "second", "third"})
        list->InsertItem(list->GetItemCount(), name);
    list->m_pOwner = frame;
    std::vector<int> notified;
    frame->Bind(EVT_LIST_GESTURE_SELECT, [&](wxCommandEvent& e) {
        EXPECT_EQ(e.GetExtraLong(), CCstmListCtrl::kGestureNotify);
        EXPECT_EQ(e.GetId(), 2600);
        notified.push_back(e.GetInt());
    });
    list->SendSizeEvent();  // header and item area in place, as on the screen
    Flush();

    // Ending below the last item: nothing selected, nothing sent.
    EXPECT_FALSE(list->OnGesture(CCstmListCtrl::GestureTwoFingerTap, true, false, {50, 190}));
    EXPECT_TRUE(list->OnGesture(0, false, true, {50, 190}));
    Flush();
    EXPECT_TRUE(notified.empty());
    EXPECT_EQ(list->GetSelectedItemCount(), 0);

    wxRect second;
    ASSERT_TRUE(list->GetItemRect(1, second));
    list->OnGesture(CCstmListCtrl::GesturePressAndTap, true, false, second.GetPosition() + wxPoint(5, 3));
    EXPECT_EQ(list->m_nPendingGesture, CCstmListCtrl::GesturePressAndTap);
    list->OnGesture(0, false, true, second.GetPosition() + wxPoint(5, 3));
    EXPECT_EQ(list->m_nPendingGesture, CCstmListCtrl::GestureNone);
    EXPECT_TRUE(notified.empty());  // posted: it arrives with the next pass of the event loop
    Flush();
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0], 1);
    EXPECT_EQ(list->GetItemState(1, wxLIST_STATE_SELECTED), wxLIST_STATE_SELECTED);

    // An end without a remembered tap goes to the default handling.
    EXPECT_FALSE(list->OnGesture(0, false, true, second.GetPosition()));
}

TEST_F(ControlKitTest, TouchGestureEventsSelectThroughTheListsOwnHandlers) {
    auto* list =
        new CCstmListCtrl(frame, 2601, wxPoint(10, 10), wxSize(300, 200), wxLC_REPORT | wxLC_SINGLE_SEL);
    list->AppendColumn("Item", wxLIST_FORMAT_LEFT, 280);
    for (const char* name : {"first", "second", "third"})
        list->InsertItem(list->GetItemCount(), name);
    list->m_pOwner = frame;
    std::vector<int> notified;
    frame->Bind(EVT_LIST_GESTURE_SELECT, [&](wxCommandEvent& e) { notified.push_back(e.GetInt()); });
    list->SendSizeEvent();  // header and item area in place, as on the screen
    Flush();
    wxRect third;
    ASSERT_TRUE(list->GetItemRect(2, third));
    const wxPoint onThird = third.GetPosition() + wxPoint(5, third.height / 2);

    // The display's two-finger tap comes as one event that begins and ends the gesture.
    wxTwoFingerTapEvent tap(list->GetId());
    tap.SetEventObject(list);
    tap.SetPosition(onThird);
    tap.SetGestureStart();
    tap.SetGestureEnd();
    EXPECT_TRUE(list->GetEventHandler()->ProcessEvent(tap));  // consumed
    Flush();
    ASSERT_EQ(notified, (std::vector<int>{2}));
    EXPECT_EQ(list->GetItemState(2, wxLIST_STATE_SELECTED), wxLIST_STATE_SELECTED);

    // A press and tap in parts: the begin goes on to the default handling, the end selects.
    notified.clear();
    wxRect first;
    ASSERT_TRUE(list->GetItemRect(0, first));
    wxPressAndTapEvent begin(list->GetId());
    begin.SetEventObject(list);
    begin.SetPosition(first.GetPosition() + wxPoint(5, first.height / 2));
    begin.SetGestureStart();
    EXPECT_FALSE(list->GetEventHandler()->ProcessEvent(begin));
    EXPECT_EQ(list->m_nPendingGesture, CCstmListCtrl::GesturePressAndTap);
    wxPressAndTapEvent end(begin);
    end.SetGestureStart(false);
    end.SetGestureEnd();
    EXPECT_TRUE(list->GetEventHandler()->ProcessEvent(end));
    Flush();
    EXPECT_EQ(notified, (std::vector<int>{0}));

    // A tap below the items selects nothing and tells nobody.
    notified.clear();
    tap.SetPosition({50, 190});
    EXPECT_TRUE(list->GetEventHandler()->ProcessEvent(tap));
    Flush();
    EXPECT_TRUE(notified.empty());
    EXPECT_EQ(list->GetItemState(0, wxLIST_STATE_SELECTED), wxLIST_STATE_SELECTED);
}

TEST_F(ControlKitTest, WorkPostedFromAWorkerRunsOnTheUiThreadWhenPumped) {
    InstallWxUiDispatcher();
    const std::thread::id ui = std::this_thread::get_id();
    std::vector<int> order;
    std::thread::id ranOn;
    std::thread worker([&] {
        platform::PostToUi([&] {
            order.push_back(1);
            ranOn = std::this_thread::get_id();
        });
        platform::PostToUi([&] { order.push_back(2); });
    });
    worker.join();
    EXPECT_TRUE(order.empty());
    platform::UiDispatcher().Pump();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(ranOn, ui);
    UninstallWxUiDispatcher();
}
