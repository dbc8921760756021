// The OB/GY mode: entering and leaving it, the items and their two-point calipers, the AC
// ellipse, resets, highlights, tags and the result lines.
#include "app/core/MeasureTools.h"

#include <cmath>

#include "app/core/KALVEXDlg.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/User.h"
#include "measure/EllipseMeasure.h"
#include "measure/GrowthTable.h"
#include "measure/MeasureText.h"
#include "measure/ObEvaluation.h"
#include "measure/ResultLabels.h"
#include "measure/TraceMeasure.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "platform/draw/Fonts.h"
#include "platform/draw/Painter.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

constexpr int kStrFinishOb = 175;
constexpr int kStrTakeOffGuard = 220;
constexpr int kStrResetAc = 221;
constexpr int kObLayout = 18;

// Result label of each two-point item (BPD, CRL, GS, SL, FL).
constexpr int kObLabel[kObItemCount + 1] = {-1, 0, 4, 1, 5, 2, -1, -1};
// Panel button of each item; 0 none.
constexpr int kObButton[kObItemCount + 1] = {0, IDC_OB_BPD, IDC_OB_CRL, IDC_OB_GS,
                                             0, IDC_OB_FL,  IDC_OB_AC,  0};

}  // namespace

void CMeasureTools::SetItemButton(int item) {
    const int id = kObButton[item];
    m_astrButtonText[static_cast<size_t>(item)] = m_obValues.ButtonText(item);
    if (id == 0)
        return;
    IObPanel& panel = *d_.m_ports.obPanel;
    const uint32_t colour = View(kViewMain).m_acrPen[static_cast<size_t>(item - 1 < 6 ? item - 1 : 0)];
    if (item == ObItemAc)
        panel.SetAcSubCaptionColour(colour);
    else
        panel.SetItemSubCaptionColour(id, colour);
    panel.SetItemSubCaption(id, m_astrButtonText[static_cast<size_t>(item)]);
}

void CMeasureTools::RemoveLoneObPoints() {
    for (int vc : {kViewMain, kViewLeft, kViewRight}) {
        CCstmPictureCtrl& v = View(vc);
        for (int item = ObItemBpd; item <= ObItemFl; ++item) {
            const auto k = static_cast<size_t>(item - 1);
            if (v.m_anObgyStep[k] != 1)
                continue;
            v.m_abObgyFlag[2 * k] = 0;
            v.m_abObgyFlag[2 * k + 1] = 0;
            v.m_anObgyStep[k] = 0;
            m_obValues.Abandon(item);
            SetItemButton(item);
        }
    }
}

void CMeasureTools::StoreObSlot(int slot, int clickedView) {
    CImageProc* proc = d_.m_pLiveProc.get();
    if (!proc)
        return;
    if (d_.m_nDisplayMode == kDisplayB) {
        proc->CopyFrameSlot(CurrentCineFrame(), slot, SlotDirection::Store, 1);
    } else if (d_.m_nDisplayMode == kDisplayBB) {
        // Each half into its own side, the clicked half last.
        const bool rightClicked = clickedView == kViewRight;
        for (int frame :
             {rightClicked ? kSpecialFrameA : kSpecialFrameB, rightClicked ? kSpecialFrameB : kSpecialFrameA})
            proc->CopyFrameSlot(frame, slot, SlotDirection::Store, d_.m_nBbSide);
    }
}

void CMeasureTools::RecallObSlot(int slot) {
    CImageProc* proc = d_.m_pLiveProc.get();
    if (!proc)
        return;
    const bool bb = d_.m_nDisplayMode == kDisplayBB;
    if (bb) {
        proc->CopyFrameSlot(kSpecialFrameA, slot, SlotDirection::Recall, 1);
        proc->CopyFrameSlot(kSpecialFrameB, slot, SlotDirection::Recall, 2);
    }
    proc->CopyFrameSlot(0, slot, SlotDirection::Recall, bb ? d_.m_nBbSide : 1);
    proc->Cine().Reset(1);
    d_.RefreshCounter(1, 1);
}

bool CMeasureTools::ViewsHoldItem(int item) const {
    for (int vc : {kViewMain, kViewLeft, kViewRight}) {
        const CCstmPictureCtrl& v = View(vc);
        if (IsTwoPointObItem(item) && v.m_abObgyFlag[static_cast<size_t>(2 * (item - 1))] != 0)
            return true;
        if (item == ObItemAc && v.m_ellipseObgy.state > EllipseStatePlacing)
            return true;
        if (item == ObItemHc && !v.m_vecHcTrace.empty())
            return true;
    }
    return false;
}

