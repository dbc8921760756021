// The exports from the real main window with the simulated probe: buttons 1164 and 1166 reach
// the exports port through the core, the save dialog opens, and the JPEG holds the main view.
#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <wx/weakref.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CoreExportSource.h"
#include "app/MainFrame.h"
#include "app/WxUiDispatcher.h"
#include "app/core/KALVEXDlg.h"
#include "archive/export/ui/SaveJpegAvi.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "imaging/ProcessExit.h"
#include "platform/FileSystem.h"
#include "platform/usbdriver/UsbDriver.h"
#include "sim/SimBridge.h"
#include "tests/exportui/ExportUiTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace exportuitest;

namespace {

class MainWindowExport : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
        usbdriver::sim::SimOptions options;
        options.pacing = usbdriver::sim::SimPacing::Stepped;
        sim_ = std::make_shared<usbdriver::sim::SimBridge>(options);
        usbdriver::AttachDevice(sim_);
        InstallWxUiDispatcher();
        SetProcessExitHandler([](int) {});
        out_ = dir_ / "out/";
        ASSERT_TRUE(platform::CreateDirectories(out_));
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, out_));
        frame_ = new CMainFrame();
        frame_->onEndDialog = [](int) {};
        frame_->Show();
        wxtest::Flush();
        ASSERT_TRUE(frame_->Start("0001", "Test"));
        wxtest::Flush();
    }
    void TearDown() override {
        if (frame_)
            frame_->Close(true);
        wxtest::Flush();
        SetProcessExitHandler(nullptr);
        UninstallWxUiDispatcher();
        usbdriver::DetachDevice(sim_);
        ResetSettingsForTesting();
        ResetAppFoldersForTesting();
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv programData_{"ProgramData", dir_ / "data"};
    testsupport::ScopedEnv home_{"HOME", dir_.path()};
    std::string out_;
    std::shared_ptr<usbdriver::sim::SimBridge> sim_;
    wxWeakRef<CMainFrame> frame_;
};

}  // namespace

TEST_F(MainWindowExport, ButtonsReachTheExportsThroughTheCore) {
    testsupport::MessageBoxRecorder boxes;
    frame_->Core()->OnButtonClicked(maindlg::IDC_EXP_JPEG);
    frame_->Core()->OnButtonClicked(maindlg::IDC_EXP_VIDEO);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "No data");
    EXPECT_EQ(boxes.shown()[1].text, "No data") << "a still selected, or no cine loaded for review";

    // A stored still selected in the list: the JPEG holds the main view below its caption.
    archive::StoreItemRecord still;
    still.stamp = 20200820123456;
    still.imagePath = dir_ / "data/20200820123456.bmp";
    testsupport::WriteAll(still.imagePath, "BM");
    frame_->ExportSource()->selectedItem = [&] { return std::optional{still}; };
    RunInsideModal([&] {
        CSaveJpegAvi* d = FindShown<CSaveJpegAvi>();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->m_edtId->GetValue(), "20200820123456");
        EXPECT_EQ(d->m_edtName->GetValue(), "Test");
        SaveDisplayArtifact(d, "main_window_jpeg_dialog");
        Click(d->m_btnOk);
    });
    frame_->Core()->OnButtonClicked(maindlg::IDC_EXP_JPEG);
    const std::string path = out_ + "0001_20200820123456_.jpg";
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[2].text, "saved\n" + path);
    const std::string jpeg = testsupport::ReadAll(path);
    tjhandle h = tjInitDecompress();
    int w = 0, hgt = 0, sub = 0, cs = 0;
    ASSERT_EQ(tjDecompressHeader3(h, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size(), &w,
                                  &hgt, &sub, &cs),
              0);
    tjDestroy(h);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(hgt, 500);
    std::filesystem::create_directories("artifacts");
    std::filesystem::copy_file(path, "artifacts/main_window_export.jpg",
                               std::filesystem::copy_options::overwrite_existing);
}
