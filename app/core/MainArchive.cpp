#include "app/core/MainArchive.h"

#include <algorithm>

#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

void ShowArchiveMessage(const char* text) {
    platform::ShowMessageBox(text, GetProductName(), platform::MsgIcon::None);
}

}  // namespace

CMainArchive::CMainArchive() = default;

void CMainArchive::Attach(CKALVEXDlg* dlg, IThumbnailView* view, ICineStoreProgress* progress) {
    dlg_ = dlg;
    view_ = view;
    progress_ = progress;
}

void CMainArchive::InitThumbnailList() {
    if (view_)
        view_->SetItemCount(0);
}

// The exam is named by its stamp: when the dialog began another exam, what this one stored
// belongs to the old exam.
void CMainArchive::SyncExam() {
    if (dlg_ && dlg_->m_strExamStamp != exam_.examStamp)
        exam_.Start(dlg_->m_strExamStamp);
}

void CMainArchive::ResetExamStills() {
    if (!dlg_)
        return;
    exam_.Start(dlg_->m_strExamStamp);
}

void CMainArchive::FillThumbnailList(int /*keepFilter*/, int reset, int withCines) {
    if (!dlg_)
        return;
    SyncExam();
    int top = view_ ? view_->GetTopIndex() : 0;
    archive::FillRequest request;
    request.patientId = dlg_->m_strPatientId;
    request.examList = dlg_->m_bExamList;
    request.reset = reset != 0;
    request.withCines = withCines != 0;
    if (request.reset) {
        cache_.NewFill();
        paintMessageOwed_ = false;
    }
    list_.Fill(request, exam_);
    if (dlg_->m_bExamList && !request.reset && request.withCines)
        top = list_.Count() - 1;  // the item just stored comes into view
    if (view_) {
        // A full refill lists other items under the same rows: nothing stays selected.
        if (request.reset)
            view_->SetSelection({});
        view_->SetItemCount(list_.Count());
        view_->ScrollToRow(std::max(top, 0));
        view_->RefreshRows();
    }
    dlg_->m_controls.Enable(IDC_BTN6, dlg_->m_bObAvailable && HasStoredImage());
    dlg_->m_controls.Repaint(IDC_BTN6, true);
}

void CMainArchive::RefillKeepingSelection() {
    if (!dlg_)
        return;
    std::vector<std::string> selected;
    if (view_) {
        for (int row : view_->GetSelection()) {
            if (row >= 0 && row < list_.Count())
                selected.push_back(list_.Items()[static_cast<size_t>(row)].imagePath);
        }
    }
    FillThumbnailList(0, 1, !(dlg_->m_bExamList && dlg_->m_nScreenLayout == 18));
    // The same items stay selected, found by their paths; the preview is left as it shows.
    std::vector<int> rows;
    for (int i = 0; i < list_.Count(); ++i) {
        const std::string& path = list_.Items()[static_cast<size_t>(i)].imagePath;
        if (std::find(selected.begin(), selected.end(), path) != selected.end())
            rows.push_back(i);
    }
    if (view_)
        view_->SetSelection(rows);
}

bool CMainArchive::HasSelection() const {
    return view_ && !view_->GetSelection().empty();
}

void CMainArchive::Deselect() {
    if (view_)
        view_->SetSelection({});
}

bool CMainArchive::IsStoredCineShown() const {
    return dlg_ && dlg_->m_bStoredItemShown;
}

void CMainArchive::HideReviewButtons() {
    for (int id : {IDC_REVIEW_PREV, IDC_REVIEW_PLAY, IDC_REVIEW_NEXT, IDC_REVIEW_STOP})
        dlg_->m_controls.Show(id, false);
}

void CMainArchive::ShowThumbnailList() {
    if (!dlg_)
        return;
    CKALVEXDlg& d = *dlg_;
    d.m_ports.timers->KillTimer(kTimerPlayback);
    d.m_bStoredItemShown = false;
    d.m_bPlaying = false;
    if (d.m_nPressedToolButton == -2)
        d.EnableStoreMeasureButtons(true);
    for (int id : {IDC_BTN4, IDC_BTN5, IDC_BTN6, IDC_DIST, IDC_AREA, IDC_ELLIPSE, IDC_SETTINGS,
                   IDC_STORE_CAPTION, IDC_MEASURE_CAPTION})
        d.m_controls.Show(id, true);
    d.m_controls.Show(IDC_REVIEW_TIME, false);
    HideReviewButtons();
    for (int id : {IDC_DELETE, IDC_EXP_JPEG, IDC_EXP_VIDEO, IDC_PRINT, IDC_PREVIEW})
        d.m_controls.Show(id, false);
    if (d.m_pReviewProc)
        d.m_pReviewProc->ClearReviewFrames();
    reviewCount_ = 0;
    d.ShowCinePosition(d.m_nScreenLayout != 0);
    if (d.m_bExamList) {
        Deselect();
    } else {
        d.m_bExamList = true;
        FillThumbnailList(0, 1, 1);
    }
    // The image views of the display mode come back in place of the preview.
    const bool single = d.m_nDisplayMode == kDisplayB;
    d.ShowViewWindow(kViewMain, single);
    d.ShowViewWindow(kViewLeft, !single);
    d.ShowViewWindow(kViewRight, !single);
    d.m_controls.Show(IDC_THUMB_CAPTION, list_.Count() > 0);
    d.m_controls.SetText(IDC_THUMB_CAPTION, resources::LoadString(kStrThumbnailList));
    d.RedrawImages();
    d.m_controls.SetFocus(IDC_VIEW_MAIN);
}

