// The three side panels: the events each publishes, their key rules and member operations,
// and a screenshot of each.
#include <gtest/gtest.h>
#include <wx/uiaction.h>
#include <map>
#include <string>
#include <vector>

#include "app/LSideDxSTC.h"
#include "app/LSideDxUnFreeze.h"
#include "app/RSideDxUnFreeze.h"
#include "common/EventHub.h"
#include "measure/MeasureText.h"
#include "measure/ui/ObSidePanel.h"
#include "tests/app/WxTestSupport.h"
#include "tests/draw/PixelTestUtil.h"

using wxtest::Flush;

inline bool operator==(const CommandEventArgs& a, const CommandEventArgs& b) {
    return a.dialogId == b.dialogId && a.controlId == b.controlId;
}

namespace {

std::vector<CommandEventArgs> g_commands;
std::vector<ScrollEventArgs> g_scrolls;
void OnCommand(void* p) {
    g_commands.push_back(*static_cast<CommandEventArgs*>(p));
}
void OnScroll(void* p) {
    g_scrolls.push_back(*static_cast<ScrollEventArgs*>(p));
}

wxKeyEvent KeyEvent(int code) {
    wxKeyEvent e(wxEVT_CHAR_HOOK);
    e.m_keyCode = code;
    return e;
}

void KeyTo(wxWindow* target, int code) {
    for (wxEventType type : {wxEVT_KEY_DOWN, wxEVT_KEY_UP}) {
        wxKeyEvent e(type);
        e.m_keyCode = code;
        e.SetEventObject(target);
        target->GetEventHandler()->ProcessEvent(e);
    }
}

class SidePanelTest : public wxtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        g_commands.clear();
        g_scrolls.clear();
        CEventHub::GetInstance().Subscribe(EventKindCommand, OnCommand);
        CEventHub::GetInstance().Subscribe(EventKindScroll, OnScroll);
    }
    void TearDown() override {
        CEventHub::GetInstance().Unsubscribe(EventKindCommand, OnCommand);
        CEventHub::GetInstance().Unsubscribe(EventKindScroll, OnScroll);
        WindowTest::TearDown();
    }
    // Counts the keys the panel hands on to the main window.
    std::vector<int> forwarded;
    void Forward(CSidePanel* panel) {
        panel->SetKeyForwarder([this](const wxKeyEvent& e) {
            forwarded.push_back(e.GetKeyCode());
            return true;
        });
    }
};

}  // namespace

TEST_F(SidePanelTest, LeftLivePanelPublishesItsButtonsEnterAndS) {
    auto* panel = new CLSideDxUnFreeze(frame);
    EXPECT_FALSE(panel->IsShown());  // a layout shows it
    panel->Show();
    Forward(panel);
    Flush();
    for (int id : {1001, 1166, 1177, 1178, 1048, 1037}) {
        auto* button = dynamic_cast<CCstmButton*>(panel->FindWindow(id));
        ASSERT_NE(button, nullptr) << id;
        button->Click();
    }
    EXPECT_EQ(g_commands, (std::vector<CommandEventArgs>{
                              {222, 1001}, {222, 1166}, {222, 1177}, {222, 1178}, {222, 1048}, {222, 1037}}));
    g_commands.clear();

    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent('S')));
    panel->m_btnBB->SetFocus();
    Flush();
    ASSERT_TRUE(panel->IsButtonFocused());
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent(WXK_RETURN)));
    panel->m_gradation->SetFocus();  // not a button
    Flush();
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent(WXK_RETURN)));  // consumed, nothing published
    EXPECT_EQ(g_commands, (std::vector<CommandEventArgs>{{222, 1166}, {222, 1177}}));

    EXPECT_FALSE(panel->PreTranslateKey(KeyEvent(WXK_TAB)));
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent(WXK_F2)));
    EXPECT_EQ(forwarded, (std::vector<int>{WXK_F2}));

    // The key reaches the panel through the window's key hook from a focused child.
    g_commands.clear();
    panel->m_btnBM->SetFocus();
    Flush();
    wxKeyEvent hook = KeyEvent(WXK_RETURN);
    hook.SetEventObject(panel->m_btnBM);
    panel->m_btnBM->GetEventHandler()->ProcessEvent(hook);
    EXPECT_EQ(g_commands, (std::vector<CommandEventArgs>{{222, 1178}}));
}

