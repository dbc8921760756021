// The probe's USB module: free functions over one module-wide state, between the probe driver
// (CProbeDataUM716C) and the bridge library. It opens and prepares the device (chip
// configuration, pipes, a reset pulse to the probe), runs the command protocol on pipes 0x02
// and 0x82 (512-byte big-endian blocks, each reply matched by its echoed command code), keeps
// the last values sent so that a probe that lost its settings gets them again, and streams:
// while streaming a reader thread keeps sixteen reads pending on pipe 0x83 and fills a ring of
// packets, and an assembler thread turns the packets into frames (logarithmic compression,
// enhancement) in a small frame pool and calls the frame callback for each.
//
// Threads: commands may come from any thread; one command lock serialises whole transactions,
// so no caller can take another's reply. Start, stop and close are serialised by the device
// lock. Stopping always ends both stream threads, whatever the probe answered. The reader and
// assembler threads exist only while streaming.
#pragma once

#include <cstdint>

#include "probe/ProbeProtocol.h"
#include "probe/bridge/BridgeApi.h"

// The probe driver's parameter ids.
enum ProbeParameterId : uint32_t {
    kProbeParamImageFilter = 1,        // host: the image filter switch, 0 or 1
    kProbeParamHiFrameMode = 2,        // register, sent inverted
    kProbeParamAutoSleepTime = 3,      // register, seconds
    kProbeParam4 = 4,                  // register; only cached and re-sent
    kProbeParamTxFrequency = 5,        // register, transmit-frequency index
    kProbeParamBlendCompressed = 101,  // host: blend weights of the image filter
    kProbeParamBlendMedian = 102,
    kProbeParamBlendEdge = 103,
    kProbeParam120 = 120,  // register; only cached and re-sent
    kProbeParam121 = 121,  // register; only cached and re-sent
    kProbeParamSettingsMarker = 999,
};

inline constexpr uint32_t kProbeValueUnset = 0xFFFFFFFF;

// ---- Device and commands

// 1 when the device is ready (configured, pipes set up, probe reset, marker written); else 0
// with everything it took released. 0 also when a device is already open.
int UsbProbeOpen();
// Stops streaming first, then closes the device and frees the packet ring and the frame pool.
// Always 1.
int UsbProbeClose();
bool UsbProbeIsOpen();
// 1 when the request was written and a reply echoing its command code was read.
int UsbProbeTransact(const UsbProbeCommand& request, UsbProbeCommand& reply);
// 1 when the probe accepted the value; values outside 5..240 (focus) and 20..240 (depth) are
// refused without a transfer.
int UsbProbeSetFocus(int millimetres);
int UsbProbeSetDepth(int millimetres);
// Parameters by id (ProbeParameterId). 1 when done.
int UsbProbeSetRegister(uint32_t id, uint32_t value);
int UsbProbeGetRegister(uint32_t id, uint32_t* value);
// The identity words, or kProbeIdentityUnread when they cannot be read.
uint32_t UsbProbeGetHardwareId();
uint32_t UsbProbeGetVersionA();
uint32_t UsbProbeGetVersionB();
// Re-sends every cached value when the probe's settings marker says it lost them. 0 when the
// marker cannot be read, else 1.
int UsbProbeRestoreSettings();
// Sets the four FIFO fields the probe needs; true when nothing had to change.
bool UsbProbeCheckChipConfig(FT_60XCONFIGURATION& configuration);
// Closes the device, opens it again and sets up its pipes; true when that all worked. Part of
// the open and of a stop that had to reset the port; refused (false) while streaming.
bool UsbProbeConfigurePipes();
// The probe opened last is linear (hardware id kind word 0x10).
bool UsbProbeIsLinear();

// ---- Streaming

// 1 when streaming started; 0 when it was already running, no device is open or the start
// command failed.
int UsbProbeStart();
// Ends both stream threads whenever they run, whatever the probe answers to the stop command.
// 1 when the threads were stopped and the probe acknowledged; 0 when nothing was running, the
// stop command failed or the pipes could not be set up again after a stuck reader.
int UsbProbeStop();
bool UsbProbeIsRunning();

// Called on the assembler thread once for every frame put into the pool's FIFO. Clearing waits
// for a call in progress, so the context is not used after UsbProbeClearFrameCallback returns.
using UsbProbeFrameCallback = void (*)(void* context);
void UsbProbeSetFrameCallback(UsbProbeFrameCallback callback, void* context);
void UsbProbeClearFrameCallback();

// Takes the oldest frame of the FIFO and copies it (48 bytes for a header-only frame, 131120
// for an image frame) and returns the count; 0 when the FIFO is empty or the frame is of an
// unknown type, -12 when the buffer is too small, -14 for a null buffer. The frame leaves the
// pool in every case. Meant for the frame callback: the copy is made outside the pool's lock,
// so another thread must not call it while the stream stops or the device closes.
int32_t UsbProbeGetFrame(uint8_t* buffer, uint32_t size);

inline constexpr int32_t kUsbProbeFrameTooSmall = -12;
inline constexpr int32_t kUsbProbeFrameNullBuffer = -14;

// What the stream did since the device was opened (diagnostics and tests). Waits for a start
// or stop in progress: not from the frame callback.
struct UsbProbeStreamStats {
    uint64_t packetsRead = 0;     // packets put into the ring
    uint64_t packetsIgnored = 0;  // failed a check or arrived out of order
    uint64_t framesProduced = 0;  // put into the FIFO (image and header-only frames)
    uint64_t framesLost = 0;      // complete, but the pool had no room
    uint64_t readFailures = 0;    // stream reads that failed (time-outs are not failures)
    bool readerGaveUp = false;    // the reader stopped reading after repeated failures
};
UsbProbeStreamStats UsbProbeGetStreamStats();
