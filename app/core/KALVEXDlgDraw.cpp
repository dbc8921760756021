// Frame drawing and the cine position: cine frames into the views' back buffers with the
// depth scale, body mark, measurement overlays, the BB frame and indicators and the M-line.
// Frames are read under the cine's lock straight into the back buffers; nothing is
// allocated per frame.
#include <algorithm>
#include <cmath>

#include "app/core/DepthMath.h"
#include "app/core/KALVEXDlg.h"
#include "imaging/ScanGeometry.h"
#include "platform/Clock.h"
#include "platform/StringUtil.h"
#include "platform/draw/Raster.h"

using namespace maindlg;

namespace {

constexpr uint32_t kActiveFrame = MakePixel(0, 255, 0);
constexpr uint32_t kMLineColour = MakePixel(128, 0, 0);

// Copies a frame's grey pixels into a back buffer, from column `fromX` of the frame on.
bool CopyFrameInto(const CCineRing& cine, int index, Image32& dst, int fromX) {
    return cine.VisitFrame(index, [&](const Image8& frame, const FrameRecord&) {
        const int rows = std::min(frame.height(), dst.height());
        const int cols = std::min(frame.width() - fromX, dst.width());
        for (int y = 0; y < rows; ++y) {
            const uint8_t* src = frame.Row(y) + fromX;
            uint32_t* out = dst.Row(y);
            for (int x = 0; x < cols; ++x)
                out[x] = GreyPixel(src[x]);
        }
    });
}

bool IsSlot(int index) {
    return index >= 0 && index < kCineFrames;
}

}  // namespace

void CKALVEXDlg::RefreshCounter(int position, int total) {
    m_controls.SetText(IDC_COUNTER, platform::Format("%3d / %3d", position, total));
    m_controls.Repaint(IDC_COUNTER, false);
}

void CKALVEXDlg::FeedLoupe() {
    if (m_ports.loupe->IsShown())
        m_ports.loupe->FollowCursor();
}

void CKALVEXDlg::DrawFrame(int index, bool activeSide) {
    CImageProc* proc = Live();
    if (index == -1 || index == -2) {
        const int n = std::min(proc ? proc->GetFrameCount() : 0, kCineFrames);
        RefreshCounter(n, index == -1 ? kCineFrames : n);
        return;
    }
    if (!proc)
        return;
    const bool frozen = m_nRunState == kFrozen;
    if (index == -3) {
        // Live, the right view already holds the strip the tick is drawing; the one kept at the
        // last freeze belongs to the frozen screen only.
        if (frozen) {
            Image32& right = m_viewRight.BackBuffer();
            if (right.width() == m_aMModeStrip->width() && right.height() == m_aMModeStrip->height())
                right = *m_aMModeStrip;
            m_viewRight.DrawDistanceMarks(right);
        }
        // Redraw the B half from its frame, so its overlays are drawn once and not over themselves.
        index = proc->Cine().GetCurrentIndex();
    }
    const bool single = m_nDisplayMode == kDisplayB || m_nTool == kToolObgy;
    if (single)
        DrawSingle(index);
    else if (m_nDisplayMode == kDisplayBB)
        DrawBbHalf(index, activeSide);
    else
        DrawBmHalf(index);
    FeedLoupe();
    m_ports.recorder->OnFrameDrawn();
}

void CKALVEXDlg::DrawSingle(int index) {
    CImageProc* proc = Live();
    Image32& buffer = m_viewMain.BackBuffer();
    const bool stillShown = m_nTool == kToolObgy && m_nObSelectedImage != -1;
    // In OB/GY the selected still is the image, in place of the cine frame.
    if (const Image32* still = stillShown ? m_ports.obStills->StillBitmap(m_nObSelectedImage) : nullptr)
        buffer.CopyTopLeftFrom(*still);
    else
        CopyFrameInto(proc->Cine(), index, buffer, 0);
    if (!stillShown) {
        const int focus = proc->GetFocus();
        m_viewMain.DrawDepthScale(buffer, focus > 0 ? focus : -1, proc->GetPixelScale(proc->GetDepth()));
    }
    if (m_nRunState == kFrozen) {
        m_viewMain.DrawBodyMark(buffer);
        if (m_nTool == kToolObgy || (m_nTool == kToolNone && IsPreviewShown())) {
            m_viewMain.DrawObgyOverlays(buffer);
            m_ports.measurement->DrawObgyResults(buffer);
        } else if (m_nTool != kToolNone) {
            m_viewMain.DrawDistanceMarks(buffer);
            m_viewMain.DrawTraces(buffer);
            m_viewMain.DrawEllipses(buffer, 0);
        }
    }
    m_ports.views->RepaintView(kViewMain);
}

