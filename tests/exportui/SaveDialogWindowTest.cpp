// The export save dialog on the display, as each of its callers fills it.
#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>

#include "archive/export/ExportSettings.h"
#include "archive/export/ui/CompressorChooser.h"
#include "archive/export/ui/SaveJpegAvi.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "platform/FileSystem.h"
#include "tests/exportui/ExportUiTestSupport.h"
#include "tests/exportui/GtkCalls.h"
#include "tests/support/TestSupport.h"

using namespace exportuitest;
using exportfile::kQualityLow;
using exportfile::kQualityNone;
using exportfile::kQualitySelect;

namespace {

struct SaveDialogWindow : ::testing::Test {
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData{"ProgramData", dir / "data"};
    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
    void TearDown() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }
};

void FillAsExport(CSaveJpegAvi& d, const char* ext, bool quality) {
    d.m_strIdText = "20200820123456";
    d.m_strNameText = "Test";
    d.m_strTimeText = "Measurement Time:2020-08-20 12:34:56";
    d.m_strOutputFolder = "/home/user/Documents/";
    d.m_strFilePrefix = "0001_20200820123456_";
    d.m_strFileExt = ext;
    d.m_bShowQuality = quality;
}

}  // namespace

TEST_F(SaveDialogWindow, JpegCallerOffersQualityAndLimitsTheName) {
    CSaveJpegAvi d("JPEG File Output");
    FillAsExport(d, ".jpg", true);
    d.m_nQuality = 0;
    bool ran = false;
    RunInsideModal([&] {
        ran = true;
        EXPECT_TRUE(d.m_grpQuality->IsShown());
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(d.m_rdoQuality[i]->IsShown()) << i;
        EXPECT_FALSE(d.m_rdoQuality[kQualitySelect]->IsShown());
        EXPECT_FALSE(d.m_cmbCamera->IsShown());
        EXPECT_TRUE(d.m_edtTime->IsShown());
        EXPECT_TRUE(d.m_rdoQuality[0]->GetValue()) << "HIGH opens with High";
        EXPECT_EQ(d.m_edtPrefix->GetValue(), "0001_20200820123456_");
        EXPECT_EQ(d.GetTitle(), "JPEG File Output");

        // Typed text stops at 128 characters.
        d.m_edtFileName->SetFocus();
        d.m_edtFileName->SetInsertionPointEnd();
        wxUIActionSimulator sim;
        sim.MouseMove(d.m_edtFileName->GetScreenRect().GetTopLeft() + wxPoint(5, 5));
        Settle(3);
        sim.Text(std::string(140, 'a').c_str());
        Settle(5);
        EXPECT_EQ(d.m_edtFileName->GetValue().length(), 128u);

        d.m_rdoQuality[kQualityLow]->SetValue(true);
        SaveDisplayArtifact(&d, "save_dialog_jpeg");
        Click(d.m_btnOk);
    });
    EXPECT_EQ(d.DoModal(), wxID_OK);
    EXPECT_TRUE(ran);
    EXPECT_EQ(d.m_nQuality, kQualityLow);
    EXPECT_EQ(d.m_strFileName, std::string(128, 'a'));
}

TEST_F(SaveDialogWindow, VideoCallerKeepsTheStoredWordAndRefusesBadNames) {
    for (int stored : {int{kQualitySelect}, kQualityNone}) {
        SCOPED_TRACE(stored);
        testsupport::MessageBoxRecorder boxes;
        CSaveJpegAvi d("MP4 File Output");
        FillAsExport(d, ".mp4", false);
        d.m_nQuality = stored;
        RunInsideModal([&] {
            EXPECT_FALSE(d.m_grpQuality->IsShown());
            for (int i = 0; i < 4; ++i)
                EXPECT_FALSE(d.m_rdoQuality[i]->IsShown()) << i;
            if (stored == kQualitySelect)
                SaveDisplayArtifact(&d, "save_dialog_video");
            for (const char* bad : {"a/b", ".", ".."}) {
                d.m_edtFileName->ChangeValue(bad);
                Click(d.m_btnOk);
                EXPECT_TRUE(d.IsModal()) << bad << " keeps the dialog open";
            }
            d.m_edtFileName->ChangeValue("ok name");
            Click(d.m_btnOk);
        });
        EXPECT_EQ(d.DoModal(), wxID_OK);
        EXPECT_EQ(d.m_nQuality, stored) << "the hidden button keeps SEL and none";
        EXPECT_EQ(d.m_strFileName, "ok name");
        EXPECT_EQ(boxes.shown().size(), 3u);
    }
}

