// The user messages, the window timers and the periodic tick: probe watchdog, clock,
// automatic stop, the recording limit and the M-mode strip. All on the UI thread: the frame
// runs the tick and the window timers as timers of its event loop.
#include <algorithm>
#include <cstring>

#include "app/core/CoreStrings.h"
#include "app/core/KALVEXDlg.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/DebugLog.h"
#include "common/SupportUtil.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "platform/UiThread.h"
#include "resources/StringTable.h"

using namespace maindlg;

namespace {

constexpr double kWatchdogMicros = 2'000'000.0;
constexpr int64_t kRecordLimitMicros = 30'000'000;
constexpr uint32_t kEraseBar = 0x3C0000;
constexpr uint32_t kTimeMarkGreen = 0x00C800;

}  // namespace

void CKALVEXDlg::PostUserMessage(int message) {
    platform::PostToUi([handle = m_handle, message] {
        CKALVEXDlg* dlg = handle->Get();
        if (!dlg)
            return;
        switch (message) {
            case WM_PROBE_STOP:
                dlg->OnOrvProbeStop();
                break;
            default:
                break;
        }
    });
}

void CKALVEXDlg::OnOrvProbeData(int slot) {
    DebugLog("OnOrvProbeData(%d)\n", slot);
    ExecCommand(kCmdNewFrame, &slot);
}

void CKALVEXDlg::OnOrvProbeStop() {
    DebugLog("OnOrvProbeStop(%d)\n", 0);
    if (m_nRunState == kLive)
        ExecCommand(kCmdFreeze);
    platform::ShowMessageBox(platform::Format(resources::LoadString(kStrAutoStop).c_str(), m_nAutoStopTime),
                             GetProductName(), platform::MsgIcon::Information);
}

void CKALVEXDlg::OnRecordLimit() {
    ExecCommand(kCmdPrintRecord);
}

void CKALVEXDlg::OnTickTimer() {
    ExecCommand(kCmdTick);
}

void CKALVEXDlg::OnTimer(int id) {
    if (m_bClosing)
        return;
    switch (id) {
        case kTimerHeldButton:
            ++m_nHeldTicks;
            if (m_nHeldTicks > 5) {
                if (m_nHeldPicButton == 1)
                    m_ports.review->OnBnClickedPrev();
                else if (m_nHeldPicButton == 2)
                    m_ports.review->OnBnClickedNext();
            }
            break;
        case kTimerRestoreButton:
            if (m_nHeldPicButton == 0 && (m_nPicButtonToRestore == 1 || m_nPicButtonToRestore == 2))
                m_controls.Repaint(m_nPicButtonToRestore == 1 ? IDC_REVIEW_PREV : IDC_REVIEW_NEXT, true);
            m_nPicButtonToRestore = 0;
            m_ports.timers->KillTimer(kTimerRestoreButton);
            break;
        default:
            m_ports.review->PlaybackStep();
            ExecCommand(kCmdTick);
            break;
    }
}

