// The program's message box on the display: each kind opens with the keyboard on its default
// button, and Enter answers it with that button, also for a second box in a row; it shows the
// icon of its kind and its caption.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "app/WxMessageBox.h"
#include "common/AppFolders.h"
#include "platform/MessageBox.h"
#include "tests/app/WxTestSupport.h"

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The native dialog is no wx top-level window: GTK knows it as the window holding the modal grab.
void* ModalGtkWindow() {
    using Current = void* (*)();
    static const auto current = reinterpret_cast<Current>(dlsym(RTLD_DEFAULT, "gtk_grab_get_current"));
    return current ? current() : nullptr;
}

// Looks at the dialog once it is up, then presses Enter in it.
class EnterPresser : public wxTimer {
public:
    void Notify() override {
        void* dialog = ModalGtkWindow();
        if (!dialog || pressed)
            return;
        using Get = void* (*)(void*);
        static const auto getFocus = reinterpret_cast<Get>(dlsym(RTLD_DEFAULT, "gtk_window_get_focus"));
        static const auto getDefault =
            reinterpret_cast<Get>(dlsym(RTLD_DEFAULT, "gtk_window_get_default_widget"));
        ASSERT_TRUE(getFocus && getDefault);
        if (!getDefault(dialog))
            return;  // not laid out yet
        focusOnDefault = getFocus(dialog) == getDefault(dialog);
        pressed = true;
        wxUIActionSimulator().Char(WXK_RETURN);
    }
    bool pressed = false;
    bool focusOnDefault = false;
};

// Once the box is up: its caption and the icon it shows (none when it shows no picture), then
// Enter.
class BoxReader : public wxTimer {
public:
    void Notify() override {
        if (read || !ModalGtkWindow())
            return;
        wxDialog* box = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<wxDialog*>(window);
                dialog && dialog->IsModal() && dialog->IsShown())
                box = dialog;
        read = true;
        if (box) {
            title = box->GetTitle().utf8_string();
            for (wxWindow* child : box->GetChildren()) {
                auto* picture = dynamic_cast<wxStaticBitmap*>(child);
                if (picture && picture->IsShown() && picture->GetBitmap().IsOk())
                    iconSize = picture->GetBitmap().GetSize();
                if (auto* line = dynamic_cast<wxStaticText*>(child))
                    text += line->GetLabelText().utf8_string() + "|";
            }
            size = box->GetSize();
        }
        wxUIActionSimulator().Char(key);
    }
    int key = WXK_RETURN;
    bool read = false;
    wxSize size;
    std::string title;
    wxSize iconSize;
    std::string text;  // the lines shown, each followed by '|'
};

class MessageBoxWindowTest : public wxtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        InstallWxMessageBoxHandler();
    }
    void TearDown() override {
        platform::SetMessageBoxHandler({});
        WindowTest::TearDown();
    }
};

// The kinds of box the program shows: what Enter answers, and whether it shows a picture.
const struct BoxKind {
    MsgIcon icon;
    MsgButtons buttons;
    MsgAnswer enter;
    bool picture;
} kBoxKinds[] = {
    {MsgIcon::None, MsgButtons::Ok, MsgAnswer::Ok, false},
    {MsgIcon::Error, MsgButtons::Ok, MsgAnswer::Ok, true},
    {MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes, true},  // the Quit question
    {MsgIcon::Information, MsgButtons::Ok, MsgAnswer::Ok, true},   // "Automatic stop for 60 seconds elapsed."
    {MsgIcon::Exclamation, MsgButtons::OkCancel, MsgAnswer::Ok, true},
};

TEST_F(MessageBoxWindowTest, EnterAnswersWithTheDefaultButton) {
    for (const BoxKind& c : kBoxKinds) {
        for (int round = 0; round < 2; ++round) {  // a second box in a row, as an evaluation shows
            SCOPED_TRACE(testing::Message() << static_cast<int>(c.buttons) << " round " << round);
            EnterPresser presser;
            presser.Start(20);
            const MsgAnswer answer =
                platform::ShowMessageBox("opening \u3000x.DAT\u3000failed\n", "", c.icon, c.buttons);
            presser.Stop();
            EXPECT_TRUE(presser.pressed);
            EXPECT_TRUE(presser.focusOnDefault);
            EXPECT_EQ(answer, c.enter);
            wxtest::Flush();
        }
    }
}

