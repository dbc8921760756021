// The body-mark picker without its window: the chosen body picture, the probe marker's place
// and angle on the large preview, the keys, the drag, the held turn buttons and the marker's
// parallelogram. Positions count preview-bitmap pixels (303 x 272).
#pragma once

#include <array>

#include "platform/draw/Geometry.h"

class CBodyMarkPicker {
public:
    static constexpr int kPreviewWidth = 303;
    static constexpr int kPreviewHeight = 272;
    static constexpr int kMarkerSize = 64;       // the probe marker picture
    static constexpr double kMarkerScale = 2.9;  // the marker is drawn this much smaller
    // The marker may move right and down until a quarter of its picture size from the edge.
    static constexpr int kMarkLimitX = kPreviewWidth - kMarkerSize / 4;   // 287
    static constexpr int kMarkLimitY = kPreviewHeight - kMarkerSize / 4;  // 256
    static constexpr int kGrabOffset = 16;  // the grab point's offset from the mark
    static constexpr int kGrabRange = 30;   // |dx| and |dy| below this grab the marker
    static constexpr int kTurnStep = 5;     // degrees per turn
    static constexpr int kRepeatTicks = 6;  // held ticks before the turn repeats
    static constexpr int kBodyMarkNone = 7;

    // What a key did.
    enum class KeyResult { Ignored, Changed, Accept };

    void SelectBodyMark(int index);
    void RotateRight();
    void RotateLeft();

    // A key-down (vk::Key numbers) with or without Ctrl; the caller consumes every key.
    KeyResult OnKeyDown(int key, bool ctrl);

    // Mouse in preview pixels. A press inside the preview grabs the marker when it lies
    // near the grab point; true when a drag began.
    bool OnPreviewButtonDown(int x, int y);
    // A move while dragging places the marker; true when it moved.
    bool OnPreviewMouseMove(int x, int y);

    // A turn button pressed (right: true for the R turn): one turn at once.
    void PressTurnButton(bool right);
    // The 100 ms tick: a button held for kRepeatTicks ticks turns again. True when it turned.
    bool OnRepeatTick();
    // A release anywhere, or the mouse capture lost: the drag and the held button end.
    void ReleaseMouse();

    bool IsDragging() const { return m_bDragging; }
    bool IsTurnButtonHeld() const { return m_bTurnLeftHeld || m_bTurnRightHeld; }
    bool IsTurnRightHeld() const { return m_bTurnRightHeld; }
    bool IsTurnLeftHeld() const { return m_bTurnLeftHeld; }

    // The marker's upper-left, upper-right and lower-left corners in preview pixels.
    std::array<draw::Point, 3> MarkerCorners() const;

    int m_nBodyMark = 1;  // 0 to 6, 7 none
    double m_dMarkAngle = 10.0;
    int m_nMarkX = 0;
    int m_nMarkY = 0;

private:
    bool m_bDragging = false;
    int m_nDragDx = 0;
    int m_nDragDy = 0;
    bool m_bTurnLeftHeld = false;
    bool m_bTurnRightHeld = false;
    int m_nTurnTicks = 0;
};