TEST_F(SidePanelTest, LeftLivePanelMemberOperations) {
    auto* panel = new CLSideDxUnFreeze(frame);
    EXPECT_TRUE(panel->m_btnFreeze->m_bChecked);
    EXPECT_EQ(panel->m_btnRec->m_nShape, ButtonShapeCircle);
    EXPECT_EQ(panel->m_btnSTC->GetCaption(), "STC");
    EXPECT_EQ(panel->GetButton(1001), nullptr);  // Freeze is not among the panel's buttons
    EXPECT_EQ(panel->GetButton(1048), panel->m_btnSyncView);

    panel->SetGamma(1.0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(panel->m_gradation->m_anTable[static_cast<size_t>(i)], i);
    panel->SetGamma(0.5);
    EXPECT_EQ(panel->m_gradation->m_anTable[128], static_cast<int>(255.0 * (128 / 255.0) * (128 / 255.0)));
    panel->SetGamma(0.0);  // no curve: the table stays
    EXPECT_EQ(panel->m_gradation->m_anTable[128], static_cast<int>(255.0 * (128 / 255.0) * (128 / 255.0)));

    panel->EnableButton(1178, false);
    EXPECT_EQ(panel->m_btnBM->m_nEnabled, 0);
    EXPECT_FALSE(panel->m_btnBM->IsEnabled());
    panel->SetButtonText(1177, "ON");
    EXPECT_EQ(panel->m_btnBB->GetSubText1(), "ON");
    EXPECT_EQ(panel->m_btnBB->m_palette.subText, Rgb(192, 192, 192));
    panel->SetRecButtonText("Stop");
    EXPECT_EQ(panel->m_btnRec->GetCaption(), "Stop");

    const wxRect moved(160, 60, 10, 400);
    panel->SetGradationRect(moved);
    panel->m_gradation->SetSize(0, 0, 5, 5);
    panel->Show();  // showing puts the bar back on its stored rectangle
    Flush();
    EXPECT_EQ(panel->m_gradation->GetRect(), moved);
}

TEST_F(SidePanelTest, StcPanelPublishesScrollsButtonsAndKeys) {
    auto* panel = new CLSideDxSTC(frame);
    panel->Show();
    Forward(panel);
    panel->SetSliderRange(-32, 32);
    Flush();
    EXPECT_EQ(CLSideDxSTC::SliderIndexFromId(1155), 4);
    EXPECT_EQ(CLSideDxSTC::SliderIndexFromId(1161), -1);
    EXPECT_EQ(panel->GetSlider(3)->GetRangeMin(), -32);
    EXPECT_EQ(panel->GetSlider(3)->GetPageSize(), 10);

    // Show values off: the scroll is published, the label keeps its text.
    KeyTo(panel->GetSlider(3), WXK_PAGEDOWN);
    ASSERT_EQ(g_scrolls.size(), 2u);
    EXPECT_EQ(g_scrolls[0].dialogId, 221);
    EXPECT_EQ(g_scrolls[0].controlId, 1154);
    EXPECT_EQ(g_scrolls[0].scrollCode, static_cast<uint32_t>(TB_PAGEDOWN));
    EXPECT_EQ(g_scrolls[1].scrollCode, static_cast<uint32_t>(TB_ENDTRACK));
    EXPECT_EQ(panel->GetValueLabel(3)->GetText(), "0");
    EXPECT_FALSE(panel->GetValueLabel(3)->IsShown());

    panel->SetShowValues(true);
    KeyTo(panel->GetSlider(3), WXK_RIGHT);
    EXPECT_EQ(panel->GetValueLabel(3)->GetText(), "11");  // 0 + 10 + 1
    EXPECT_TRUE(panel->GetValueLabel(3)->IsShown());

    panel->m_btnAuto->Click();
    panel->m_btnBack->Click();
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent('S')));
    EXPECT_EQ(g_commands, (std::vector<CommandEventArgs>{{221, 1167}, {221, 1166}, {221, 1166}}));

    // Arrows stay with the slider; another key first moves the focus from the slider to Back.
    panel->GetSlider(0)->SetFocus();
    Flush();
    EXPECT_FALSE(panel->PreTranslateKey(KeyEvent(WXK_UP)));
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent(WXK_F5)));
    Flush();
    EXPECT_EQ(wxWindow::FindFocus(), panel->m_btnBack);
    EXPECT_EQ(forwarded, (std::vector<int>{WXK_F5}));
    g_commands.clear();
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent(WXK_RETURN)));  // Back has the focus now
    EXPECT_EQ(g_commands, (std::vector<CommandEventArgs>{{221, 1166}}));
}

