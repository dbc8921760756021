#include "app/core/BodyMarkTransfer.h"

#include <algorithm>
#include <cmath>

#include "app/core/CstmPictureCtrl.h"
#include "app/core/KALVEXDlg.h"

namespace {

bool s_bBodyMarkPickerOpen = false;

// The marker's centre sits this far right of and below its position: in the picker half
// the drawn marker (64 / 2.9), in a view a sixteenth of the marker picture.
constexpr double kPickerCentre = CBodyMarkPicker::kMarkerSize / CBodyMarkPicker::kMarkerScale / 2;
constexpr double kViewCentre = CBodyMarkPicker::kMarkerSize / 16.0;

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// Clears the open flag and the key lock however the run ends.
struct PickerRunGuard {
    CKALVEXDlg& dlg;
    ~PickerRunGuard() {
        dlg.m_bCineStoreRunning = false;
        s_bBodyMarkPickerOpen = false;
    }
};

}  // namespace

draw::Point PickerMarkFromView(const CCstmPictureCtrl& view) {
    const draw::Rect& rc = view.m_rcBodyMark;
    const double sx = static_cast<double>(CBodyMarkPicker::kPreviewWidth) / rc.Width();
    const double sy = static_cast<double>(CBodyMarkPicker::kPreviewHeight) / rc.Height();
    const int x = Round((view.m_nBodyMarkX + kViewCentre) * sx - kPickerCentre);
    const int y = Round((view.m_nBodyMarkY + kViewCentre) * sy - kPickerCentre);
    return {std::clamp(x, 0, CBodyMarkPicker::kMarkLimitX), std::clamp(y, 0, CBodyMarkPicker::kMarkLimitY)};
}

draw::Point ViewMarkFromPicker(const CCstmPictureCtrl& view, draw::Point mark) {
    const draw::Rect& rc = view.m_rcBodyMark;
    const double sx = static_cast<double>(rc.Width()) / CBodyMarkPicker::kPreviewWidth;
    const double sy = static_cast<double>(rc.Height()) / CBodyMarkPicker::kPreviewHeight;
    // The centre stays on the rectangle's pixels.
    const double cx = std::clamp((mark.x + kPickerCentre) * sx, 0.0, rc.Width() - 1.0);
    const double cy = std::clamp((mark.y + kPickerCentre) * sy, 0.0, rc.Height() - 1.0);
    return {Round(cx - kViewCentre), Round(cy - kViewCentre)};
}

CBodyMarkPicker PickerFromView(const CCstmPictureCtrl& view) {
    CBodyMarkPicker picker;
    picker.m_nBodyMark = view.m_nBodyMark;
    picker.m_dMarkAngle = view.m_dBodyMarkAngle;
    const draw::Point mark = PickerMarkFromView(view);
    picker.m_nMarkX = mark.x;
    picker.m_nMarkY = mark.y;
    return picker;
}

void ApplyPickerToView(CCstmPictureCtrl& view, const CBodyMarkPicker& opened, const CBodyMarkPicker& chosen) {
    view.m_nBodyMark = chosen.m_nBodyMark;
    view.m_dBodyMarkAngle = chosen.m_dMarkAngle;
    const draw::Point back = ViewMarkFromPicker(view, {chosen.m_nMarkX, chosen.m_nMarkY});
    if (chosen.m_nMarkX != opened.m_nMarkX)
        view.m_nBodyMarkX = back.x;
    if (chosen.m_nMarkY != opened.m_nMarkY)
        view.m_nBodyMarkY = back.y;
}

bool CanOpenBodyMarkPicker(CKALVEXDlg& dlg, bool measuring) {
    return !s_bBodyMarkPickerOpen && dlg.m_nRunState == maindlg::kFrozen && dlg.m_bExamList &&
           !dlg.IsPreviewShown() && !measuring;
}

bool OpenSaveDialog(CKALVEXDlg& dlg, bool measuring, const BodyMarkPickerRun& run) {
    if (!CanOpenBodyMarkPicker(dlg, measuring))
        return false;
    s_bBodyMarkPickerOpen = true;
    PickerRunGuard guard{dlg};
    CCstmPictureCtrl& mainView = dlg.View(maindlg::kViewMain);
    const CBodyMarkPicker opened = PickerFromView(mainView);
    CBodyMarkPicker picker = opened;
    dlg.m_bCineStoreRunning = true;
    const int result = run(picker);
    dlg.m_bCineStoreRunning = false;
    if (result == 1) {
        // Both views compare against the values the picker started with.
        ApplyPickerToView(dlg.View(maindlg::kViewLeft), opened, picker);
        ApplyPickerToView(mainView, opened, picker);
        dlg.RedrawImages();
    }
    return true;
}

bool IsBodyMarkPickerOpen() {
    return s_bBodyMarkPickerOpen;
}