// Draws a frame into one BB half. `special` is the special frame a ring slot is copied into.
void CKALVEXDlg::DrawBbInto(int index, bool left, int special, bool activeDrawn) {
    CImageProc* proc = Live();
    CCineRing& cine = proc->Cine();
    if (IsSlot(index))
        proc->CopyFrameToSpecialSlot(index, special);
    CCstmPictureCtrl& view = left ? m_viewLeft : m_viewRight;
    Image32& buffer = view.BackBuffer();
    CopyFrameInto(cine, index, buffer, kImageSize / 4);
    const int own = left ? 0 : 1;
    const int focus = cine.GetSpecialFocus(own);
    view.DrawDepthScale(buffer, focus > 0 ? focus : -1, proc->GetPixelScale(cine.GetSpecialDepth(own)));
    const bool frozen = m_nRunState == kFrozen;
    if (frozen) {
        if (left)
            view.DrawBodyMark(buffer);
        view.DrawDistanceMarks(buffer);
        view.DrawTraces(buffer);
        view.DrawEllipses(buffer, left ? 0 : 2);
    }
    if (activeDrawn) {
        draw::DrawRectangle(buffer, {0, 0, buffer.width(), buffer.height()}, draw::Pen{kActiveFrame, 1},
                            draw::Brush{});
        if (!m_bPcMode)
            view.DrawActiveIndicator(buffer, left, true);
    } else if (!m_bPcMode) {
        view.DrawActiveIndicator(buffer, left, false);
    }
    const int d0 = cine.GetSpecialDepth(0);
    const int d1 = cine.GetSpecialDepth(1);
    if (frozen && d0 == d1) {
        // Both halves at one depth: one merged 480-pixel image in the main view. Each half
        // already holds its depth scale from its own draw; drawing it again would blend the
        // labels over themselves.
        Image32& main = m_viewMain.BackBuffer();
        for (int y = 0; y < main.height(); ++y) {
            const Image32& l = m_viewLeft.BackBuffer();
            const Image32& r = m_viewRight.BackBuffer();
            std::copy_n(l.Row(y), std::min(l.width(), 240), main.Row(y));
            std::copy_n(r.Row(y), std::min(r.width(), 240), main.Row(y) + 240);
        }
        m_viewMain.DrawDistanceMarks(main);
        m_viewMain.DrawTraces(main);
        m_viewMain.DrawEllipses(main, 0);
        ShowViewWindow(kViewMain, true);
        ShowViewWindow(kViewLeft, false);
        ShowViewWindow(kViewRight, false);
        m_ports.views->RepaintView(kViewMain);
    } else {
        ShowViewWindow(kViewMain, false);
        ShowViewWindow(kViewLeft, true);
        ShowViewWindow(kViewRight, true);
    }
    m_ports.views->RepaintView(kViewLeft);
    m_ports.views->RepaintView(kViewRight);
}

void CKALVEXDlg::DrawBbHalf(int index, bool activeSide) {
    bool left = true;
    int special = 0;
    bool activeDrawn = false;
    switch (m_nBbSide) {
        case 0:
        case -2:
            m_nBbSide = 2;
            break;
        case -1:
            left = false;
            special = 1;
            m_nBbSide = 1;
            break;
        case 1:
            left = activeSide;
            activeDrawn = activeSide;
            break;
        case 2:
        default:
            left = !activeSide;
            special = 1;
            activeDrawn = activeSide;
            break;
    }
    DrawBbInto(index, left, special, activeDrawn);
}

