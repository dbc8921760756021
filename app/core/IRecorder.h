// The SyncView camera recorder and the view recording. The default has no recorder.
#pragma once

#include <cstdint>

class IRecorder {
public:
    virtual ~IRecorder() = default;
    // Command 12 while live: start or stop a recording.
    virtual void ToggleRecord() {}
    // The live panel's SyncView button.
    virtual void ToggleCamera() {}
    virtual bool Exists() const { return false; }
    // 0 idle, 1 recording, 2 finishing.
    virtual int State() const { return 0; }
    // Start of the running recording in microseconds of the clock; 0 when none.
    virtual int64_t StartMicros() const { return 0; }
    virtual bool HasCamera() const { return false; }
    virtual bool HasVideoWindow() const { return false; }
    virtual void ShowPreview(bool /*show*/) {}
    virtual void MoveSyncViewWindow() {}
    // Ends a running recording (its file is completed).
    virtual void Stop() {}
    // Releases the camera graph and deletes the recorder.
    virtual void Delete() {}
    // After each frame drawn into the views (UI thread): a recording takes the image area.
    virtual void OnFrameDrawn() {}
};