void CMeasureTools::ObPairMouse(int viewCode, draw::Point p) {
    CCstmPictureCtrl& v = View(viewCode);
    const int item = d_.m_nObItem;
    const int q = 2 * (item - 1);
    const auto uq = static_cast<size_t>(q);
    int& state = d_.MeasureClickState;
    if (state == 1) {
        if (View(kViewMain).m_abObgyFlag[uq] != 0 && m_nObGuardReleased != q) {
            const std::string text = resources::LoadString(kStrTakeOffGuard) + ObItemName(item) + "?";
            if (platform::ShowMessageBox(text, GetProductName(), platform::MsgIcon::Exclamation,
                                         platform::MsgButtons::OkCancel) == platform::MsgAnswer::Ok)
                m_nObGuardReleased = q;
            state = 0;
            d_.m_nPressView = 0;
            HideLoupe();
            return;
        }
        v.m_aptObgy[uq] = p;
        v.m_aptObgy[uq + 1] = p;
        v.m_abObgyFlag[uq] = 1;
        v.m_abObgyFlag[uq + 1] = 0;
        m_obValues.BeginMeasure(item);
        SetItemButton(item);
        Redraw(viewCode);
        return;
    }
    if (state == 3)
        return;
    if (viewCode != d_.m_nPressView)
        return;
    const int step = v.m_anObgyStep[static_cast<size_t>(item - 1)];
    UpdateObCaliper(viewCode, item, true, q + step % 2, p);
    if (item == ObItemBpd)
        m_abObSaveImage[ObEvalBpd] = true;
    else if (item == ObItemFl)
        m_abObSaveImage[ObEvalFl] = true;
    m_nObGuardReleased = -1;
    Redraw(viewCode);
    SetOverlayFlags(viewCode);
}

void CMeasureTools::UpdateObCaliper(int viewCode, int item, bool click, int pointIndex, draw::Point p) {
    CCstmPictureCtrl& v = View(viewCode);
    const auto k = static_cast<size_t>(item - 1);
    const auto q = 2 * k;
    int& step = v.m_anObgyStep[k];
    const int label = kObLabel[item];
    if (step > 1) {
        step = 0;
        if (const int id = ResultLabelControlId(label); id >= 0)
            d_.m_controls.Show(id, false);
        v.m_abObgyFlag[q] = 0;
        v.m_abObgyFlag[q + 1] = 0;
        Redraw(viewCode);
        SetOverlayFlags(viewCode);
    }
    if (p.x != -1 && p.y != -1 && click)
        v.m_aptObgy[q + static_cast<size_t>(step)] = p;
    bool complete = false;
    if (click) {
        ++step;
        complete = step > 1;
        if (step == 1)
            m_obValues.BeginMeasure(item);
        if (complete)
            StoreObSlot(static_cast<int>(k), viewCode);
    }
    const int image = d_.m_nObSelectedImage >= 0                                    ? d_.m_nObSelectedImage
                      : (d_.m_nDisplayMode == kDisplayB || d_.m_nTool == kToolObgy) ? CurrentCineFrame()
                                                                                    : -1;
    if (p.x != -1 && p.y != -1 && pointIndex >= 0 && pointIndex < CCstmPictureCtrl::kObgyPointCount) {
        v.m_aptObgy[static_cast<size_t>(pointIndex)] = p;
        v.m_abObgyFlag[static_cast<size_t>(pointIndex)] = 1;
    }
    if (step > 0) {
        const auto length = PairLengthMm(v.m_aptObgy[q], v.m_aptObgy[q + 1],
                                         ScaleOfPoints(viewCode, {v.m_aptObgy[q], v.m_aptObgy[q + 1]}));
        if (complete) {
            m_obValues.Commit(item, length, image);
            TagSelectedImage(ObItemName(item));
        } else {
            m_obValues.UpdatePending(item, length);
        }
        if (const int id = ResultLabelControlId(label); id >= 0)
            d_.m_controls.SetText(id, length ? FormatLengthMm(*length) : std::string(kDistanceDashText));
        if (click)
            SetItemButton(item);
    }
    Repaint(viewCode);
}