TEST_F(SidePanelTest, RightPanelPublishesSlidersAndFrequenciesAndSwallowsEnterAndEsc) {
    auto* panel = new CRSideDxUnFreeze(frame);
    panel->Show();
    Forward(panel);
    Flush();
    for (int id : {1221, 1222, 1223})
        panel->GetFreqButton(id)->Click();
    EXPECT_EQ(g_commands, (std::vector<CommandEventArgs>{{229, 1221}, {229, 1222}, {229, 1223}}));
    for (int id : {1017, 1013, 1016, 1213})
        KeyTo(panel->GetSlider(id), WXK_DOWN);
    ASSERT_EQ(g_scrolls.size(), 8u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(g_scrolls[2 * i].dialogId, 229);
        EXPECT_EQ(g_scrolls[2 * i].controlId, (std::array<int, 4>{1017, 1013, 1016, 1213}[i]));
        EXPECT_EQ(g_scrolls[2 * i].scrollCode, static_cast<uint32_t>(TB_LINEDOWN));
    }
    for (int key : {WXK_RETURN, WXK_ESCAPE, WXK_BACK})
        EXPECT_TRUE(panel->PreTranslateKey(KeyEvent(key)));
    EXPECT_FALSE(panel->PreTranslateKey(KeyEvent(WXK_LEFT)));
    EXPECT_TRUE(forwarded.empty());
    EXPECT_TRUE(panel->PreTranslateKey(KeyEvent('I')));
    EXPECT_EQ(forwarded, (std::vector<int>{'I'}));
}

TEST_F(SidePanelTest, RightPanelRangesAndGamma) {
    auto* panel = new CRSideDxUnFreeze(frame);
    CCstmSliderCtrl* depth = panel->GetSlider(1017);
    EXPECT_EQ(depth->GetRangeMin(), 20);
    EXPECT_EQ(depth->GetRangeMax(), 240);
    EXPECT_EQ(depth->GetPageSize(), 7);
    EXPECT_EQ(panel->GetSlider(1013)->GetPos(), 50);   // gain reads 50
    EXPECT_EQ(panel->GetSlider(1016)->GetPos(), 150);  // contrast reads 200 + 0 - 150 = 50
    CCstmSliderCtrl* gamma = panel->GetSlider(1213);
    gamma->SetPos(gamma->GetRangeMin());  // thumb at the top
    EXPECT_DOUBLE_EQ(panel->GetGamma(), 1.2);
    EXPECT_DOUBLE_EQ(panel->ClampGamma(2.0), 1.2);
    EXPECT_DOUBLE_EQ(panel->ClampGamma(0.1), 0.6);
    panel->SetGammaText(1.0);
    EXPECT_EQ(panel->GetLabel(1040)->GetText(), "1.00");
    EXPECT_TRUE(panel->RedrawSliderValues(gamma));
    EXPECT_FALSE(panel->RedrawSliderValues(panel->GetFreqButton(1221)));

    // The settings colours reach the captions, which ask for them when they paint.
    panel->SetPanelColours(Rgb(200, 200, 200), Rgb(10, 20, 30));
    EXPECT_EQ(panel->GetLabel(1020)->Render().At(0, 0), MakePixel(10, 20, 30));
    EXPECT_EQ(panel->m_crNormalText, Rgb(200, 200, 200));
}

