// What the exports and the print read, over the main window's core: the patient, the review
// and live processors and the main view. The thumbnail list's selection and the still's
// render come from the archive's list and store when they are plugged in (selectedItem,
// renderImageArea); without them nothing is selected and the view's picture is the render.
#pragma once

#include <functional>

#include "archive/export/ExportSource.h"

class CKALVEXDlg;

class CCoreExportSource : public exportfile::IExportSource {
public:
    explicit CCoreExportSource(std::function<CKALVEXDlg*()> core);

    std::function<std::optional<archive::StoreItemRecord>()> selectedItem;
    std::function<Image32()> renderImageArea;

    std::optional<archive::StoreItemRecord> SelectedItem() const override;
    Image32 RenderImageArea() override;
    std::string PatientId() const override;
    std::string PatientName() const override;
    int ReviewFrameCount() const override;
    bool ReviewFrame(int index, Image8& out) const override;
    bool ReviewFrameLoaded(int index) const override;
    std::optional<FrameRecord> ReviewFrameRecord(int index) const override;
    std::optional<FrameRecord> ShownReviewRecord() const override;
    bool StoredItemShown() const override;
    std::optional<FrameRecord> LiveFrameRecord() const override;
    bool SelectPrinter() const override;
    DateFormatter Dates() const override;

private:
    std::function<CKALVEXDlg*()> m_core;
};