std::string CMainArchive::TagOf(const std::string& imagePath) const {
    auto it = obImageTags_.find(imagePath);
    return it == obImageTags_.end() ? std::string() : it->second;
}

const Image32* CMainArchive::ThumbnailFor(int row) {
    if (!dlg_ || row < 0 || row >= list_.Count())
        return nullptr;
    const archive::StoreItemRecord& item = list_.Items()[static_cast<size_t>(row)];
    const bool frozenViewer = dlg_->m_nRunState == kFrozen && !dlg_->m_bExamList;
    const Image32* thumb = cache_.Get(item, frozenViewer ? std::string() : TagOf(item.imagePath));
    if (cache_.TakePendingMessage())
        paintMessageOwed_ = true;
    return thumb;
}

void CMainArchive::ShowPendingPaintMessage() {
    if (!paintMessageOwed_)
        return;
    paintMessageOwed_ = false;
    ShowArchiveMessage(archive::kMsgBitmapLoadError);
}

// ---- selection and preview

void CMainArchive::OnSelectionChanged() {
    if (!dlg_ || !view_)
        return;
    const std::vector<int> selection = view_->GetSelection();
    if (selection.empty())
        return;
    const int focused = view_->GetFocusedItem();
    const int i = std::find(selection.begin(), selection.end(), focused) != selection.end()
                      ? focused
                      : selection.back();
    if (i < 0 || i >= list_.Count())
        return;
    CKALVEXDlg& d = *dlg_;
    for (int viewCode : {kViewMain, kViewLeft, kViewRight})
        d.ShowViewWindow(viewCode, false);
    for (int id : {IDC_DELETE, IDC_EXP_JPEG, IDC_PRINT, IDC_COUNTER})
        d.m_controls.Show(id, true);
    d.m_controls.Enable(IDC_EXP_VIDEO, false);
    d.m_controls.Show(IDC_EXP_VIDEO, list_.Items()[static_cast<size_t>(i)].isCine != 0);
    OnThumbnailSelected(i, static_cast<int>(selection.size()));
}

void CMainArchive::OnThumbnailSelected(int i, int selectedCount) {
    CKALVEXDlg& d = *dlg_;
    d.ClearResultLabels();
    if (d.m_bPlaying)
        OnBnClickedStop();
    if (d.m_nPressedToolButton != -2)
        d.EnableStoreMeasureButtons(false);
    if (d.m_nTool == kToolDistance || d.m_nTool == kToolArea || d.m_nTool == kToolEllipse)
        d.m_nTool = kToolNone;
    if (selectedCount > 1) {
        for (int id : {IDC_EXP_JPEG, IDC_EXP_VIDEO, IDC_PRINT})
            d.m_controls.Show(id, false);
    }
    PreviewStoredItem(i);
    const int number = std::min(list_.Items()[static_cast<size_t>(i)].number, 9999);
    // "Preview %%.%dd": first the digit count, then the number in that many digits.
    const std::string format =
        platform::Format(resources::LoadString(kStrPreviewNumber).c_str(), number < 1000 ? 3 : 4);
    d.m_controls.SetText(IDC_PREVIEW, platform::Format(format.c_str(), number));
    d.m_controls.Show(IDC_PREVIEW, true);
}

void CMainArchive::PreviewStoredItem(int i) {
    if (!dlg_ || i < 0 || i >= list_.Count())
        return;
    CKALVEXDlg& d = *dlg_;
    const archive::StoreItemRecord& item = list_.Items()[static_cast<size_t>(i)];
    if (d.m_bExamList) {
        // The exam still of this very image, by its path; a cine selects none.
        d.m_nObSelectedImage = archive::PreviewObgyImage(list_.Items(), i, exam_);
        if (d.m_bObAvailable && HasStoredImage())
            d.m_controls.Enable(IDC_BTN6, true);
    }
    d.m_strSelTimeText = item.timeText;
    d.m_strSelTypeText = item.typeText;
    LoadStoredPreview(item);
}