// A real key press through the display, and the events it sets off.
void PressKey(int key) {
    wxUIActionSimulator().Char(key);
    for (int i = 0; i < 5; ++i)
        Flush();
}

TEST_F(SidePanelTest, RealKeysReachTheFocusedControlAndNotTheMainWindow) {
    auto* left = new CLSideDxUnFreeze(frame);
    auto* right = new CRSideDxUnFreeze(frame);
    right->SetPosition({300, 0});
    left->Show();
    right->Show();
    std::vector<int> mainWindowKeys;
    frame->Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent& e) { mainWindowKeys.push_back(e.GetKeyCode()); });
    Flush();

    CCstmSliderCtrl* gain = right->GetSlider(1013);
    gain->SetFocus();
    Flush();
    ASSERT_EQ(wxWindow::FindFocus(), gain) << "the display gave no keyboard focus";
    const int before = gain->GetPos();
    PressKey(WXK_DOWN);
    EXPECT_EQ(gain->GetPos(), before + 1);
    ASSERT_EQ(g_scrolls.size(), 2u);
    EXPECT_EQ(g_scrolls[0].controlId, 1013);
    EXPECT_EQ(g_scrolls[0].scrollCode, static_cast<uint32_t>(TB_LINEDOWN));
    EXPECT_EQ(g_scrolls[1].scrollCode, static_cast<uint32_t>(TB_ENDTRACK));
    PressKey(WXK_TAB);
    EXPECT_NE(wxWindow::FindFocus(), gain);  // on to the next control

    left->m_btnBB->SetFocus();
    Flush();
    PressKey(WXK_TAB);
    EXPECT_NE(wxWindow::FindFocus(), left->m_btnBB);
    EXPECT_TRUE(mainWindowKeys.empty());
}

// A value is drawn whole inside its label: a clipped minus sign would turn -10 into 10.
bool ShownWhole(CColorLabel* label) {
    const Image32 pixels = label->Render();
    const draw::Rect ink = drawtest::InkBox(pixels, pixels.At(0, 0));
    return !ink.IsEmpty() && ink.left > 0 && ink.right < pixels.width();
}

TEST_F(SidePanelTest, StcValuesAreShownWholeAtBothRanges) {
    auto* panel = new CLSideDxSTC(frame);
    panel->SetShowValues(true);
    for (auto [minimum, maximum] : {std::pair{-32, 32}, std::pair{0, 64}}) {
        panel->SetSliderRange(minimum, maximum);
        for (int value : {minimum, -10, maximum}) {
            panel->GetSlider(0)->SetPos(value);
            panel->UpdateValueLabel(0);
            EXPECT_TRUE(ShownWhole(panel->GetValueLabel(0))) << panel->GetValueLabel(0)->GetText();
        }
    }
}

TEST_F(SidePanelTest, RightPanelValuesEndInOneColumnAndShowWhole) {
    auto* panel = new CRSideDxUnFreeze(frame);
    const int column = panel->GetLabel(1035)->GetRect().GetRight();
    for (int id : {1033, 1034, 1040})
        EXPECT_EQ(panel->GetLabel(id)->GetRect().GetRight(), column) << id;
    panel->GetLabel(1035)->SetText("240");
    panel->SetGammaText(1.2);
    for (int id : {1035, 1040})
        EXPECT_TRUE(ShownWhole(panel->GetLabel(id))) << id;
}

