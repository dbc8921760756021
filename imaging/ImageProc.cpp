#include "imaging/ImageProc.h"

#include <chrono>
#include <cstring>
#include <system_error>

#include "common/AppFolders.h"
#include "common/DebugLog.h"
#include "imaging/ImagingStrings.h"
#include "imaging/ProcessExit.h"
#include "platform/MessageBox.h"
#include "platform/StringUtil.h"
#include "platform/UiThread.h"
#include "probe/RawBuf.h"
#include "resources/StringTable.h"

namespace {
void ShowImagingError(int stringId) {
    platform::ShowMessageBox(resources::LoadString(stringId), GetProductName(), platform::MsgIcon::Error);
}
}  // namespace

CImageProc::CImageProc() {
    ResetGamma();
}

CImageProc::~CImageProc() {
    StopImageThread();
}

// ---------------------------------------------------------------- parameters

template <typename Edit>
void CImageProc::EditParams(const Edit& edit) {
    bool newPath = false;
    {
        std::lock_guard lock(paramMutex_);
        ImagingParams edited = shared_.frame.params;
        edit(edited);
        edited = SanitizeParams(edited, shared_.frame.params);
        newPath = edited.depth != shared_.frame.params.depth ||
                  edited.raw2Bitmap != shared_.frame.params.raw2Bitmap;
        shared_.frame.params = edited;
        ++shared_.version;
    }
    if (newPath)
        PrebuildTables();
}

void CImageProc::PrebuildTables() {
    // Only for the live processor: the review processor converts nothing.
    if (!IsImageThreadRunning())
        return;
    FrameSettings ahead;
    {
        std::lock_guard lock(paramMutex_);
        ahead.params = shared_.frame.params;
        ahead.geometry = shared_.frame.geometry;
    }
    converter_.Prebuild(ahead, ahead.params.depth);
}

ImagingParams CImageProc::GetParams() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.params;
}

void CImageProc::SetParams(const ImagingParams& params) {
    EditParams([&](ImagingParams& p) { p = params; });
}
void CImageProc::SetGain(int gain) {
    EditParams([&](ImagingParams& p) { p.gain = gain; });
}
void CImageProc::SetContrast(int contrast) {
    EditParams([&](ImagingParams& p) { p.contrast = contrast; });
}
void CImageProc::SetDepth(int depth) {
    EditParams([&](ImagingParams& p) { p.depth = depth; });
}
void CImageProc::SetFocus(int focus) {
    EditParams([&](ImagingParams& p) { p.focus = focus; });
}
void CImageProc::SetInvert(bool invert) {
    EditParams([&](ImagingParams& p) { p.invert = invert; });
}
void CImageProc::SetMLineAngle(double radians) {
    EditParams([&](ImagingParams& p) { p.mLineAngle = radians; });
}

int CImageProc::GetDepth() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.params.depth;
}

int CImageProc::GetFocus() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.params.focus;
}

void CImageProc::SetGamma(double gamma) {
    std::lock_guard lock(paramMutex_);
    if (gamma == shared_.frame.gammaValue)
        return;
    if (!BuildGammaTable(gamma, shared_.frame.gamma))
        return;
    shared_.frame.gammaValue = gamma;
    ++shared_.version;
}

void CImageProc::ResetGamma() {
    {
        std::lock_guard lock(paramMutex_);
        shared_.frame.gammaValue = 0.0;
    }
    SetGamma(1.0);
}

double CImageProc::GetGamma() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.gammaValue;
}

GammaTable CImageProc::GetGammaTable() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.gamma;
}

// ---------------------------------------------------------------- geometry

template <typename Apply>
void CImageProc::ApplyGeometry(const Apply& apply) {
    {
        std::lock_guard lock(paramMutex_);
        ScanGeometry& g = shared_.frame.geometry;
        apply(g);
        // A new probe starts with a flat STC curve until the main window builds its own.
        shared_.frame.stc.assign(static_cast<size_t>(std::max(g.samples, 0)), 0);
        shared_.stcScratch.assign(static_cast<size_t>(std::max(g.samples, 0)), 0);
        ++shared_.version;
    }
    PrebuildTables();
}

