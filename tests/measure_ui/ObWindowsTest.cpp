// The OB/GY windows on the display: the side panel's layouts, its presses on the event hub
// (buttons, entry marks, Enter on the focused button), the results table's escaped page and
// its Close button. Screenshots of the panel and the table go to artifacts/.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>

#include <vector>

#include "../app/WxTestSupport.h"
#include "common/EventHub.h"
#include "measure/ui/EntryMark.h"
#include "measure/ui/ObSidePanel.h"
#include "measure/ui/ResultsTable.h"

using namespace wxtest;

namespace {

std::vector<CommandEventArgs> g_published;

void Record(void* payload) {
    g_published.push_back(*static_cast<const CommandEventArgs*>(payload));
}

class ObWindowsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        g_published.clear();
        CEventHub::GetInstance().Subscribe(EventKindCommand, &Record);
    }
    void TearDown() override {
        CEventHub::GetInstance().Unsubscribe(EventKindCommand, &Record);
        WindowTest::TearDown();
    }
    CLSideOBGYPanel* MakePanel() {
        frame->SetClientSize(400, 560);
        auto* panel = new CLSideOBGYPanel(frame);
        panel->SetPosition({0, 0});
        panel->Show();
        return panel;
    }
    static ObEvaluationResult Result() {
        ObEvaluationResult r;
        for (int e = 0; e < kObResultElementCount; ++e)
            r.texts[static_cast<size_t>(e)] = kObResultElementDefaults[static_cast<size_t>(e)];
        r.texts[ObResIdName] = "ID: 0042  Name: <&> Yamada";
        r.texts[ObResDate] = "10-04-2024";
        r.texts[ObResLmp1] = "01-01-2024";
        r.texts[ObResLmp2] = "07-10-2024";
        r.texts[ObResLmp3] = "14 W 2 D";
        r.texts[ObResBbt1] = "15-01-2024";
        r.texts[ObResBbt2] = "07-10-2024";
        r.texts[ObResBbt3] = "12 W 2 D";
        r.texts[ObResBpd1] = "90.0 mm";
        r.texts[ObResFl1] = "70.0 mm";
        r.texts[ObResAc1] = "300.0 mm";
        r.texts[ObResWeight] = "2670.03 g";
        return r;
    }
};

}  // namespace

TEST_F(ObWindowsTest, LayoutEighteenShowsTheItemButtonsAndHighlightsTheItem) {
    CLSideOBGYPanel* panel = MakePanel();
    CObPanelPort port(panel);
    // Hidden until the OB/GY layout, but enabled: F1 and F4 ask BPD and CRL in every layout.
    EXPECT_FALSE(panel->Button(CLSideOBGYPanel::IDC_BPD)->IsShown());
    EXPECT_TRUE(port.IsButtonEnabled(CLSideOBGYPanel::IDC_BPD));
    port.SetDateTexts("05-03-2024", "");
    port.SetMode(18, 5, true);
    for (int id : CLSideOBGYPanel::kItemButtons)
        EXPECT_TRUE(port.IsButtonEnabled(id)) << id;
    EXPECT_EQ(panel->Button(CLSideOBGYPanel::IDC_FL)->m_nState, ButtonStateHighlighted);
    EXPECT_EQ(panel->Button(CLSideOBGYPanel::IDC_BPD)->m_nState, ButtonStateNormal);
    EXPECT_EQ(panel->m_pLmpText->GetText(), "05-03-2024");
    port.SetItemSubCaption(CLSideOBGYPanel::IDC_BPD, "90.0 mm");
    EXPECT_EQ(panel->Button(CLSideOBGYPanel::IDC_BPD)->GetSubText1(), "90.0 mm");
    port.ClearMeasureValues();
    EXPECT_EQ(panel->Button(CLSideOBGYPanel::IDC_BPD)->GetSubText1(), "");
    port.SetMode(5, 0, true);
    EXPECT_TRUE(port.IsButtonEnabled(CLSideOBGYPanel::IDC_CRL));
    EXPECT_FALSE(panel->Button(CLSideOBGYPanel::IDC_GS)->IsShown());
}