namespace {

// The pixels the button's painting of `content` changes against the bare button (no caption,
// no sub-captions), as a box.
draw::Rect InkOverBareButton(const CCstmButton* button, const draw::Rect& item,
                             const ButtonContent& content) {
    ButtonContent bare = content;
    bare.caption.clear();
    bare.subText1.clear();
    bare.subText2.clear();
    Image32 empty(item.Width(), item.Height(), 0);
    Image32 painted(item.Width(), item.Height(), 0);
    PaintButton(empty, item, 0, button->PickColours(), bare);
    PaintButton(painted, item, 0, button->PickColours(), content);
    draw::Rect box{item.Width(), item.Height(), 0, 0};
    for (int y = 0; y < item.Height(); ++y) {
        for (int x = 0; x < item.Width(); ++x) {
            if (painted.At(x, y) != empty.At(x, y))
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
        }
    }
    return box;
}

// The ink box of a text drawn with room to spare.
draw::Rect FreeInkBox(const std::string& text, const draw::Font& font) {
    Image32 whole(400, 100, 0);
    draw::DrawText(whole, {0, 0, whole.width(), whole.height()}, text, font, 0xFFFFFF);
    return drawtest::InkBox(whole, 0);
}

// A left-caption button with the value(s) beside its caption: each value shows whole inside
// the button and stays clear of the caption by a few pixels of face.
void ExpectValuesBesideCaption(const CCstmButton* button, const draw::Rect& item, const std::string& top,
                               const std::string& bottom = "") {
    constexpr int kClearance = 3;
    ButtonContent caption = button->Content();
    caption.subText1.clear();
    caption.subText2.clear();
    const draw::Rect captionInk = InkOverBareButton(button, item, caption);
    const draw::Font valueFont = draw::FontFor(draw::FontRole::ButtonSubCaption);
    for (const bool first : {true, false}) {
        const std::string& value = first ? top : bottom;
        if (value.empty())
            continue;
        // Painted alone at its place: a blank stands for the other value of a pair.
        ButtonContent placed = caption;
        placed.caption.clear();
        placed.subText1 = first ? top : " ";
        placed.subText2 = first ? (bottom.empty() ? "" : " ") : bottom;
        const draw::Rect ink = InkOverBareButton(button, item, placed);
        const draw::Rect free = FreeInkBox(value, valueFont);
        const std::string what =
            std::to_string(button->GetId()) + " " + button->GetCaption() + " \"" + value + "\"";
        EXPECT_EQ(ink.Width(), free.Width()) << what << " is cut";
        EXPECT_EQ(ink.Height(), free.Height()) << what << " is cut";
        EXPECT_GE(ink.left, 2) << what << " runs into the border";
        EXPECT_GE(ink.left - captionInk.right, kClearance)
            << what << " runs into the caption: value from x " << ink.left << ", caption to x "
            << captionInk.right;
    }
}

// Every caption and label of a panel, with the other texts the main window puts there, must
// fit whole, and text under 18 point must keep a contrast of 4.5:1 with what lies behind it.
void ExpectTextsFitAndAreLegible(wxWindow* panel, const std::map<int, std::vector<std::string>>& moreTexts,
                                 const std::map<int, std::vector<std::string>>& subCaptions = {}) {
    for (wxWindow* child : panel->GetChildren()) {
        if (!child->IsShown())
            continue;  // hidden until a layout that the main window does not use yet
        std::vector<std::string> texts;
        if (auto it = moreTexts.find(child->GetId()); it != moreTexts.end())
            texts = it->second;
        const wxSize size = child->GetClientSize();
        const draw::Rect item{0, 0, size.x, size.y};
        if (auto* button = dynamic_cast<CCstmButton*>(child)) {
            const ButtonContent content = button->Content();
            texts.push_back(content.caption);
            const unsigned format = content.shape == ButtonShapeLeftCaption
                                        ? draw::kTextVCenter
                                        : draw::kTextCenter | draw::kTextVCenter;
            for (const std::string& text : texts) {
                EXPECT_TRUE(
                    drawtest::TextFits(text, content.captionFont, ButtonCaptionRect(item, content), format))
                    << child->GetId() << " \"" << text << "\"";
            }
            if (auto it = subCaptions.find(child->GetId()); it != subCaptions.end()) {
                for (const std::string& sub : it->second) {
                    if (content.shape == ButtonShapeLeftCaption) {
                        ExpectValuesBesideCaption(button, item, sub);
                        continue;
                    }
                    ButtonContent withSub = content;
                    withSub.subText1 = sub;
                    EXPECT_TRUE(drawtest::TextFits(withSub.caption, withSub.captionFont,
                                                   ButtonCaptionRect(item, withSub),
                                                   draw::kTextCenter | draw::kTextVCenter))
                        << child->GetId() << " over \"" << sub << "\"";
                    EXPECT_TRUE(drawtest::TextFits(sub, draw::FontFor(draw::FontRole::ButtonSubCaption),
                                                   ButtonSubCaptionRect(item, withSub),
                                                   draw::kTextCenter | draw::kTextBottom))
                        << child->GetId() << " \"" << sub << "\"";
                }
            }
            if (content.captionFont.pixelSize < draw::PointsToPixels(18)) {
                for (int kind : {button->m_nKind, 14}) {  // 14: a chosen frequency
                    const ButtonColours c =
                        PickButtonColours(button->m_palette, kind, ButtonStateNormal, true, false, false);
                    EXPECT_GE(ContrastRatio(c.text, c.face), 4.5) << child->GetId() << " kind " << kind;
                }
            }
        } else if (auto* label = dynamic_cast<CColorLabel*>(child)) {
            texts.push_back(label->GetText());
            for (const std::string& text : texts) {
                EXPECT_TRUE(drawtest::TextFits(text, label->GetFont(), label->TextRect(), label->GetFormat()))
                    << child->GetId() << " \"" << text << "\"";
            }
            if (label->GetFont().pixelSize < draw::PointsToPixels(18)) {
                const LabelColours c = label->Colours();
                EXPECT_GE(ContrastRatio(c.text, c.back), 4.5) << child->GetId();
            }
        }
    }
}

}  // namespace

