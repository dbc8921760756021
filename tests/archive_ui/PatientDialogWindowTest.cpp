// The patient dialogs on the display, driven with real keys and clicks: where Enter goes in
// the selection dialog and what Esc, the close box and Exit return; deleting through a fake
// trash in the change-of-patient form; the entry dialog's Esc, empty name and pasted control
// characters; the date picker's opening date and result. Screenshots of the list sorted by
// name and of the entry dialog with the picker open go to artifacts/.
#include <glib.h>
#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "archive/ExamEditModel.h"
#include "archive/ui/DateSelDlg.h"
#include "archive/ui/ExamDlg.h"
#include "archive/ui/StartupDlg.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "common/User.h"
#include "platform/Clock.h"
#include "platform/StringUtil.h"
#include "tests/archive_ui/DialogScript.h"
#include "tests/support/TestSupport.h"

using namespace dialogtest;

namespace {

// Records every wx consistency check that fails while it is alive, in place of wx's dialog.
class WxCheckRecorder {
public:
    WxCheckRecorder() {
        Failed().clear();
        previous_ = wxSetAssertHandler(&Record);
    }
    ~WxCheckRecorder() { wxSetAssertHandler(previous_); }
    static std::vector<std::string>& Failed() {
        static std::vector<std::string> failed;
        return failed;
    }

private:
    static void Record(const wxString& file, int line, const wxString&, const wxString& cond,
                       const wxString& msg) {
        Failed().push_back((file + ":" + std::to_string(line) + " " + cond + " " + msg).utf8_string());
    }
    wxAssertHandler_t previous_ = nullptr;
};

// GTK's complaints (its critical and warning lines) while one of these is alive; every line
// still goes to standard error as before. GLib takes one log writer per process.
class GtkComplaints {
public:
    GtkComplaints() {
        static const bool installed = [] {
            g_log_set_writer_func(&Write, nullptr, nullptr);
            return true;
        }();
        (void)installed;
        const std::lock_guard lock(Mutex());
        Text().clear();
        Active() = true;
    }
    ~GtkComplaints() {
        const std::lock_guard lock(Mutex());
        Active() = false;
    }
    static std::string Lines() {
        const std::lock_guard lock(Mutex());
        return Text();
    }

private:
    // GLib's own threads log too.
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    static std::string& Text() {
        static std::string lines;
        return lines;
    }
    static bool& Active() {
        static bool active = false;
        return active;
    }
    static GLogWriterOutput Write(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer data) {
        if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
            std::string domain, message;
            for (gsize i = 0; i < n; ++i) {
                const std::string key = fields[i].key;
                if (fields[i].length < 0 && (key == "GLIB_DOMAIN" || key == "MESSAGE"))
                    (key == "MESSAGE" ? message : domain) = static_cast<const char*>(fields[i].value);
            }
            const std::lock_guard lock(Mutex());
            if (Active() && (domain.rfind("Gtk", 0) == 0 || domain.rfind("Gdk", 0) == 0))
                Text() += domain + ": " + message + "\n";
        }
        return g_log_writer_default(level, fields, n, data);
    }
};

class PatientDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
    void TearDown() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
    static void WritePatient(const std::string& id, const std::string& name, const std::string& birthdate) {
        CUser user;
        user.m_strId = id;
        user.m_strName = name;
        user.m_strSex = "Female";
        user.m_strBirthdate = birthdate;
        ASSERT_TRUE(user.SaveXml(CUser::GetXmlPath(id)));
    }
    void ThreePatients() {
        WritePatient("0001", "Anna", "1990-03-04");
        WritePatient("0002", "Bo", "1985-11-30");
        WritePatient("0012", "Carl", "2001-01-15");
    }
    static std::vector<std::string> ListedIds(CStartupDlg& d) {
        std::vector<std::string> ids;
        for (long i = 0; i < d.m_lstPatients->GetItemCount(); ++i)
            ids.push_back(d.m_lstPatients->GetItemText(i).utf8_string());
        return ids;
    }
    size_t BoxesWith(const std::string& text) const {
        size_t n = 0;
        for (const auto& b : boxes.shown())
            n += b.text.find(text) != std::string::npos;
        return n;
    }

    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir.path()};
    testsupport::MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(PatientDialogTest, EnterGoesByTheFocusAndEscCloseAndExitGiveTheirResults) {
    ThreePatients();
    struct Case {
        const char* what;
        std::function<void(CStartupDlg&)> act;
        int result;
        std::vector<std::string> listed;  // after the act
    };
    const Case cases[] = {
        {"Enter in the ID edit searches by id",
         [](CStartupDlg& d) {
             TypeText(d.m_edtId, "0002");
             Key(WXK_RETURN, d.m_edtId);
             ASSERT_TRUE(d.IsModal());
             d.EndModal(-1);
         },
         -1,
         {"0002"}},
        {"Enter in the name edit searches by name",
         [](CStartupDlg& d) {
             TypeText(d.m_edtName, "ar");
             Key(WXK_RETURN, d.m_edtName);
             ASSERT_TRUE(d.IsModal());
             d.EndModal(-1);
         },
         -1,
         {"0012"}},
        {"Enter in the list presses OK on the first row",
         [](CStartupDlg& d) {
             d.m_lstPatients->SetFocus();
             Catch(40);
             Key(WXK_RETURN, d.m_lstPatients);
         },
         CStartupDlg::kResultOk,
         {"0001", "0002", "0012"}},
        {"Esc",
         [](CStartupDlg& d) { Key(WXK_ESCAPE, &d); },
         CStartupDlg::kResultEscape,
         {"0001", "0002", "0012"}},
        {"the close box",
         [](CStartupDlg& d) { d.Close(); },
         CStartupDlg::kResultEscape,
         {"0001", "0002", "0012"}},
        {"Exit",
         [](CStartupDlg& d) { ClickOn(d.m_btnExit); },
         CStartupDlg::kResultExit,
         {"0001", "0002", "0012"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CStartupDlg dialog;
        EXPECT_EQ(dialog.m_btnExit->GetLabel(), "Exit");
        DialogScript script;
        std::vector<std::string> listed;
        script.Then<CStartupDlg>([&](CStartupDlg& d) {
            c.act(d);
            listed = ListedIds(d);
        });
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_FALSE(script.timedOut);
        EXPECT_EQ(listed, c.listed);
        if (c.result == CStartupDlg::kResultOk) {
            EXPECT_EQ(dialog.SelId(), "0001");
            EXPECT_EQ(dialog.SelName(), "Anna");
        }
    }
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PatientDialogTest, OkWithoutARowSaysSoAndTheFirstNameClickSortsDescending) {
    ThreePatients();
    CStartupDlg dialog;
    DialogScript script;
    script.Then<CStartupDlg>([&](CStartupDlg& d) {
        d.m_lstPatients->SetItemState(0, 0, wxLIST_STATE_SELECTED);
        ClickOn(d.m_btnOk);
        EXPECT_TRUE(d.IsModal());
        EXPECT_EQ(BoxesWith("Data is not chosen."), 1u);
        wxListEvent click(wxEVT_LIST_COL_CLICK, d.m_lstPatients->GetId());
        click.SetEventObject(d.m_lstPatients);
        click.m_col = 1;
        d.m_lstPatients->GetEventHandler()->ProcessEvent(click);
        Catch(100);
        EXPECT_EQ(ListedIds(d), (std::vector<std::string>{"0012", "0002", "0001"}));
        ScreenArtifact(&d, "patient_list_sorted_by_name");
        d.EndModal(-1);
    });
    dialog.DoModal();
    EXPECT_FALSE(script.timedOut);
}

TEST_F(PatientDialogTest, DeletingTheCurrentPatientTurnsCancelIntoExitOnlyWhenTheTrashTookIt) {
    ThreePatients();
    for (const bool trashWorks : {false, true}) {
        SCOPED_TRACE(trashWorks ? "trash works" : "trash fails");
        CStartupDlg dialog("0002", nullptr);
        EXPECT_EQ(dialog.m_btnExit->GetLabel(), "Cancel");
        std::vector<std::string> trashed;
        dialog.m_fnTrash = [&](const std::string& path, std::string* error) -> int32_t {
            trashed.push_back(path);
            if (trashWorks)
                return 0;
            if (error)
                *error = "Read-only file system";
            return 1;
        };
        DialogScript script;
        script.Then<CStartupDlg>([&](CStartupDlg& d) {
            d.m_lstPatients->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            d.OnDeletePatient();
            ClickOn(d.m_btnExit);
        });
        const size_t before = boxes.shown().size();
        EXPECT_EQ(dialog.DoModal(), CStartupDlg::kResultExit);
        ASSERT_EQ(trashed.size(), 1u);
        EXPECT_EQ(trashed[0].find(GetDataFolder() + "0002"), 0u);
        if (trashWorks) {
            EXPECT_EQ(ListedIds(dialog), (std::vector<std::string>{"0001", "0012"}));
            EXPECT_EQ(dialog.m_btnExit->GetLabel(), "Exit");
            EXPECT_EQ(dialog.CurrentId(), "");
            EXPECT_EQ(boxes.shown().size(), before + 1);  // the question only
        } else {
            EXPECT_EQ(ListedIds(dialog), (std::vector<std::string>{"0001", "0002", "0012"}));
            EXPECT_EQ(dialog.m_btnExit->GetLabel(), "Cancel");
            EXPECT_EQ(dialog.CurrentId(), "0002");
            ASSERT_EQ(boxes.shown().size(), before + 2);  // the question and why it failed
            EXPECT_NE(boxes.shown().back().text.find("Read-only file system"), std::string::npos);
        }
    }
}

TEST_F(PatientDialogTest, TheRightClickPopupDeletesTheRowWithNoWxCheckFailing) {
    ThreePatients();
    WxCheckRecorder checks;
    CStartupDlg dialog;
    std::vector<std::string> trashed;
    dialog.m_fnTrash = [&](const std::string& path, std::string*) -> int32_t {
        trashed.push_back(path);
        return 0;
    };
    // The popup runs its own loop: once it is up, the keyboard picks its first item, Delete.
    bool menuOpened = false;
    bool picked = false;
    dialog.Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        menuOpened = true;
        event.Skip();
    });
    wxTimer picker;
    picker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!menuOpened || picked)
            return;
        picked = true;
        Catch(100);  // the popup takes the keyboard as it maps
        wxUIActionSimulator sim;
        sim.Char(WXK_DOWN);
        sim.Char(WXK_RETURN);
    });
    DialogScript script;
    script.timeoutSeconds = 40;  // beyond the act's own wait for Delete
    script.Then<CStartupDlg>([&](CStartupDlg& d) {
        wxRect row;
        ASSERT_TRUE(d.m_lstPatients->GetItemRect(1, row));
        const wxPoint at = d.m_lstPatients->ClientToScreen(row.GetPosition() + row.GetSize() / 2);
        wxUIActionSimulator sim;
        sim.MouseMove(at);
        Catch(40);
        sim.MouseClick(wxMOUSE_BTN_LEFT);  // selects the row
        Catch(100);
        picker.Start(20);
        sim.MouseClick(wxMOUSE_BTN_RIGHT);
        const auto deadline = std::chrono::steady_clock::now() + testsupport::kPatience;
        while (trashed.empty() && std::chrono::steady_clock::now() < deadline)
            Catch(40);
        picker.Stop();
        d.EndModal(-1);
    });
    dialog.DoModal();
    EXPECT_FALSE(script.timedOut);
    EXPECT_TRUE(menuOpened) << "the popup never opened";
    ASSERT_EQ(trashed.size(), 1u) << "Delete was not reached through the popup";
    EXPECT_EQ(trashed[0].find(GetDataFolder() + "0002"), 0u);
    EXPECT_EQ(ListedIds(dialog), (std::vector<std::string>{"0001", "0012"}));
    EXPECT_EQ(BoxesWith("May I delete it?"), 1u);
    std::string failed;
    for (const std::string& f : WxCheckRecorder::Failed())
        failed += f + "\n";
    EXPECT_TRUE(WxCheckRecorder::Failed().empty()) << failed;
}