TEST_F(SaveDialogWindow, RecorderCameraListIsSortedWithTheStoredCameraChosen) {
    CSaveJpegAvi d("Recording", nullptr, [] {
        return std::vector<std::string>{"Zeta Cam", "Alpha Cam", "Mid Cam"};
    });
    d.m_strIdText = "0001";
    d.m_strNameText = "Test";
    d.m_strFilePrefix = "date_time_";
    d.m_strFileExt = ".mp4";
    d.m_strOutputFolder = "/tmp/";
    d.m_bCameraList = true;
    d.m_strCameraPrev = "Mid Cam";
    RunInsideModal([&] {
        EXPECT_FALSE(d.m_edtTime->IsShown());
        EXPECT_TRUE(d.m_cmbCamera->IsShown());
        ASSERT_EQ(d.m_cmbCamera->GetCount(), 3u);
        EXPECT_EQ(d.m_cmbCamera->GetString(0), "Alpha Cam");
        EXPECT_EQ(d.m_cmbCamera->GetString(2), "Zeta Cam");
        EXPECT_EQ(d.m_cmbCamera->GetStringSelection(), "Mid Cam");
        SaveDisplayArtifact(&d, "save_dialog_recorder");
        Click(d.m_btnOk);
    });
    EXPECT_EQ(d.DoModal(), wxID_OK);
    EXPECT_EQ(d.m_strCamera, "Mid Cam");

    // No camera: -1 before anything shows.
    CSaveJpegAvi none("Recording", nullptr, [] { return std::vector<std::string>{}; });
    none.m_bCameraList = true;
    bool shown = false;
    wxTheApp->CallAfter([&] { shown = none.IsShown(); });
    EXPECT_EQ(none.DoModal(), CSaveJpegAvi::kNoCamera);
    wxtest::Flush();
    EXPECT_FALSE(shown);
    EXPECT_FALSE(none.IsShown());
}

TEST_F(SaveDialogWindow, TouchLayoutOpensAtTheTopOfTheWorkArea) {
    ASSERT_TRUE(SetSettingInt(SettingSectionApp, SettingKeyTable::PCMODE, 0));
    CSaveJpegAvi d("JPEG File Output");
    FillAsExport(d, ".jpg", true);
    RunInsideModal([&] {
        const wxRect work = wxDisplay(0u).GetClientArea();
        const wxRect r = d.GetRect();
        EXPECT_EQ(r.y, 0);
        // Centred first, then the left edge at half the distance from its right edge to the
        // work area's right edge.
        const int centredRight = (work.width - r.width) / 2 + r.width;
        EXPECT_NEAR(r.x, (work.GetRight() + 1 - centredRight) / 2, 1);
        Click(d.m_btnCancel);
    });
    EXPECT_EQ(d.DoModal(), wxID_CANCEL);
}

