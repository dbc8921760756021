// The probe driver interface: every other part of the program reaches the probe through it
// (g_pProbe): opening and closing, the watch loop, streaming and the scan state, the scan
// geometry, depth, focus and transmit frequency, optional features, identity and version, and
// the hand-back of raw frame buffers. CProbeData holds what all probes share, CProbeDataUM716C
// is the driver of the one probe the program supports.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "probe/ProbeType.h"

class CRawBuf;

enum ProbeScanState : int {
    ProbeScanNeverStarted = 0,
    ProbeScanLive = 1,           // frames are accepted
    ProbeScanStopRequested = 2,  // frames are dropped; the watch loop stops the stream
    ProbeScanStopped = 3,
};

enum ProbeFeature : int {
    ProbeFeatureFocus = 0,
    ProbeFeatureImageFilter = 1,
    ProbeFeatureHiFrameMode = 2,
    ProbeFeatureAutoSleepTime = 3,
    ProbeFeatureTxFrequency = 4,
};

// One transmit frequency the probe knows: its label and whether the user interface offers it.
struct TxFrequencyEntry {
    std::string label;
    int offered = 0;
};
using TxFrequencyTable = std::map<int, TxFrequencyEntry>;

// The settings section of a probe type: "probe_convex" (2), "probe_linear" (4), else 0.
int ProbeTypeToConfigSection(int probeType);

class IProbeData {
public:
    virtual ~IProbeData() {}

    // Writes the ProbeType (asked from the probe at every call) into *type and returns type.
    virtual int* GetProbeType(int* type) = 0;
    virtual bool Open(void* ownerWindow) = 0;
    virtual void Close() = 0;
    // The probe watch thread's body; true when it ended on a stop request.
    virtual bool WatchLoop() = 0;
    // Ends the watch loop.
    virtual bool RequestStop() = 0;
    virtual int StartStreaming() = 0;
    virtual void StopStreaming() = 0;

    virtual void* GetOwnerWindow() = 0;
    virtual double GetLastReceiveTime() = 0;  // microseconds of GetElapsedMicroseconds
    virtual void SetLastReceiveTime(double micros) = 0;
    virtual int SetViewState(int runState) = 0;
    virtual int GetScanState() = 0;
    virtual int SetScanState(int state) = 0;
    virtual bool IsStopRequested() = 0;

    virtual int GetSamplesPerLine() = 0;
    virtual int GetLineCount() = 0;
    virtual double GetSamplePitch() = 0;
    virtual int GetScanParam() = 0;
    virtual bool GetScanFlag() = 0;
    virtual bool HasSamplePitch() = 0;
    virtual double GetConvexRadius() = 0;
    virtual double GetFieldOfView() = 0;
    virtual double GetMinDepth() = 0;
    virtual double GetMaxDepth() = 0;
    virtual double GetGeometryExtra() = 0;

    virtual bool SetDepth(int millimetres) = 0;
    virtual bool SetFocus(int millimetres) = 0;
    virtual int GetFocus() = 0;
    virtual int GetMaxFocus() = 0;
    virtual bool SetHiFrameMode(int on) = 0;
    virtual int GetHiFrameMode() = 0;
    virtual bool SetAutoSleepTime(int seconds) = 0;
    virtual int GetAutoSleepTime() = 0;
    virtual void GetAutoSleepTimeRange(int* lowest, int* highest) = 0;
    virtual bool SetImageFilter(int on) = 0;
    virtual int GetImageFilter() = 0;

    virtual uint32_t GetVersionB() = 0;
    virtual uint32_t GetVersionA() = 0;
    virtual uint32_t GetHardwareId() = 0;
    virtual bool IsSupportedVersion() = 0;
    virtual bool MatchesIdentity(uint32_t hardwareId, uint32_t versionB, uint32_t versionA) = 0;

    virtual bool SetTxFrequency(int index) = 0;
    virtual int GetTxFrequency() = 0;
    virtual int GetDefaultTxFrequency() = 0;
    virtual TxFrequencyTable GetTxFrequencyTable() = 0;
    virtual bool IsFeatureSupported(int feature) = 0;

    // Appends a buffer to the driver's free list (ignored when null or without rows).
    virtual void ReturnBuffer(CRawBuf* buffer) = 0;

    // The stream cannot deliver any more: the device went away (unplugged) or stopped
    // answering, or the last start could not be sent. Frames will not come until the probe
    // is opened again.
    virtual bool IsDeviceLost() { return false; }
};