bool CMainArchive::LoadStoredPreview(const archive::StoreItemRecord& item) {
    CKALVEXDlg& d = *dlg_;
    d.ShowViewWindow(kViewMain, true);
    d.m_bStoredItemShown = false;
    HideReviewButtons();
    CImageProc* review = d.m_pReviewProc.get();
    if (review)
        review->ClearReviewFrames();
    reviewCount_ = 0;
    FrameRecord record{};
    const bool recordRead = archive::ReadStoreInfo(item.sidecarPath, record);
    if (!recordRead && list_.ReportUnreadFile(item.sidecarPath))
        ShowArchiveMessage(archive::kMsgInfoReadError);
    // Only a sane depth may become the measuring scale of the stored picture.
    if (review)
        review->SetDepth(recordRead && archive::IsMeasurableDepth(record.depth) ? record.depth : 0);
    std::string timeText;
    if (recordRead) {
        timeText = CCommonUtil::GetDateFormatter().FormatDateTime(record.time, true);
        if (timeText.size() >= 4)
            timeText.resize(timeText.size() - 4);  // without the milliseconds
    }
    d.m_controls.SetText(IDC_REVIEW_TIME, timeText);
    d.m_controls.Show(IDC_CLOCK, false);
    d.m_controls.Show(IDC_REVIEW_TIME, true);

    Image32 picture;
    if (!archive::LoadStoredPicture(item.imagePath, picture)) {
        if (list_.ReportUnreadFile(item.imagePath))
            ShowArchiveMessage(archive::kMsgBitmapLoadError);
        return false;
    }
    Image32& back = d.m_viewMain.BackBuffer();
    back.CopyTopLeftFrom(picture);
    if (!item.isCine && d.m_bExamList) {
        // A still of this exam shows the OB/GY items measured on it, and only those.
        d.m_ports.measurement->UpdateObMeasureHighlight(kViewMain);
        d.m_viewMain.DrawObgyOverlays(back);
        d.m_ports.measurement->DrawObgyResults(back);
    }
    if (review) {
        review->Cine().Reset(1);
        review->SetFrameRecord(0, record);
    }
    reviewCount_ = 1;
    ShowCounter(1, 1);
    d.m_ports.views->RepaintView(kViewMain);
    return true;
}

// ---- deletion

void CMainArchive::DeleteSelected() {
    if (!dlg_)
        return;
    CKALVEXDlg& d = *dlg_;
    d.m_ports.window->SetWaitCursor(true);
    archive::DeletionRequest request;
    request.items = &list_.Items();
    if (view_)
        request.selected = view_->GetSelection();
    std::vector<std::string> paths;
    for (int row : request.selected) {
        if (row >= 0 && row < list_.Count())
            paths.push_back(list_.Items()[static_cast<size_t>(row)].imagePath);
    }
    const archive::DeletionOutcome outcome = archive::DeleteStoredItems(request, exam_, obImageTags_);
    d.m_ports.window->SetWaitCursor(false);
    if (!outcome.asked || request.selected.empty())
        return;
    // The measuring forgets the items of a still that went and moves the later ones down.
    for (int still : outcome.removedStills)
        d.m_ports.obgy->OnExamStillRemoved(still);
    for (const std::string& path : paths)
        cache_.Forget(path);

    d.m_controls.SetText(IDC_COUNTER, "");
    d.m_controls.SetText(IDC_REVIEW_TIME, "");
    if (d.m_bPlaying)
        d.m_ports.timers->KillTimer(kTimerPlayback);
    if (d.m_bStoredItemShown) {
        HideReviewButtons();
        if (d.m_pReviewProc)
            d.m_pReviewProc->ClearReviewFrames();
        reviewCount_ = 0;
    }
    d.m_bStoredItemShown = false;
    d.m_bPlaying = false;
    d.m_viewMain.BackBuffer().Fill(0);
    d.m_ports.views->RepaintView(kViewMain);
    d.m_nObSelectedImage = -1;
    if (!d.m_bExamList)
        FillThumbnailList(1, 1, 1);
    else
        FillThumbnailList(0, 1, d.m_nScreenLayout != 18);
    if (list_.Count() == 0)
        d.m_controls.Show(IDC_THUMB_CAPTION, false);
    d.m_controls.SetText(IDC_PREVIEW, resources::LoadString(kStrPreview));
    for (int id : {IDC_DELETE, IDC_EXP_JPEG, IDC_EXP_VIDEO, IDC_PRINT})
        d.m_controls.Show(id, false);
    d.m_controls.SetFocus(IDC_VIEW_MAIN);
}
