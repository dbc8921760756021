// The body-mark picker on the display, over the headless main window: M on a frozen exam
// image, keys, the drag and the held turn button, and where the choice lands in the views.
#include <wx/uiaction.h>

#include <cmath>

#include "app/BodyMarkPickerPort.h"
#include "app/IconLoader.h"
#include "app/SaveDlg.h"
#include "tests/app/DialogTestSupport.h"
#include "tests/app_core/CoreFixture.h"

using namespace maindlg;
using wxtest::Flush;
using wxtest::Settle;

namespace {

class SaveDlgWindowTest : public coretest::CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        frame = new wxFrame(nullptr, wxID_ANY, "main", wxPoint(20, 20), wxSize(900, 700));
        frame->Show();
        Flush();
        ASSERT_TRUE(wxtest::WaitUntilPlaced(frame));
        port = std::make_unique<CBodyMarkPickerPort>(frame, [] { return false; });
    }
    void TearDown() override {
        CoreTest::TearDown();
        frame->Destroy();
        Flush();
    }
    // The headless main window with this picker behind command 81, frozen on an exam image.
    CKALVEXDlg& CreateWithPicker() {
        Attach();
        MainDlgPorts ports = side.Ports();
        ports.picker = port.get();
        InitWith(ports);
        port->SetMainDialog(dlg.get());
        for (int code : {kViewMain, kViewLeft})
            LoadBodyMarkPictures(dlg->View(code));
        return *dlg;
    }
    static void Keys(std::initializer_list<std::pair<int, int>> keys) {
        wxUIActionSimulator sim;
        for (auto [code, mods] : keys) {
            sim.Char(code, mods);
            Settle(2);
        }
    }

    wxFrame* frame = nullptr;
    std::unique_ptr<CBodyMarkPickerPort> port;
};

}  // namespace