TEST_F(SidePanelTest, EveryCaptionFitsAtItsPointSizeAndSmallTextStaysLegible) {
    auto* left = new CLSideDxUnFreeze(frame);
    auto* stc = new CLSideDxSTC(frame);
    auto* right = new CRSideDxUnFreeze(frame);
    stc->SetShowValues(true);
    EXPECT_EQ(left->m_btnSyncView->m_font.pixelSize, 24);  // 18 point bold at 96 dpi
    EXPECT_EQ(left->m_btnRec->m_font.pixelSize, draw::PointsToPixels(13));
    EXPECT_EQ(right->GetFreqButton(1221)->m_font.pixelSize, draw::PointsToPixels(13));
    EXPECT_EQ(right->GetLabel(1023)->GetFont().pixelSize, 16);  // 12 point statics
    ExpectTextsFitAndAreLegible(left, {{1001, {"UnFreeze"}}, {1037, {"Stop"}}, {1195, {"59:59"}}},
                                {{1048, {"camera prep", "stop"}}, {1177, {"Dual"}}});
    std::map<int, std::vector<std::string>> stcValues;
    for (int i = 0; i < CLSideDxSTC::kSliderCount; ++i)
        stcValues[1224 + i] = {"-32", "64"};
    ExpectTextsFitAndAreLegible(stc, stcValues);
    ExpectTextsFitAndAreLegible(
        right, {{1035, {"240"}}, {1033, {"100"}}, {1034, {"200"}}, {1040, {"1.20", "0.60"}}});
    auto* ob = new CLSideOBGYPanel(frame);
    ob->SetMode(18, 1);
    ob->SetDateTexts("30-12-2024", "30-12-2024");
    ob->m_pGaModel->SetText("JSUM");
    ob->m_pEfwModel->SetText("JSUM");
    // The largest values a 480-pixel image gives at the coarsest scale (the deepest depth):
    // the diagonal, and an ellipse inside the image, whose circumference and area stay below
    // the image's own.
    const MeasureScale scale = MeasureScale::ForDepth(ScanGeometry{}, 1, MeasureScale::kMaxDepth);
    ASSERT_TRUE(scale.valid());
    const double mm = scale.MmPerPixel();
    const std::string diagonal = FormatLengthMm(*PairLengthMm({0, 0}, {479, 479}, scale));
    const std::string circumference = FormatLengthMm(4 * 480 * mm);
    const std::string area = FormatAreaCm2(480 * 480 * mm * mm);
    EXPECT_EQ(diagonal, "345.9 mm");
    std::map<int, std::vector<std::string>> obValues;
    for (int id : CLSideOBGYPanel::kItemButtons)
        obValues[id] = {diagonal, circumference, area, "---"};
    // An AC ellipse dragged out past the image's edges reads four digits.
    obValues[CLSideOBGYPanel::IDC_AC].push_back("9999.9 mm");
    ExpectTextsFitAndAreLegible(ob,
                                {{1182, {"EURO1", "JSUM"}},
                                 {1181, {"Hadlock", "JSUM"}},
                                 {1183, {"2024-12-30", "12-30-2024"}},
                                 {1184, {"2024-12-30", "12-30-2024"}}},
                                obValues);
    for (int id : CLSideOBGYPanel::kItemButtons) {  // a length over an area
        const wxSize size = ob->Button(id)->GetClientSize();
        ExpectValuesBesideCaption(ob->Button(id), {0, 0, size.x, size.y}, circumference, area);
    }
}