TEST_F(MessageBoxWindowTest, EachKindShowsItsIconAndItsCaption) {
    for (const BoxKind& c : kBoxKinds) {
        SCOPED_TRACE(static_cast<int>(c.icon));
        BoxReader reader;
        reader.Start(20);
        platform::ShowMessageBox("Automatic stop for 60 seconds elapsed.", "Torvik Viewer CL", c.icon,
                                 c.buttons);
        reader.Stop();
        ASSERT_TRUE(reader.read);
        EXPECT_EQ(reader.title, "Torvik Viewer CL");
        if (c.picture) {
            EXPECT_GE(reader.iconSize.x, 32);
            EXPECT_GE(reader.iconSize.y, 32);
        } else {
            EXPECT_EQ(reader.iconSize, wxSize());
        }
        wxtest::Flush();
    }
}

// A box shown without a caption (the JPEG export's "saved", a growth table that does not open)
// carries the program's name, as every application message box does.
TEST_F(MessageBoxWindowTest, ABoxWithoutACaptionCarriesTheProgramsName) {
    BoxReader reader;
    reader.Start(20);
    platform::ShowMessageBox("saved\n/home/user/Documents/0001_20260101120000_.jpg", "",
                             MsgIcon::Information);
    reader.Stop();
    ASSERT_TRUE(reader.read);
    EXPECT_EQ(reader.title, GetProductName());
}

// The stored texts end their lines Windows' way: the box shows the lines, no stray '\r', and a
// name's '&' as it is.
TEST_F(MessageBoxWindowTest, WindowsLineEndsShowAsLines) {
    BoxReader reader;
    reader.Start(20);
    platform::ShowMessageBox("May I delete it?\r\n\r\n  0001 : Anna & Tom", "", MsgIcon::Question,
                             MsgButtons::OkCancel);
    reader.Stop();
    ASSERT_TRUE(reader.read);
    EXPECT_EQ(reader.text.find('\r'), std::string::npos) << reader.text;
    EXPECT_NE(reader.text.find("May I delete it?|"), std::string::npos) << reader.text;
    EXPECT_NE(reader.text.find("  0001 : Anna & Tom|"), std::string::npos) << reader.text;
}

// A long path (a growth table's, an export's) breaks over lines: the box stays well inside the
// screen and shows every character, in order.
TEST_F(MessageBoxWindowTest, ALongLineBreaksAndTheBoxStaysOnTheScreen) {
    std::string path = "/home/user";
    for (int i = 0; i < 20; ++i)
        path += "/growth_tables_" + std::to_string(i);
    const std::string texts[] = {
        "read from " + path + "/BPD.csv failed\n\uff08Input/output error\uff09",
        "save error\n\u3000" + path + "/0001_clip.mp4\nThe file could not be written (the disk may be full or "
        "the folder read-only).",
    };
    const auto visible = [](const std::string& t) {
        std::string kept;
        for (char c : t)
            if (c != ' ' && c != '\n' && c != '|')
                kept += c;
        return kept;
    };
    for (const std::string& text : texts) {
        BoxReader reader;
        reader.Start(20);
        platform::ShowMessageBox(text, "", MsgIcon::Error);
        reader.Stop();
        ASSERT_TRUE(reader.read);
        EXPECT_LE(reader.size.x, wxGetDisplaySize().x * 2 / 3) << reader.text;
        EXPECT_EQ(visible(reader.text), visible(text));
        wxtest::Flush();
    }
}

// Esc answers a box that has Cancel with Cancel and a box with OK alone with OK; a Yes/No
// question waits for Yes or No.
TEST_F(MessageBoxWindowTest, EscAnswersWhereTheBoxHasAWayOut) {
    const struct {
        MsgButtons buttons;
        MsgAnswer answer;
    } cases[] = {
        {MsgButtons::Ok, MsgAnswer::Ok},
        {MsgButtons::OkCancel, MsgAnswer::Cancel},
        {MsgButtons::YesNoCancel, MsgAnswer::Cancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        BoxReader reader;
        reader.key = WXK_ESCAPE;
        reader.Start(20);
        EXPECT_EQ(platform::ShowMessageBox("Quit?", "", MsgIcon::Question, c.buttons), c.answer);
        reader.Stop();
        wxtest::Flush();
    }
}

}  // namespace