TEST_F(PatientDialogTest, EntryDialogEscAnEmptyNameAndPastedControlCharacters) {
    {
        ExamEditModel model;
        CExamDlg dialog(model);
        DialogScript script;
        script.Then<CExamDlg>([](CExamDlg& d) {
            TypeText(d.m_edtName, "Changed");
            Key(WXK_ESCAPE, d.m_edtName);  // ends without the question
        });
        EXPECT_EQ(dialog.DoModal(), 2);
        EXPECT_TRUE(boxes.shown().empty());
    }
    {
        ExamEditModel model;
        CExamDlg dialog(model);
        EXPECT_TRUE(dialog.m_rdoFemale->GetValue());
        DialogScript script;
        script.Then<CExamDlg>([&](CExamDlg& d) {
            d.m_edtName->SetFocus();
            Key(WXK_RETURN, d.m_edtName);  // Enter presses OK: no name yet
            EXPECT_TRUE(d.IsModal());
            EXPECT_EQ(BoxesWith("Name is not input."), 1u);
            d.m_edtName->ChangeValue(wxString::FromUTF8("Eva\tLund\r\nX"));
            d.m_edtNote->ChangeValue(wxString::FromUTF8("line one\nline two"));
            ClickOn(d.m_btnOk);
        });
        EXPECT_EQ(dialog.DoModal(), 1);
        EXPECT_EQ(model.m_strEditName, "Eva Lund X");
        EXPECT_EQ(model.m_strEditNote, "line one line two");
        EXPECT_EQ(model.m_strEditSex, "Female");
    }
}

