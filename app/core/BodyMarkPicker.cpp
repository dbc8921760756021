#include "app/core/BodyMarkPicker.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/core/VirtualKeys.h"

using draw::Point;

void CBodyMarkPicker::SelectBodyMark(int index) {
    m_nBodyMark = index;
}

void CBodyMarkPicker::RotateRight() {
    m_dMarkAngle += kTurnStep;
    if (m_dMarkAngle > 359)
        m_dMarkAngle -= 360;
}

void CBodyMarkPicker::RotateLeft() {
    m_dMarkAngle -= kTurnStep;
    if (m_dMarkAngle < 0)
        m_dMarkAngle += 360;
}

CBodyMarkPicker::KeyResult CBodyMarkPicker::OnKeyDown(int key, bool ctrl) {
    switch (key) {
        case vk::kLeft:
            if (ctrl)
                RotateLeft();
            else
                m_nMarkX = std::max(m_nMarkX - 1, 0);
            return KeyResult::Changed;
        case vk::kRight:
            if (ctrl)
                RotateRight();
            else
                m_nMarkX = std::min(m_nMarkX + 1, kMarkLimitX);
            return KeyResult::Changed;
        case vk::kUp:
            if (ctrl)
                RotateRight();
            else
                m_nMarkY = std::max(m_nMarkY - 1, 0);
            return KeyResult::Changed;
        case vk::kDown:
            if (ctrl)
                RotateLeft();
            else
                m_nMarkY = std::min(m_nMarkY + 1, kMarkLimitY);
            return KeyResult::Changed;
        case vk::kR:
            RotateRight();
            return KeyResult::Changed;
        case 'L':
            RotateLeft();
            return KeyResult::Changed;
        case vk::kReturn:
        case vk::kEscape:
        case vk::kM:
            return KeyResult::Accept;
        default:
            if (key >= vk::kF1 && key <= vk::kF7) {
                SelectBodyMark(key - vk::kF1);
                return KeyResult::Changed;
            }
            return KeyResult::Ignored;  // F8 among them: "none" has no key
    }
}

bool CBodyMarkPicker::OnPreviewButtonDown(int x, int y) {
    const int dx = x - m_nMarkX - kGrabOffset;
    const int dy = y - m_nMarkY - kGrabOffset;
    if (std::abs(dx) >= kGrabRange || std::abs(dy) >= kGrabRange)
        return false;
    m_bDragging = true;
    m_nDragDx = dx;
    m_nDragDy = dy;
    return true;
}

bool CBodyMarkPicker::OnPreviewMouseMove(int x, int y) {
    if (!m_bDragging)
        return false;
    // The grab offset was taken from the grab point (mark + 16), so the marker stays under
    // the pointer where it was grabbed instead of jumping 16 pixels down and right.
    m_nMarkX = x - m_nDragDx - kGrabOffset;
    m_nMarkY = y - m_nDragDy - kGrabOffset;
    return true;
}

void CBodyMarkPicker::PressTurnButton(bool right) {
    m_bTurnRightHeld = right;
    m_bTurnLeftHeld = !right;
    m_nTurnTicks = 0;
    if (right)
        RotateRight();
    else
        RotateLeft();
}

bool CBodyMarkPicker::OnRepeatTick() {
    if (!IsTurnButtonHeld())
        return false;
    bool turned = false;
    if (m_nTurnTicks >= kRepeatTicks) {
        if (m_bTurnRightHeld)
            RotateRight();
        else
            RotateLeft();
        turned = true;
    }
    ++m_nTurnTicks;
    return turned;
}

void CBodyMarkPicker::ReleaseMouse() {
    m_bDragging = false;
    m_bTurnLeftHeld = false;
    m_bTurnRightHeld = false;
    m_nTurnTicks = 0;
}

std::array<Point, 3> CBodyMarkPicker::MarkerCorners() const {
    const double w = kMarkerSize / kMarkerScale;
    const double h = kMarkerSize / kMarkerScale;
    const double r = std::sqrt(w * w + h * h);
    const double cx = m_nMarkX + w / 2;
    const double cy = m_nMarkY + h / 2;
    // An angle of exactly 180 degrees is drawn as 179.
    const double degrees = m_dMarkAngle == 180.0 ? 179.0 : m_dMarkAngle;
    const double theta = degrees * M_PI / 180.0 - 3 * M_PI / 4;
    const double phis[] = {theta, theta + M_PI / 2, theta + 3 * M_PI / 2};
    std::array<Point, 3> corners;
    for (size_t i = 0; i < 3; ++i)
        corners[i] = {static_cast<int>(cx + r * std::cos(phis[i])),
                      static_cast<int>(cy + r * std::sin(phis[i]))};
    return corners;
}
