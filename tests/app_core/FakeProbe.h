// A probe driver that only keeps values: for the cases the simulated probe cannot show (a
// probe that reports no samples, a focus of 0).
#pragma once

#include <vector>

#include "probe/IProbeData.h"

namespace coretest {

class FakeProbe : public IProbeData {
public:
    int* GetProbeType(int* type) override {
        if (type)
            *type = probeType;
        return type;
    }
    bool Open(void*) override { return true; }
    void Close() override { ++closes; }
    bool WatchLoop() override { return true; }
    bool RequestStop() override { return true; }
    int StartStreaming() override {
        scanState = 1;
        return 1;
    }
    void StopStreaming() override { scanState = 3; }
    void* GetOwnerWindow() override { return nullptr; }
    double GetLastReceiveTime() override { return lastReceive; }
    void SetLastReceiveTime(double micros) override { lastReceive = micros; }
    int SetViewState(int) override { return 1; }
    int GetScanState() override { return scanState; }
    int SetScanState(int state) override {
        scanState = state;
        return 1;
    }
    bool IsStopRequested() override { return false; }
    int GetSamplesPerLine() override { return samples; }
    int GetLineCount() override { return lines; }
    double GetSamplePitch() override { return 0.0; }
    int GetScanParam() override { return 0; }
    bool GetScanFlag() override { return true; }
    bool HasSamplePitch() override { return false; }
    double GetConvexRadius() override { return 40.0; }
    double GetFieldOfView() override { return 60.0; }
    double GetMinDepth() override { return 20.0; }
    double GetMaxDepth() override { return 225.0; }
    double GetGeometryExtra() override { return 0.0; }
    bool SetDepth(int) override { return true; }
    bool SetFocus(int mm) override {
        focus = mm;
        return true;
    }
    int GetFocus() override { return focus; }
    int GetMaxFocus() override { return 200; }
    bool SetHiFrameMode(int) override { return true; }
    int GetHiFrameMode() override { return 0; }
    bool SetAutoSleepTime(int) override { return true; }
    int GetAutoSleepTime() override { return 0; }
    void GetAutoSleepTimeRange(int* lowest, int* highest) override { *lowest = *highest = 0; }
    bool SetImageFilter(int) override { return true; }
    int GetImageFilter() override { return 0; }
    uint32_t GetVersionB() override { return 1; }
    uint32_t GetVersionA() override { return 1; }
    uint32_t GetHardwareId() override { return 1; }
    bool IsSupportedVersion() override { return true; }
    bool MatchesIdentity(uint32_t, uint32_t, uint32_t) override { return true; }
    bool SetTxFrequency(int index) override {
        tx = index;
        return true;
    }
    int GetTxFrequency() override { return tx; }
    int GetDefaultTxFrequency() override { return 0; }
    TxFrequencyTable GetTxFrequencyTable() override { return {}; }
    bool IsFeatureSupported(int feature) override {
        return feature == ProbeFeatureFocus || feature == ProbeFeatureTxFrequency;
    }
    void ReturnBuffer(CRawBuf* buffer) override { returned.push_back(buffer); }

    int probeType = ProbeTypeConvex;
    int samples = 64;
    int lines = 8;
    int scanState = 0;
    double lastReceive = 0.0;
    int focus = 100;
    int tx = 0;
    int closes = 0;
    std::vector<CRawBuf*> returned;
};

}  // namespace coretest