TEST_F(PatientDialogTest, ThePickerSetsTheBirthdateAndAFileThatDoesNotLoadLeavesOkDisabled) {
    WritePatient("0001", "Anna", "");
    ExamEditModel model;
    model.m_strEditId = "0001";
    CExamDlg dialog(model);
    EXPECT_EQ(model.m_strEditName, "Anna");
    EXPECT_EQ(model.m_strEditBirthdateText, "");
    EXPECT_EQ(dialog.m_edtBirthdate->GetValue(), "");  // no birthdate stays empty
    DialogScript script;
    script.Then<CExamDlg>([](CExamDlg& d) { ClickOn(d.m_btnBirthdate); });
    script.Then<CDateSelDlg>([](CDateSelDlg& picker) {
        // Without a birthdate the picker opens on today.
        const platform::SystemTime today = platform::GetLocalTime();
        EXPECT_EQ(picker.m_calendar->GetDate().GetYear(), today.wYear);
        picker.SelectDate(wxDateTime(17, wxDateTime::May, 1946));
        picker.GetParent()->Move(20, 20);
        picker.Move(180, 120);
        Catch(400);
        ScreenArtifact(picker.GetScreenRect().Union(picker.GetParent()->GetScreenRect()),
                       "patient_entry_with_birthdate_picker");
        ClickOn(picker.m_btnOk);
    });
    script.Then<CExamDlg>([](CExamDlg& d) { ClickOn(d.m_btnOk); });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(model.m_strEditBirthdate, "1946-05-17");
    EXPECT_EQ(model.m_strEditBirthdateText, "17-05-1946");

    ExamEditModel missing;
    missing.m_strEditId = "0009";
    CExamDlg broken(missing);
    EXPECT_FALSE(broken.m_btnOk->IsEnabled());
    EXPECT_EQ(BoxesWith("File is not found."), 1u);
}

TEST_F(PatientDialogTest, ThePickerOpensOnTodayForNoDateAndHandsOutAZeroTime) {
    struct Case {
        platform::SystemTime in;
        bool opensOnIn;
    };
    platform::SystemTime valid;
    valid.wYear = 2024;
    valid.wMonth = 2;
    valid.wDay = 29;
    valid.wHour = 13;
    platform::SystemTime impossible;
    impossible.wYear = 2023;
    impossible.wMonth = 2;
    impossible.wDay = 30;
    for (const Case& c : {Case{valid, true}, Case{impossible, false}, Case{platform::SystemTime(), false}}) {
        CDateSelDlg picker;
        picker.m_strTitle = "LMP";
        picker.m_stDateIn = c.in;
        platform::SystemTime out;
        DialogScript script;
        script.Then<CDateSelDlg>([&](CDateSelDlg& d) {
            const wxDateTime shown = d.m_calendar->GetDate();
            const wxDateTime expected =
                c.opensOnIn ? wxDateTime(29, wxDateTime::Feb, 2024) : wxDateTime::Today();
            EXPECT_TRUE(shown.IsSameDate(expected));
            ClickOn(d.m_btnOk);
        });
        ASSERT_EQ(picker.DoModal(), CDateSelDlg::IDC_OK);
        out = picker.m_stDateOut;
        EXPECT_EQ(out.wHour + out.wMinute + out.wSecond + out.wMilliseconds, 0);
        EXPECT_EQ(out.wDayOfWeek, platform::DayOfWeek(out.wYear, out.wMonth, out.wDay));
    }
    CDateSelDlg cancelled;
    cancelled.m_stDateOut.wYear = 1999;
    DialogScript script;
    script.Then<CDateSelDlg>([](CDateSelDlg& d) { ClickOn(d.m_btnCancel); });
    EXPECT_EQ(cancelled.DoModal(), CDateSelDlg::IDC_CANCEL);
    EXPECT_EQ(cancelled.m_stDateOut.wYear, 1999);
}