TEST_F(SidePanelTest, ScreenshotsOfTheThreePanels) {
    frame->SetClientSize(620, 520);
    auto* left = new CLSideDxUnFreeze(frame);
    auto* stc = new CLSideDxSTC(frame);
    auto* right = new CRSideDxUnFreeze(frame);
    left->SetPosition({0, 0});
    stc->SetPosition({200, 0});
    right->SetPosition({400, 0});
    left->SetButtonText(1177, "Dual");
    left->SetButtonText(1048, "camera prep");
    left->SetGamma(0.8);
    stc->SetShowValues(true);
    stc->SetSliderRange(-32, 32);
    for (int i = 0; i < CLSideDxSTC::kSliderCount; ++i) {
        stc->GetSlider(i)->SetPos(-10 + 3 * i);
        stc->UpdateValueLabel(i);
    }
    right->GetLabel(1035)->SetText("120");
    right->GetLabel(1033)->SetText("50");
    right->GetLabel(1034)->SetText("50");
    right->SetGammaText(1.0);
    right->GetSlider(1017)->SetPos(120);
    right->GetSlider(1213)->SetPos(80);
    right->GetFreqButton(1222)->m_nKind = 14;  // the chosen frequency
    for (CSidePanel* p :
         {static_cast<CSidePanel*>(left), static_cast<CSidePanel*>(stc), static_cast<CSidePanel*>(right)}) {
        p->Show();
    }
    Flush();
    right->GetSlider(1013)->SetFocus();  // gain's texts light up in gold
    Flush();
    right->RedrawSliderValues(right->GetSlider(1013));
    for (auto [panel, name] : {std::pair<wxWindow*, const char*>{left, "panel_left_live"},
                               {stc, "panel_stc"},
                               {right, "panel_right_live"}}) {
        const Image32 shot = wxtest::ComposeWindow(panel);
        EXPECT_EQ(shot.width(), panel->GetClientSize().x);
        wxtest::SaveArtifact(shot, name);
    }
}
