// Stored-cine review: the double click that loads a cine, the four review buttons and the
// playback step of window timer 1.
#include <algorithm>

#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainArchive.h"
#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {
constexpr int kPlaybackTickMs = 10;
}

int64_t CMainArchive::Now() const {
    return nowMs ? nowMs() : platform::Clock().MonotonicMicros() / 1000;
}

int CMainArchive::ReviewFrames() const {
    return std::min(reviewCount_, kCineFrames);
}

void CMainArchive::ShowCounter(int position, int total) {
    dlg_->m_controls.SetText(IDC_COUNTER, platform::Format("%3d / %3d", position, total));
    dlg_->m_controls.Repaint(IDC_COUNTER, true);
}

void CMainArchive::OnItemDoubleClicked() {
    if (!dlg_ || !view_)
        return;
    const std::vector<int> selection = view_->GetSelection();
    const int focused = view_->GetFocusedItem();
    if (std::find(selection.begin(), selection.end(), focused) == selection.end())
        return;
    OpenItem(focused);
}

void CMainArchive::OpenItem(int i) {
    if (!dlg_ || i < 0 || i >= list_.Count())
        return;
    CKALVEXDlg& d = *dlg_;
    d.ClearResultLabels();
    if (d.m_bPlaying)
        OnBnClickedStop();
    CImageProc* review = d.m_pReviewProc.get();
    if (review)
        review->ClearReviewFrames();
    reviewCount_ = 0;
    d.m_viewMain.BackBuffer().Fill(0);
    const archive::StoreItemRecord item = list_.Items()[static_cast<size_t>(i)];
    d.m_strSelTimeText = item.timeText;
    d.m_strSelTypeText = item.typeText;
    if (!item.isCine) {
        LoadStoredPreview(item);
        d.m_ports.views->RepaintView(kViewMain);
        return;
    }
    d.m_ports.window->SetWaitCursor(true);
    d.ShowViewWindow(kViewMain, true);
    d.m_bStoredItemShown = true;
    d.m_bPlaying = false;
    for (int id : {IDC_REVIEW_NEXT, IDC_REVIEW_PLAY, IDC_REVIEW_PREV})
        d.m_controls.Show(id, true);
    d.m_controls.Show(IDC_REVIEW_STOP, false);
    d.m_controls.Enable(IDC_EXP_VIDEO, true);
    d.m_controls.Show(IDC_CLOCK, false);
    d.m_controls.Show(IDC_REVIEW_TIME, true);

    archive::CineLoadSink sink;
    if (review) {
        // No record of an earlier cine may survive into this one.
        for (int slot = 0; slot < kCineFrames; ++slot)
            review->SetFrameRecord(slot, FrameRecord{});
        sink.frame = [review](int index, const Image8& frame) { review->CopyFrameToReview(index, frame); };
        sink.record = [review](int index, const FrameRecord& record) {
            review->SetFrameRecord(index, record);
        };
    }
    // "now loading" over the folder's entries while the frames come in.
    bool progressShown = false;
    sink.progress = [&](int done, int total) {
        if (!progress_)
            return;
        if (!progressShown) {
            progress_->Begin(total, resources::LoadString(kStrNowLoading));
            progressShown = true;
        }
        progress_->Update(done);
    };
    sink.unreadFile = [this](const std::string& path) { return list_.ReportUnreadFile(path); };
    const archive::LoadedCine loaded = archive::LoadCineFolder(item.cineFolder, sink);
    if (progressShown)
        progress_->End();
    reviewCount_ = loaded.count;
    if (review)
        review->Cine().Reset(ReviewFrames());
    pacer_.Load(loaded.records, loaded.count);
    d.m_ports.window->SetWaitCursor(false);
    DrawPlaybackFrame(0);
    DrawPlaybackFrame(-3);
    if (view_)
        view_->SetFocusToList();
    d.m_ports.views->RepaintView(kViewMain);
}