TEST_F(PatientDialogTest, ThePickerGivesItsControlsTheirRoomAndKeepsOkAndCancelUnderTheCalendar) {
    GtkComplaints gtk;
    CDateSelDlg picker;
    picker.m_strTitle = "Birthdate";
    picker.m_stDateIn.wYear = 1946;
    picker.m_stDateIn.wMonth = 5;
    picker.m_stDateIn.wDay = 17;
    DialogScript script;
    script.Then<CDateSelDlg>([](CDateSelDlg& d) {
        Catch(200);
        for (wxWindow* control :
             {static_cast<wxWindow*>(d.m_choMonth), static_cast<wxWindow*>(d.m_spnYear)}) {
            EXPECT_GE(control->GetSize().x, control->GetBestSize().x);
            EXPECT_GE(control->GetSize().y, control->GetBestSize().y);
            EXPECT_LE(control->GetRect().GetRight(), d.GetClientSize().x);
        }
        // The calendar's box is what it draws (its rows at its font), and the buttons follow
        // right under it.
        const wxRect calendar = d.m_calendar->GetRect();
        d.m_calendar->SetMinSize(wxDefaultSize);
        d.m_calendar->InvalidateBestSize();
        EXPECT_EQ(calendar.GetSize(), d.m_calendar->GetBestSize());
        EXPECT_LE(calendar.GetRight(), d.GetClientSize().x);
        const int gap = d.m_btnOk->GetPosition().y - calendar.GetBottom() - 1;
        EXPECT_GE(gap, 4);
        EXPECT_LE(gap, 14);
        EXPECT_LE(d.GetClientSize().y - d.m_btnOk->GetRect().GetBottom() - 1, 14);
        ScreenArtifact(&d, "date_picker");
        ClickOn(d.m_btnOk);
    });
    EXPECT_EQ(picker.DoModal(), CDateSelDlg::IDC_OK);
    EXPECT_FALSE(script.timedOut);
    EXPECT_EQ(picker.m_stDateOut.wYear, 1946);
    EXPECT_EQ(picker.m_stDateOut.wMonth, 5);
    EXPECT_EQ(GtkComplaints::Lines(), "");
}

TEST_F(PatientDialogTest, TheListShowsItsFourColumnsWholeBesideAScrollBar) {
    for (int i = 1; i <= 30; ++i)  // more rows than the list shows: the vertical bar is up
        WritePatient(platform::Format("%04d", i), "Patient " + std::to_string(i), "1990-03-04");
    CStartupDlg dialog;
    DialogScript script;
    script.Then<CStartupDlg>([](CStartupDlg& d) {
        Catch(200);
        int columns = 0;
        for (int c = 0; c < d.m_lstPatients->GetColumnCount(); ++c)
            columns += d.m_lstPatients->GetColumnWidth(c);
        EXPECT_EQ(columns, 70 + 180 + 75 + 165);
        EXPECT_GE(d.m_lstPatients->GetClientSize().x, columns);
        const wxRect list = d.m_lstPatients->GetRect();
        EXPECT_LE(list.GetRight(), d.GetClientSize().x);
        for (wxWindow* right : {static_cast<wxWindow*>(d.m_btnNew), static_cast<wxWindow*>(d.m_btnExit)})
            EXPECT_EQ(right->GetRect().GetRight(), list.GetRight());
        ScreenArtifact(&d, "patient_list_thirty_rows");
        d.EndModal(-1);
    });
    dialog.DoModal();
    EXPECT_FALSE(script.timedOut);
}
