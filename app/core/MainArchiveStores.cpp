// The still and cine stores of the main window, and the OB/GY report image.
#include <algorithm>

#include "app/core/CoreStrings.h"
#include "app/core/DepthMath.h"
#include "app/core/ImageAreaRender.h"
#include "app/core/KALVEXDlg.h"
#include "app/core/MainArchive.h"
#include "archive/CineSource.h"
#include "archive/CineStore.h"
#include "archive/StillStore.h"
#include "common/SupportUtil.h"
#include "platform/AtomicFile.h"
#include "platform/BmpCodec.h"
#include "probe/ProbeIdentityText.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

archive::StoreIdentity IdentityOf(const CKALVEXDlg& d) {
    archive::StoreIdentity who;
    who.patientId = d.m_strPatientId;
    who.probeType = d.m_nProbeType;
    who.hwInfo = FormatHardwareId(static_cast<uint32_t>(d.m_anProbeIdentity[0]),
                                  static_cast<uint32_t>(d.m_anProbeIdentity[1]),
                                  static_cast<uint32_t>(d.m_anProbeIdentity[2]));
    who.appVersion = d.m_strAppVersion;
    return who;
}

}  // namespace

bool CMainArchive::StoreImage(bool print) {
    // Printing renders the same picture; the print job itself belongs to the printing port.
    if (!dlg_ || print)
        return false;
    SyncExam();
    CKALVEXDlg& d = *dlg_;
    const Image32 rendered = mainarchive::RenderStill(d);
    FrameRecord shown{};
    if (CImageProc* live = d.Live()) {
        if (auto record = live->GetFrameRecord(live->Cine().GetCurrentIndex()))
            shown = *record;
    }
    archive::StillStoreResult result;
    const bool stored = archive::StoreStill(IdentityOf(d), rendered, shown, exam_, &result);
    d.m_strExamStamp = exam_.examStamp;
    if (stored)
        NoteStillHalves(result.imagePath, shown.depth);
    return stored;
}

void CMainArchive::NoteStillHalves(const std::string& imagePath, int shownDepth) {
    const int index = exam_.FindStill(imagePath);
    const int split = mainarchive::HalvesSplitColumn(*dlg_);
    if (index < 0 || split <= 0)
        return;
    archive::ExamStill& still = exam_.stills[static_cast<size_t>(index)];
    still.splitColumn = split;
    if (dlg_->m_nDisplayMode == kDisplayBM) {
        // The B image at the shown frame's depth; across the strip runs time, not length.
        still.halfDepth[0] = shownDepth;
        still.halfDepth[1] = -1;
    } else if (const CImageProc* live = dlg_->Live()) {
        still.halfDepth[0] = live->Cine().GetSpecialDepth(0);
        still.halfDepth[1] = live->Cine().GetSpecialDepth(1);
    }
}

bool CMainArchive::RenderReportImage(const std::string& path) {
    if (!dlg_)
        return false;
    return platform::WriteFileAtomic(path, platform::EncodeBmp32(mainarchive::RenderReport(*dlg_)));
}

bool CMainArchive::StoreCine() {
    if (!dlg_ || !dlg_->Live())
        return false;
    SyncExam();
    CKALVEXDlg& d = *dlg_;
    CImageProc& live = *d.Live();
    const archive::CineRingSource source(live.Cine());

    archive::CineStoreHooks hooks;
    hooks.drawOverlay = [&d, &live](Image32& layer, int depthMm, int focusMark) {
        // The scale of the frame's own depth, labelled as the live view labels that depth.
        CCstmPictureCtrl& view = d.m_viewMain;
        const int labelInterval = view.m_nLabelInterval;
        const double scale = live.GetPixelScale(depthMm);
        view.m_nLabelInterval = DepthFromPixelScale(scale) > 50 ? 5 : 1;
        view.DrawDepthScale(layer, focusMark, scale);
        view.DrawBodyMark(layer);
        view.m_nLabelInterval = labelInterval;
    };
    bool progressShown = false;
    hooks.progress = [&](int done, int total) {
        if (progress_) {
            if (!progressShown) {
                progress_->Begin(total, resources::LoadString(kStrCineStoreProgress));
                progressShown = true;
            }
            progress_->Update(done);
        }
        // Painting, the progress window's Cancel and Esc get their turn between frames.
        if (pumpDuringStore)
            PumpWaitingMessages();
    };
    hooks.cancelRequested = [&]() { return d.m_bCancelRequested || (progress_ && progress_->Cancelled()); };

    d.m_ports.window->SetWaitCursor(true);
    d.m_bCineStoreRunning = true;
    d.m_bCancelRequested = false;
    const bool stored = archive::StoreCine(IdentityOf(d), source, exam_, hooks);
    if (progress_ && progressShown)
        progress_->End();
    d.m_bCineStoreRunning = false;
    d.m_ports.window->SetWaitCursor(false);
    d.m_strExamStamp = exam_.examStamp;
    return stored;
}