TEST_F(ObWindowsTest, PressesMarksAndEnterOnTheFocusedButtonArePublishedAsDialog223) {
    CLSideOBGYPanel* panel = MakePanel();
    panel->SetMode(18, 0);
    Flush();
    panel->Button(CLSideOBGYPanel::IDC_BACK)->Click();
    panel->Button(CLSideOBGYPanel::IDC_AC)->Click();
    for (CEntryMark* mark : {panel->m_pLmpMark, panel->m_pBbtMark}) {
        wxMouseEvent up(wxEVT_LEFT_UP);
        up.m_x = 3;
        up.m_y = 3;
        up.SetEventObject(mark);
        mark->GetEventHandler()->ProcessEvent(up);
    }
    panel->Button(CLSideOBGYPanel::IDC_GAGE)->SetFocus();
    Flush();
    wxKeyEvent enter(wxEVT_CHAR_HOOK);
    enter.m_keyCode = WXK_RETURN;
    EXPECT_TRUE(panel->PreTranslateKey(enter));
    std::vector<int> codes;
    for (const CommandEventArgs& a : g_published) {
        EXPECT_EQ(a.dialogId, 223);
        codes.push_back(a.controlId);
    }
    EXPECT_EQ(codes, (std::vector<int>{1006, 1036, 1050, 1051, 1188}));
}

TEST_F(ObWindowsTest, ResultsTableEscapesItsTextsAndClosesWithClose) {
    CResultsTable table(frame, Result());
    EXPECT_EQ(table.GetTitle(), "OB/GY Measure");
    EXPECT_NE(table.Page().find("ID: 0042  Name: &lt;&amp;&gt; Yamada"), std::string::npos);
    EXPECT_EQ(table.Page().find("{{"), std::string::npos);
    EXPECT_NE(table.Page().find("2670.03 g"), std::string::npos);
    auto* close = wxDynamicCast(table.FindWindow(wxID_OK), wxButton);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->GetLabel(), "Close");
    wxTheApp->CallAfter([&] {
        Flush();
        const Image32 shot = ComposeWindow(&table);
        (void)shot;
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        click.SetEventObject(close);
        close->GetEventHandler()->ProcessEvent(click);
    });
    EXPECT_EQ(table.ShowModal(), wxID_OK);
}

TEST_F(ObWindowsTest, ScreenshotsOfThePanelAndTheResultsTable) {
    CLSideOBGYPanel* panel = MakePanel();
    CObPanelPort port(panel);
    port.SetGaModelText("JSUM");
    port.SetModelCaption("JSUM");
    port.SetDateTexts("01-01-2024", "15-01-2024");
    port.SetMode(18, 1, true);
    port.SetItemSubCaptionColour(CLSideOBGYPanel::IDC_BPD, MakePixel(0, 167, 227));
    port.SetItemSubCaption(CLSideOBGYPanel::IDC_BPD, "100.5 mm");
    port.SetItemSubCaptionColour(CLSideOBGYPanel::IDC_FL, MakePixel(255, 165, 0));
    port.SetItemSubCaption(CLSideOBGYPanel::IDC_FL, "70.0 mm");
    port.SetAcSubCaptionColour(MakePixel(255, 192, 203));
    port.SetItemSubCaption(CLSideOBGYPanel::IDC_AC, "300.0 mm");
    Flush();
    SaveArtifact(ComposeWindow(panel), "ob_panel");

    CResultsTable table(frame, Result());
    table.Show();
    Flush();
    wxMilliSleep(200);
    Flush();
    wxBitmap bitmap(table.GetClientSize());
    {
        wxClientDC dc(&table);
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, bitmap.GetWidth(), bitmap.GetHeight(), &dc, 0, 0);
    }
    wxFileName::Mkdir("artifacts", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    EXPECT_TRUE(bitmap.ConvertToImage().SaveFile("artifacts/ob_results_table.png", wxBITMAP_TYPE_PNG));
    table.Hide();
}