void CKALVEXDlg::DrawBmHalf(int index) {
    CImageProc* proc = Live();
    CCineRing& cine = proc->Cine();
    if (IsSlot(index)) {
        proc->CopyFrameToSpecialSlot(index, 0);
        cine.SetSpecialDepthFocus(1, cine.GetSpecialDepth(0), cine.GetSpecialFocus(0));
    }
    Image32& buffer = m_viewLeft.BackBuffer();
    CopyFrameInto(cine, index, buffer, kImageSize / 4);
    const int depth = proc->GetDepth();
    const int focus = proc->GetFocus();
    m_viewLeft.DrawDepthScale(buffer, focus > 0 ? focus : -1, proc->GetPixelScale(depth));
    if (m_nRunState == kFrozen) {
        m_viewLeft.DrawBodyMark(buffer);
        m_viewLeft.DrawDistanceMarks(buffer);
        m_viewLeft.DrawTraces(buffer);
        m_viewLeft.DrawEllipses(buffer, 0);
    }
    DrawMLine(buffer);
    m_ports.views->RepaintView(kViewLeft);
    m_ports.views->RepaintView(kViewRight);
}

void CKALVEXDlg::DrawMLine(Image32& buffer) {
    CImageProc* proc = Live();
    const int depth = proc->GetDepth();
    const double theta = proc->GetParams().mLineAngle;
    const double t = proc->GetTopOffset(depth);
    const int top = proc->GetImageTop(depth);
    const double b = proc->GetImageBottom(depth);
    auto at = [&](double r) {
        return draw::Point{TruncToInt(r * std::cos(theta) + 120 + 0.5),
                           TruncToInt(0.5 - (r * std::sin(theta) + top))};
    };
    draw::DrawLine(buffer, at(t), at(b), draw::Pen{kMLineColour, 1});
}

void CKALVEXDlg::DrawView(int viewNumber) {
    CImageProc* proc = Live();
    if (!proc)
        return;
    if (m_nDisplayMode == kDisplayB)
        DrawFrame(proc->Cine().GetCurrentIndex(), true);
    else if (viewNumber == kViewLeft)
        DrawFrame(kSpecialFrameA, m_nBbSide == 1);
    else
        DrawFrame(kSpecialFrameB, m_nBbSide == 2);
}

void CKALVEXDlg::RedrawImages() {
    CImageProc* proc = Live();
    if (!proc)
        return;
    if (m_nDisplayMode == kDisplayBB && m_nTool != kToolObgy) {
        if (m_nBbSide <= 0) {
            // A side switch is pending: each half keeps its own frame and the switch waits for
            // the next live frame.
            DrawBbInto(kSpecialFrameA, true, 0, false);
            DrawBbInto(kSpecialFrameB, false, 1, false);
            return;
        }
        DrawFrame(m_nBbSide == 1 ? kSpecialFrameA : kSpecialFrameB, true);
        DrawFrame(m_nBbSide == 1 ? kSpecialFrameB : kSpecialFrameA, false);
        return;
    }
    // In BM the strip's draw redraws the B half from the current frame as well.
    DrawFrame(m_nDisplayMode == kDisplayBM ? -3 : proc->Cine().GetCurrentIndex(), true);
}

