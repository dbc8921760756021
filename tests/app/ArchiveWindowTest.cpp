// The archive in the real main window with the simulated probe: freeze, I and C list
// numbered thumbnails, a click previews one, a double click opens a cine, Play and Stop run
// its playback, and Del moves the selection to the trash. Screenshots of the list, a preview,
// a cine under review and the cine store's progress window go to artifacts/.
#include <gtest/gtest.h>
#include <wx/gauge.h>
#include <wx/uiaction.h>

#include <chrono>
#include <map>
#include <thread>

#include "app/CineStoreProgress.h"
#include "app/MainFrame.h"
#include "app/ProgressDlg.h"
#include "app/ThumbnailListBox.h"
#include "app/WxImage.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainArchive.h"
#include "common/AppFolders.h"
#include "common/User.h"
#include "platform/FileSystem.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Painter.h"
#include "platform/draw/Raster.h"
#include "tests/app/MainFrameFixture.h"
#include "tests/app/WxTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using wxtest::Flush;

// The progress window as it shows: its caption line (the dialog font is 12 pixels high, about
// a 10-pixel em) and its bar, at their places.
Image32 RenderProgress(CProgressDlg& dlg) {
    const wxSize s = dlg.GetClientSize();
    Image32 out(s.x, s.y, MakePixel(240, 240, 240));
    const wxRect caption = dlg.m_ctlCaption->GetRect();
    draw::DrawText(out, draw::RectOfSize(caption.x, caption.y, caption.width, caption.height),
                   dlg.m_ctlCaption->GetLabel().utf8_string(), draw::Font{draw::kUiFace, 10.0, false},
                   MakePixel(0, 0, 0));
    const wxRect bar = dlg.m_ctlProgress->GetRect();
    draw::FillRect(out, draw::RectOfSize(bar.x, bar.y, bar.width, bar.height), MakePixel(200, 200, 200));
    const int range = std::max(dlg.m_ctlProgress->GetRange(), 1);
    draw::FillRect(
        out, draw::RectOfSize(bar.x, bar.y, bar.width * dlg.m_ctlProgress->GetValue() / range, bar.height),
        MakePixel(53, 132, 228));
    return out;
}

class ArchiveWindowTest : public wxtest::MainFrameFixture {
protected:
    void SetUp() override {
        ResetAppFoldersForTesting();
        CUser user;
        user.m_strId = "TEST";
        user.m_strName = "TEST";
        ASSERT_TRUE(user.Save());
        MainFrameFixture::SetUp();
    }

    CThumbnailListBox& List() { return *frame_->ThumbnailList(); }

    // Frames here leave the window 50 ms apart at least (a stored cine plays at their pace).
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
            MainFrameFixture::Frames(1);
            while (std::chrono::steady_clock::now() < next)
                Settle(1);
        }
    }
    void ClickAt(wxWindow* window, wxPoint at, bool twice = false) {
        wxUIActionSimulator sim;
        sim.MouseMove(window->ClientToScreen(at));
        Settle(4);
        if (twice)
            sim.MouseDblClick();
        else
            sim.MouseClick();
        Settle();
    }
    void ClickControl(int id) {
        wxWindow* w = frame_->Controls().Find(id);
        ASSERT_NE(w, nullptr);
        ClickAt(w, wxPoint(w->GetSize().x / 2, w->GetSize().y / 2));
    }
    // Row i of the list in view, at its centre.
    void ClickRow(int row, bool twice = false) {
        List().ScrollToRow(row);
        Settle(4);
        const int top = static_cast<int>(List().GetVisibleRowsBegin());
        ClickAt(&List(),
                wxPoint(List().GetClientSize().x / 2,
                        (row - top) * CThumbnailListBox::kRowHeight + CThumbnailListBox::kRowHeight / 2),
                twice);
    }
    void NextSecond() { wallClock_.NextSecond(); }
    void Shot(const std::string& name) {
        Settle(10);
        MainFrameFixture::Shot(name);
    }

    testsupport::SteppedWallClock wallClock_;
};

}  // namespace

TEST_F(ArchiveWindowTest, StoreSelectReviewPlayAndDelete) {
    ASSERT_NE(frame_->ThumbnailList(), nullptr);
    Key(WXK_SPACE);
    Frames(16);
    Key(WXK_SPACE);
    ASSERT_EQ(Core().m_nRunState, 2);

    Key('i');
    NextSecond();
    // The progress window of the cine store, caught while the store runs.
    bool progressSeen = false;
    std::string caption;
    frame_->Archive()->pumpDuringStore = true;
    wxTimer peek;
    peek.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        CProgressDlg* dlg = frame_->CineStoreProgress()->Dialog();
        if (dlg && !progressSeen) {
            progressSeen = true;
            caption = dlg->m_ctlCaption->GetLabel().utf8_string();
            EXPECT_FALSE(frame_->IsEnabled());
            wxtest::SaveArtifact(RenderProgress(*dlg), "archive_cine_store_progress");
        }
    });
    peek.Start(1);
    Key('c');
    peek.Stop();
    NextSecond();
    // The keys reach the window again once the progress window is gone, with no click.
    Settle();
    Key('i');
    EXPECT_TRUE(frame_->IsEnabled());
    ASSERT_EQ(Core().m_nRunState, 2);
    for (const auto& item : frame_->Archive()->List().Items())
        std::printf("listed %s %s\n", item.typeText.c_str(), item.timeText.c_str());
    ASSERT_EQ(frame_->Archive()->GetItemCount(), 3);
    EXPECT_EQ(List().GetItemCount(), 3u);
    EXPECT_TRUE(boxes_.shown().empty());
    if (progressSeen) {
        EXPECT_EQ(caption, "Cine Store                    (ESC:Cancel)");
    }
    // The first still carries an OB/GY tag.
    frame_->Archive()->ObImageTags()[frame_->Archive()->List().Items()[0].imagePath] = "BPD";
    List().RefreshAll();
    Shot("archive_list");

    ClickRow(0);
    EXPECT_EQ(List().GetSelection(), std::vector<int>{0});
    EXPECT_TRUE(Core().IsPreviewShown());
    EXPECT_EQ(Core().Controls().Text(1196), "Preview 001");
    Shot("archive_preview");

    ClickRow(1, true);
    EXPECT_TRUE(Core().m_bStoredItemShown);
    EXPECT_EQ(Core().Controls().Text(1021), "  1 /  16");
    ClickControl(1059);  // Play
    EXPECT_TRUE(Core().m_bPlaying);
    for (int k = 0; k < 40; ++k)
        Settle(5);
    Shot("archive_cine_review");
    ClickControl(1062);  // Stop
    EXPECT_FALSE(Core().m_bPlaying);
    EXPECT_NE(Core().Controls().Text(1021), "  1 /  16");

    // Del on the selected still: one question, then the trash.
    ClickRow(2);
    const std::string still = frame_->Archive()->List().Items()[2].imagePath;
    ClickControl(1163);
    EXPECT_EQ(frame_->Archive()->GetItemCount(), 2);
    EXPECT_FALSE(platform::IsRegularFile(still));
    std::vector<platform::DirEntry> trashed;
    platform::ListDirectory(dir_ / "xdg/Trash/files", trashed);
    EXPECT_FALSE(trashed.empty());
    ASSERT_FALSE(boxes_.shown().empty());
    EXPECT_EQ(boxes_.shown().back().text, "May I delete it?");
}