void CImageProc::SetProbeGeometry(const LinearProbeGeometry& record) {
    ApplyGeometry([&](ScanGeometry& g) { g.Apply(record); });
}
void CImageProc::SetProbeGeometry(const ConvexProbeGeometry& record) {
    ApplyGeometry([&](ScanGeometry& g) { g.Apply(record); });
}
void CImageProc::SetProbeGeometry(const ConvexProbeGeometryEx& record) {
    ApplyGeometry([&](ScanGeometry& g) { g.Apply(record); });
}

ScanGeometry CImageProc::GetGeometry() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.geometry;
}

int CImageProc::GetEffectiveRaw2Bitmap(int depth) const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.geometry.EffectiveRaw2Bitmap(shared_.frame.params.raw2Bitmap, depth);
}

double CImageProc::GetPixelScale(int depth) const {
    const ScanGeometry g = GetGeometry();
    return g.PixelScale(depth, GetEffectiveRaw2Bitmap(depth));
}

double CImageProc::GetUnitsPerPixel(int depth) const {
    return 1.0 / GetPixelScale(depth);
}

double CImageProc::GetTopOffset(int depth) const {
    const ScanGeometry g = GetGeometry();
    return g.TopOffset(depth, GetEffectiveRaw2Bitmap(depth));
}

int CImageProc::GetImageTop(int depth) const {
    const ScanGeometry g = GetGeometry();
    return g.ImageTop(depth, GetEffectiveRaw2Bitmap(depth));
}

double CImageProc::GetImageBottom(int depth) const {
    const ScanGeometry g = GetGeometry();
    return g.ImageBottom(depth, GetEffectiveRaw2Bitmap(depth));
}

void CImageProc::UpdateStcCurve(const StcKnots& knots) {
    std::lock_guard lock(paramMutex_);
    const ScanGeometry& g = shared_.frame.geometry;
    std::vector<int>& scratch = shared_.stcScratch;
    if (scratch.empty())
        return;
    const int samples = static_cast<int>(scratch.size());
    double seg = (samples - g.firstSample) / 10.0;
    if (g.spacingFlag) {
        const int depth = shared_.frame.params.depth;
        seg *=
            2.0 * (1.0 / g.PixelScale(depth, g.EffectiveRaw2Bitmap(shared_.frame.params.raw2Bitmap, depth)));
    }
    if (g.splineStc) {
        MakeGainCurve(g.firstSample, scratch.data(), samples, seg, knots);
    } else {
        MakeLinearStcCurve(g.firstSample, scratch.data(), samples, seg, knots);
    }
    shared_.frame.stc = scratch;
    ++shared_.version;
}

std::vector<int> CImageProc::GetStcCurve() const {
    std::lock_guard lock(paramMutex_);
    return shared_.frame.stc;
}

// ---------------------------------------------------------------- input queue and thread

void CImageProc::QueueRawBuffer(CRawBuf* buffer) {
    if (!buffer)
        return;
    {
        std::lock_guard lock(idleMutex_);
        ++inFlight_;
    }
    input_.AddTailLocked(buffer);
    frameReady_.Set();
}

size_t CImageProc::ClearInputQueue() {
    const size_t removed = input_.RemoveAllLocked();
    {
        std::lock_guard lock(idleMutex_);
        inFlight_ -= static_cast<int>(removed);
    }
    idleCv_.notify_all();
    return removed;
}

void CImageProc::FinishedOne() {
    {
        std::lock_guard lock(idleMutex_);
        --inFlight_;
    }
    idleCv_.notify_all();
}

void CImageProc::SetFrameNotify(std::function<void(int slot)> notify) {
    std::lock_guard lock(paramMutex_);
    notify_ = std::move(notify);
}