TEST_F(SaveDialogWindow, SelectShowsTheChosenFolder) {
    testsupport::MessageBoxRecorder boxes;
    CSaveJpegAvi d("JPEG File Output");
    FillAsExport(d, ".jpg", true);
    std::string initial;
    d.m_fnBrowseFolder = [&](std::string& out, const std::string& start) {
        initial = start;
        out = "/srv/exports/";
        return true;
    };
    RunInsideModal([&] {
        d.m_edtFileName->ChangeValue("typed");
        Click(d.m_btnSelect);
        EXPECT_EQ(d.m_edtFolder->GetValue(), "/srv/exports/");
        EXPECT_EQ(d.m_edtFileName->GetValue(), "typed") << "what was typed survives the choice";
        Click(d.m_btnOk);
    });
    EXPECT_EQ(d.DoModal(), wxID_OK);
    EXPECT_EQ(initial, "/home/user/Documents/");
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, "/srv/exports/");
    EXPECT_EQ(d.m_strOutputFolder, "/srv/exports/");
}

TEST_F(SaveDialogWindow, FolderBrowserIsTheNativeFolderChooser) {
    const Gtk gtk;
    ASSERT_TRUE(gtk.Loaded());
    const std::string start = dir / "Ünter suchung";
    ASSERT_TRUE(platform::CreateDirectories(start));
    struct Seen {
        std::string title;
        std::string folder;
    };
    // Answers the next folder chooser with `response` once it shows its starting folder (or
    // cancels it after the long deadline, so a broken chooser fails the test instead of hanging it).
    auto answer = [&](int response, Seen& seen) {
        auto poll = std::make_unique<wxTimer>();
        const auto began = std::chrono::steady_clock::now();
        poll->Bind(wxEVT_TIMER, [&gtk, &seen, response, began, timer = poll.get()](wxTimerEvent&) {
            void* chooser = gtk.FileChooser();
            if (!chooser)
                return;
            seen.folder = gtk.CurrentFolder(chooser);
            const bool late = std::chrono::steady_clock::now() - began > testsupport::kPatience;
            if (seen.folder.empty() && !late)
                return;
            seen.title = gtk.Title(chooser);
            if (response == Gtk::kResponseAccept)
                SaveScreenArtifact("select_folder");
            timer->Stop();
            gtk.respond(chooser, late ? Gtk::kResponseCancel : response);
        });
        poll->Start(50);
        return poll;
    };
    {
        Seen seen;
        const auto poll = answer(Gtk::kResponseCancel, seen);
        std::string out = "stale";
        EXPECT_FALSE(CSaveJpegAvi::BrowseFolder(out, false, start + "/"));
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(seen.title, "Select Folder");
        EXPECT_EQ(seen.folder, start) << "the initial folder, without its trailing '/'";
    }
    {
        Seen seen;
        const auto poll = answer(Gtk::kResponseAccept, seen);
        std::string out;
        EXPECT_TRUE(CSaveJpegAvi::BrowseFolder(out, false, start + "/"));
        EXPECT_EQ(out, start + "/");
    }
}

TEST_F(SaveDialogWindow, CompressorChooserOffersTheAviEncoders) {
    CCompressorChooser chooser;
    ASSERT_GT(chooser.m_cmbCompressor->GetCount(), 0u);
    EXPECT_EQ(chooser.Current().encoder, "rawvideo");
    EXPECT_FALSE(chooser.m_sldQuality->IsEnabled());
    const auto all = exportfile::AviCompressors();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].encoder != "mjpeg")
            continue;
        chooser.m_cmbCompressor->SetSelection(static_cast<int>(i));
        wxCommandEvent event(wxEVT_CHOICE, chooser.m_cmbCompressor->GetId());
        event.SetEventObject(chooser.m_cmbCompressor);
        chooser.m_cmbCompressor->ProcessWindowEvent(event);
        EXPECT_TRUE(chooser.m_sldQuality->IsEnabled());
        EXPECT_EQ(chooser.Current().encoder, "mjpeg");
        EXPECT_EQ(chooser.Current().keyFrameEvery, 12);
    }
    RunInsideModal([&] {
        SaveDisplayArtifact(&chooser, "compressor_chooser");
        chooser.EndModal(wxID_CANCEL);
    });
    EXPECT_FALSE(chooser.Choose().has_value());
}
