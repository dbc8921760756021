// What every probe driver shares: the scan geometry values, the scan state and stop flag, the
// list of free raw frame buffers and the USB log of a streaming run.
//
// Threads: the scan state, the stop flag, the view state and the last receive time are
// atomics (the user-interface thread, the probe watch thread and the frame assembler all touch
// them). The free list is guarded by g_mtxProbeQueue. The current buffer belongs to the frame
// assembler while streaming and to the user-interface thread otherwise; the log files are
// opened and closed only while no frame can arrive.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/Event.h"
#include "probe/IProbeData.h"
#include "probe/RcvQueue.h"

class CProbeData : public IProbeData {
public:
    CProbeData();
    ~CProbeData() override;  // empties the free list; the buffers belong to the main window
    CProbeData(const CProbeData&) = delete;
    CProbeData& operator=(const CProbeData&) = delete;

    void* GetOwnerWindow() override { return m_hOwnerWindow; }
    double GetLastReceiveTime() override { return m_dLastReceiveTime.load(); }
    void SetLastReceiveTime(double micros) override { m_dLastReceiveTime.store(micros); }
    int SetViewState(int runState) override;
    int GetScanState() override { return m_nScanState.load(); }
    int SetScanState(int state) override;
    bool IsStopRequested() override { return m_bStop.load(); }

    int GetSamplesPerLine() override { return m_nSamplesPerLine; }
    int GetLineCount() override { return m_nLineCount; }
    double GetSamplePitch() override { return m_dSamplePitch; }
    int GetScanParam() override { return m_nFirstSample; }
    bool GetScanFlag() override { return m_bMarkSide; }
    bool HasSamplePitch() override { return m_bHasSamplePitch; }
    double GetConvexRadius() override { return m_dRadius; }
    double GetFieldOfView() override { return m_dFieldOfView; }
    double GetGeometryExtra() override { return m_dGeometryExtra; }

    void ReturnBuffer(CRawBuf* buffer) override;

    // Takes the head of the free list: a buffer in state 0 or 4 becomes 1 (taken) and is
    // published; any other (and one without rows) is marked dropped (5), published, and the
    // next one is tried. Null when the list is empty.
    CRawBuf* TakeFreeBuffer();
    // Opens the two log files of a streaming run when the setting USB_LOG is 1.
    void OpenUsbLog();
    // Appends a frame (48 or 131120 bytes) to the open log files.
    void WriteUsbLog(const uint8_t* frame, size_t count);
    void CloseUsbLog();
    bool IsUsbLogEnabled() const { return m_bUsbLogEnabled; }

    size_t GetFreeBufferCount() const { return m_lstFreeBuffers.GetCountLocked(); }
    bool HasFreeBuffer(const CRawBuf* buffer) const { return m_lstFreeBuffers.ContainsLocked(buffer); }
    // The buffer being filled; read it only while not streaming.
    CRawBuf* GetCurrentBuffer() const { return m_pCurrentBuffer; }

    static constexpr double kUnset = std::numeric_limits<double>::lowest();

protected:
    // Takes a free buffer, waiting up to `waitMs` for one to be handed back.
    CRawBuf* TakeFreeBufferWaiting(uint32_t waitMs);

    CRawBuf* m_pCurrentBuffer = nullptr;
    std::atomic<bool> m_bStop{false};
    CRcvQueue m_lstFreeBuffers;
    platform::Event m_evBufferReturned{platform::Event::Reset::Auto};
    int m_nSamplesPerLine = 1024;
    int m_nLineCount = 128;
    double m_dSamplePitch = kUnset;
    int m_nFirstSample = 0;
    bool m_bMarkSide = false;
    bool m_bHasSamplePitch = false;
    double m_dRadius = 60.0;
    double m_dFieldOfView = 60.0;
    double m_dGeometryExtra = kUnset;
    bool m_bUsbLogEnabled = false;
    bool m_bLogActive = false;
    FILE* m_pTextLog = nullptr;
    FILE* m_pRawLog = nullptr;
    std::string m_strHexDump;  // the text log's lines of one frame, kept between frames
    std::atomic<int> m_nViewState{0};
    std::atomic<int> m_nScanState{ProbeScanNeverStarted};
    std::atomic<double> m_dLastReceiveTime{0.0};
    void* m_hOwnerWindow = nullptr;
};