TEST_F(SaveDlgWindowTest, KeysChooseMoveAndTurnAndEnterTakesItOver) {
    CKALVEXDlg& d = CreateWithPicker();
    const int startX = d.View(kViewMain).m_nBodyMarkX;
    const int startY = d.View(kViewMain).m_nBodyMarkY;
    bool ran = false;
    wxtest::RunInsideModal([&] {
        CSaveDlg* picker = wxtest::FindShown<CSaveDlg>();
        ASSERT_NE(picker, nullptr);
        ran = true;
        EXPECT_EQ(picker->GetTitle(), "Body Mark");
        EXPECT_EQ(picker->PreviewWindow()->GetSize(), wxSize(303, 272));
        EXPECT_TRUE(d.m_bCineStoreRunning);
        picker->Raise();
        picker->SetFocus();
        Settle();
        Keys({{WXK_F3, 0}});
        for (int i = 0; i < 40; ++i)
            Keys({{WXK_RIGHT, 0}});
        for (int i = 0; i < 20; ++i)
            Keys({{WXK_DOWN, 0}});
        for (int i = 0; i < 9; ++i)
            Keys({{WXK_RIGHT, wxMOD_CONTROL}});
        EXPECT_EQ(picker->Picker().m_nBodyMark, 2);
        EXPECT_EQ(picker->Picker().m_dMarkAngle, 55);
        wxtest::SaveDisplayArtifact(picker, "body_mark_picker_turned");
        Keys({{WXK_F8, 0}});  // no key for "none"
        EXPECT_EQ(picker->Picker().m_nBodyMark, 2);
        Keys({{WXK_RETURN, 0}});
    });
    EXPECT_TRUE(d.PreTranslateKey({vk::kM, false}));
    ui.RunPending();
    ASSERT_TRUE(ran);
    EXPECT_FALSE(d.m_bCineStoreRunning);
    for (int code : {kViewMain, kViewLeft}) {
        const CCstmPictureCtrl& v = d.View(code);
        EXPECT_EQ(v.m_nBodyMark, 2);
        EXPECT_EQ(v.m_dBodyMarkAngle, 55);
        EXPECT_NEAR(v.m_nBodyMarkX - startX, 40 * 57.0 / 303, 1.0);
        EXPECT_NEAR(v.m_nBodyMarkY - startY, 20 * 61.0 / 272, 1.0);
    }
    // The main view's body mark as the view draws it.
    Image32 shown(480, 480, MakePixel(0, 0, 0));
    d.View(kViewMain).DrawBodyMark(shown);
    const draw::Rect rc = d.View(kViewMain).m_rcBodyMark;
    Image32 corner(120, 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            corner.At(x, y) = shown.At(360 + x, 360 + y);
    EXPECT_LT(rc.left, 480);
    wxtest::SaveArtifact(corner, "body_mark_in_main_view");

    // "none" removes it; Esc accepts like OK.
    wxtest::RunInsideModal([&] {
        CSaveDlg* picker = wxtest::FindShown<CSaveDlg>();
        ASSERT_NE(picker, nullptr);
        picker->ThumbnailClicked(7);
        Keys({{WXK_ESCAPE, 0}});
    });
    d.PreTranslateKey({vk::kM, false});
    EXPECT_EQ(d.View(kViewMain).m_nBodyMark, 7);
}

TEST_F(SaveDlgWindowTest, TheMarkerIsDraggedWithTheMouse) {
    CKALVEXDlg& d = CreateWithPicker();
    d.View(kViewMain).m_nBodyMarkX = 20;
    d.View(kViewMain).m_nBodyMarkY = 20;
    const CBodyMarkPicker opened = PickerFromView(d.View(kViewMain));
    wxtest::RunInsideModal([&] {
        CSaveDlg* picker = wxtest::FindShown<CSaveDlg>();
        ASSERT_NE(picker, nullptr);
        picker->Raise();
        Settle();
        wxWindow* preview = picker->PreviewWindow();
        const wxPoint grab = preview->ClientToScreen(wxPoint(opened.m_nMarkX + 16, opened.m_nMarkY + 16));
        wxUIActionSimulator sim;
        sim.MouseMove(grab);
        Settle(10);
        sim.MouseDown();
        Settle(10);
        EXPECT_TRUE(picker->Picker().IsDragging());
        for (int step = 1; step <= 5; ++step) {
            sim.MouseMove(grab + wxPoint(8 * step, 6 * step));
            Settle(4);
        }
        sim.MouseUp();
        Settle(10);
        EXPECT_FALSE(picker->Picker().IsDragging());
        EXPECT_EQ(picker->Picker().m_nMarkX, opened.m_nMarkX + 40);
        EXPECT_EQ(picker->Picker().m_nMarkY, opened.m_nMarkY + 30);
        sim.MouseMove(0, 0);
        Settle();
        picker->Close();  // the window manager's close: nothing is taken over
    });
    d.ExecCommand(81);
    EXPECT_EQ(d.View(kViewMain).m_nBodyMarkX, 20);
    EXPECT_EQ(d.View(kViewMain).m_nBodyMarkY, 20);
}

TEST_F(SaveDlgWindowTest, AHeldTurnButtonRepeatsUntilReleasedOutsideTheDialog) {
    CKALVEXDlg& d = CreateWithPicker();
    d.View(kViewMain).m_dBodyMarkAngle = 0;
    double afterTicks = -1;
    double afterRelease = -1;
    bool sunken = false;
    wxtest::RunInsideModal([&] {
        CSaveDlg* picker = wxtest::FindShown<CSaveDlg>();
        ASSERT_NE(picker, nullptr);
        picker->Raise();
        Settle();
        picker->RepeatTimer().Stop();  // the test gives the ticks
        wxWindow* button = picker->TurnButton(true);
        wxUIActionSimulator sim;
        sim.MouseMove(button->ClientToScreen(wxPoint(28, 28)));
        Settle();
        sim.MouseDown();
        Settle();
        sunken = picker->Picker().IsTurnRightHeld();
        for (int i = 0; i < 10; ++i)
            picker->RepeatTick();
        afterTicks = picker->Picker().m_dMarkAngle;
        sim.MouseMove(picker->GetScreenRect().GetBottomRight() + wxPoint(60, 60));
        Settle();
        sim.MouseUp();
        Settle();
        for (int i = 0; i < 10; ++i)
            picker->RepeatTick();
        afterRelease = picker->Picker().m_dMarkAngle;
        sim.MouseMove(0, 0);
        Settle();
        picker->EndModal(1);
    });
    d.ExecCommand(81);
    EXPECT_TRUE(sunken);
    EXPECT_EQ(afterTicks, 25);  // one turn at the press, four on ticks 7 to 10
    EXPECT_EQ(afterRelease, 25);
    EXPECT_EQ(d.View(kViewMain).m_dBodyMarkAngle, 25);
}
