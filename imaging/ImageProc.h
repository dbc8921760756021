// The image processor: the parameter block of imaging, the input queue of complete raw
// frame buffers, the image thread that turns them into cine frames, and the cine itself.
// Two live for the whole run: the live processor (fed by the probe, served by its image
// thread) and the review processor (no thread; holds stored cines for review).
//
// Threads: the user-interface thread sets parameters through the setters (under a lock);
// the image thread takes one snapshot of them per frame. The image thread converts into a
// private image and commits it to the cine in one locked step; readers take the cine's lock
// per frame. The frame notice reaches the owner on the UI thread through platform::PostToUi.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "imaging/CineRing.h"
#include "imaging/FrameConverter.h"
#include "imaging/ProbeGeometry.h"
#include "imaging/StcCurve.h"
#include "platform/Event.h"
#include "probe/RcvQueue.h"

class CRawBuf;

class CImageProc {
public:
    CImageProc();
    ~CImageProc();  // ends the image thread first when it runs
    CImageProc(const CImageProc&) = delete;
    CImageProc& operator=(const CImageProc&) = delete;

    // --- imaging parameters (any thread)
    ImagingParams GetParams() const;
    // Values that would break the arithmetic are refused or brought into range (SanitizeParams).
    void SetParams(const ImagingParams& params);
    void SetGain(int gain);
    void SetContrast(int contrast);
    void SetDepth(int depth);
    void SetFocus(int focus);
    void SetInvert(bool invert);
    void SetMLineAngle(double radians);
    int GetDepth() const;
    int GetFocus() const;
    // Rebuilds the gamma table when gamma differs from the stored value; ignores a gamma that
    // is not a finite positive number.
    void SetGamma(double gamma);
    // Forces the identity table (gamma 1.0).
    void ResetGamma();
    double GetGamma() const;
    GammaTable GetGammaTable() const;

    // --- geometry: also sets the spacing and spline-STC flags the record kind implies
    void SetProbeGeometry(const LinearProbeGeometry& record);
    void SetProbeGeometry(const ConvexProbeGeometry& record);
    void SetProbeGeometry(const ConvexProbeGeometryEx& record);
    ScanGeometry GetGeometry() const;
    // The conversion path in force at a depth (RAW2BITMAP checked against the geometry).
    int GetEffectiveRaw2Bitmap(int depth) const;
    double GetPixelScale(int depth) const;     // pixels per millimetre
    double GetUnitsPerPixel(int depth) const;  // millimetres per pixel
    double GetTopOffset(int depth) const;
    int GetImageTop(int depth) const;
    double GetImageBottom(int depth) const;

    // Rebuilds the STC curve from the eleven knots (preset base + user value each) for the
    // current geometry and depth; nothing before a geometry was set.
    void UpdateStcCurve(const StcKnots& knots);
    std::vector<int> GetStcCurve() const;

    // --- state the main window keeps here and reads back
    std::atomic<bool> m_bStcPanelShown{false};  // the STC panel replaces the live panel
    std::atomic<bool> m_bMMode{false};          // M-mode display
    std::atomic<int> m_nMSettleCountdown{0};    // frames until the M-mode strip restarts
    std::atomic<bool> m_bMScroll{false};        // "mscroll"

    // --- the input queue and the image thread
    // What the main window does with a complete buffer: append it to the input queue and
    // wake the image thread. The thread hands the buffer back (state 4, published) as soon
    // as it has copied the samples; a buffer in any other state than 2 is dropped (5).
    void QueueRawBuffer(CRawBuf* buffer);
    // Empties the input queue (the buffers are about to be set up again). Returns the count.
    size_t ClearInputQueue();
    size_t GetQueuedCount() const { return input_.GetCountLocked(); }
    // Receives the frame notice (WM_PROBE_DATA with the cine slot) on the UI thread. At most
    // one notice waits for the UI thread, and it gives the newest slot: a window that draws
    // slower than frames come skips frames rather than queueing notices ahead of the user's
    // input. A frame that comes while the notice is delivered brings the next one, so the
    // newest frame is always drawn. Set it before the thread starts.
    void SetFrameNotify(std::function<void(int slot)> notify);
    bool StartImageThread();
    // Asks the thread to end (stop flag and quit event) and joins it.
    void StopImageThread();
    bool IsImageThreadRunning() const;
    // Waits until the input queue is empty and no frame is being converted, so a frozen
    // cine does not move afterwards. True when idle (also when no thread runs); false on
    // time-out.
    bool WaitIdle(uint32_t timeoutMs = platform::kInfinite);
    // The image thread's loop (ImageThreadProc runs it).
    void Run();

    // --- the cine (every operation takes the cine's lock)
    CCineRing& Cine() { return cine_; }
    const CCineRing& Cine() const { return cine_; }
    int GetFrameCount() const { return cine_.GetFrameCount(); }
    int GetCinePosition() const { return cine_.GetCinePosition(); }
    // A copy of the frame's pixels: ring slots 0..511 and the special frames -10 and -11.
    bool GetFrameBitmap(int index, Image8& out) const { return cine_.CopyFrame(index, out); }
    std::optional<FrameRecord> GetFrameRecord(int index) const { return cine_.GetFrameRecord(index); }
    // The cine operations that report their errors in message boxes (UI thread).
    void SetFrameRecord(int index, const FrameRecord& record);
    void ClearReviewFrames();
    void CopyFrameToReview(int index, const Image8& source);
    void CopyFrameSlot(int frameIndex, int slot, SlotDirection direction, int side);
    void CopyFrameToSpecialSlot(int frameIndex, int special);

private:
    struct SharedSettings {
        FrameSettings frame;
        std::vector<int> stcScratch;
        uint64_t version = 1;
    };

    void ProcessBuffer(CRawBuf* buffer);
    void HandBack(CRawBuf* buffer, int state);
    const FrameSettings& RefreshThreadSettings();
    void FinishedOne();
    void ReportCacheOverflow(int rowsNeeded);
    // Has the address cache of the depth and geometry in force built ahead on a worker.
    void PrebuildTables();
    template <typename Apply>
    void ApplyGeometry(const Apply& apply);
    template <typename Edit>
    void EditParams(const Edit& edit);

    mutable std::mutex paramMutex_;
    SharedSettings shared_;

    // Image thread only, but for the converter's Prebuild.
    CFrameConverter converter_;
    FrameSettings threadSettings_;
    uint64_t threadVersion_ = 0;
    Image8 frame_;
    bool fatal_ = false;

    CRcvQueue input_;
    platform::Event frameReady_{platform::Event::Reset::Auto};
    platform::Event quit_{platform::Event::Reset::Auto};
    std::atomic<bool> stop_{false};
    std::function<void(int)> notify_;
    struct FrameNotice {
        std::atomic<bool> pending{false};
        // The newest frame: its count since start in the high half, its slot in the low half.
        std::atomic<uint64_t> newest{0};
        uint64_t delivered = 0;  // UI thread only
    };
    std::shared_ptr<FrameNotice> notice_ = std::make_shared<FrameNotice>();
    uint64_t framesNoticed_ = 0;  // image thread only
    std::thread thread_;

    mutable std::mutex idleMutex_;
    std::condition_variable idleCv_;
    int inFlight_ = 0;  // buffers queued and not yet finished by the thread
    bool threadRunning_ = false;

    CCineRing cine_;
};

// The image thread's procedure: 0 at once without a processor, else runs its loop and gives 1.
int ImageThreadProc(CImageProc* proc);