bool CImageProc::StartImageThread() {
    {
        std::lock_guard lock(idleMutex_);
        if (threadRunning_ || thread_.joinable())
            return false;
        stop_ = false;
        quit_.ResetEvent();  // a quit left over from an earlier stop
        try {
            thread_ = std::thread([this] { ImageThreadProc(this); });
        } catch (const std::system_error& e) {
            DebugLog("image thread: %s\n", e.what());
            return false;
        }
        threadRunning_ = true;  // the thread takes idleMutex_ before it can clear it
    }
    PrebuildTables();  // the first live frame does not wait for them
    return true;
}

void CImageProc::StopImageThread() {
    stop_ = true;
    quit_.Set();
    if (thread_.joinable())
        thread_.join();
}

bool CImageProc::IsImageThreadRunning() const {
    std::lock_guard lock(idleMutex_);
    return threadRunning_;
}

bool CImageProc::WaitIdle(uint32_t timeoutMs) {
    std::unique_lock lock(idleMutex_);
    auto idle = [this] { return inFlight_ <= 0 || !threadRunning_; };
    if (timeoutMs == platform::kInfinite) {
        idleCv_.wait(lock, idle);
        return true;
    }
    return idleCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), idle);
}

int ImageThreadProc(CImageProc* proc) {
    if (!proc)
        return 0;
    proc->Run();
    return 1;
}

void CImageProc::Run() {
    platform::Event* events[2] = {&frameReady_, &quit_};
    for (;;) {
        const int signalled = platform::WaitAny(events, 2, platform::kInfinite);
        if (signalled == 1)
            break;
        if (signalled == platform::kWaitTimeout) {
            if (stop_)
                break;
            continue;
        }
        while (CRawBuf* buffer = input_.RemoveHeadLocked()) {
            ProcessBuffer(buffer);
            FinishedOne();
        }
        if (stop_)
            break;
    }
    {
        std::lock_guard lock(idleMutex_);
        threadRunning_ = false;
    }
    idleCv_.notify_all();
}

void CImageProc::HandBack(CRawBuf* buffer, int state) {
    buffer->m_nState = state;
    PublishRawBuf(buffer);
}

const FrameSettings& CImageProc::RefreshThreadSettings() {
    std::lock_guard lock(paramMutex_);
    if (threadVersion_ != shared_.version) {
        threadSettings_ = shared_.frame;
        threadVersion_ = shared_.version;
    }
    return threadSettings_;
}

void CImageProc::ProcessBuffer(CRawBuf* buffer) {
    if (buffer->m_nState != RawBufComplete) {
        HandBack(buffer, RawBufDropped);
        return;
    }
    const int depth = buffer->m_nDepth;
    // A depth outside the probe's range would break the geometry (and hang the scale);
    // after a fatal cache error nothing more is converted.
    int** raw = nullptr;
    if (depth >= kMinFrameDepth && depth <= kMaxFrameDepth && buffer->IsUsable() && !fatal_) {
        raw = converter_.RawFrame(static_cast<int>(buffer->BytesPerLine()),
                                  static_cast<int>(buffer->LineCount()));
    }
    if (!raw) {
        DebugLog("frame refused: depth %d\n", depth);
        HandBack(buffer, RawBufConsumed);
        return;
    }
    const int lines = static_cast<int>(buffer->LineCount());
    const int samples = static_cast<int>(buffer->BytesPerLine());
    for (int l = 0; l < lines; ++l) {
        const uint8_t* in = buffer->Line(static_cast<uint32_t>(l));
        int* out = raw[l];
        for (int s = 0; s < samples; ++s)
            out[s] = in[s];
    }
    FrameRecord record;
    record.depth = depth;
    record.focus = buffer->m_nFocus;
    record.freq_mode = buffer->m_nFreqMode;
    record.temperature = buffer->m_fTemperature;
    // Back to the probe before any processing; the buffer is not touched again.
    HandBack(buffer, RawBufConsumed);

    record.time = platform::GetLocalTime();
    const FrameSettings& settings = RefreshThreadSettings();
    record.gain = settings.params.gain;
    record.contrast = settings.params.contrast;
    record.gamma = settings.gammaValue;
    DebugLog("RawToBitmap Start\n");
    const ConvertResult result = converter_.RawToBitmap(depth, cine_.CountAfterNextFrame(), settings, frame_);
    if (result.status == ConvertResult::Status::CacheOverflow) {
        fatal_ = true;
        ReportCacheOverflow(result.depth.CacheRowsNeeded());
        return;
    }
    DebugLog("RawToBitmap End\n");
    const int slot = cine_.Commit(frame_, record, result.mline, settings.params.mLineAngle, depth);

    std::function<void(int)> notify;
    {
        std::lock_guard lock(paramMutex_);
        notify = notify_;
    }
    if (notify) {
        ++framesNoticed_;
        notice_->newest = framesNoticed_ << 32 | static_cast<uint32_t>(slot);
        if (notice_->pending.exchange(true))
            return;  // the waiting notice will give this newer slot
        platform::PostToUi([notify, notice = notice_] {
            // Free before the slot is read: a frame that comes from here on posts its own
            // notice. That one finds this frame already given when no newer one came since.
            notice->pending = false;
            const uint64_t newest = notice->newest.load();
            if (newest == notice->delivered)
                return;
            notice->delivered = newest;
            notify(static_cast<int>(newest & 0xFFFFFFFFu));
        });
        DebugLog("PostMessage(%d)\n", slot);
    }
}