void CKALVEXDlg::SelectCineFrame() {
    CImageProc* proc = Live();
    if (!proc)
        return;
    CCineRing& cine = proc->Cine();
    const bool frozen = m_nRunState == kFrozen;
    const bool merged = m_nDisplayMode == kDisplayBB && cine.GetSpecialDepth(0) == cine.GetSpecialDepth(1);
    if (frozen && m_nTool == kToolObgy) {
        if (m_nDisplayMode == kDisplayB || merged) {
            m_ports.measurement->ResetObMeasureResults(kViewMain);
            m_ports.measurement->UpdateObMeasureHighlight(kViewMain);
        } else {
            for (int v : {kViewLeft, kViewRight}) {
                m_ports.measurement->ResetObMeasureResults(v);
                m_ports.measurement->UpdateObMeasureHighlight(v);
            }
        }
    }
    const int depthBefore = proc->GetDepth();
    const int special0Before = cine.GetSpecialDepth(0);
    const int special1Before = cine.GetSpecialDepth(1);
    const int current = cine.GetCurrentIndex();
    if (const std::optional<FrameRecord> record = cine.GetFrameRecord(current)) {
        proc->SetDepth(record->depth);
        proc->SetFocus(record->focus);
        if (m_nDisplayMode == kDisplayBB)
            cine.SetSpecialDepthFocus(m_nBbSide == 2 ? 1 : 0, record->depth, record->focus);
        SyncStcSliders();
        UpdateStcCurve();
        IRightPanel& right = *m_ports.rightPanel;
        right.SetSliderPos(IDC_R_DEPTH, record->depth);
        const int pos = right.GetSliderPos(IDC_R_DEPTH);
        right.SetValueText(IDC_R_DEPTH,
                           platform::Format("%d", DepthFromPixelScale(proc->GetPixelScale(pos))));
    }
    RefreshCounter(proc->GetCinePosition(), std::min(proc->GetFrameCount(), kCineFrames));
    if (frozen && m_nTool == kToolObgy) {
        if (m_nDisplayMode == kDisplayB) {
            m_ports.measurement->SetOverlayFlags(kViewMain);
        } else if (m_nBbSide == 1) {
            DrawFrame(kSpecialFrameB, false);
            m_ports.measurement->SetOverlayFlags(kViewLeft);
        } else {
            DrawFrame(kSpecialFrameA, false);
            m_ports.measurement->SetOverlayFlags(kViewRight);
        }
    }
    if (frozen && m_nTool >= kToolDistance && m_nTool <= kToolEllipse) {
        const bool changed = m_nDisplayMode == kDisplayBB ? (cine.GetSpecialDepth(0) != special0Before ||
                                                             cine.GetSpecialDepth(1) != special1Before)
                                                          : proc->GetDepth() != depthBefore;
        if (changed) {
            for (CCstmPictureCtrl* view : {&m_viewMain, &m_viewLeft, &m_viewRight})
                view->ClearDistanceMarks();
            for (int id : kResultLabels) {
                m_controls.SetText(id, "");
                m_controls.Repaint(id, true);
            }
            if (m_nDisplayMode == kDisplayBB)
                DrawFrame(m_nBbSide == 1 ? kSpecialFrameB : kSpecialFrameA, false);
        }
    }
    if (frozen && m_nDisplayMode == kDisplayB && m_nTool == kToolZoom) {
        const int label = kResultLabels[0];
        if (m_viewMain.m_dZoom != 1.0) {
            m_controls.SetText(label, platform::Format("Zoom: %1.1f", m_viewMain.m_dZoom));
            m_controls.Show(label, true);
        } else {
            m_controls.Show(label, false);
        }
    }
    DrawFrame(current, true);
}

void CKALVEXDlg::ShowCinePosition(bool enableButtons) {
    CImageProc* proc = Live();
    m_nDisplayMode = kDisplayB;
    m_nObSelectedImage = -1;
    m_controls.Show(IDC_PREVIEW, false);
    m_controls.Show(IDC_REVIEW_TIME, false);
    m_controls.Show(IDC_CLOCK, true);
    const int count = proc ? std::min(proc->GetFrameCount(), kCineFrames) : 0;
    if (count == 0)
        m_controls.SetText(IDC_COUNTER, platform::Format("%3d / %3d", 0, kCineFrames));
    else
        m_controls.SetText(IDC_COUNTER, platform::Format("%3d / %3d", proc->GetCinePosition(), count));
    m_controls.Show(IDC_COUNTER, true);
    if (m_nScreenLayout != 0)
        m_nScreenLayout = 5;
    m_nObSelItem = 0;
    SetScreenLayout(m_nScreenLayout, 0, true);
    EnableStoreMeasureButtons(enableButtons);
    if (proc)
        DrawFrame(proc->Cine().GetCurrentIndex(), true);
}