void CMeasureTools::AcMouse(int viewCode, draw::Point p) {
    CCstmPictureCtrl& v = View(viewCode);
    CEllipseCaliper& e = v.m_ellipseObgy;
    const int click = d_.MeasureClickState;
    if ((click == 1 || click == 3) && e.state >= EllipseStatePlacing && v.m_nObgyEllipseShown == 0 &&
        m_obValues.ImageIndex(ObItemAc) != d_.m_nObSelectedImage) {
        if (platform::ShowMessageBox(resources::LoadString(kStrResetAc), GetProductName(),
                                     platform::MsgIcon::Exclamation,
                                     platform::MsgButtons::OkCancel) != platform::MsgAnswer::Ok) {
            // The ellipse belongs to another image and is not drawn here: the click does nothing.
            d_.MeasureClickState = 0;
            d_.m_nPressView = 0;
            HideLoupe();
            return;
        }
        e.state = EllipseStateEmpty;
        v.m_nEllipseFreeX = -1;
        v.m_nEllipseFreeY = -1;
    }
    OnEllipseMouse(viewCode, p, e, true);
}

void CMeasureTools::UpdateAcResult() {
    const CCstmPictureCtrl& v = View(kViewMain);
    // How far the outline reaches left and right of its centre, as its axes lie.
    const CEllipseCaliper& e = v.m_ellipseObgy;
    const double angle = e.Angle();
    const int reach = static_cast<int>(std::ceil(std::hypot(e.a * std::cos(angle), e.b * std::sin(angle))));
    const auto result =
        MeasureEllipse(e, ScaleOfColumns(kViewMain, e.centre().x - reach, e.centre().x + reach));
    // The image is taken when the ellipse completes (while it is dragged, it is the one shown).
    m_obValues.Commit(ObItemAc, result ? std::optional<double>(result->circumferenceMm) : std::nullopt,
                      d_.m_nObSelectedImage);
    SetItemButton(ObItemAc);
}

void CMeasureTools::ResetObMeasureResults(int viewCode) {
    CCstmPictureCtrl& v = View(viewCode);
    bool any = false;
    for (int item = ObItemBpd; item <= ObItemFl; ++item) {
        const auto k = static_cast<size_t>(item - 1);
        if (v.m_anObgyStep[k] != 1)
            continue;
        v.m_anObgyStep[k] = 0;
        v.m_aptObgy[2 * k] = {0, 0};
        v.m_abObgyFlag[2 * k] = 0;
        v.m_abObgyFlag[2 * k + 1] = 0;
        m_obValues.Abandon(item);
        SetItemButton(item);
        if (const int id = kObButton[item]; id != 0)
            d_.m_controls.Repaint(id, false);
        any = true;
    }
    if (IsUnfinishedTrace(v.m_vecHcTrace)) {
        v.m_vecHcTrace.clear();
        v.m_nHcTraceShown = 0;
        any = true;
    }
    if (any)
        Redraw(viewCode);
}

void CMeasureTools::ClearObgyMeasure(int item) {
    if (!IsObItem(item))
        return;
    m_obValues.Clear(item);
    for (int vc : {kViewMain, kViewLeft, kViewRight}) {
        CCstmPictureCtrl& v = View(vc);
        if (IsTwoPointObItem(item)) {
            const auto k = static_cast<size_t>(item - 1);
            v.m_aptObgy[2 * k] = {};
            v.m_aptObgy[2 * k + 1] = {};
            v.m_abObgyFlag[2 * k] = 0;
            v.m_abObgyFlag[2 * k + 1] = 0;
            v.m_anObgyStep[k] = 0;
        } else if (item == ObItemAc) {
            v.m_nObgyEllipseShown = 0;
            v.m_ellipseObgy.state = EllipseStateEmpty;
            v.m_nEllipseFreeX = -1;
            v.m_nEllipseFreeY = -1;
        } else {
            v.m_vecHcTrace.clear();
            v.m_nHcTraceShown = 0;
        }
    }
    m_astrButtonText[static_cast<size_t>(item)].clear();
    if (const int id = kObButton[item]; id != 0) {
        d_.m_ports.obPanel->SetItemSubCaption(id, "");
        d_.m_controls.Repaint(id, false);
    }
}

void CMeasureTools::OnExamStillRemoved(int stillIndex) {
    for (int item : m_obValues.RemoveImage(stillIndex))
        ClearObgyMeasure(item);
}

