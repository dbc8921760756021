// Window plumbing: maximising and restoring (the views grow, the controls around them
// move), moving, the finger loupe's place, and the colours each label paints with.
#include "app/core/KALVEXDlg.h"
#include "app/core/LabelColours.h"
#include "app/core/MainGlobals.h"

using namespace maindlg;

namespace {

Colorref OverlayColour(int k) {
    const uint32_t pixel = CCstmPictureCtrl::kOverlayColours[static_cast<size_t>(k)];
    return Colorref::FromRgb(PixelR(pixel), PixelG(pixel), PixelB(pixel));
}

}  // namespace

void CKALVEXDlg::SetStartupGeometry(const StartupRects& rects, const GeometryConstants& constants) {
    m_startup = rects;
    m_geometryConstants = constants;
    m_geometry = RestoredLayout(m_startup);
}

void CKALVEXDlg::OnSize(bool maximised, int cx, int cy) {
    if (!m_bInitialised || m_bClosing)
        return;
    ApplyGeometry(maximised ? MaximisedLayout(m_startup, m_geometryConstants, cx, cy)
                            : RestoredLayout(m_startup));
    // The back buffers keep their size; a stored item in the main view is no cine frame to
    // draw again.
    if (!IsStoredItemOnScreen())
        RedrawImages();
    ApplyGammaFromSlider();
    ReplaceScreen();
}

bool CKALVEXDlg::IsStoredItemOnScreen() const {
    return m_nRunState == kFrozen && (m_bStoredItemShown || m_controls.IsShown(IDC_PREVIEW));
}

// What a new size moves of the current screen: the left panel that is up spans the new
// height, and the cine buttons follow their rule. Applying the layout again would also empty
// the result labels, hide a stored item's controls and move the focus: the screen stays as
// it was.
void CKALVEXDlg::ReplaceScreen() {
    const std::pair<ISidePanel*, int> panels[] = {{m_ports.livePanel, IDC_LIVE_GRADATION},
                                                  {m_ports.stcPanel, IDC_STC_ANCHOR},
                                                  {m_ports.obPanel, IDC_OB_ANCHOR}};
    for (const auto& [panel, anchor] : panels) {
        if (panel->IsShown())
            ShowPanel(true, panel, anchor);
    }
    LayoutEnd(true);
}

void CKALVEXDlg::ApplyGeometry(const WindowLayout& l) {
    m_geometry = l;
    m_nEnlargement = l.enlargement;
    IMainViews& views = *m_ports.views;
    for (auto [code, rect] : {std::pair{kViewMain, l.main}, {kViewLeft, l.left}, {kViewRight, l.right}}) {
        CCstmPictureCtrl& v = View(code);
        // Back-buffer pixels per client pixel: what lands under the cursor is where the point goes.
        v.m_dViewScale = ViewScale(v.BackBuffer().width(), rect.Width());
        views.MoveView(code, rect);
    }
    m_ports.recorder->MoveSyncViewWindow();
    m_ports.livePanel->SetGradationRect(l.gradation);
    for (int k = 0; k < 16; ++k) {
        const int id = CMainControlModel::ResultLabelId(k);
        m_ports.controls->MoveControl(id, l.labels[static_cast<size_t>(k)]);
        m_ports.controls->SetResultLabelFont(id, l.largeLabelFont);
    }
    const std::pair<int, draw::Rect> moved[] = {{IDC_COUNTER, l.counter},
                                                {IDC_STATUS, l.status},
                                                {IDC_THUMBNAILS, l.list},
                                                {IDC_DELETE, l.del},
                                                {IDC_EXP_JPEG, l.expJpeg},
                                                {IDC_EXP_VIDEO, l.expVideo},
                                                {IDC_PRINT, l.print},
                                                {IDC_REVIEW_NEXT, l.reviewNext},
                                                {IDC_REVIEW_PREV, l.reviewPrev},
                                                {IDC_REVIEW_PLAY, l.reviewPlay},
                                                {IDC_REVIEW_STOP, l.reviewStop},
                                                {IDC_THUMB_CAPTION, l.thumbCaption},
                                                {IDC_CLOCK, l.clock},
                                                {IDC_REVIEW_TIME, l.reviewTime},
                                                {IDC_HEADER, l.header},
                                                {IDC_PREVIEW, l.preview},
                                                {IDC_CINE_PREV, l.cinePrev},
                                                {IDC_CINE_NEXT, l.cineNext}};
    for (const auto& [id, rect] : moved)
        m_ports.controls->MoveControl(id, rect);
    m_ports.rightPanel->MoveTo({l.rightPanel.left, l.rightPanel.top});
}

void CKALVEXDlg::OnMove() {
    if (g_pMainDlg.load() && !m_ports.livePanel->IsFreezeChecked())
        m_ports.recorder->MoveSyncViewWindow();
}

void CKALVEXDlg::ShowFingerView(bool show) {
    if (m_bPcMode)
        return;
    m_ports.loupe->ShowAtWindowCorner(show);
}

Colorref CKALVEXDlg::GetMeasureLabelColor(int label) const {
    if (m_nRunState != kFrozen)
        return m_crBack;
    const Colorref highlight = MeasureLabelHighlight(m_crBack);
    bool lit = false;
    if (m_nTool == kToolDistance) {
        if (m_nDisplayMode != kDisplayBM)
            lit = m_viewMain.m_nDistanceCount / 2 == label;
        else if (label < 4)
            lit = m_viewLeft.m_nDistanceCount / 2 == label;
        else
            lit = m_viewRight.m_nDistanceCount / 2 == (label - 4) / 3;
    } else if (m_nTool == kToolArea) {
        lit = m_viewMain.m_nTraceSlot % CCstmPictureCtrl::kTraceSlotCount == label;
    }
    return lit ? highlight : m_crBack;
}

CKALVEXDlg::CtlColours CKALVEXDlg::OnCtlColor(int controlId) const {
    CtlColours c{m_crText, m_crBack};
    if (controlId == IDC_STORE_CAPTION || controlId == IDC_MEASURE_CAPTION)
        c.text = Colorref::FromRgb(31, 117, 192);
    else if (controlId == IDC_PREVIEW)
        c.text = Colorref::FromRgb(192, 160, 31);
    int label = -1;
    for (int k = 0; k < 16; ++k) {
        if (CMainControlModel::ResultLabelId(k) == controlId)
            label = k;
    }
    if (label < 0)
        return c;
    const bool frozen = m_nRunState == kFrozen;
    if (!frozen || m_nTool == kToolNone || m_nTool == kToolObgy || m_nTool == kToolZoom)
        return {OverlayColour(0), m_crBack};
    if (m_nTool == kToolDistance) {
        if (label < 4)
            return {OverlayColour(label), GetMeasureLabelColor(label)};
        if (m_nDisplayMode == kDisplayBM)
            return {OverlayColour((label - 4) / 3), GetMeasureLabelColor(label)};
        return {OverlayColour(0), m_crBack};
    }
    // Area and ellipse: label g and labels 4 + 3g to 6 + 3g form group g.
    const int group = label < 4 ? label : (label - 4) / 3;
    return {OverlayColour(group), GetMeasureLabelColor(group)};
}