void CImageProc::ReportCacheOverflow(int rowsNeeded) {
    // Workers show no message boxes: the UI thread shows both and ends the process.
    platform::PostToUi([rowsNeeded] {
        ShowImagingError(IDS_IMG_RAWADDRCACHE_ERROR);
        platform::ShowMessageBox(
            resources::LoadString(IDS_IMG_ADDR_CACHE_YMAX) + platform::Format("%d", rowsNeeded),
            GetProductName());
        EndProcess(0);
    });
}

// ---------------------------------------------------------------- cine operations with messages

void CImageProc::SetFrameRecord(int index, const FrameRecord& record) {
    if (!cine_.SetFrameRecord(index, record))
        ShowImagingError(IDS_IMG_SIZE_ERROR);
}

void CImageProc::ClearReviewFrames() {
    cine_.ClearFrames();
}

void CImageProc::CopyFrameToReview(int index, const Image8& source) {
    switch (cine_.StoreFrame(index, source)) {
        case CineError::None:
            break;
        case CineError::Size:
            ShowImagingError(IDS_IMG_SIZE_ERROR);
            break;
        default:
            ShowImagingError(IDS_IMG_IDX_ERROR);
            break;
    }
}

void CImageProc::CopyFrameSlot(int frameIndex, int slot, SlotDirection direction, int side) {
    FrameRecord recalled;
    const CineError error = cine_.CopyFrameSlot(frameIndex, slot, direction, side, &recalled);
    if (error == CineError::FrameIndex) {
        ShowImagingError(IDS_IMG_BITMAP_IDX_ERROR);
    } else if (error == CineError::SlotIndex) {
        ShowImagingError(IDS_IMG_BITMAP_INFO_IDX_ERROR);
    } else if (direction == SlotDirection::Recall && frameIndex >= 0) {
        // A ring frame brought back from a slot takes the processor to its depth and focus.
        EditParams([&](ImagingParams& p) {
            p.depth = recalled.depth;
            p.focus = recalled.focus;
        });
    }
}

void CImageProc::CopyFrameToSpecialSlot(int frameIndex, int special) {
    // The views' "no frame" indices.
    if (frameIndex == -1 || frameIndex == -2 || frameIndex == -3 || frameIndex == kSpecialFrameA ||
        frameIndex == kSpecialFrameB) {
        return;
    }
    const CineError error = cine_.CopyFrameToSpecialSlot(frameIndex, special);
    if (error == CineError::FrameIndex) {
        ShowImagingError(IDS_IMG_BITMAP_IDX_ERROR);
    } else if (error == CineError::SlotIndex) {
        ShowImagingError(IDS_IMG_BITMAP_INFO_IDX_ERROR);
    }
}