void CMeasureTools::UpdateObMeasureHighlight(int viewCode) {
    CCstmPictureCtrl& v = View(viewCode);
    const int sel = d_.m_nObSelectedImage;
    for (int item = ObItemBpd; item <= ObItemFl; ++item) {
        const auto k = static_cast<size_t>(item - 1);
        if (v.m_anObgyStep[k] == 1)
            continue;  // being placed on the shown image
        const bool here = sel >= 0 && m_obValues.ImageIndex(item) == sel;
        for (size_t i = 2 * k; i < 2 * k + 2; ++i) {
            if (!here && v.m_abObgyFlag[i] == 1)
                v.m_abObgyFlag[i] = 2;
            else if (here && v.m_abObgyFlag[i] == 2)
                v.m_abObgyFlag[i] = 1;
        }
    }
    SetOverlayFlags(viewCode);
}

void CMeasureTools::SetOverlayFlags(int viewCode) {
    CCstmPictureCtrl& v = View(viewCode);
    const int sel = d_.m_nObSelectedImage;
    if (v.m_ellipseObgy.state != EllipseStatePlacing)
        v.m_nObgyEllipseShown = sel >= 0 && m_obValues.ImageIndex(ObItemAc) == sel ? 1 : 0;
    if (v.m_vecHcTrace.empty())
        v.m_nHcTraceShown = 0;
    else if (IsClosedTrace(v.m_vecHcTrace))
        v.m_nHcTraceShown = m_obValues.ImageIndex(ObItemHc) == (sel >= 0 ? sel : CurrentCineFrame()) ? 1 : 0;
}

void CMeasureTools::TagSelectedImage(const std::string& tag) {
    const int sel = d_.m_nObSelectedImage;
    if (sel < 0)
        return;
    IObStills& stills = *d_.m_ports.obStills;
    for (auto it = m_mapObImageTags.begin(); it != m_mapObImageTags.end();) {
        if (it->second == tag) {
            stills.SetTag(it->first, "");
            it = m_mapObImageTags.erase(it);
        } else {
            ++it;
        }
    }
    std::string path = stills.StillPath(sel);
    if (path.empty())
        path = platform::Format("#%d", sel);
    m_mapObImageTags[path] = tag;
    stills.SetTag(path, tag);
}

void CMeasureTools::DrawObgyResults(Image32& buffer) {
    // Clear of the depth scale's "0cm" at the top left.
    const int left = CCstmPictureCtrl::kDepthLabelRight + 4;
    draw::Rect r{left, 10, left + 130, 40};
    const draw::Font font = draw::FontFor(draw::FontRole::Overlay);
    const CCstmPictureCtrl& v = View(kViewMain);
    for (int item : {ObItemBpd, ObItemFl, ObItemCrl, ObItemAc, ObItemGs}) {
        const double value = m_obValues.Value(item);
        if (m_obValues.ImageIndex(item) != d_.m_nObSelectedImage || !(value > 0.0))
            continue;
        const std::string text = std::string(ObItemName(item)) + ": " + FormatLengthMm(value);
        draw::DrawText(buffer, r, text, font, v.m_acrPen[static_cast<size_t>(item - 1)]);
        r.top += 22;
        r.bottom += 22;
    }
}

void CMeasureTools::ClearMeasurements() {
    for (int vc : {kViewMain, kViewLeft, kViewRight}) {
        CCstmPictureCtrl& v = View(vc);
        v.m_nDistanceCount = 0;
        v.m_anDistanceFlag.fill(0);
        for (auto& t : v.m_avecTrace)
            t.clear();
        v.m_abTraceFlag.fill(0);
        v.ClearDistanceMarks();
        for (auto& e : v.m_aEllipse)
            e.state = EllipseStateEmpty;
        v.m_nEllipseCurrent = 0;
        v.m_nEllipseCount = 0;
        v.m_nEllipseFreeX = -1;
        v.m_nEllipseFreeY = -1;
    }
}

// ---- the mode and its items

