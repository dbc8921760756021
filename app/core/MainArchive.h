// The main window's archive: the still and cine stores (commands 10 and 11), the thumbnail
// list (1061) with its preview, double click and deletion, and the stored-cine review with
// its buttons and playback (window timer 1). The logic lives in archive/; this class only
// ties it to the main dialog's state, its label model and its views, and to the list and
// progress windows behind IThumbnailView and ICineStoreProgress. UI thread only.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/core/IObStills.h"
#include "app/core/IReview.h"
#include "app/core/IStores.h"
#include "app/core/IThumbnailList.h"
#include "app/core/IThumbnailView.h"
#include "archive/CineFolderLoader.h"
#include "archive/ExamState.h"
#include "archive/PlaybackPacer.h"
#include "archive/StoreDeletion.h"
#include "archive/StoreItemList.h"
#include "archive/ThumbnailCache.h"

class CKALVEXDlg;

class CMainArchive : public IStores, public IThumbnailList, public IReview, public IObStills {
public:
    CMainArchive();
    // The core, the list window and the progress window (null: the store runs without one).
    void Attach(CKALVEXDlg* dlg, IThumbnailView* view, ICineStoreProgress* progress);

    // ---- IStores
    bool StoreImage(bool print) override;
    bool StoreCine() override;
    void ResetExamStills() override;
    bool RenderReportImage(const std::string& path) override;

    // ---- IThumbnailList
    void InitThumbnailList() override;
    void FillThumbnailList(int keepFilter, int reset, int withCines) override;
    int GetItemCount() const override { return list_.Count(); }
    bool HasSelection() const override;
    void Deselect() override;
    void ShowThumbnailList() override;
    bool HasStoredImage() const override { return list_.HasStoredImage(); }
    bool IsStoredCineShown() const override;
    void DeleteSelected() override;
    void RefillKeepingSelection() override;

    // ---- IReview
    void OnBnClickedPrev() override;
    void OnBnClickedNext() override;
    void OnBnClickedPlay() override;
    void OnBnClickedStop() override;
    void PlaybackStep() override;

    // ---- IObStills (index: the exam still, as m_nObSelectedImage counts them)
    std::string StillPath(int index) const override;
    std::string StillStamp(int index) const override;
    int StillDepth(int index) const override;
    int StillDepthOver(int index, int xFrom, int xTo) const override;
    const Image32* StillBitmap(int index) const override;
    void PreviewStill(int index) override;
    void SelectStill(int index) override;
    void SetTag(const std::string& path, const std::string& tag) override;

    // ---- the list window's notifications
    // The selection changed (the list tells after a click, a key or a gesture).
    void OnSelectionChanged();
    void OnItemDoubleClicked();
    // Row i's thumbnail, composed now when it is not cached; null draws the fallback. Never
    // shows a message: a picture that did not load is reported once, after the paint.
    const Image32* ThumbnailFor(int row);
    // After a paint: the message a failed picture owes ("Bitmap Load Error."), once per fill.
    void ShowPendingPaintMessage();

    // ---- state other parts read
    const archive::ExamState& Exam() const { return exam_; }
    const archive::StoreItemList& List() const { return list_; }
    archive::ThumbnailCache& Cache() { return cache_; }
    std::map<std::string, std::string>& ObImageTags() { return obImageTags_; }
    // The monotonic clock of playback, in milliseconds (tests replace it).
    int64_t (*nowMs)() = nullptr;
    // Whether the cine store may pump window messages (tests of the headless core do not).
    bool pumpDuringStore = true;

    // Preview and review steps, as the notifications run them.
    void PreviewStoredItem(int i);
    bool LoadStoredPreview(const archive::StoreItemRecord& item);
    void OpenItem(int i);
    void DrawPlaybackFrame(int index);

private:
    void SyncExam();
    // A still stored from two half views keeps where its halves meet and each half's depth.
    void NoteStillHalves(const std::string& imagePath, int shownDepth);
    void OnThumbnailSelected(int i, int selectedCount);
    void StopPlayback();
    void HideReviewButtons();
    void ShowCounter(int position, int total);
    int ReviewFrames() const;
    int64_t Now() const;
    std::string TagOf(const std::string& imagePath) const;

    CKALVEXDlg* dlg_ = nullptr;
    IThumbnailView* view_ = nullptr;
    ICineStoreProgress* progress_ = nullptr;
    archive::ExamState exam_;
    archive::StoreItemList list_;
    archive::ThumbnailCache cache_;
    archive::PlaybackPacer pacer_;
    std::map<std::string, std::string> obImageTags_;
    int reviewCount_ = 0;  // the loaded cine's highest frame number (not capped)
    bool paintMessageOwed_ = false;
};