void CMainArchive::DrawPlaybackFrame(int index) {
    CKALVEXDlg& d = *dlg_;
    CImageProc* review = d.m_pReviewProc.get();
    const int n = ReviewFrames();
    if (index == -2) {
        ShowCounter(n, n);
        return;
    }
    if (index == -3) {
        ShowCounter(review ? review->Cine().GetCurrentIndex() + 1 : 1, n);
        return;
    }
    if (!review)
        return;
    Image8 frame;
    Image32& back = d.m_viewMain.BackBuffer();
    if (review->GetFrameBitmap(index, frame)) {
        for (int y = 0; y < std::min(back.height(), frame.height()); ++y) {
            const uint8_t* src = frame.Row(y);
            uint32_t* dst = back.Row(y);
            for (int x = 0; x < std::min(back.width(), frame.width()); ++x)
                dst[x] = MakePixel(src[x], src[x], src[x]);
        }
    }
    std::string timeText;
    if (auto record = review->GetFrameRecord(index); record && record->time.wYear != 0)
        timeText = CCommonUtil::GetDateFormatter().FormatDateTime(record->time, true);
    d.m_controls.SetText(IDC_REVIEW_TIME, timeText);
    d.m_ports.views->RepaintView(kViewMain);
}

void CMainArchive::OnBnClickedPrev() {
    if (!dlg_ || !dlg_->m_pReviewProc || reviewCount_ <= 1)
        return;
    CCineRing& ring = dlg_->m_pReviewProc->Cine();
    const int current = ring.GetCurrentIndex();
    const int index = current <= 0 ? ReviewFrames() - 1 : current - 1;
    ring.SetCurrentIndex(index);
    DrawPlaybackFrame(index);
    DrawPlaybackFrame(-3);
}

void CMainArchive::OnBnClickedNext() {
    if (!dlg_ || !dlg_->m_pReviewProc || reviewCount_ <= 1)
        return;
    CCineRing& ring = dlg_->m_pReviewProc->Cine();
    const int current = ring.GetCurrentIndex();
    const int index = current + 1 >= ReviewFrames() ? 0 : current + 1;
    ring.SetCurrentIndex(index);
    DrawPlaybackFrame(index);
    DrawPlaybackFrame(-3);
}

void CMainArchive::OnBnClickedPlay() {
    if (!dlg_ || !dlg_->m_bStoredItemShown || !dlg_->m_pReviewProc)
        return;
    CKALVEXDlg& d = *dlg_;
    d.m_controls.SetFocus(IDC_REVIEW_STOP);
    d.m_controls.Show(IDC_REVIEW_PLAY, false);
    d.m_controls.Show(IDC_REVIEW_STOP, true);
    pacer_.Start(d.m_pReviewProc->Cine().GetCurrentIndex(), Now());
    d.m_bPlaying = true;
    d.m_ports.timers->StartTimer(kTimerPlayback, kPlaybackTickMs);
}

void CMainArchive::OnBnClickedStop() {
    if (!dlg_)
        return;
    CKALVEXDlg& d = *dlg_;
    d.m_controls.SetFocus(IDC_REVIEW_PLAY);
    d.m_controls.Show(IDC_REVIEW_PLAY, true);
    d.m_controls.Show(IDC_REVIEW_STOP, false);
    d.m_ports.timers->KillTimer(kTimerPlayback);
    d.m_bPlaying = false;
}

void CMainArchive::StopPlayback() {
    OnBnClickedStop();
}

void CMainArchive::PlaybackStep() {
    if (!dlg_ || !dlg_->m_bPlaying || !dlg_->m_pReviewProc)
        return;
    CCineRing& ring = dlg_->m_pReviewProc->Cine();
    if (const std::optional<int> next = pacer_.Step(ring.GetCurrentIndex(), Now())) {
        ring.SetCurrentIndex(*next);
        DrawPlaybackFrame(*next);
        DrawPlaybackFrame(-3);
    }
}