void CMeasureTools::ToggleObMode() {
    if (!d_.m_bObAvailable)
        return;
    IObPanel& panel = *d_.m_ports.obPanel;
    d_.View(kViewMain).m_dZoom = 1.0;
    auto clearHalves = [&] {
        for (int vc : {kViewLeft, kViewRight}) {
            CCstmPictureCtrl& v = View(vc);
            v.ClearTraceMarks();
            v.m_vecHcTrace.clear();
            v.m_nHcTraceShown = 0;
            v.ClearDistanceMarks();
            v.m_anObgyStep.fill(0);
        }
        View(kViewMain).m_anObgyStep.fill(0);
    };
    if (panel.GetState() == 1) {
        bool allShown = true;
        for (int item : {ObItemBpd, ObItemFl, ObItemCrl, ObItemAc, ObItemGs})
            allShown = allShown && !m_astrButtonText[static_cast<size_t>(item)].empty();
        if (allShown && !d_.m_bStillStored &&
            platform::ShowMessageBox(resources::LoadString(kStrFinishOb), GetProductName(),
                                     platform::MsgIcon::Exclamation,
                                     platform::MsgButtons::OkCancel) != platform::MsgAnswer::Ok)
            return;
        panel.SetState(0);
        d_.m_nObSelItem = 0;
        panel.ClearMeasureValues();
        d_.m_ports.thumbnails->FillThumbnailList(0, 1, 1);
        clearHalves();
        d_.m_nTool = kToolNone;
        d_.m_nDisplayMode = kDisplayB;
        d_.m_nObSelectedImage = -1;
        d_.ShowCinePosition(true);
        d_.SetScreenLayout(5, 0, true);
        d_.RedrawImages();
        return;
    }
    if (!d_.m_ports.thumbnails->HasStoredImage())
        return;
    d_.ShowPanel(true, &panel, IDC_OB_ANCHOR);
    panel.SetState(1);
    d_.m_nTool = kToolObgy;
    d_.m_nObItem = 0;
    d_.m_nScreenLayout = kObLayout;
    d_.m_nObSelItem = 0;
    d_.m_ports.thumbnails->FillThumbnailList(0, 1, 0);
    if (d_.m_nObSelectedImage == -1)
        d_.m_nObSelectedImage = 0;
    // Selected as a click on its row selects it: whatever was previewed or played gives way.
    d_.m_ports.obStills->SelectStill(d_.m_nObSelectedImage);
    d_.SetScreenLayout(kObLayout, 0, true);
    clearHalves();
    for (int vc : {kViewMain, kViewLeft, kViewRight}) {
        CCstmPictureCtrl& v = View(vc);
        for (auto& t : v.m_avecTrace)
            t.clear();
        v.m_abTraceFlag.fill(0);
    }
    d_.RedrawImages();
}

void CMeasureTools::SelectObItem(int item) {
    if (!IsObItem(item))
        return;
    const ModifierKeys keys = d_.m_ports.keyboard->Read();
    if (keys.readable && keys.ctrl)
        ClearObgyMeasure(item);
    ResetObMeasureResults(kViewMain);
    ResetObMeasureResults(kViewLeft);
    ResetObMeasureResults(kViewRight);
    // A sequence the last item left open (an AC ellipse waits for a handle to be dragged)
    // ends here: the new item's first click is a first click.
    d_.MeasureClickState = 0;
    d_.m_nPressView = 0;
    HideLoupe();
    d_.m_nObItem = item;
    d_.m_nScreenLayout = kObLayout;
    d_.m_nObSelItem = item;
    d_.SetScreenLayout(kObLayout, item, true);
    if (item == ObItemAc) {
        View(kViewMain).m_nEllipseFreeX = -1;
        View(kViewMain).m_nEllipseFreeY = -1;
    }
    if (!ViewsHoldItem(item))
        return;
    // An item measured without an image brings its frame back from its slot. Every item
    // measured on a still keeps that still's index, which is no cine frame to step to.
    if (m_obValues.ImageIndex(item) == -1)
        RecallObSlot(item - 1);
    if (d_.m_nRunState == kFrozen && d_.m_nTool == kToolObgy) {
        ResetObMeasureResults(kViewMain);
        UpdateObMeasureHighlight(kViewMain);
        if (d_.m_nDisplayMode == kDisplayBB) {
            for (int vc : {kViewLeft, kViewRight}) {
                ResetObMeasureResults(vc);
                UpdateObMeasureHighlight(vc);
            }
        }
        d_.RedrawImages();
    }
}

void CMeasureTools::OnObButton(int id) {
    IObPanel& panel = *d_.m_ports.obPanel;
    if (!panel.IsButtonEnabled(id))
        return;
    const bool ob = d_.m_nTool == kToolObgy;
    switch (id) {
        case IDC_OB_BPD:
            d_.ExecCommand(ob && !d_.m_bBusy ? 17 : kCmdSelectExam);
            break;
        case IDC_OB_FL:
            if (ob)
                d_.ExecCommand(21);
            break;
        case IDC_OB_CRL:
            d_.ExecCommand(ob ? 18 : kCmdNewPatient);
            break;
        case IDC_OB_AC:
            d_.ExecCommand(22);
            break;
        case IDC_OB_GS:
            if (ob)
                d_.ExecCommand(19);
            break;
        default:
            break;
    }
}