void CKALVEXDlg::OnNewFrame(int* data) {
    CImageProc* proc = Live();
    if (!m_bActive || !data || !proc)
        return;
    DrawFrame(*data, true);
    if ((m_bShowFps || m_bShowTemperature) && !m_bProbeGone) {
        std::string text;
        if (m_bShowFps) {
            double rate = 0.0;
            CIntervalWindow& w = m_timingWindow;
            if (w.m_nSize >= 1) {
                const auto now = static_cast<uint32_t>(platform::Clock().MonotonicMicros() / 1000);
                const auto dt = static_cast<int32_t>(now - w.m_dwPrevTime);
                const bool first = w.m_dwPrevTime == 0;
                w.m_dwPrevTime = now;
                if (!first) {
                    if (!w.m_lstIntervals.empty()) {
                        w.m_dSum -= w.m_lstIntervals.front();
                        w.m_lstIntervals.pop_front();
                    }
                    w.m_lstIntervals.push_back(dt);
                    w.m_dSum += dt;
                    if (w.m_nCount < w.m_nSize)
                        ++w.m_nCount;
                    const double mean = w.m_dSum / w.m_nCount;
                    rate = mean == 0.0 ? 0.0 : 1000.0 / mean;
                }
            }
            text = platform::Format("%.1lf FPS", rate);
        }
        if (m_bShowFps && m_bShowTemperature)
            text += "\t";
        if (m_bShowTemperature) {
            const std::optional<FrameRecord> record = proc->GetFrameRecord(*data);
            text += platform::Format(
                "%.1f \xC2\xB0"
                "C",
                record ? static_cast<double>(record->temperature) : 0.0);
        }
        m_controls.SetText(IDC_STATUS, text);
        m_controls.Repaint(IDC_STATUS, false);
    }
    // Frozen, the counter shows the total over itself (a frame still queued at the freeze).
    if (m_nRunState == kFrozen)
        DrawFrame(-2, true);
    else
        RefreshCounter(std::min(proc->GetFrameCount(), kCineFrames), kCineFrames);
}

void CKALVEXDlg::SelectMeasureSlot(int n) {
    if (m_nTool == kToolDistance) {
        if (m_nDisplayMode == kDisplayB) {
            m_viewMain.m_nDistanceCount = 2 * n;
        } else if (m_nDisplayMode == kDisplayBB) {
            m_viewLeft.m_nDistanceCount = 2 * n;
            m_viewMain.m_nDistanceCount = 2 * n;
        } else if (n < 4) {
            m_viewLeft.m_nDistanceCount = 2 * n;
        } else {
            m_viewRight.m_nDistanceCount = 2 * ((n - 4) / 3);
        }
        for (int id : kResultLabels)
            m_controls.Repaint(id, true);
    } else if (m_nTool == kToolArea) {
        bool any = false;
        std::array<bool, 3> cleared{};
        const int codes[3] = {kViewMain, kViewLeft, kViewRight};
        for (int i = 0; i < 3; ++i)
            any |= cleared[static_cast<size_t>(i)] = m_ports.measurement->ClearUnfinishedMeasures(codes[i]);
        if (any) {
            RedrawImages();
            for (int i = 0; i < 3; ++i) {
                if (cleared[static_cast<size_t>(i)])
                    m_ports.measurement->SetOverlayFlags(codes[i]);
            }
        }
        m_viewMain.m_nTraceSlot = n / 2;
        for (int k = 0; k < 8; ++k)
            m_controls.Repaint(kResultLabels[static_cast<size_t>(k)], true);
    }
}

void CKALVEXDlg::ClearMModeSweep() {
    // The columns swept so far go with their depth: an empty strip has no scale.
    m_viewRight.BackBuffer().Fill(0);
    m_nMStripDepth = -1;
    m_nMColumnsThisSecond = -1;
    m_nMColumnsPerSecond = -1;
    m_nMSweepColumn = 0;
    if (CImageProc* proc = Live())
        proc->m_nMSettleCountdown = 10;
}
