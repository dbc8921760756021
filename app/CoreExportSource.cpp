#include "app/CoreExportSource.h"

#include "app/core/KALVEXDlg.h"
#include "common/CommonUtil.h"

namespace {
constexpr int kViewSide = 480;
}

CCoreExportSource::CCoreExportSource(std::function<CKALVEXDlg*()> core) : m_core(std::move(core)) {}

std::optional<archive::StoreItemRecord> CCoreExportSource::SelectedItem() const {
    return selectedItem ? selectedItem() : std::nullopt;
}

Image32 CCoreExportSource::RenderImageArea() {
    if (renderImageArea)
        return renderImageArea();
    CKALVEXDlg* core = m_core();
    return core ? core->View(maindlg::kViewMain).RenderClient(kViewSide, kViewSide) : Image32();
}

std::string CCoreExportSource::PatientId() const {
    CKALVEXDlg* core = m_core();
    return core ? core->m_strPatientId : std::string();
}

std::string CCoreExportSource::PatientName() const {
    CKALVEXDlg* core = m_core();
    return core ? core->m_strPatientName : std::string();
}

int CCoreExportSource::ReviewFrameCount() const {
    CKALVEXDlg* core = m_core();
    return core && core->m_pReviewProc ? core->m_pReviewProc->GetFrameCount() : 0;
}

bool CCoreExportSource::ReviewFrame(int index, Image8& out) const {
    CKALVEXDlg* core = m_core();
    return core && core->m_pReviewProc && core->m_pReviewProc->GetFrameBitmap(index, out);
}

bool CCoreExportSource::ReviewFrameLoaded(int index) const {
    CKALVEXDlg* core = m_core();
    return core && core->m_pReviewProc && core->m_pReviewProc->Cine().HasFrame(index);
}

std::optional<FrameRecord> CCoreExportSource::ReviewFrameRecord(int index) const {
    CKALVEXDlg* core = m_core();
    if (!core || !core->m_pReviewProc)
        return std::nullopt;
    std::optional<FrameRecord> record = core->m_pReviewProc->GetFrameRecord(index);
    // A load starts from cleared records: one still cleared had no sidecar that could be read.
    if (record && record->time == platform::SystemTime{})
        return std::nullopt;
    return record;
}

std::optional<FrameRecord> CCoreExportSource::ShownReviewRecord() const {
    CKALVEXDlg* core = m_core();
    if (!core || !core->m_pReviewProc)
        return std::nullopt;
    return core->m_pReviewProc->GetFrameRecord(core->m_pReviewProc->Cine().GetCurrentIndex());
}

bool CCoreExportSource::StoredItemShown() const {
    CKALVEXDlg* core = m_core();
    // A loaded cine, or a stored item previewed from the thumbnail list.
    return core && (core->m_bStoredItemShown || (core->m_nRunState == maindlg::kFrozen &&
                                                 core->Controls().IsShown(maindlg::IDC_PREVIEW)));
}

std::optional<FrameRecord> CCoreExportSource::LiveFrameRecord() const {
    CKALVEXDlg* core = m_core();
    if (!core || !core->m_pLiveProc)
        return std::nullopt;
    return core->m_pLiveProc->GetFrameRecord(core->m_pLiveProc->Cine().GetCurrentIndex());
}

bool CCoreExportSource::SelectPrinter() const {
    CKALVEXDlg* core = m_core();
    return core && core->m_bSelPrinter;
}

DateFormatter CCoreExportSource::Dates() const {
    return CCommonUtil::GetDateFormatter();
}
