// The driver of the 716C probe, on the probe's USB module. Its frame callback runs on the
// frame assembler's thread and moves each frame into the current raw frame buffer, stamps it
// and publishes it complete; its watch loop runs on the probe watch thread.
//
// Streaming is started and stopped under one lock, and stopping is idempotent: the watch loop,
// the main window's watchdog and the user-interface thread may all ask at once. Close stops
// the stream first; the destructor closes.
#pragma once

#include <atomic>
#include <mutex>

#include "platform/Event.h"
#include "probe/ProbeData.h"
#include "probe/ProbeProtocol.h"

class CProbeDataUM716C : public CProbeData {
public:
    CProbeDataUM716C();
    ~CProbeDataUM716C() override;

    int* GetProbeType(int* type) override;
    bool Open(void* ownerWindow) override;
    void Close() override;
    bool WatchLoop() override;
    bool RequestStop() override;
    int StartStreaming() override;
    bool IsDeviceLost() override;
    void StopStreaming() override;

    double GetMinDepth() override;
    double GetMaxDepth() override;
    bool SetDepth(int millimetres) override;
    bool SetFocus(int millimetres) override;
    int GetFocus() override { return m_nCachedFocus.load(); }
    int GetMaxFocus() override { return kProbeMaxFocusMm; }
    bool SetHiFrameMode(int on) override;
    int GetHiFrameMode() override;
    bool SetAutoSleepTime(int seconds) override;
    int GetAutoSleepTime() override;
    void GetAutoSleepTimeRange(int* lowest, int* highest) override;
    bool SetImageFilter(int on) override;
    int GetImageFilter() override;

    uint32_t GetVersionB() override;
    uint32_t GetVersionA() override;
    uint32_t GetHardwareId() override;
    bool IsSupportedVersion() override;
    bool MatchesIdentity(uint32_t hardwareId, uint32_t versionB, uint32_t versionA) override;

    bool SetTxFrequency(int index) override;
    int GetTxFrequency() override;
    int GetDefaultTxFrequency() override;
    TxFrequencyTable GetTxFrequencyTable() override;
    bool IsFeatureSupported(int feature) override;

    // The frame callback of the USB module (context: the frame context below).
    static void OnFrameReady(void* context);
    // Moves one frame (48 or 131120 bytes as the module hands them on) into the current buffer.
    void ParsePacket(const uint8_t* frame, int32_t count);

    // Complete frames that found no free buffer.
    uint64_t GetLostFrameCount() const { return m_nLostFrames.load(); }
    int GetCachedDepth() const { return m_nCachedDepth.load(); }
    int GetCachedTxFrequency() const { return m_nCachedTxFrequency.load(); }

private:
    struct FrameContext {
        CProbeDataUM716C* driver = nullptr;
        uint8_t frame[kProbeFrameBytes];
    };

    bool IsLinearProbe();
    // A parameter read back from the probe, or `fallback` when it cannot be read.
    int ReadParameter(uint32_t id, int fallback);
    void StopStreamingLocked();

    platform::Event m_evStop{platform::Event::Reset::Auto};
    platform::Event m_evStreamStop{platform::Event::Reset::Auto};
    FrameContext m_context;
    std::atomic<int> m_nCachedFocus{-1};
    std::atomic<int> m_nCachedDepth{-1};
    std::atomic<int> m_nCachedTxFrequency{-1};
    std::atomic<uint64_t> m_nLostFrames{0};

    std::mutex m_mtxStream;  // open, close, start and stop of the stream
    bool m_bOpen = false;
    bool m_bStreamStarted = false;  // a start was asked of the probe since the last stop
    std::atomic<bool> m_bStartFailed{false};  // the last start could not be sent
};