void CKALVEXDlg::OnTick() {
    ++m_nTickCounter;
    CImageProc* proc = Live();
    IProbeData* probe = g_pProbe.load();

    const double now = GetElapsedMicroseconds();
    if (probe && m_nRunState == kLive && now > probe->GetLastReceiveTime() + kWatchdogMicros) {
        if (probe->GetScanState() == ProbeScanStopRequested)
            probe->StopStreaming();
        else
            probe->SetLastReceiveTime(now);
    }
    if (probe && m_nRunState == kLive && probe->IsDeviceLost()) {
        OnProbeGone();
        return;
    }

    const int64_t utc = platform::Clock().UtcMicros();
    const platform::SystemTime local = platform::MicrosToLocal(utc);
    const bool secondChanged = local.wSecond != m_nLastClockSecond;
    if (secondChanged) {
        const int64_t seconds = utc >= 0 ? utc / 1'000'000 : -((-utc + 999'999) / 1'000'000);
        m_controls.SetText(IDC_CLOCK, CCommonUtil::GetDateFormatter().FormatTime(seconds, true));
        m_controls.Repaint(IDC_CLOCK, false);
        m_nLastClockSecond = local.wSecond;
        if (m_nRunState == kLive) {
            ++m_nLiveSeconds;
            // One stop per live run: the freeze's own wait must not see a second message.
            if (m_nAutoStopTime != 0 && m_nLiveSeconds > m_nAutoStopTime && !m_bStopPosted) {
                m_bStopPosted = true;
                PostUserMessage(WM_PROBE_STOP);
            }
        }
    }

    // The recording's time; its 30-second limit stands on the writer's own clock, which ends
    // the recording however late this tick comes.
    IRecorder& recorder = *m_ports.recorder;
    if (m_bSyncView && m_nTickCounter % 50 == 0 && recorder.Exists() && recorder.State() == 1 &&
        recorder.StartMicros() != 0) {
        const int64_t elapsed = std::clamp<int64_t>(platform::Clock().UtcMicros() - recorder.StartMicros(), 0,
                                                    kRecordLimitMicros);
        const int64_t secs = elapsed / 1'000'000;
        m_ports.livePanel->SetRecTimeText(
            platform::Format("%02d:%02d", static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60)));
    }

    // The strip restarts after ten silent ticks: a tick that finds the countdown running draws nothing.
    const bool settling = proc && proc->m_nMSettleCountdown.load() != 0;
    if (settling)
        proc->m_nMSettleCountdown = proc->m_nMSettleCountdown.load() - 1;
    else
        DrawMColumn(secondChanged);
}

void CKALVEXDlg::DrawMColumn(bool secondChanged) {
    CImageProc* proc = Live();
    if (m_nRunState != kLive || m_nDisplayMode != kDisplayBM || !proc ||
        proc->m_nMSettleCountdown.load() != 0)
        return;
    const MLineRecord mline = proc->Cine().GetMLine();
    const ImagingParams params = proc->GetParams();
    if (mline.depthUsed != params.depth || mline.angleUsed != params.mLineAngle)
        return;
    Image32& strip = m_viewRight.BackBuffer();
    const int width = strip.width();
    const int height = strip.height();
    if (width <= 0 || height <= 0)
        return;
    const bool scroll = proc->m_bMScroll.load();
    int x = 0;
    if (scroll) {
        for (int y = 0; y < height; ++y) {
            uint32_t* row = strip.Row(y);
            std::memmove(row + 1, row, static_cast<size_t>(width - 1) * sizeof(uint32_t));
        }
    } else {
        x = std::clamp(m_nMSweepColumn, 0, width - 1);
    }
    auto eraseAhead = [&](int y) {
        if (scroll)
            return;
        for (int k = 1; k <= 4; ++k)
            strip.At((x + k) % width, y) = kEraseBar;
    };
    const int top = mline.firstRow;
    for (int i = 0; i < static_cast<int>(mline.column.size()); ++i) {
        const int y = top + i;
        if (y < 0 || y >= height)
            continue;
        const uint8_t g = mline.column[static_cast<size_t>(i)];
        strip.At(x, y) = secondChanged && i % 3 == 0 ? ((uint32_t{g} << 16) | 0xC800u | g) : GreyPixel(g);
        eraseAhead(y);
    }
    ++m_nMColumnsThisSecond;
    m_nMStripDepth = mline.depthUsed;
    // Above the image the strip shows the window's background: a colour value, converted to a pixel.
    const uint32_t back = m_crBack.ToPixel();
    for (int y = 0; y < std::min(top, height); ++y) {
        strip.At(x, y) = secondChanged && y % 3 == 0 ? kTimeMarkGreen : back;
        eraseAhead(y);
    }
    if (secondChanged) {
        if (m_nMColumnsPerSecond == -1) {
            m_nMColumnsThisSecond = 0;
            m_nMColumnsPerSecond = 0;
        } else {
            m_nMColumnsPerSecond = m_nMColumnsThisSecond;
            m_nMColumnsThisSecond = 0;
        }
    }
    if (!scroll)
        m_nMSweepColumn = m_nMSweepColumn >= width - 1 ? 0 : m_nMSweepColumn + 1;
}
